#pragma once
// Texts in the forms the system and the setup log need.

#include <string>
#include <vector>

namespace velmoran::platform::win32 {

// A text of the code page as UTF-16, followed by a NUL.
std::vector<wchar_t> ToWide(unsigned codePage, const std::string& text);
// A text of the code page as UTF-8 (unchanged when it cannot be converted).
std::string ToUtf8(unsigned codePage, const std::string& text);

// A text of this process's ANSI code page as UTF-16, followed by a NUL. (A vector,
// not std::wstring, whose code would come into the installer for this alone.)
std::vector<wchar_t> AnsiToWide(const std::string& text);

// A text of this process's ANSI code page, as UTF-8.
std::string AnsiToUtf8(const std::string& text);

// The local time as "yyyy-mm-dd hh:mm:ss".
std::string LocalTimeText();

}  // namespace velmoran::platform::win32

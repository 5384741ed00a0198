#pragma once
// Texts the setup log needs from the system.

#include <string>

namespace velmoran::platform::win32 {

// A text of the system's ANSI code page, as UTF-8.
std::string AnsiToUtf8(const std::string& text);

// The local time as "yyyy-mm-dd hh:mm:ss".
std::string LocalTimeText();

}  // namespace velmoran::platform::win32

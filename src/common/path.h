#pragma once
// Windows paths as single-byte strings; backslash separates, a colon ends a
// drive prefix, a forward slash is an ordinary character.

#include <string>

namespace velmoran {

// Everything up to and including the last backslash or colon; empty if none.
std::string FolderPart(const std::string& path);

// Everything after the last backslash or colon.
std::string FileNamePart(const std::string& path);

// ASCII letters lowered; other bytes kept (the code page's upper half is left alone).
char LowerAscii(char c);
std::string AsciiLower(const std::string& text);

bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace velmoran

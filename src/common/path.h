#pragma once
// Windows paths as UTF-8 strings; backslash separates, a colon ends a drive
// prefix, a forward slash is an ordinary character. Splitting byte by byte is
// safe: no byte of a multi-byte UTF-8 character is below 0x80.

#include <string>
#include <vector>

namespace velmoran {

// Everything up to and including the last backslash or colon; empty if none.
std::string FolderPart(const std::string& path);

// Everything after the last backslash or colon.
std::string FileNamePart(const std::string& path);

// The path without its trailing backslashes, except a drive root's ("C:\"),
// which names the root only with it.
std::string WithoutTrailingBackslashes(std::string path);

// The folder and the name joined by exactly one backslash: a folder that ends
// in one (a drive root) gets no second.
std::string JoinPath(const std::string& folder, const std::string& name);

// ASCII letters lowered; other bytes kept. For names of the system's own
// (header keys, switches, extensions), never for paths.
char LowerAscii(char c);
std::string AsciiLower(const std::string& text);
// A-Z, a-z or 0-9.
bool IsAsciiAlphanumeric(char c);

// The pieces of `text` between the separators, empty ones included (so
// joining them with the separator gives the text back).
std::vector<std::string> SplitAt(const std::string& text, char separator);

// The text with every character upper-cased as Windows compares file names
// (SimpleUpperCase); bytes that are not well-formed UTF-8 are kept as they are.
// Upper-casing keeps each character's length in bytes, so a byte offset into
// the text is one into the result.
std::string FoldedCase(const std::string& text);

// Equal as Windows compares two file names or paths: ordinal, ignoring case.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace velmoran

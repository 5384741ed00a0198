#pragma once
// The application's files: every file under the source folder, in a stable
// order, with the relative Windows path the installer will carry.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmoran::builder {

struct SourceFile {
    std::filesystem::path path;  // on this machine
    std::string relative;        // UTF-8, backslash-separated
    uint64_t size = 0;
};

// Why `root` cannot be the source folder ("not a folder", "not found"), or "".
std::string SourceFolderProblem(const std::filesystem::path& root);

// Sorted by relative path (byte order). Throws Failure naming the offending
// file: a name the installer cannot carry, two names that differ only in
// letter case (one file on Windows), or something that is not a plain file.
std::vector<SourceFile> ScanApplication(const std::filesystem::path& root);

// Checks that a text from the project can stand in a header line: well-formed
// UTF-8 (no unpaired surrogate), no CR, LF or other control byte, no "<" or
// ">". `what` names the text in the message. Returns the text; throws Failure.
std::string HeaderText(const std::string& utf8, const std::string& what);

// As HeaderText, and also usable as a Windows file-name component: none of
// \ / : * ? " |, not ending in a space or dot, not a device's name, and at
// most 255 UTF-16 units long (a character beyond U+FFFF takes two).
std::string FileNameText(const std::string& utf8, const std::string& what);

}  // namespace velmoran::builder

#pragma once

#include <filesystem>

namespace velmoran::builder {

// Prints the settings and the file table.
void RunList(const std::filesystem::path& installer);

// verify's exit status for a scrambled uninstaller copy: sound as far as it
// goes, but its checksum cannot be checked (its tail is cut off).
inline constexpr int kVerifyChecksumNotChecked = 3;

// Reads every item; throws Failure on the first fault. Prints a summary and
// returns the exit status: 0, or kVerifyChecksumNotChecked.
int RunVerify(const std::filesystem::path& installer);

// Writes the application's files under `folder`.
void RunExtract(const std::filesystem::path& installer, const std::filesystem::path& folder);

}  // namespace velmoran::builder

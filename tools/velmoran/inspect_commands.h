#pragma once

#include <filesystem>

namespace velmoran::builder {

// Prints the settings and the file table.
void RunList(const std::filesystem::path& installer);

// Reads every item; throws Failure on the first fault. Prints a summary.
void RunVerify(const std::filesystem::path& installer);

// Writes the application's files under `folder`.
void RunExtract(const std::filesystem::path& installer, const std::filesystem::path& folder);

}  // namespace velmoran::builder

#pragma once
// Files the builder tools create: never through a link planted at the name,
// temporary data in the user's own temporary folder, output on disk before it
// gets its name.

#include <cstdio>
#include <filesystem>

namespace velmoran::builder {

// Creates a new file for writing; fails (nullptr, errno set) when anything,
// a symbolic link included, is already at the path.
std::FILE* CreateNewFile(const std::filesystem::path& path);

// A read-write file that disappears when closed, in the user's temporary folder
// (TMPDIR, or on Windows the folder GetTempPath names; never the drive's root).
std::FILE* AnonymousTemporaryFile();

// Flushes the stream and asks the system to put the bytes on disk.
bool FlushToDisk(std::FILE* file);

}  // namespace velmoran::builder

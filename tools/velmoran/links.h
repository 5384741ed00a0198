#pragma once
// Links as each system has them. libstdc++'s std::filesystem on Windows
// reports neither junctions nor symbolic links as links, so there a link is
// told by its reparse-point attribute, and resolved by the system itself.

#include <filesystem>
#include <system_error>

namespace velmoran::builder {

// True when the entry at `path` is a link (a symbolic link; on Windows also a
// junction or any reparse point), which is not followed to find out.
bool IsLink(const std::filesystem::path& path, const std::filesystem::file_status& status);
bool IsLink(const std::filesystem::path& path);

// The path every link on the way to `path` leads to.
std::filesystem::path ResolvedPath(const std::filesystem::path& path, std::error_code& error);

}  // namespace velmoran::builder

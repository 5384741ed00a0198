#pragma once
// How the builder names a file or a text in its messages.

#include <filesystem>
#include <string>

namespace velmoran::builder {

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
inline std::string Quoted(const std::filesystem::path& path) { return Quoted(path.u8string()); }

}  // namespace velmoran::builder

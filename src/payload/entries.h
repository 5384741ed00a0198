#pragma once
// A file and a shortcut as the header lists them, for its writer and its readers.

#include <cstdint>
#include <string>

namespace velmoran::payload {

struct FileEntry {
    std::string path;  // relative, backslash-separated
    int64_t size = 0;  // inflated size
};

struct ShortcutEntry {
    std::string name;
    std::string target;  // relative to the install folder
};

}  // namespace velmoran::payload

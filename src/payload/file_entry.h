#pragma once
// A file entry of the header, "<relative path><inflated size>", taken apart the
// way the installation run reads it.

#include <string>

namespace velmoran::payload {

struct FileEntryText {
    std::string relativePath;  // from the second character up to the first ">"
    std::string sizeText;      // after the first "><", less the last character
};

FileEntryText SplitFileEntry(const std::string& entry);

// The header key of file n (1-based): "f" followed by n in decimal.
std::string FileEntryKey(int n);

}  // namespace velmoran::payload

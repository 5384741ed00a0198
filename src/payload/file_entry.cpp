#include "payload/file_entry.h"

#include "payload/format.h"

namespace velmoran::payload {

FileEntryText SplitFileEntry(const std::string& entry) {
    FileEntryText out;
    const auto close = entry.find('>');
    if (close == std::string::npos) {
        if (entry.size() > 1) out.relativePath = entry.substr(1);
    } else if (close > 1) {
        out.relativePath = entry.substr(1, close - 1);
    }
    const auto join = entry.find("><");
    if (join != std::string::npos) {
        out.sizeText = entry.substr(join + 2);
        if (!out.sizeText.empty()) out.sizeText.pop_back();
    }
    return out;
}

std::string FileEntryKey(int n) { return kFileEntryPrefix + std::to_string(n); }

}  // namespace velmoran::payload

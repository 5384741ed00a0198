#include "setup/path_list.h"

#include <vector>

#include "common/path.h"

namespace velmoran::setup {
namespace {

// The entry as Windows resolves it for comparing: without the quotes a
// folder with ";" in its name needs, and without trailing backslashes.
std::string Folder(std::string entry) {
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
    return WithoutTrailingBackslashes(entry);
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b) {
    const std::string left = Folder(a), right = Folder(b);
    return !left.empty() && EqualsIgnoreCase(left, right);
}

bool PathHolds(const std::string& path, const std::string& folder) {
    for (const std::string& entry : SplitAt(path, ';'))
        if (SameFolder(entry, folder)) return true;
    return false;
}

std::optional<std::string> PathWith(const std::string& path, const std::string& folder) {
    if (PathHolds(path, folder)) return std::nullopt;
    const bool separated = path.empty() || path.back() == ';';
    return path + (separated ? "" : ";") + folder;
}

std::optional<std::string> PathWithout(const std::string& path, const std::string& folder) {
    std::vector<std::string> entries = SplitAt(path, ';');
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!SameFolder(entries[i], folder)) continue;
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
        std::string rest;
        for (std::size_t j = 0; j < entries.size(); ++j) rest += (j ? ";" : "") + entries[j];
        return rest;
    }
    return std::nullopt;
}

}  // namespace velmoran::setup

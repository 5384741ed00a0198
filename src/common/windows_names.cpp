#include "common/windows_names.h"

#include <vector>

#include "common/path.h"

namespace velmoran {
namespace {

bool IsForbiddenNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || std::string("\\/:*?\"<>|").find(c) != std::string::npos;
}

bool IsDriveRoot(const std::string& path) {
    const char letter = LowerAscii(path[0]);
    return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

}  // namespace

bool IsDeviceName(const std::string& name) {
    std::string base = AsciiLower(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" || base == "conout$")
        return true;
    if (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0) return false;
    const std::string digit = base.substr(3);
    if (digit.size() == 1) return digit[0] >= '0' && digit[0] <= '9';
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";  // superscript 1, 2, 3
}

std::string FoldedName(const std::string& name) {
    const auto end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

bool IsSingleWindowsName(const std::string& name) {
    const std::string folded = FoldedName(name);
    if (folded.empty()) return false;  // "", ".", "..", and names Windows would fold to nothing
    for (const char c : folded)
        if (IsForbiddenNameByte(c)) return false;
    return !IsDeviceName(folded);
}

bool EveryComponent(const std::string& path, bool (*test)(const std::string& component)) {
    std::string::size_type start = 0;
    for (;;) {
        const auto end = path.find_first_of("\\/", start);
        if (!test(path.substr(start, end - start))) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

bool IsSafeRelativePath(const std::string& relativePath) { return EveryComponent(relativePath, IsSingleWindowsName); }

std::optional<std::string> FullLocalPath(const std::string& path) {
    std::string text = path;
    for (char& c : text)
        if (c == '/') c = '\\';
    if (!IsDriveRoot(text)) return std::nullopt;  // relative, drive-relative, UNC, \\?\ and \\.\ alike
    std::vector<std::string> parts;
    std::string::size_type start = 3;
    while (start <= text.size()) {
        auto end = text.find('\\', start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        // A stream name, a wildcard, a device, or a name that folds to nothing.
        if (!IsSingleWindowsName(part)) return std::nullopt;
        parts.push_back(FoldedName(part));
    }
    std::string full = text.substr(0, 3);
    for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? "\\" : "") + parts[i];
    return full;
}

std::optional<std::string> InstallFolderPath(const std::string& path) {
    auto full = FullLocalPath(path);
    if (!full) return std::nullopt;
    *full = WithoutTrailingBackslashes(*full);
    if (full->size() <= 3) return std::nullopt;  // a drive root is no install folder
    return full;
}

bool LiesBelow(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    const std::string prefix = JoinPath(folder, "");
    return path.size() > prefix.size() && EqualsIgnoreCase(path.substr(0, prefix.size()), prefix);
}

}  // namespace velmoran

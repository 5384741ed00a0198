#include "common/path.h"

namespace velmoran {
namespace {

std::string::size_type LastSeparator(const std::string& path) {
    return path.find_last_of("\\:");
}

}  // namespace

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FolderPart(const std::string& path) {
    const auto sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string FileNamePart(const std::string& path) {
    const auto sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string AsciiLower(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

}  // namespace velmoran

namespace velmoran {

bool StaysInsideFolder(const std::string& relativePath) {
    if (relativePath.empty() || relativePath[0] == '\\' || relativePath[0] == '/') return false;
    if (relativePath.find(':') != std::string::npos) return false;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = relativePath.find_first_of("\\/", start);
        const std::string part = relativePath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Windows drops trailing dots and spaces, so "..." and ".. " climb as well.
        if (part.size() >= 2 && part.find_first_not_of(". ") == std::string::npos) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

}  // namespace velmoran

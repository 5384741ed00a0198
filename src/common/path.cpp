#include "common/path.h"

#include "common/unicode_case.h"
#include "common/utf8.h"

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

std::string WithoutTrailingBackslashes(std::string path) {
    const auto isDriveRoot = [&path] { return path.size() == 3 && path[1] == ':'; };
    while (!path.empty() && path.back() == '\\' && !isDriveRoot()) path.pop_back();
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '\\' ? folder + name : folder + '\\' + name;
}

std::string AsciiLower(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

bool IsAsciiAlphanumeric(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

std::string FoldedCase(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto character = DecodeUtf8Character(text, i);
        if (!character) {
            out += text[i++];
            continue;
        }
        AppendUtf8(out, SimpleUpperCase(character->codePoint));
        i += character->length;
    }
    return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldedCase(a) == FoldedCase(b);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(separator, start);
        pieces.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return pieces;
        start = at + 1;
    }
}

}  // namespace velmoran

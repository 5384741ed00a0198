#include "app_tree.h"

#include <algorithm>

#include "code_page.h"
#include "common/failure.h"
#include "quoted.h"
#include "common/path.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

// The reason a code-page text cannot stand in a header line, or "".
std::string HeaderProblem(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r' || byte == '\n') return "it holds a line break";
        if (byte < 32 || byte == 127) return "it holds a control character";
        if (c == '<' || c == '>') return std::string("it holds '") + c + "', which the installer's file table cannot carry";
    }
    return std::string();
}

std::string FileNameProblem(const std::string& text) {
    if (text.empty()) return "it is empty";
    for (const char c : std::string("\\/:*?\"|"))
        if (text.find(c) != std::string::npos) return std::string("Windows does not allow '") + c + "' in a file name";
    if (text.back() == ' ' || text.back() == '.') return "Windows does not allow a file name to end with a space or a dot";
    return std::string();
}

std::string ToCodePage(const std::string& utf8, const std::string& what) {
    const auto text = Utf8ToCodePage(utf8);
    if (!text) throw Failure(what + " " + Quoted(utf8) + ": it holds a character outside the Western (1252) code page");
    return *text;
}

std::string RelativeWindowsPath(const fs::path& root, const fs::path& file) {
    std::string relative;
    for (const fs::path& part : fs::relative(file, root)) {
        const std::string utf8 = part.u8string();
        const std::string name = ToCodePage(utf8, "file " + Quoted(file.u8string()));
        std::string problem = HeaderProblem(name);
        if (problem.empty()) problem = FileNameProblem(name);
        if (!problem.empty()) throw Failure("file " + Quoted(file.u8string()) + ": " + problem);
        relative += (relative.empty() ? "" : "\\") + name;
    }
    return relative;
}

}  // namespace

std::string HeaderText(const std::string& utf8, const std::string& what) {
    const std::string text = ToCodePage(utf8, what);
    const std::string problem = HeaderProblem(text);
    if (!problem.empty()) throw Failure(what + " " + Quoted(utf8) + ": " + problem);
    return text;
}

std::string FileNameText(const std::string& utf8, const std::string& what) {
    const std::string text = HeaderText(utf8, what);
    const std::string problem = FileNameProblem(text);
    if (!problem.empty()) throw Failure(what + " " + Quoted(utf8) + ": " + problem);
    return text;
}

std::vector<SourceFile> ScanApplication(const fs::path& root) {
    std::error_code error;
    if (!fs::is_directory(root, error))
        throw Failure("source folder " + Quoted(root.u8string()) + ": " + (fs::exists(root, error) ? "not a folder" : "not found"));
    std::vector<SourceFile> files;
    fs::recursive_directory_iterator it(root, error), end;
    if (error) throw Failure("source folder " + Quoted(root.u8string()) + ": " + error.message());
    for (; it != end; it.increment(error)) {
        if (error) throw Failure("source folder " + Quoted(root.u8string()) + ": " + error.message());
        if (it->is_directory(error)) continue;
        if (!it->is_regular_file(error))
            throw Failure("file " + Quoted(it->path().u8string()) + ": not a plain file (or a broken link)");
        files.push_back({it->path(), RelativeWindowsPath(root, it->path()), it->file_size()});
    }
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.relative < b.relative; });
    // Windows compares names without regard to case: such twins would overwrite each other.
    std::vector<std::pair<std::string, std::size_t>> folded;
    for (std::size_t i = 0; i < files.size(); ++i) folded.emplace_back(AsciiLower(files[i].relative), i);
    std::sort(folded.begin(), folded.end());
    for (std::size_t i = 1; i < folded.size(); ++i) {
        if (folded[i].first != folded[i - 1].first) continue;
        throw Failure("files " + Quoted(files[folded[i - 1].second].path.u8string()) + " and " +
                      Quoted(files[folded[i].second].path.u8string()) +
                      " differ only in letter case; on Windows they are one file");
    }
    return files;
}

}  // namespace velmoran::builder

#include "app_tree.h"

#include <algorithm>

#include "code_page.h"
#include "links.h"
#include "common/failure.h"
#include "quoted.h"
#include "common/path.h"
#include "common/utf8.h"
#include "common/windows_names.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

// The reason a text cannot stand in a header line, or "". Windows takes every
// other character in names and registry values, whatever its script.
std::string HeaderProblem(const std::string& text) {
    if (!IsUtf8(text)) return "it is not UTF-8 text";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r' || byte == '\n') return "it holds a line break";
        if (byte < 32 || byte == 127) return "it holds a control character";
        if (c == '<' || c == '>') return std::string("it holds '") + c + "', which the installer's file table cannot carry";
    }
    return std::string();
}

// The longest name of a file or folder, in UTF-16 units, that Windows makes.
constexpr std::size_t kMaxNameUnits = 255;

std::string FileNameProblem(const std::string& text) {
    if (text.empty()) return "it is empty";
    for (const char c : std::string("\\/:*?\"|"))
        if (text.find(c) != std::string::npos) return std::string("Windows does not allow '") + c + "' in a file name";
    if (text.back() == ' ' || text.back() == '.') return "Windows does not allow a file name to end with a space or a dot";
    if (IsDeviceName(text)) return "Windows reserves that name for a device (the installer refuses it)";
    std::size_t units = 0;
    for (const char32_t c : DecodeUtf8(text).value_or(std::u32string())) units += c >= 0x10000 ? 2 : 1;
    if (units > kMaxNameUnits) return "Windows takes at most 255 characters in a name";
    return std::string();
}

std::string RelativeWindowsPath(const fs::path& root, const fs::path& file) {
    std::string relative;
    // Lexical: a followed link keeps its own name, not its target's.
    for (const fs::path& part : file.lexically_relative(root)) {
        const std::string utf8 = part.u8string();
        std::string problem = HeaderProblem(utf8);
        if (problem.empty()) problem = FileNameProblem(utf8);
        if (!problem.empty()) throw Failure("file " + Quoted(file.u8string()) + ": " + problem);
        relative += (relative.empty() ? "" : "\\") + utf8;
    }
    return relative;
}

}  // namespace

std::string HeaderText(const std::string& utf8, const std::string& what) {
    const std::string problem = HeaderProblem(utf8);
    if (!problem.empty()) throw Failure(what + " " + Quoted(utf8) + ": " + problem);
    return utf8;
}

std::string FileNameText(const std::string& utf8, const std::string& what) {
    const std::string text = HeaderText(utf8, what);
    const std::string problem = FileNameProblem(text);
    if (!problem.empty()) throw Failure(what + " " + Quoted(utf8) + ": " + problem);
    return text;
}

namespace {

bool LiesWithin(const fs::path& path, const fs::path& folder) {
    const auto mismatch = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return mismatch.first == folder.end();
}

// Walks one folder. A link is followed when it leads to a file or folder inside
// the source tree (`root` resolved); anything else it could lead to is refused,
// and so is a folder link that leads back into a folder being walked.
class TreeScanner {
public:
    TreeScanner(const fs::path& root, std::vector<SourceFile>& files) : root_(root), files_(files) {
        std::error_code error;
        resolvedRoot_ = ResolvedPath(root, error);
        if (error) throw Failure("source folder " + Quoted(root.u8string()) + ": " + error.message());
        walking_.push_back(resolvedRoot_);
    }

    void Walk(const fs::path& folder) {
        std::error_code error;
        fs::directory_iterator it(folder, error), end;
        for (; !error && it != end; it.increment(error)) Take(it->path(), it->symlink_status(error));
        if (error) throw Failure("source folder " + Quoted(folder.u8string()) + ": " + error.message());
    }

private:
    void Take(const fs::path& path, const fs::file_status& status) {
        const std::string shown = Quoted(path.u8string());
        const bool link = IsLink(path, status);
        if (!link && fs::is_directory(status)) return Walk(path);
        if (!link && fs::is_regular_file(status)) return Add(path);
        if (!link) throw Failure("file " + shown + ": not a plain file");
        std::error_code error;
        const fs::path target = ResolvedPath(path, error);
        if (error) throw Failure("file " + shown + ": a link whose target cannot be found");
        if (!LiesWithin(target, resolvedRoot_))
            throw Failure("file " + shown + ": a link to " + Quoted(target.u8string()) +
                          ", outside the source folder; only links within it are followed");
        if (fs::is_regular_file(target, error)) return Add(path);
        if (!fs::is_directory(target, error)) throw Failure("file " + shown + ": a link to something that is not a plain file");
        for (const fs::path& folder : walking_)
            if (LiesWithin(folder, target)) throw Failure("file " + shown + ": a link back into a folder that contains it");
        walking_.push_back(target);
        Walk(path);
        walking_.pop_back();
    }

    void Add(const fs::path& path) {
        std::error_code error;
        const uint64_t size = fs::file_size(path, error);
        if (error) throw Failure("file " + Quoted(path.u8string()) + ": " + error.message());
        files_.push_back({path, RelativeWindowsPath(root_, path), size});
    }

    fs::path root_, resolvedRoot_;
    std::vector<fs::path> walking_;  // resolved folders the walk is inside of, through links
    std::vector<SourceFile>& files_;
};

}  // namespace

std::string SourceFolderProblem(const fs::path& root) {
    std::error_code error;
    if (fs::is_directory(root, error)) return std::string();
    return fs::exists(root, error) ? "not a folder" : "not found";
}

std::vector<SourceFile> ScanApplication(const fs::path& root) {
    if (const std::string problem = SourceFolderProblem(root); !problem.empty())
        throw Failure("source folder " + Quoted(root.u8string()) + ": " + problem);
    std::vector<SourceFile> files;
    TreeScanner(root, files).Walk(root);
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.relative < b.relative; });
    // Windows compares names without regard to case, accented and non-Latin
    // letters included: such twins would overwrite each other.
    std::vector<std::pair<std::string, std::size_t>> folded;
    for (std::size_t i = 0; i < files.size(); ++i) folded.emplace_back(FoldedCase(files[i].relative), i);
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

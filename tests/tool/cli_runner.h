#pragma once
// Runs the velmoran command as a user would and captures what it says.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace velmoran::testing {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs a shell command line; standard error is captured with the output.
inline CommandResult RunCommand(const std::string& commandLine) {
    const std::string command = commandLine + " 2>&1";
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline CommandResult RunVelmoran(const std::string& arguments) {
    return RunCommand(std::string(VELMORAN_TOOL) + " " + arguments);
}

inline std::string Q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& p, const std::string& content) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

// A fresh folder under the build tree's temporary area, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("velmoran-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace velmoran::testing

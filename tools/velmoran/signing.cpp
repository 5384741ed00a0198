#include "signing.h"

#include <cstdio>
#include <system_error>

#include "common/failure.h"
#include "quoted.h"

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#else
#include <sys/wait.h>
#endif

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

// A path as the shell reads one word: Windows paths hold no double quote;
// POSIX ones are single-quoted, their own single quotes written '\''.
std::string ShellWord(const fs::path& path) {
#ifdef _WIN32
    return "\"" + path.string() + "\"";
#else
    std::string word = "'";
    for (const char c : path.string()) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
#endif
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
}

// Runs `line` through the shell: its exit code, its output (both streams) in `output`.
int RunShell(const std::string& line, std::string& output) {
    std::FILE* pipe = popen((line + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    const int status = pclose(pipe);
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
#endif
}

}  // namespace

void SignFile(const std::string& command, const fs::path& file, const fs::path& shownAs) {
    const std::string what = "signing " + Quoted(shownAs) + ": ";
    const bool inPlace = command.find("{file}") != std::string::npos;
    if (!inPlace && (command.find("{in}") == std::string::npos || command.find("{out}") == std::string::npos))
        throw Failure(what + "the signing command names no {file}, nor {in} and {out}");
    fs::path signedCopy = file;
    signedCopy += ".signed";
    std::error_code ignored;
    fs::remove(signedCopy, ignored);
    std::string line = command;
    ReplaceAll(line, "{file}", ShellWord(file));
    ReplaceAll(line, "{in}", ShellWord(file));
    ReplaceAll(line, "{out}", ShellWord(signedCopy));
    std::string output;
    const int exitCode = RunShell(line, output);
    if (exitCode != 0) {
        fs::remove(signedCopy, ignored);
        if (exitCode < 0) throw Failure(what + "the signing command could not be started");
        throw Failure(what + "the signing command ended with exit code " + std::to_string(exitCode) +
                      (output.empty() ? std::string() : ", saying:\n" + output));
    }
    if (inPlace) return;
    if (!fs::is_regular_file(signedCopy)) throw Failure(what + "the signing command wrote no signed file at {out}");
    std::error_code renamed;
    fs::rename(signedCopy, file, renamed);
    if (renamed) {
        fs::remove(signedCopy, ignored);
        throw Failure(what + "the signed file cannot take the installer's place: " + renamed.message());
    }
}

}  // namespace velmoran::builder

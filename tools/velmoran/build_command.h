#pragma once

#include <filesystem>
#include <string>

namespace velmoran::builder {

struct BuildOptions {
    std::filesystem::path project;
    std::filesystem::path output;
    std::filesystem::path stub;  // empty: the default stub
    bool scramble = false;
    int level = 12;  // 1-12
    // --compression: "zlib" or "lzma"; empty: the project's Compression=, else zlib.
    std::string compression;
    unsigned threads = 0;  // 0: every core
    std::string signCommand;  // empty: not signed (signing.h)
    std::filesystem::path argv0;  // how this program was started, to find the default stub
};

// Writes the installer, or throws Failure and leaves no output file.
void RunBuild(const BuildOptions& options);

}  // namespace velmoran::builder

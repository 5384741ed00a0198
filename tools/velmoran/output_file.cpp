#include "output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "common/failure.h"
#include "quoted.h"
#include "safe_files.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

// The temporary file being written, for the interrupt handler; one at a time.
char g_pendingPath[4096];
std::atomic<bool> g_pending{false};

extern "C" void RemovePendingAndExit(int signal) {
    if (g_pending.load()) std::remove(g_pendingPath);
    std::_Exit(128 + signal);
}

void WatchInterrupts() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    std::signal(SIGINT, RemovePendingAndExit);
    std::signal(SIGTERM, RemovePendingAndExit);
}

}  // namespace

OutputFile::OutputFile(fs::path target) : target_(std::move(target)) {
    WatchInterrupts();
    std::random_device random;
    temporary_ = target_;
    temporary_ += ".partial-" + std::to_string(random() % 1000000);
    // Created new, so a link planted at the temporary name is never followed.
    file_ = CreateNewFile(temporary_);
    if (!file_) throw Failure(Quoted(target_) + ": cannot be written: " + std::strerror(errno));
    const std::string path = temporary_.string();
    if (path.size() < sizeof g_pendingPath) {
        std::memcpy(g_pendingPath, path.c_str(), path.size() + 1);
        g_pending = true;
    }
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Write(const uint8_t* data, std::size_t size) {
    if (size && std::fwrite(data, 1, size, file_) != size)
        throw Failure(Quoted(target_) + ": cannot be written: " + std::strerror(errno));
}

void OutputFile::Commit(const std::function<void(const fs::path& complete)>& finish) {
    // On disk before it has its name: a crash never leaves a short installer there.
    const bool flushed = FlushToDisk(file_);
    const int error = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        Discard();
        throw Failure(Quoted(target_) + ": cannot be written: " + std::strerror(error));
    }
    if (finish) {
        try {
            finish(temporary_);
        } catch (...) {
            Discard();
            throw;
        }
    }
    std::error_code renameError;
    fs::rename(temporary_, target_, renameError);
    if (renameError) {
        Discard();
        throw Failure(Quoted(target_) + ": cannot be written: " + renameError.message());
    }
    g_pending = false;
    temporary_.clear();
}

void OutputFile::Discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
    g_pending = false;
}

}  // namespace velmoran::builder

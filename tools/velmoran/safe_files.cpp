#include "safe_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <random>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velmoran::builder {
namespace fs = std::filesystem;

#ifdef _WIN32

std::FILE* CreateNewFile(const fs::path& path) {
    // _O_EXCL maps to CREATE_NEW, which fails on any existing entry, links included.
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
}

std::FILE* AnonymousTemporaryFile() {
    static std::atomic<unsigned> counter{0};
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    if (error) return nullptr;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path = folder / ("velmoran-" + std::to_string(_getpid()) + "-" + std::to_string(counter++) +
                                        "-" + std::to_string(random() % 1000000) + ".tmp");
        const int fd = _wopen(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_TEMPORARY,
                              _S_IREAD | _S_IWRITE);
        if (fd >= 0) return _fdopen(fd, "w+b");
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

#else

std::FILE* CreateNewFile(const fs::path& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    return fd < 0 ? nullptr : fdopen(fd, "wb");
}

// tmpfile() makes an unnamed file in TMPDIR's place (/tmp), created exclusively.
std::FILE* AnonymousTemporaryFile() { return std::tmpfile(); }

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

#endif

}  // namespace velmoran::builder

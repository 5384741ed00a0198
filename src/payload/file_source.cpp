#include "payload/file_source.h"

#include <cerrno>
#include <cstring>

#include "common/failure.h"

namespace velmoran::payload {

void StdioFileSource::Open() {
    Close();
    file_ = std::fopen(path_.c_str(), "rb");
    if (!file_) throw Failure(Format("Cannot open file \"%s\". %s", path_, std::strerror(errno)));
}

namespace {

// Offsets past 2 GiB on every platform (long is 32 bits on Windows).
int SeekTo(std::FILE* file, uint64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), origin);
#else
    return fseeko(file, static_cast<off_t>(offset), origin);
#endif
}

int64_t Tell(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

}  // namespace

Failure StdioFileSource::ReadFailure(const char* reason) const {
    return Failure(Format("Cannot read \"%s\". %s", path_, reason));
}

void StdioFileSource::ReadAll(Bytes& into) {
    into.resize(static_cast<std::size_t>(Size()));
    const std::size_t got = into.empty() ? 0 : ReadAt(0, into.data(), into.size());
    if (got != into.size()) {
        into.resize(got);
        throw ReadFailure("Unexpected end of file");
    }
}

uint64_t StdioFileSource::Size() {
    if (!file_) Open();
    if (SeekTo(file_, 0, SEEK_END) != 0) throw ReadFailure(std::strerror(errno));
    const int64_t size = Tell(file_);
    if (size < 0) throw ReadFailure(std::strerror(errno));
    return static_cast<uint64_t>(size);
}

std::size_t StdioFileSource::ReadAt(uint64_t offset, uint8_t* into, std::size_t count) {
    if (!file_) Open();
    if (SeekTo(file_, offset, SEEK_SET) != 0) throw ReadFailure(std::strerror(errno));
    const std::size_t got = std::fread(into, 1, count, file_);
    if (got < count && std::ferror(file_)) throw ReadFailure(std::strerror(errno));
    return got;
}

void StdioFileSource::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace velmoran::payload

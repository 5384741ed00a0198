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

void StdioFileSource::ReadAll(Bytes& into) {
    into.clear();
    if (!file_) Open();
    if (std::fseek(file_, 0, SEEK_END) != 0) throw Failure(Format("Cannot read \"%s\". %s", path_, std::strerror(errno)));
    const long size = std::ftell(file_);
    std::rewind(file_);
    if (size > 0) into.resize(static_cast<std::size_t>(size));
    const std::size_t got = into.empty() ? 0 : std::fread(into.data(), 1, into.size(), file_);
    if (got != into.size()) {
        into.resize(got);
        throw Failure(Format("Cannot read \"%s\". %s", path_, "Unexpected end of file"));
    }
}

void StdioFileSource::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace velmoran::payload

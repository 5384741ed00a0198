#pragma once
// A ByteSource over a file opened with the C library, for the builder and tests.

#include <cstdio>
#include <string>

#include "common/byte_io.h"
#include "common/failure.h"

namespace velmoran::payload {

class StdioFileSource : public ByteSource {
public:
    explicit StdioFileSource(std::string path) : path_(std::move(path)) {}
    ~StdioFileSource() override { Close(); }
    StdioFileSource(const StdioFileSource&) = delete;
    StdioFileSource& operator=(const StdioFileSource&) = delete;

    void Open() override;
    void ReadAll(Bytes& into) override;
    void Close() override;
    uint64_t Size() override;
    std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t count) override;

private:
    Failure ReadFailure(const char* reason) const;

    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace velmoran::payload

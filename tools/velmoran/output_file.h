#pragma once
// A file that appears under its name only when complete: bytes go to a
// temporary file beside it, renamed over the target on Commit. Dropped
// uncommitted (a failure, or Ctrl-C), the temporary file is removed.

#include <cstdio>
#include <filesystem>

#include "common/byte_io.h"

namespace velmoran::builder {

class OutputFile : public ByteSink {
public:
    explicit OutputFile(std::filesystem::path target);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const uint8_t* data, std::size_t size) override;
    void Commit();

private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace velmoran::builder

#pragma once
// A file that appears under its name only when complete: bytes go to a
// temporary file beside it, renamed over the target on Commit. Dropped
// uncommitted (a failure, or Ctrl-C), the temporary file is removed.

#include <cstdio>
#include <filesystem>
#include <functional>

#include "common/byte_io.h"

namespace velmoran::builder {

class OutputFile : public ByteSink {
public:
    explicit OutputFile(std::filesystem::path target);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const uint8_t* data, std::size_t size) override;
    // `finish`, when given, works on the complete file before it gets its name
    // (signs it); when it throws, nothing is left.
    void Commit(const std::function<void(const std::filesystem::path& complete)>& finish = nullptr);

private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace velmoran::builder

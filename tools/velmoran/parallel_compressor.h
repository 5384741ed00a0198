#pragma once
// Compresses the application's files on several threads, one zlib stream per
// file (libdeflate, the whole file at once; zlib streaming beyond
// kWholeFileLimit), and hands the streams back strictly in entry order. A few
// files per thread are in flight; a stream larger than the spill threshold
// goes to an anonymous temporary file, so memory stays bounded.

#include <cstdint>
#include <fstream>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app_tree.h"
#include "common/byte_io.h"
#include "common/failure.h"

namespace velmoran::builder {

class CompressedStream {
public:
    CompressedStream() = default;
    ~CompressedStream();
    CompressedStream(const CompressedStream&) = delete;
    CompressedStream& operator=(const CompressedStream&) = delete;

    void Append(const uint8_t* data, std::size_t size, std::size_t spillThreshold);
    // Sends the whole stream to `sink`, in order.
    void WriteTo(ByteSink& sink);
    uint64_t Size() const { return size_; }

private:
    Bytes memory_;
    std::FILE* spill_ = nullptr;
    uint64_t size_ = 0;
};

// The largest file compressed whole, in memory.
inline constexpr uint64_t kWholeFileLimit = 64u << 20;

struct CompressorSettings {
    int level = 12;
    unsigned threads = 1;
    std::size_t spillThreshold = 16u << 20;
};

// Calls `consume` on the calling thread for file 0, 1, ... in order; the first
// failure (a worker's or the consumer's) stops the others and is rethrown.
void CompressInOrder(const std::vector<SourceFile>& files, const CompressorSettings& settings,
                     const std::function<void(std::size_t index, CompressedStream& stream)>& consume);

// The failure of a file whose size is no longer the scan's (`now` bytes or more).
Failure ChangedFile(const SourceFile& file, uint64_t now);

// The file opened for reading; throws Failure naming it when it cannot be.
std::ifstream OpenSourceFile(const SourceFile& file);

// A file's bytes; throws Failure naming the file when it cannot be read or its
// size no longer matches the scan.
Bytes ReadWholeFile(const SourceFile& file);

// One file as a zlib stream at `level` (1-12); throws as ReadWholeFile.
std::unique_ptr<CompressedStream> CompressFile(const SourceFile& file, int level, std::size_t spillThreshold);

}  // namespace velmoran::builder

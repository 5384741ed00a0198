#pragma once
// The small seams through which the payload code reads its file and writes items,
// so the same reader runs on Windows, in the builder and in tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

using Bytes = std::vector<uint8_t>;

// The installer file being read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Opens the file; throws Failure when it cannot be opened.
    virtual void Open() = 0;
    // Replaces `into` with the whole file. On a read failure it throws Failure,
    // leaving in `into` whatever was read before the failure.
    virtual void ReadAll(Bytes& into) = 0;
    // Releases the file; safe to call more than once.
    virtual void Close() = 0;
};

// Where an item's bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws Failure when the bytes cannot be written.
    virtual void Write(const uint8_t* data, std::size_t size) = 0;
};

class MemorySink : public ByteSink {
public:
    void Write(const uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
    }
    Bytes bytes;
};

// A source over bytes already in memory.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(Bytes content) : content_(std::move(content)) {}
    void Open() override {}
    void ReadAll(Bytes& into) override { into = content_; }
    void Close() override {}

private:
    Bytes content_;
};

}  // namespace velmoran

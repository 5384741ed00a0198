#pragma once
// The small seams through which the payload code reads its file and writes items,
// so the same reader runs on Windows, in the builder and in tests.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

using Bytes = std::vector<uint8_t>;

// Up to `count` bytes of `from` at `offset` into `into`; how many.
inline std::size_t CopyOut(const Bytes& from, uint64_t offset, uint8_t* into, std::size_t count) {
    if (offset >= from.size()) return 0;
    const std::size_t got = static_cast<std::size_t>(std::min<uint64_t>(count, from.size() - offset));
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(offset), got, into);
    return got;
}

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

    // Random access, so a reader need not hold the whole file. By default the
    // file is read whole once (ReadAll) and served from that copy; sources over
    // real files read only what is asked. Both throw Failure on a read error;
    // what was read before it stays readable.
    virtual uint64_t Size() { return Whole().size(); }
    // Up to `count` bytes at `offset`: fewer only at the end of the file.
    virtual std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t count) {
        return CopyOut(Whole(), offset, into, count);
    }

private:
    const Bytes& Whole() {
        if (!copied_) {
            copied_ = true;  // a failed read leaves what it read
            ReadAll(copy_);
        }
        return copy_;
    }
    Bytes copy_;
    bool copied_ = false;
};

// Where an item's bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws Failure when the bytes cannot be written.
    virtual void Write(const uint8_t* data, std::size_t size) = 0;
};

// Takes bytes nobody needs: an item stepped over so that the ones after it are
// read from their places.
class DiscardingSink : public ByteSink {
public:
    void Write(const uint8_t*, std::size_t) override {}
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
    uint64_t Size() override { return content_.size(); }
    std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t count) override {
        return CopyOut(content_, offset, into, count);
    }

private:
    Bytes content_;
};

}  // namespace velmoran

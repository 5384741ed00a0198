#pragma once
// Writes an installer file in the layout of payload/format.h, streaming: program
// image, header, then each item in order. Used by the builder and the tests.

#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_io.h"

namespace velmoran::payload {

// Also a ByteSink: bytes written to it after the header go into the item area,
// so an item can be streamed in pieces.
class PayloadWriter : public ByteSink {
public:
    PayloadWriter(ByteSink& out, bool scrambled) : out_(out), scrambled_(scrambled) {}

    // The stub. Throws Failure when it holds a complete start marker.
    void WriteProgramImage(const uint8_t* data, std::size_t size);

    // Start marker line, `lines` and the end marker line, each ended by CR LF.
    void WriteHeader(const std::vector<std::string>& lines);

    // One item as stored: a zlib stream or raw text.
    void WriteItem(const uint8_t* data, std::size_t size);
    void WriteItem(const Bytes& item) { WriteItem(item.data(), item.size()); }
    void Write(const uint8_t* data, std::size_t size) override { WriteItem(data, size); }

    // Scrambled payloads: ends the file on a multiple of 8 bytes with the
    // checksum 0 (zero bytes, the last one balancing it). A code signature is
    // appended at a multiple of 8; the signing tool's own padding would enter
    // the checksum.
    void Finish();

private:
    void WriteScrambled(const uint8_t* data, std::size_t size);

    ByteSink& out_;
    bool scrambled_;
    bool afterMarker_ = false;
    std::size_t keyIndex_ = 0;
    uint8_t checksum_ = 0;
    uint64_t written_ = 0;
    Bytes scratch_;
};

// The items of one installer, already compressed where the format asks for it.
struct InstallerParts {
    Bytes programImage;
    std::vector<std::string> headerLines;
    Bytes splashStream;  // empty when the header has no splash
    Bytes iconStream;    // empty when the header has no icon
    Bytes about;
    Bytes licence;
    std::vector<Bytes> fileStreams;
};

// Writes a whole installer in one call.
void WriteInstaller(ByteSink& out, const InstallerParts& parts, bool scrambled);

}  // namespace velmoran::payload

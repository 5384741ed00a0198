#pragma once
// The few places of a Windows program's headers that a payload depends on: the
// certificate table a code signature appends after the payload, and the header
// fields that point at it. Read from untrusted bytes: every offset is checked.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/byte_io.h"

namespace velmoran::payload {

// Where a PE file's headers lie, as its first bytes say; every field read
// lies within them.
struct PeHeaders {
    std::size_t signature = 0;       // "PE\0\0"; the file header follows it
    uint16_t sectionCount = 0;
    std::size_t optionalHeader = 0;
    uint16_t magic = 0;              // 0x10B PE32, 0x20B PE32+; anything else is no program Windows runs
    std::size_t sectionTable = 0;    // 40 bytes a section, sectionCount of them (not checked against the bytes)
    std::size_t dataDirectories = 0; // the first entry of the optional header's data directories
    std::size_t dataDirectoryCountField = 0;
};

// The headers of a PE file, or nothing when the bytes do not start with a DOS
// header pointing at a PE signature and the fields after it.
std::optional<PeHeaders> ReadPeHeaders(const uint8_t* data, std::size_t size);

struct PeLayout {
    std::size_t checksumField = 0;      // file offset of the optional header's CheckSum (4 bytes)
    std::size_t securityEntry = 0;      // file offset of the security directory entry (8 bytes)
    uint32_t certificateOffset = 0;     // the entry: a file offset, not an address
    uint32_t certificateSize = 0;
};

// The layout of a PE file's headers, or nothing when the bytes are not one (or
// have no security directory entry).
std::optional<PeLayout> ReadPeLayout(const uint8_t* data, std::size_t size);

// Where the signed content of a file of `fileSize` bytes ends, given its first
// `headerSize` bytes: the start of a certificate table that ends exactly at the
// end of the file, else `fileSize` (an unsigned file).
uint64_t SignedContentEnd(const uint8_t* headers, std::size_t headerSize, uint64_t fileSize);

// The headers of a copy of the file's first `copyLength` bytes (`head`, its
// first bytes): a signed file's security directory points past the copy's
// end, which would make the copy a program with a broken signature. It becomes
// an unsigned one: the entry and the checksum that covered it are cleared.
Bytes UnsignedHeaders(Bytes head, uint64_t copyLength);

// Enough of a file's start to hold its headers.
inline constexpr std::size_t kPeHeaderBytes = 4096;

}  // namespace velmoran::payload

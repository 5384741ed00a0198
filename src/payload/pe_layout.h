#pragma once
// The few places of a Windows program's headers that a payload depends on: the
// certificate table a code signature appends after the payload, and the header
// fields that point at it. Read from untrusted bytes: every offset is checked.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmoran::payload {

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

// Enough of a file's start to hold its headers.
inline constexpr std::size_t kPeHeaderBytes = 4096;

}  // namespace velmoran::payload

#include "payload/pe_layout.h"

#include <algorithm>

#include "common/little_endian.h"

namespace velmoran::payload {
namespace {

constexpr uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectory = 4;

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(const uint8_t* data, std::size_t size) {
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return std::nullopt;
    PeHeaders headers;
    headers.signature = Load32(data + 0x3C);
    const std::size_t pe = headers.signature;
    if (pe > size || size - pe < 4 + 20 + 2 || Load32(data + pe) != 0x00004550) return std::nullopt;
    headers.sectionCount = Load16(data + pe + 6);
    headers.optionalHeader = pe + 4 + 20;  // the signature, then the file header
    headers.sectionTable = headers.optionalHeader + Load16(data + pe + 20);
    headers.magic = Load16(data + headers.optionalHeader);
    const bool plus = headers.magic == kPe32Plus;
    headers.dataDirectoryCountField = headers.optionalHeader + (plus ? 108 : 92);
    headers.dataDirectories = headers.optionalHeader + (plus ? 112 : 96);
    return headers;
}

std::optional<PeLayout> ReadPeLayout(const uint8_t* data, std::size_t size) {
    const auto headers = ReadPeHeaders(data, size);
    if (!headers || (headers->magic != kPe32 && headers->magic != kPe32Plus)) return std::nullopt;
    const std::size_t entry = headers->dataDirectories + 8 * kSecurityDirectory;
    if (entry + 8 > size || Load32(data + headers->dataDirectoryCountField) <= kSecurityDirectory) return std::nullopt;
    PeLayout layout;
    layout.checksumField = headers->optionalHeader + 64;
    layout.securityEntry = entry;
    layout.certificateOffset = Load32(data + entry);
    layout.certificateSize = Load32(data + entry + 4);
    return layout;
}

uint64_t SignedContentEnd(const uint8_t* headers, std::size_t headerSize, uint64_t fileSize) {
    const auto layout = ReadPeLayout(headers, headerSize);
    if (!layout || layout->certificateSize == 0) return fileSize;
    const uint64_t end = static_cast<uint64_t>(layout->certificateOffset) + layout->certificateSize;
    // Only a table that closes the file is a signature appended after the payload.
    if (end != fileSize || layout->certificateOffset <= layout->securityEntry) return fileSize;
    return layout->certificateOffset;
}

Bytes UnsignedHeaders(Bytes head, uint64_t copyLength) {
    const auto layout = ReadPeLayout(head.data(), head.size());
    if (layout && layout->certificateSize != 0 &&
        static_cast<uint64_t>(layout->certificateOffset) + layout->certificateSize > copyLength) {
        std::fill_n(head.begin() + static_cast<long>(layout->securityEntry), 8, 0);
        std::fill_n(head.begin() + static_cast<long>(layout->checksumField), 4, 0);
    }
    return head;
}

}  // namespace velmoran::payload

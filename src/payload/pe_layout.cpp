#include "payload/pe_layout.h"

#include "common/little_endian.h"

namespace velmoran::payload {
namespace {

constexpr uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectory = 4;

}  // namespace

std::optional<PeLayout> ReadPeLayout(const uint8_t* data, std::size_t size) {
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return std::nullopt;
    const std::size_t pe = Load32(data + 0x3C);
    const std::size_t optional = pe + 4 + 20;  // the signature, then the file header
    if (pe > size || size - pe < 4 + 20 + 2 || Load32(data + pe) != 0x00004550) return std::nullopt;
    const uint16_t magic = Load16(data + optional);
    if (magic != kPe32 && magic != kPe32Plus) return std::nullopt;
    const std::size_t directoryCount = (magic == kPe32Plus ? 108 : 92), directories = (magic == kPe32Plus ? 112 : 96);
    const std::size_t entry = optional + directories + 8 * kSecurityDirectory;
    if (entry + 8 > size || Load32(data + optional + directoryCount) <= kSecurityDirectory) return std::nullopt;
    PeLayout layout;
    layout.checksumField = optional + 64;
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

}  // namespace velmoran::payload

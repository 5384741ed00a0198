#pragma once
// Little-endian numbers in byte buffers, as Windows file formats store them.
// The callers check the bounds.

#include <cstddef>
#include <cstdint>

#include "common/byte_io.h"

namespace velmoran {

inline uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Load32(const uint8_t* p) { return Load16(p) | static_cast<uint32_t>(Load16(p + 2)) << 16; }

inline void Store16(Bytes& b, std::size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Store32(Bytes& b, std::size_t at, uint32_t v) {
    Store16(b, at, v);
    Store16(b, at + 2, v >> 16);
}

inline void Append16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(Bytes& b, uint32_t v) {
    Append16(b, v);
    Append16(b, v >> 16);
}

}  // namespace velmoran

#pragma once
// Helpers for hand-made payload fixtures: bytes spelled out in the tests
// themselves, independent of the payload writer.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "common/byte_io.h"
#include "payload/format.h"

namespace velmoran::testing {


inline Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// zlib streams built by hand from stored deflate blocks (RFC 1950/1951):
// header 78 01, final stored block with LEN/NLEN, the data, Adler-32 big-endian.
// "Hi": Adler-32 a = 1+72+105 = 0xB2, b = 73+178 = 0xFB.
inline Bytes StoredHi() { return {0x78, 0x01, 0x01, 0x02, 0x00, 0xFD, 0xFF, 'H', 'i', 0x00, 0xFB, 0x00, 0xB2}; }
// Empty content: Adler-32 of nothing is 1.
inline Bytes StoredEmpty() { return {0x78, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01}; }

// XORs data[from...] with the scrambling key, key byte 0 at `from`.
inline void XorWithKey(Bytes& data, std::size_t from) {
    for (std::size_t i = from, k = 0; i < data.size(); ++i, ++k)
        data[i] ^= payload::kScrambleKey[k % payload::kScrambleKeyLength];
}

inline uint8_t XorOf(const Bytes& data, std::size_t from) {
    uint8_t x = 0;
    for (std::size_t i = from; i < data.size(); ++i) x ^= data[i];
    return x;
}

}  // namespace velmoran::testing

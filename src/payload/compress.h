#pragma once
// Compressing items for the builder and tests; the stub itself only decodes.

#include <zlib.h>

#include <cstdint>

#include "common/byte_io.h"

namespace velmoran::payload {

inline constexpr int kMaxZlibLevel = 12;  // libdeflate's levels: 10-12 beyond zlib's 9

// A zlib deflate stream with the settings every streamed item is written with:
// the largest window and the most memory, for the smallest output.
class Deflater {
public:
    explicit Deflater(int level);  // 1-9
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream stream{};
};

// One complete zlib stream (header, deflate data, Adler-32) of `data` at
// `level` (1-12), made by libdeflate in one piece.
Bytes Compress(const uint8_t* data, std::size_t size, int level);
inline Bytes Compress(const Bytes& data, int level) { return Compress(data.data(), data.size(), level); }

// The settings of a solid stream's LZMA2 encoder.
struct Lzma2Settings {
    uint32_t dictionary = 8u << 20;
    int preset = 9;        // 0-9
    bool extreme = true;   // the preset's slower, smaller variant
};

// The dictionary-size property byte (0-40) of a solid stream with `dictionary`.
uint8_t Lzma2DictionaryProperty(uint32_t dictionary);

// One piece of a solid stream: `data` as raw LZMA2 chunks, without the
// stream's end-of-data byte, so that pieces can be joined. `preceding` (at
// most the dictionary) is the data just before `data`: the piece refers back
// into it and starts without resetting the dictionary, so it must follow
// exactly that data in the stream. Without it the piece resets the dictionary
// and can start a stream.
Bytes EncodeLzma2Piece(const uint8_t* data, std::size_t size, const uint8_t* preceding, std::size_t precedingSize,
                       const Lzma2Settings& settings);

}  // namespace velmoran::payload

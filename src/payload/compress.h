#pragma once
// Deflating items for the builder and tests; the stub itself only inflates.

#include <zlib.h>

#include "common/byte_io.h"

namespace velmoran::payload {

// A zlib deflate stream with the settings every item is written with: the
// largest window and the most memory, for the smallest output.
class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream stream{};
};

// One complete zlib stream (header, deflate data, Adler-32) of `data` at `level` (1-9).
Bytes Compress(const uint8_t* data, std::size_t size, int level);
inline Bytes Compress(const Bytes& data, int level) { return Compress(data.data(), data.size(), level); }

}  // namespace velmoran::payload

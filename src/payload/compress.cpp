#include "payload/compress.h"

#include <zlib.h>

#include "common/failure.h"

namespace velmoran::payload {

Bytes Compress(const uint8_t* data, std::size_t size, int level) {
    uLongf capacity = compressBound(static_cast<uLong>(size));
    Bytes out(capacity);
    // compress2 wants a non-null source even for empty input.
    static const uint8_t kEmpty = 0;
    const int status = compress2(out.data(), &capacity, size ? data : &kEmpty,
                                 static_cast<uLong>(size), level);
    if (status != Z_OK) throw Failure("Compression failed (zlib status " + std::to_string(status) + ")");
    out.resize(capacity);
    return out;
}

}  // namespace velmoran::payload

#include "payload/compress.h"

#include "common/failure.h"

namespace velmoran::payload {

Deflater::Deflater(int level) {
    if (deflateInit2(&stream, level, Z_DEFLATED, MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Failure("zlib could not start compressing");
}

Deflater::~Deflater() { deflateEnd(&stream); }

Bytes Compress(const uint8_t* data, std::size_t size, int level) {
    Deflater deflater(level);
    z_stream& zs = deflater.stream;
    Bytes out(deflateBound(&zs, static_cast<uLong>(size)));
    // zlib wants a non-null source even for empty input.
    static const uint8_t kEmpty = 0;
    zs.next_in = const_cast<Bytef*>(size ? data : &kEmpty);
    zs.avail_in = static_cast<uInt>(size);
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END) throw Failure("zlib could not compress an item");
    out.resize(zs.total_out);
    return out;
}

}  // namespace velmoran::payload

#pragma once
// The solid file data of a "Compression=lzma2" payload, made in memory for
// tests: dictionary property, Adler-32s, and the files' bytes as LZMA2 in
// pieces of `pieceBytes`, each primed with everything before it.

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "common/byte_io.h"
#include "payload/compress.h"

namespace velmoran::testing {

inline Bytes SolidFileData(const std::vector<Bytes>& files, std::size_t pieceBytes = 1 << 20) {
    Bytes all;
    for (const Bytes& file : files) all.insert(all.end(), file.begin(), file.end());
    payload::Lzma2Settings settings;
    settings.dictionary = static_cast<uint32_t>(std::max<std::size_t>(4096, all.size()));
    settings.preset = 1;
    settings.extreme = false;
    Bytes out{payload::Lzma2DictionaryProperty(settings.dictionary)};
    for (const Bytes& file : files) {
        const uLong checksum = adler32(adler32(0, nullptr, 0), file.data(), static_cast<uInt>(file.size()));
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(checksum >> shift));
    }
    for (std::size_t start = 0; start < all.size(); start += pieceBytes) {
        const std::size_t size = std::min(pieceBytes, all.size() - start);
        const Bytes piece = payload::EncodeLzma2Piece(all.data() + start, size, all.data(), start, settings);
        out.insert(out.end(), piece.begin(), piece.end());
    }
    out.push_back(0x00);
    return out;
}

}  // namespace velmoran::testing

#include "payload/compress.h"

#include <libdeflate.h>
#include <lzma.h>

#include <memory>

#include "common/failure.h"
#include "payload/solid_decoder.h"

namespace velmoran::payload {

Deflater::Deflater(int level) {
    if (deflateInit2(&stream, level, Z_DEFLATED, MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Failure("zlib could not start compressing");
}

Deflater::~Deflater() { deflateEnd(&stream); }

Bytes Compress(const uint8_t* data, std::size_t size, int level) {
    // One per item: a compressor kept per thread (thread_local) crashed MinGW
    // programs as their threads ended, and setting one up costs little.
    const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> owner(
        libdeflate_alloc_compressor(level), &libdeflate_free_compressor);
    if (!owner) throw Failure("libdeflate could not start compressing (level " + std::to_string(level) + ")");
    libdeflate_compressor* compressor = owner.get();
    Bytes out(libdeflate_zlib_compress_bound(compressor, size));
    const std::size_t written = libdeflate_zlib_compress(compressor, data, size, out.data(), out.size());
    if (written == 0) throw Failure("libdeflate could not compress an item");
    out.resize(written);
    return out;
}

uint8_t Lzma2DictionaryProperty(uint32_t dictionary) {
    // The smallest property whose size holds the dictionary.
    uint8_t property = 0;
    while (property < 40 && LzmaDictionarySize(property) < dictionary) ++property;
    return property;
}

Bytes EncodeLzma2Piece(const uint8_t* data, std::size_t size, const uint8_t* preceding, std::size_t precedingSize,
                       const Lzma2Settings& settings) {
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, static_cast<uint32_t>(settings.preset) | (settings.extreme ? LZMA_PRESET_EXTREME : 0)))
        throw Failure("liblzma does not know preset " + std::to_string(settings.preset));
    options.dict_size = settings.dictionary;
    // Position bits 0: neither programs nor texts keep their data in 4-byte steps
    // that the coder could take advantage of; measured smaller on both.
    options.pb = 0;
    if (precedingSize > 0) {
        options.preset_dict = preceding;
        options.preset_dict_size = static_cast<uint32_t>(precedingSize);
    }
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK)
        throw Failure("liblzma could not start compressing (not enough memory?)");
    const std::unique_ptr<lzma_stream, decltype(&lzma_end)> owner(&stream, &lzma_end);
    Bytes out(size + size / 16 + 4096);
    stream.next_in = data;
    stream.avail_in = size;
    stream.next_out = out.data();
    stream.avail_out = out.size();
    for (;;) {
        const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
        if (status == LZMA_STREAM_END) break;
        if (status != LZMA_OK) throw Failure("liblzma could not compress the files (error " + std::to_string(status) + ")");
        if (stream.avail_out == 0) {
            const std::size_t used = out.size();
            out.resize(used * 2);
            stream.next_out = out.data() + used;
            stream.avail_out = out.size() - used;
        }
    }
    out.resize(out.size() - stream.avail_out);
    // Drop the end-of-data byte: the stream's end is written once, after the last piece.
    if (out.empty() || out.back() != 0x00) throw Failure("liblzma ended a piece unexpectedly");
    out.pop_back();
    return out;
}

}  // namespace velmoran::payload

#include "payload/solid_decoder.h"

#include <lzma.h>

#include "common/failure.h"

namespace velmoran::payload {

struct SolidDecoder::State {
    lzma_stream stream = LZMA_STREAM_INIT;
    ~State() { lzma_end(&stream); }
};

uint64_t LzmaDictionarySize(uint8_t property) {
    if (property > 40) return 0;
    if (property == 40) return 0xFFFFFFFFu;
    return static_cast<uint64_t>(2 | (property & 1)) << (property / 2 + 11);
}

SolidDecoder::SolidDecoder(uint64_t dictionarySize) : state_(std::make_unique<State>()) {
    lzma_options_lzma options{};
    options.dict_size = static_cast<uint32_t>(dictionarySize);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_raw_decoder(&state_->stream, filters) != LZMA_OK) throw Failure("Error");
}

SolidDecoder::~SolidDecoder() = default;

SolidDecoder::Step SolidDecoder::Decode(const uint8_t* input, std::size_t inputSize, uint8_t* output,
                                        std::size_t outputSize) {
    lzma_stream& stream = state_->stream;
    stream.next_in = input;
    stream.avail_in = inputSize;
    stream.next_out = output;
    stream.avail_out = outputSize;
    const lzma_ret status = lzma_code(&stream, LZMA_RUN);
    Step step;
    step.consumed = inputSize - stream.avail_in;
    step.produced = outputSize - stream.avail_out;
    step.ended = status == LZMA_STREAM_END;
    // LZMA_BUF_ERROR: no progress possible with what was given; the caller sees
    // nothing consumed or produced and decides (input cut short, or no room).
    if (status != LZMA_OK && status != LZMA_STREAM_END && status != LZMA_BUF_ERROR) throw Failure("Error");
    return step;
}

}  // namespace velmoran::payload

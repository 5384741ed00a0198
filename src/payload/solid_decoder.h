#pragma once
// Decodes the solid file data: one raw LZMA2 stream holding every file's bytes
// back to back. The reader feeds it the stored bytes and takes the decoded ones
// a file at a time; it keeps no more than the dictionary and its own state.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace velmoran::payload {

// The dictionary size an LZMA2 dictionary-size property stands for; 0 when the
// property is not one (above 40).
uint64_t LzmaDictionarySize(uint8_t property);

class SolidDecoder {
public:
    // Throws Failure("Error") when the decoder cannot start (no memory for the dictionary).
    explicit SolidDecoder(uint64_t dictionarySize);
    ~SolidDecoder();
    SolidDecoder(const SolidDecoder&) = delete;
    SolidDecoder& operator=(const SolidDecoder&) = delete;

    struct Step {
        std::size_t consumed = 0;  // of the input
        std::size_t produced = 0;  // into the output
        bool ended = false;        // the stream's end-of-data byte was read
    };
    // Decodes as much of `input` into `output` as fits. Throws Failure("Error")
    // on data that is not a valid LZMA2 stream.
    Step Decode(const uint8_t* input, std::size_t inputSize, uint8_t* output, std::size_t outputSize);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmoran::payload

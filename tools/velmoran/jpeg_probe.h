#pragma once
// Enough of a JPEG's structure to refuse pictures the installer cannot show.

#include <cstdint>
#include <optional>
#include <vector>

namespace velmoran::builder {

struct JpegSize {
    int width = 0;
    int height = 0;
};

// The frame size of a JPEG (SOI, then segments up to a start-of-frame), or
// nothing when the bytes are not a JPEG.
std::optional<JpegSize> ProbeJpeg(const std::vector<uint8_t>& bytes);

}  // namespace velmoran::builder

#include "jpeg_probe.h"

namespace velmoran::builder {

std::optional<JpegSize> ProbeJpeg(const std::vector<uint8_t>& b) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
    std::size_t i = 2;
    while (i + 4 <= b.size()) {
        if (b[i] != 0xFF) return std::nullopt;
        const uint8_t marker = b[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        const std::size_t length = (static_cast<std::size_t>(b[i + 2]) << 8) | b[i + 3];
        if (length < 2 || i + 2 + length > b.size()) return std::nullopt;
        // SOF0-SOF15 carry the frame size, except DHT (C4), JPG (C8) and DAC (CC).
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (length < 7) return std::nullopt;
            JpegSize size;
            size.height = (b[i + 5] << 8) | b[i + 6];
            size.width = (b[i + 7] << 8) | b[i + 8];
            return size;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the scan
        i += 2 + length;
    }
    return std::nullopt;
}

}  // namespace velmoran::builder

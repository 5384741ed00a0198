// Draws the stub's default installer icon and writes it as an .ico file:
// 16 and 32 pixel images as 32-bit bitmaps (for every part of Windows that
// draws small icons), the 48 and 256 pixel ones as PNG, which Windows reads in
// an icon since Vista and which takes a tenth of the bitmap's room in the stub.
// The result is committed as src/app/installer.ico; a test keeps the two equal.
//   make_stub_icon OUT.ico

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/little_endian.h"

namespace {

using velmoran::Append16;
using velmoran::Append32;
using velmoran::Bytes;

struct Rgba {
    double r, g, b, a;
};

// Coverage of one point of the unit square by the picture: a parcel (a box
// with a lid band and a cord) with a green arrow pointing into it.
Rgba Paint(double x, double y) {
    const auto inBox = [](double px, double py, double x0, double y0, double x1, double y1, double radius) {
        const double cx = std::clamp(px, x0 + radius, x1 - radius), cy = std::clamp(py, y0 + radius, y1 - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius && px >= x0 && px <= x1 && py >= y0 &&
               py <= y1;
    };
    // The arrow: a shaft and a head, above and into the box.
    const bool shaft = x >= 0.42 && x <= 0.58 && y >= 0.04 && y <= 0.40;
    const bool head = y >= 0.30 && y <= 0.56 && std::fabs(x - 0.5) <= (0.56 - y) * 0.95;
    if (shaft || head) {
        const bool edge = !(x >= 0.45 && x <= 0.55 && y >= 0.07 && y <= 0.40) &&
                          !(y >= 0.33 && y <= 0.52 && std::fabs(x - 0.5) <= (0.52 - y) * 0.95 - 0.01);
        return edge ? Rgba{0.05, 0.35, 0.10, 1} : Rgba{0.20, 0.72, 0.25, 1};
    }
    if (!inBox(x, y, 0.08, 0.40, 0.92, 0.95, 0.06)) return {0, 0, 0, 0};
    if (!inBox(x, y, 0.12, 0.44, 0.88, 0.91, 0.04)) return {0.35, 0.20, 0.07, 1};  // outline
    if (y <= 0.54) return {0.86, 0.62, 0.33, 1};                                   // the lid band
    if (std::fabs(x - 0.5) <= 0.05) return {0.93, 0.88, 0.75, 1};                  // the cord
    return {0.78, 0.52, 0.25, 1};
}

// size x size RGBA pixels, top row first; each pixel averaged over 4 x 4 samples.
Bytes Render(int size) {
    Bytes pixels(static_cast<std::size_t>(size) * size * 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const Rgba c = Paint((px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            }
            uint8_t* out = &pixels[(static_cast<std::size_t>(py) * size + px) * 4];
            const double alpha = a / 16;
            out[0] = static_cast<uint8_t>(std::lround(a > 0 ? r / a * 255 : 0));
            out[1] = static_cast<uint8_t>(std::lround(a > 0 ? g / a * 255 : 0));
            out[2] = static_cast<uint8_t>(std::lround(a > 0 ? b / a * 255 : 0));
            out[3] = static_cast<uint8_t>(std::lround(alpha * 255));
        }
    }
    return pixels;
}

void Put32Big(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}); }

// An icon image as Windows stores it: a BITMAPINFOHEADER of double height,
// the BGRA rows bottom-up, then the 1-bit mask (all drawn, alpha decides).
Bytes BitmapImage(int size) {
    const Bytes rgba = Render(size);
    Bytes out;
    Append32(out, 40), Append32(out, size), Append32(out, size * 2), Append16(out, 1), Append16(out, 32);
    Append32(out, 0), Append32(out, 0), Append32(out, 0), Append32(out, 0), Append32(out, 0), Append32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    const std::size_t maskRow = ((size + 31) / 32) * 4;
    out.insert(out.end(), maskRow * size, 0);
    return out;
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    Put32Big(png, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32Big(png, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

Bytes PngImage(int size) {
    const Bytes rgba = Render(size);
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgba.begin() + static_cast<long>(y) * size * 4, rgba.begin() + static_cast<long>(y + 1) * size * 4);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32Big(header, size), Put32Big(header, size);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_stub_icon OUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48, 256};
    std::vector<Bytes> images;
    for (const int size : sizes) images.push_back(size >= 48 ? PngImage(size) : BitmapImage(size));
    Bytes ico;
    Append16(ico, 0), Append16(ico, 1), Append16(ico, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const uint8_t dimension = sizes[i] == 256 ? 0 : static_cast<uint8_t>(sizes[i]);
        ico.insert(ico.end(), {dimension, dimension, 0, 0});
        Append16(ico, 1), Append16(ico, 32), Append32(ico, static_cast<uint32_t>(images[i].size())), Append32(ico, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) ico.insert(ico.end(), image.begin(), image.end());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    return out ? 0 : 1;
}

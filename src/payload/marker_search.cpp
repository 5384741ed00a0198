#include "payload/marker_search.h"

#include <cstring>

#include "payload/format.h"

namespace velmoran::payload {

std::size_t FindFirst(const uint8_t* data, std::size_t size, const std::string& needle) {
    if (needle.empty() || size < needle.size()) return kNotFound;
    const uint8_t* last = data + (size - needle.size());
    // memchr skips to each candidate first byte; memcmp confirms it.
    for (const uint8_t* p = data; p <= last;) {
        const void* hit = std::memchr(p, static_cast<unsigned char>(needle[0]),
                                      static_cast<std::size_t>(last - p) + 1);
        if (!hit) break;
        p = static_cast<const uint8_t*>(hit);
        if (std::memcmp(p, needle.data(), needle.size()) == 0)
            return static_cast<std::size_t>(p - data);
        ++p;
    }
    return kNotFound;
}

std::string PlainStartMarker() { return std::string(kMarkerPrefix) + kMarkerPlainTail; }
std::string ScrambledStartMarker() { return std::string(kMarkerPrefix) + kMarkerScrambledTail; }
std::string EndMarker() { return std::string(kMarkerPrefix) + kMarkerEndTail; }

bool ContainsStartMarker(const uint8_t* data, std::size_t size) {
    return FindFirst(data, size, PlainStartMarker()) != kNotFound ||
           FindFirst(data, size, ScrambledStartMarker()) != kNotFound;
}

}  // namespace velmoran::payload

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmoran::payload {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// First offset of `needle` in data[0, size), scanning forward; kNotFound if absent.
std::size_t FindFirst(const uint8_t* data, std::size_t size, const std::string& needle);

std::string PlainStartMarker();
std::string ScrambledStartMarker();
std::string EndMarker();

// True when either complete start marker occurs in the bytes (a program image
// that holds one would be mistaken for its own payload).
bool ContainsStartMarker(const uint8_t* data, std::size_t size);

}  // namespace velmoran::payload

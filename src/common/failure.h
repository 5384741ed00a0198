#pragma once
// Failures are exceptions carrying the text the user sees.

#include <stdexcept>
#include <string>

namespace velmoran {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

// printf-style formatting of one or two %s into a message, without iostreams.
std::string Format(const char* pattern, const std::string& first);
std::string Format(const char* pattern, const std::string& first, const std::string& second);

}  // namespace velmoran

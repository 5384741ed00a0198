#pragma once
// Failures are exceptions carrying the text the user sees.

#include <exception>
#include <string>

namespace velmoran {

// Not a std::runtime_error: that one keeps its text in the library's older
// string type, whose code the installer would then have to carry as well.
class Failure : public std::exception {
public:
    explicit Failure(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// printf-style formatting of one or two %s into a message, without iostreams.
std::string Format(const char* pattern, const std::string& first);
std::string Format(const char* pattern, const std::string& first, const std::string& second);

}  // namespace velmoran

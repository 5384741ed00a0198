// The C++ library reports a misuse (a string position out of range, a length
// beyond the maximum) through these functions. Its own versions build its
// standard exception types, whose texts live in the library's older string
// type, and so bring some 30 KB of code into the installer for errors it never
// expects to see. These throw the same way with a plain exception that carries
// the library's text; they take the library's place at link time.

#include <exception>
#include <new>

namespace {

class LibraryError : public std::exception {
public:
    // No printf here: MinGW's own would cost more than it saves.
    explicit LibraryError(const char* text) {
        std::size_t length = 0;
        for (; text && text[length] && length + 1 < sizeof text_; ++length) text_[length] = text[length];
        text_[length] = '\0';
    }
    const char* what() const noexcept override { return text_; }

private:
    char text_[128];
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_logic_error(const char* text) { throw LibraryError(text); }
void __throw_length_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range(const char* text) { throw LibraryError(text); }
void __throw_invalid_argument(const char* text) { throw LibraryError(text); }
void __throw_runtime_error(const char* text) { throw LibraryError(text); }

// The text keeps its placeholders unfilled.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }

}  // namespace std

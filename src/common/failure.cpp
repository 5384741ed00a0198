#include "common/failure.h"

namespace velmoran {
namespace {

// Replaces each "%s" in turn by the next argument; "%%" stands for "%".
std::string Substitute(const char* pattern, const std::string* args, int count) {
    std::string out;
    int next = 0;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && next < count) {
            out += args[next++];
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace

std::string Format(const char* pattern, const std::string& first) {
    return Substitute(pattern, &first, 1);
}

std::string Format(const char* pattern, const std::string& first, const std::string& second) {
    const std::string args[2] = {first, second};
    return Substitute(pattern, args, 2);
}

}  // namespace velmoran

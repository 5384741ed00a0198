#include "payload/format.h"

namespace velmoran::payload {

const unsigned char kScrambleKey[kScrambleKeyLength] = {
    'Q', 'u', 'e', 'n', 'w', 'i', 'c', 'k', '-', 'V', 'e', 'l', 'm', 'o', 'r', 'a', 'n',
    0xA7, '#', '7', 'r', 'T', '!', 'p', 'L', '0', '~', 'z', 0xB6, 'K', 'c', '8', '=',
    'h', 'W', '2', '[', 'm', 0xE9, 'D', 'x', '5', '%', 'j', 'S', '9', 0xF1, 'b', 'N',
};

}  // namespace velmoran::payload

#pragma once
// The code page the program's texts travel in. The installer's paths, names
// and logs are UTF-8, the code page its manifest asks Windows to run its ANSI
// calls in (Windows 10 version 1903 and later grant it). Texts written before
// that, by older installers or on older systems, are in the machine's legacy
// ANSI code page, the system locale's.

#include <string>

namespace velmoran::platform {

class CodePage {
public:
    virtual ~CodePage() = default;

    // True when this process's ANSI calls take UTF-8.
    virtual bool AnsiIsUtf8() = 0;
    // A text in the machine's legacy ANSI code page, in this process's ANSI
    // code page: UTF-8 when that is UTF-8, else the text unchanged.
    virtual std::string FromLegacy(const std::string& text) = 0;
};

}  // namespace velmoran::platform

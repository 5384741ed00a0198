#pragma once

#include "platform/code_page.h"

namespace velmoran::platform::win32 {

// The system locale's ANSI code page, the one programs not running in UTF-8
// write their texts in (1252 when the locale has none).
unsigned LegacyAnsiCodePage();

class Win32CodePage : public CodePage {
public:
    Win32CodePage();
    bool AnsiIsUtf8() override { return ansiIsUtf8_; }
    std::string FromLegacy(const std::string& text) override;

private:
    // Asked once: a legacy header or log is converted line by line.
    const bool ansiIsUtf8_;
    const unsigned legacy_;
};

}  // namespace velmoran::platform::win32

#include "platform/win32/win32_code_page.h"

#include "platform/win32/local_text.h"
#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {
// GetACP answers 65001 once the manifest's UTF-8 is granted; the code page
// older programs wrote in is the system locale's default.
unsigned LegacyAnsiCodePage() {
    DWORD codePage = 0;
    const int got = GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                    reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    // A locale with no ANSI code page of its own (Unicode-only ones answer 0)
    // leaves the Western one, which most texts of older installers are in.
    return got > 0 && codePage != 0 && codePage != CP_UTF8 ? codePage : 1252;
}

Win32CodePage::Win32CodePage() : ansiIsUtf8_(GetACP() == CP_UTF8), legacy_(LegacyAnsiCodePage()) {}

std::string Win32CodePage::FromLegacy(const std::string& text) {
    if (text.empty() || !ansiIsUtf8_) return text;
    return ToUtf8(legacy_, text);
}

}  // namespace velmoran::platform::win32

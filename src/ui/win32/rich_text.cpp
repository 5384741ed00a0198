#include "ui/win32/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <string_view>

#include "common/failure.h"
#include "common/utf8.h"
#include "platform/win32/win32_code_page.h"

namespace velmoran::ui::win32 {
namespace {

// Feeds a rich-edit box from memory.
struct StreamSource {
    const Bytes* bytes;
    std::size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t left = source->bytes->size() - source->offset;
    const std::size_t count = left < static_cast<std::size_t>(want) ? left : static_cast<std::size_t>(want);
    for (std::size_t i = 0; i < count; ++i) buffer[i] = (*source->bytes)[source->offset + i];
    source->offset += count;
    *got = static_cast<LONG>(count);
    return 0;
}

bool StreamIn(HWND box, const Bytes& text, WPARAM format) {
    StreamSource source{&text, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadStream;
    SendMessageA(box, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) return false;
    // A document that is RTF stands as it loaded, even with no characters in it;
    // other text read as RTF comes out empty and is shown as plain text instead.
    static const char kRtfStart[] = "{\\rtf";
    const bool isRtf = text.size() >= 5 && std::equal(kRtfStart, kRtfStart + 5, text.begin());
    return isRtf || text.empty() || GetWindowTextLengthA(box) > 0;
}

}  // namespace

void LoadRichText(HWND control, const Bytes& text) {
    if (StreamIn(control, text, SF_RTF)) return;
    // Plain text: UTF-8 (its byte-order mark left out) when it is well-formed,
    // else the machine's legacy code page, as editors there saved it.
    static const uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
    const bool marked = text.size() >= 3 && std::equal(kByteOrderMark, kByteOrderMark + 3, text.begin());
    const Bytes plain(text.begin() + (marked ? 3 : 0), text.end());
    const std::string_view chars(reinterpret_cast<const char*>(plain.data()), plain.size());
    const unsigned codePage = IsUtf8(chars) ? CP_UTF8 : platform::win32::LegacyAnsiCodePage();
    if (StreamIn(control, plain, (static_cast<WPARAM>(codePage) << 16) | SF_USECODEPAGE | SF_TEXT)) return;
    throw Failure("Failed to Load Stream");
}

}  // namespace velmoran::ui::win32

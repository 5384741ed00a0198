#include "platform/win32/local_text.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

std::vector<wchar_t> ToWide(unsigned codePage, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = text.empty() ? 0 : MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::vector<wchar_t> AnsiToWide(const std::string& text) {
    return ToWide(CP_ACP, text);
}

std::string ToUtf8(unsigned codePage, const std::string& text) {
    if (text.empty()) return text;
    const std::vector<wchar_t> utf16 = ToWide(codePage, text);
    const int wide = static_cast<int>(utf16.size()) - 1;
    if (wide <= 0) return text;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return text;
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string AnsiToUtf8(const std::string& text) {
    return ToUtf8(CP_ACP, text);
}

namespace {

void AppendDigits(std::string& text, unsigned value, int digits) {
    std::string part(static_cast<std::size_t>(digits), '0');
    for (int i = digits; i-- > 0; value /= 10) part[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    text += part;
}

}  // namespace

std::string LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string text;
    const struct {
        unsigned value;
        int digits;
        const char* after;
    } parts[] = {{now.wYear, 4, "-"}, {now.wMonth, 2, "-"},   {now.wDay, 2, " "},
                 {now.wHour, 2, ":"}, {now.wMinute, 2, ":"}, {now.wSecond, 2, ""}};
    for (const auto& part : parts) {
        AppendDigits(text, part.value, part.digits);
        text += part.after;
    }
    return text;
}

}  // namespace velmoran::platform::win32

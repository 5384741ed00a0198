#include "identity_resources.h"

#include <algorithm>

#include "common/failure.h"
#include "common/little_endian.h"
#include "code_page.h"
#include "common/utf8.h"

namespace velmoran::builder {
namespace {

uint16_t Get16(const Bytes& b, std::size_t at) { return Load16(&b[at]); }
uint32_t Get32(const Bytes& b, std::size_t at) { return Load32(&b[at]); }
void Align4(Bytes& b) { b.resize((b.size() + 3) / 4 * 4, 0); }

constexpr uint16_t kEnglishUs = 0x409, kUnicode = 1200;

std::u16string Utf16(const std::string& utf8) {
    const auto codePoints = DecodeUtf8(utf8);
    if (!codePoints) throw Failure("the text is not UTF-8");
    std::u16string out;
    for (char32_t code : *codePoints) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string Utf8(const std::u16string& text) {
    std::u32string codePoints;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        codePoints += code;
    }
    return EncodeUtf8(codePoints);
}

void PutText(Bytes& b, const std::u16string& text) {
    for (const char16_t c : text) Append16(b, c);
    Append16(b, 0);
}

// One node of a version resource: length, value length, type, key, padding,
// value, padding, children; the length is filled in when it is complete.
class VersionNode {
public:
    VersionNode(Bytes& out, const char* key, uint16_t valueLength, bool text) : out_(out), start_(out.size()) {
        Append16(out_, 0), Append16(out_, valueLength), Append16(out_, text ? 1 : 0);
        PutText(out_, Utf16(key));
        Align4(out_);
    }
    ~VersionNode() {
        Store16(out_, start_, static_cast<uint32_t>(out_.size() - start_));
        Align4(out_);
    }

private:
    Bytes& out_;
    std::size_t start_;
};

}  // namespace

// An icon file names its images' places itself: each must lie in the file, and
// none may overlap another, so the images together never outgrow the file
// (a small file whose entries all point at its whole length would otherwise
// be copied as often as it has entries).
std::vector<IconImage> ParseIconFile(const Bytes& ico) {
    if (ico.size() < 6 || Get16(ico, 0) != 0 || Get16(ico, 2) != 1) throw Failure("not an icon file (.ico)");
    const std::size_t count = Get16(ico, 4);
    if (count == 0) throw Failure("the icon file holds no image");
    if (count > kMaxIconImages)
        throw Failure("the icon file holds " + std::to_string(count) + " images; an installer's icon takes at most " +
                      std::to_string(kMaxIconImages));
    if (6 + 16 * count > ico.size()) throw Failure("the icon file's directory is cut short");
    std::vector<std::pair<uint64_t, uint64_t>> spans;  // [offset, end) of each image
    for (std::size_t i = 0; i < count; ++i) {
        const uint64_t size = Get32(ico, 6 + 16 * i + 8), offset = Get32(ico, 6 + 16 * i + 12);
        spans.emplace_back(offset, offset + size);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) throw Failure("two of the icon file's images overlap");
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        IconImage image;
        image.width = ico[entry] ? ico[entry] : 256;
        image.height = ico[entry + 1] ? ico[entry + 1] : 256;
        image.colorCount = ico[entry + 2];
        image.planes = Get16(ico, entry + 4);
        image.bitCount = Get16(ico, entry + 6);
        const uint64_t size = Get32(ico, entry + 8), offset = Get32(ico, entry + 12);
        if (size < 40 || offset + size > ico.size()) throw Failure("image " + std::to_string(i + 1) + " lies outside the file");
        image.data.assign(ico.begin() + static_cast<long>(offset), ico.begin() + static_cast<long>(offset + size));
        static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        const bool png = std::equal(std::begin(kPng), std::end(kPng), image.data.begin());
        if (!png && Get32(image.data, 0) != 40) throw Failure("image " + std::to_string(i + 1) + " is neither a bitmap nor a PNG");
        images.push_back(std::move(image));
    }
    return images;
}

void ReplaceIcons(std::vector<Resource>& resources, const std::vector<IconImage>& images) {
    // The language the stub's own icons carry, so Explorer finds the new ones the same way.
    uint16_t language = kEnglishUs;
    for (const Resource& r : resources)
        if (r.type.name.empty() && r.type.id == kResourceGroupIcon) language = r.language;
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [](const Resource& r) {
                                       return r.type.name.empty() && (r.type.id == kResourceIcon || r.type.id == kResourceGroupIcon);
                                   }),
                    resources.end());
    Bytes group;
    Append16(group, 0), Append16(group, 1), Append16(group, static_cast<uint32_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        group.push_back(static_cast<uint8_t>(image.width == 256 ? 0 : image.width));
        group.push_back(static_cast<uint8_t>(image.height == 256 ? 0 : image.height));
        group.push_back(image.colorCount), group.push_back(0);
        Append16(group, image.planes), Append16(group, image.bitCount), Append32(group, static_cast<uint32_t>(image.data.size()));
        Append16(group, static_cast<uint32_t>(i + 1));
        resources.push_back({ResourceKey{kResourceIcon, {}}, ResourceKey{static_cast<uint16_t>(i + 1), {}}, language, image.data});
    }
    resources.push_back({ResourceKey{kResourceGroupIcon, {}}, ResourceKey{1, {}}, language, group});
}

std::vector<std::string> IconGroupSizes(const std::vector<Resource>& resources, uint16_t group) {
    std::vector<std::string> sizes;
    for (const Resource& r : resources) {
        if (!r.type.name.empty() || r.type.id != kResourceGroupIcon || !r.name.name.empty() || r.name.id != group) continue;
        for (std::size_t at = 6; at + 14 <= r.data.size() && sizes.size() < Get16(r.data, 4); at += 14) {
            const int width = r.data[at] ? r.data[at] : 256, height = r.data[at + 1] ? r.data[at + 1] : 256;
            sizes.push_back(std::to_string(width) + "x" + std::to_string(height));
        }
    }
    return sizes;
}

std::optional<std::vector<uint16_t>> ParseVersion(const std::string& text) {
    std::vector<uint16_t> numbers;
    std::size_t start = 0;
    for (;;) {
        const auto dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        const unsigned long value = std::stoul(part);
        if (value > 65535) return std::nullopt;
        numbers.push_back(static_cast<uint16_t>(value));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (numbers.size() > 4) return std::nullopt;
    return numbers;
}

Bytes MakeVersionInfo(const VersionStrings& strings) {
    std::vector<uint16_t> v = strings.version.empty() ? std::vector<uint16_t>() : ParseVersion(strings.version).value();
    v.resize(4, 0);
    Bytes out;
    {
        VersionNode root(out, "VS_VERSION_INFO", 52, false);
        Append32(out, 0xFEEF04BD), Append32(out, 0x00010000);
        for (int twice = 0; twice < 2; ++twice) Append32(out, v[0] << 16 | v[1]), Append32(out, v[2] << 16 | v[3]);
        Append32(out, 0x3F), Append32(out, 0), Append32(out, 0x00040004), Append32(out, 1), Append32(out, 0), Append32(out, 0), Append32(out, 0);
        {
            VersionNode fileInfo(out, "StringFileInfo", 0, true);
            VersionNode table(out, "040904b0", 0, true);
            const std::pair<const char*, const std::string*> values[] = {
                {"CompanyName", &strings.companyName}, {"FileDescription", &strings.fileDescription},
                {"FileVersion", &strings.version},     {"LegalCopyright", &strings.copyright},
                {"ProductName", &strings.productName}, {"ProductVersion", &strings.version}};
            for (const auto& [key, value] : values) {
                if (value->empty()) continue;
                const std::u16string text = Utf16(*value);
                VersionNode entry(out, key, static_cast<uint16_t>(text.size() + 1), true);
                PutText(out, text);
            }
        }
        VersionNode varInfo(out, "VarFileInfo", 0, true);
        VersionNode translation(out, "Translation", 4, false);
        Append16(out, kEnglishUs), Append16(out, kUnicode);
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ReadVersionStrings(const Bytes& info) {
    // Walks the nodes: a node's key, then (for strings) its text value.
    std::vector<std::pair<std::string, std::string>> strings;
    const auto keyAt = [&](std::size_t at, std::size_t end, std::size_t& after) {
        std::u16string key;
        std::size_t i = at + 6;
        for (; i + 1 < end && Get16(info, i) != 0; i += 2) key += static_cast<char16_t>(Get16(info, i));
        after = (i + 2 + 3) / 4 * 4;
        return key;
    };
    std::size_t after = 0;
    if (info.size() < 6 || keyAt(0, info.size(), after) != u"VS_VERSION_INFO") return strings;
    for (std::size_t at = (after + Get16(info, 2) + 3) / 4 * 4; at + 6 <= info.size();) {
        const std::size_t length = Get16(info, at);
        if (length < 6 || at + length > info.size()) break;
        const std::u16string key = keyAt(at, at + length, after);
        if (key == u"StringFileInfo") {
            for (std::size_t t = after; t + 6 <= at + length;) {
                const std::size_t tableLength = Get16(info, t);
                if (tableLength < 6 || t + tableLength > info.size()) break;
                std::size_t s = 0;
                keyAt(t, t + tableLength, s);
                while (s + 6 <= t + tableLength) {
                    const std::size_t stringLength = Get16(info, s);
                    if (stringLength < 6 || s + stringLength > info.size()) break;
                    std::size_t valueAt = 0;
                    const std::u16string name = keyAt(s, s + stringLength, valueAt);
                    std::u16string value;
                    for (std::size_t i = valueAt; i + 1 < s + stringLength && Get16(info, i) != 0; i += 2)
                        value += static_cast<char16_t>(Get16(info, i));
                    strings.emplace_back(Utf8(name), Utf8(value));
                    s = (s + stringLength + 3) / 4 * 4;
                }
                t = (t + tableLength + 3) / 4 * 4;
            }
        }
        at = (at + length + 3) / 4 * 4;
    }
    return strings;
}

}  // namespace velmoran::builder

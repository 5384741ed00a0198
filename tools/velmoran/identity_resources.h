#pragma once
// An application's identity as the installer file carries it for Explorer: its
// icon group and its version information, made from the project file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "pe_resources.h"

namespace velmoran::builder {

struct IconImage {
    int width = 0, height = 0;  // 256 for an entry that says 0
    uint16_t planes = 0, bitCount = 0;
    uint8_t colorCount = 0;
    Bytes data;  // a BITMAPINFOHEADER image or a PNG
};

// The most images an installer's icon takes; icon files hold a handful.
inline constexpr std::size_t kMaxIconImages = 64;
// The longest text (Name, Publisher, Copyright) the version information takes.
inline constexpr std::size_t kMaxVersionText = 1024;

// The images of an .ico file. Throws Failure with the reason it is not one.
std::vector<IconImage> ParseIconFile(const Bytes& ico);

// Replaces every icon and icon group with `images` as group 1, icons 1..n.
void ReplaceIcons(std::vector<Resource>& resources, const std::vector<IconImage>& images);

// The sizes ("16x16", ...) of the images the icon group `group` lists.
std::vector<std::string> IconGroupSizes(const std::vector<Resource>& resources, uint16_t group);

struct VersionStrings {
    std::string productName;  // UTF-8, like every text from the project file
    std::string fileDescription;
    std::string version;      // one to four numbers; empty: none given
    std::string companyName;
    std::string copyright;
};

// The numbers of a Version text, or nothing when it is not one to four
// numbers of 0 to 65535 separated by dots.
std::optional<std::vector<uint16_t>> ParseVersion(const std::string& text);

// A VS_VERSIONINFO resource (US English, Unicode) with the given strings;
// empty strings are left out.
Bytes MakeVersionInfo(const VersionStrings& strings);

// The name/value pairs of a VS_VERSIONINFO's string table, UTF-8.
std::vector<std::pair<std::string, std::string>> ReadVersionStrings(const Bytes& versionInfo);

}  // namespace velmoran::builder

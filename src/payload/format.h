#pragma once
// The installer file, as the stub reads it and the builder writes it.
//
//   offset 0              program image        any bytes, but never a complete
//                                              start marker (the stub keeps the
//                                              markers only as pieces, below)
//   marker offset         start marker         17 bytes, stored plain:
//                                              "d>a>t>a>s>t>a>r>t"  plain payload
//                                              "d>a>t>a>c>r>y>p>t"  scrambled payload
//   marker offset + 17    header               text lines ended by CR LF; the
//                                              marker line is the first, the line
//                                              "d>a>t>a>e>n>d" the last; every
//                                              other line is Name=Value (or a
//                                              "[Settings]"/"[Files]" group line)
//   item-area start       splash picture       zlib stream, present when Splash=
//                                              is not empty (inflates to Splash bytes)
//                         icon picture         zlib stream, present when Icon=
//                                              is not empty (inflates to Icon bytes)
//                         about text           InfoAbout raw bytes (RTF)
//                         licence text         InfoInstall raw bytes (RTF)
//   file-data start       file 1 ... file N    one zlib stream each, in the order of
//                                              f1=<path><size> ... fN=<path><size>
//                         (anything after the last stream is never read)
//
// With the header line "Compression=lzma2" the file data is one solid stream
// instead (a header without the line is read as above):
//   file-data start       dictionary           1 byte: the LZMA2 dictionary-size
//                                              property, 0-40 (as in .xz filter flags)
//                         checksums            N x 4 bytes: Adler-32 of each file's
//                                              bytes, big-endian, in entry order
//                         LZMA2 stream         raw LZMA2 (no container), ended by its
//                                              end-of-data byte 0x00; decodes to the N
//                                              files' bytes back to back, in entry order
//
// Optional identity lines (a header without them is read as before): Version=
// (one to four numbers), Publisher=, Website= and SupportUrl= (web addresses);
// the installation shows them in the uninstall entry.
//
// Optional registration lines (FileType1=, LinkProtocol1=, PathEntry=,
// Variable1=, AppPath1=, RegistryValue1=, DesktopShortcut=), after Charset=:
// what the application registers with Windows, laid out in registrations.h.
//
// The item-area start is the byte after the CR LF that follows the end marker.
// uninstall.exe is the file cut at the file-data start: it carries no file data.
//
// Scrambled payloads: every byte from marker offset + 17 to the end of the file
// is stored XORed with kScrambleKey, key byte k mod 49 for the k-th byte. After
// unscrambling, the XOR of all those bytes is 0 (the checksum); the builder adds
// a trailing byte after the last stream when needed to make it so.

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace velmoran::payload {

// Pieces of the markers. Never spell a whole start marker in code that goes into
// the stub: the stub would then find its own code instead of its payload.
inline constexpr char kMarkerPrefix[] = "d>a>t>a>";
inline constexpr char kMarkerPlainTail[] = "s>t>a>r>t";
inline constexpr char kMarkerScrambledTail[] = "c>r>y>p>t";
inline constexpr char kMarkerEndTail[] = "e>n>d";

inline constexpr std::size_t kStartMarkerLength = 17;
inline constexpr std::size_t kScrambleKeyLength = 49;

// 45 printable ASCII characters and 4 bytes above 127; builder and stub share it.
extern const unsigned char kScrambleKey[kScrambleKeyLength];

// The uninstaller copy is exempt from the checksum: its tail was cut off.
inline constexpr char kUninstallerName[] = "uninstall.exe";

// The header's keys. Lookups ignore case.
inline constexpr char kSplashKey[] = "Splash";
inline constexpr char kIconKey[] = "Icon";
inline constexpr char kFileCountKey[] = "Filecount";
inline constexpr char kFileBytesKey[] = "Filebytes";
inline constexpr char kFileEntryPrefix[] = "f";  // f1, f2, ...: "<path><size>"
inline constexpr char kExeNameKey[] = "ExeName";
inline constexpr char kExeShortcutKey[] = "ExeShortcut";
inline constexpr char kShortcutNamePrefix[] = "ShortcutName";  // 1, 2, ...
inline constexpr char kShortcutPathPrefix[] = "ShortcutPath";
inline constexpr char kTargetFolderKey[] = "TargetFolder";
inline constexpr char kAppNameKey[] = "AppName";
inline constexpr char kAboutKey[] = "InfoAbout";
inline constexpr char kLicenceKey[] = "InfoInstall";
// "Compression=lzma2": the file data is one solid LZMA2 stream (above).
inline constexpr char kCompressionKey[] = "Compression";
inline constexpr char kCompressionLzma2[] = "lzma2";
// "Charset=UTF-8": every text of the header is UTF-8. A header without the line
// holds its texts in the code page of the machine that built it, read as the
// installing machine's legacy ANSI code page (the system locale's).
inline constexpr char kCharsetKey[] = "Charset";
inline constexpr char kCharsetUtf8[] = "UTF-8";

// The items between the header and the file data, in their order. A picture
// is a zlib stream and absent when its size is empty; a text is raw bytes.
struct LeadingItem {
    const char* key;
    bool compressed;
};
inline constexpr LeadingItem kLeadingItems[] = {
    {kSplashKey, true}, {kIconKey, true}, {kAboutKey, false}, {kLicenceKey, false}};
// Their places in that order.
enum LeadingItemIndex : std::size_t { kSplashItem, kIconItem, kAboutItem, kLicenceItem, kLeadingItemCount };
static_assert(std::size(kLeadingItems) == kLeadingItemCount, "every leading item has its place");

// The largest dictionary a solid stream may ask for (the LZMA2 encoder's own
// limit); a larger one is a damaged header, not a reason to take the memory.
inline constexpr uint64_t kMaxSolidDictionary = 1536ull << 20;

// The optional identity lines of the header.
inline constexpr char kVersionKey[] = "Version";
inline constexpr char kPublisherKey[] = "Publisher";
inline constexpr char kWebsiteKey[] = "Website";
inline constexpr char kSupportUrlKey[] = "SupportUrl";
// "Scope=user": installed for the signed-in user alone, without elevation.
// Absent (or any other value): for the whole machine.
inline constexpr char kScopeKey[] = "Scope";
inline constexpr char kScopeUser[] = "user";

}  // namespace velmoran::payload

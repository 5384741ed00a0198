#pragma once
// What a payload header says about one application, and the header lines for it.

#include <cstdint>
#include <string>
#include <vector>

#include "payload/entries.h"
#include "payload/registrations.h"

namespace velmoran::payload {

struct Manifest {
    std::string appName;
    std::string exeName;
    std::string exeShortcut;
    std::string targetFolder;  // e.g. "%ProgramFiles%\Name"
    std::vector<ShortcutEntry> shortcuts;
    int64_t splashSize = -1;  // inflated sizes; -1 when there is no picture
    int64_t iconSize = -1;
    int64_t aboutSize = 0;
    int64_t licenceSize = 0;
    std::vector<FileEntry> files;
    // The application's identity for the uninstall entry; empty ones are not written.
    std::string version, publisher, website, supportUrl;
    bool perUser = false;  // written as Scope=user
    bool solid = false;    // written as Compression=lzma2
    bool utf8 = false;     // texts in UTF-8, written as Charset=UTF-8; else the machine's code page
    Registrations registrations;  // file types, PATH, registry values, ...: their lines only when given

    int64_t TotalFileBytes() const;
};

// Built installers always carry this many shortcut pairs, unused ones empty.
inline constexpr std::size_t kShortcutSlots = 9;

// The header lines between the start marker line and the end marker line.
std::vector<std::string> HeaderLines(const Manifest& manifest);

}  // namespace velmoran::payload

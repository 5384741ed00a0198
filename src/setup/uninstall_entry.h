#pragma once
// The application's entry in Apps & features (the uninstall key).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "payload/header_manifest.h"
#include "platform/registry.h"

namespace velmoran::setup {

struct InstalledApplication {
    std::string appName;
    std::string installFolder;
    std::string mainProgramPath;  // empty when the payload names no main program
    uint64_t installedBytes = 0;  // the files written, all together
    bool perUser = false;         // the entry goes under the user's hive
};

// Where an installation's uninstall entry lives.
inline platform::Hive EntryHive(bool perUser) { return perUser ? platform::Hive::CurrentUser : platform::Hive::LocalMachine; }

// Writes "DisplayName" and "UninstallString"; a failure skips the rest. When
// the header carries the application's identity (Version, Publisher, Website,
// SupportUrl), the entry also gets what Apps & features shows of it: version,
// publisher, icon, location, size, date and links, each only when known. A
// header without them writes the two values alone.
// The program an uninstall entry's command starts: the quoted path this
// installer writes, or an unquoted one followed by " uninstall".
std::string UninstallCommandProgram(const std::string& command);

// A version's four numbers ("2.4" is 2.4.0.0); nothing when the text is not
// one to four numbers separated by dots.
std::optional<std::array<uint32_t, 4>> VersionNumbers(const std::string& version);

void RegisterUninstallEntry(platform::Registry& registry, const payload::HeaderManifest& header,
                            const InstalledApplication& application);

}  // namespace velmoran::setup

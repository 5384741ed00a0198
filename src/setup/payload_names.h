#pragma once
// The names a payload gives for things the installation writes: an installer
// is refused before anything is written when one of them could lead outside
// the install folder, the program group or the desktop shortcut.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmoran::setup {

// Looks a header value up by name.
using HeaderLookup = std::function<std::string(const std::string& name)>;

// An application name: not empty, no ":", no leading backslash, and every
// component (inner backslashes make the uninstall key a nested key) a single
// Windows name.
bool IsSafeAppName(const std::string& name);

// A shortcut's name: the file written is the name followed by ".lnk", which must
// be a single Windows name (an empty or dot-only name gives ".lnk" or "..lnk",
// which are).
bool IsSafeShortcutName(const std::string& name);

// The message for the first unsafe name among AppName, ExeName, ExeShortcut,
// the shortcut pairs and the first `fileCount` file entries (up to the first
// missing one), or nothing when all are safe.
std::optional<std::string> FindUnsafeName(const HeaderLookup& value, int32_t fileCount);

}  // namespace velmoran::setup

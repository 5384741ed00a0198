#pragma once
// The names a payload gives for things the installation writes: an installer
// is refused before anything is written when one of them could lead outside
// the install folder, the program group or the desktop shortcut.

#include <optional>
#include <string>

#include "payload/header_manifest.h"

namespace velmoran::setup {

// An application name: not empty, no ":", no leading backslash, and every
// component (inner backslashes make the uninstall key a nested key) a single
// Windows name.
bool IsSafeAppName(const std::string& name);

// A shortcut's name: the file written is the name followed by ".lnk", which must
// be a single Windows name (an empty or dot-only name gives ".lnk" or "..lnk",
// which are).
bool IsSafeShortcutName(const std::string& name);

// The message for the first unsafe name among AppName, ExeName, ExeShortcut,
// the shortcut pairs, the file entries and the registrations, or nothing when
// all are safe.
std::optional<std::string> FindUnsafeName(const payload::HeaderManifest& header);

}  // namespace velmoran::setup

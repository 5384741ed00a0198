#include "setup/payload_names.h"

#include "common/windows_names.h"

namespace velmoran::setup {
namespace {

std::string Refusal(const std::string& what, const std::string& text, const char* reason) {
    return "The installer holds the " + what + " \"" + text + "\", which " + reason + " (damaged installer?)";
}

constexpr char kOutside[] = "is no path inside the install folder";
constexpr char kNotAName[] = "is not a file name Windows can hold";

}  // namespace

// The rules of a relative path: every component one name, so no drive, no
// leading backslash, no "." or "..".
bool IsSafeAppName(const std::string& name) { return IsSafeRelativePath(name); }

bool IsSafeShortcutName(const std::string& name) { return IsSingleWindowsName(name + ".lnk"); }

std::optional<std::string> FindUnsafeName(const payload::HeaderManifest& header) {
    if (!IsSafeAppName(header.appName))
        return Refusal("application name", header.appName, "cannot name a folder of its own");
    // An empty program or shortcut target names the install folder itself.
    if (!header.exeName.empty() && !IsSafeRelativePath(header.exeName))
        return Refusal("main program", header.exeName, kOutside);
    if (!IsSafeShortcutName(header.exeShortcut)) return Refusal("shortcut name", header.exeShortcut, kNotAName);
    for (const payload::ShortcutEntry& shortcut : header.shortcuts) {
        if (!IsSafeShortcutName(shortcut.name)) return Refusal("shortcut name", shortcut.name, kNotAName);
        if (!shortcut.target.empty() && !IsSafeRelativePath(shortcut.target))
            return Refusal("shortcut target", shortcut.target, kOutside);
    }
    for (const payload::HeaderFileEntry& file : header.files)
        if (!file.path.empty() && !IsSafeRelativePath(file.path)) return Refusal("file entry", file.path, kOutside);
    if (const auto registration = payload::FindUnsafeRegistration(header.registrations))
        return Refusal(registration->first, registration->second, "is not one an installation registers");
    return std::nullopt;
}

}  // namespace velmoran::setup

#include "setup/payload_names.h"

#include "common/windows_names.h"
#include "payload/file_entry.h"
#include "payload/format.h"

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

std::optional<std::string> FindUnsafeName(const HeaderLookup& value, int32_t fileCount) {
    const std::string appName = value(payload::kAppNameKey);
    if (!IsSafeAppName(appName)) return Refusal("application name", appName, "cannot name a folder of its own");
    // An empty program or shortcut target names the install folder itself.
    const std::string exeName = value(payload::kExeNameKey);
    if (!exeName.empty() && !IsSafeRelativePath(exeName)) return Refusal("main program", exeName, kOutside);
    const std::string exeShortcut = value("ExeShortCut");
    if (!IsSafeShortcutName(exeShortcut)) return Refusal("shortcut name", exeShortcut, kNotAName);
    for (int i = 1;; ++i) {
        const std::string name = value(payload::kShortcutNamePrefix + std::to_string(i));
        if (name.empty()) break;
        if (!IsSafeShortcutName(name)) return Refusal("shortcut name", name, kNotAName);
        const std::string target = value(payload::kShortcutPathPrefix + std::to_string(i));
        if (!target.empty() && !IsSafeRelativePath(target)) return Refusal("shortcut target", target, kOutside);
    }
    for (int32_t n = 1; n <= fileCount; ++n) {
        const std::string entry = value(payload::FileEntryKey(n));
        if (entry.empty()) break;  // the run stops there too
        const std::string path = payload::SplitFileEntry(entry).relativePath;
        if (!path.empty() && !IsSafeRelativePath(path)) return Refusal("file entry", path, kOutside);
    }
    return std::nullopt;
}

}  // namespace velmoran::setup

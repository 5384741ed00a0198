// Reads arbitrary bytes as an install log and as payload names, and checks what
// the elevated uninstaller and installer rely on: a path they accept never
// leads outside the folder it was checked against, and a removal script is
// only ever made of quoted text cmd cannot break out of.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/path.h"
#include "common/windows_names.h"
#include "payload/file_entry.h"
#include "removal/removal_script.h"
#include "setup/install_log.h"
#include "setup/payload_names.h"

namespace {

using namespace velmoran;

void Require(bool condition) {
    if (!condition) std::abort();
}

// A full path holds no "." or ".." component, no doubled separator, no stream.
void CheckFullPath(const std::string& full) {
    Require(full.size() >= 3 && full[1] == ':' && full[2] == '\\');
    Require(full.find(':', 2) == std::string::npos);
    Require(full.find("\\\\") == std::string::npos && full.find('/') == std::string::npos);
    Require((full + "\\").find("\\..\\") == std::string::npos && (full + "\\").find("\\.\\") == std::string::npos);
}

void CheckLine(const std::string& line) {
    if (const auto full = FullLocalPath(line)) CheckFullPath(*full);
    if (IsSafeRelativePath(line)) {
        const auto joined = FullLocalPath("C:\\Base\\" + line);
        Require(joined && LiesBelow(*joined, "C:\\Base"));
    }
    if (setup::IsSafeAppName(line)) {
        const auto group = FullLocalPath("C:\\Programs\\" + line);
        Require(group && LiesBelow(*group, "C:\\Programs"));
    }
    // Case folding keeps every byte offset, and a text equals itself folded.
    Require(FoldedCase(line).size() == line.size() && EqualsIgnoreCase(line, FoldedCase(line)));
    if (IsSingleWindowsName(line)) Require(FullLocalPath("C:\\Desktop\\" + line) == "C:\\Desktop\\" + FoldedName(line));
    if (const auto script = removal::MakeRemovalScript(line, "C:\\Windows\\System32")) {
        for (const std::string& scriptLine : script->lines) {
            std::size_t quotes = 0;
            for (const char c : scriptLine) {
                Require(static_cast<unsigned char>(c) >= 32);
                quotes += c == '"';
            }
            Require(quotes % 2 == 0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    setup::InstallLog log;
    log.Parse(Bytes(data, data + size));
    for (std::size_t i = 0; i < log.Count(); ++i) CheckLine(log.Line(i));
    // The same lines as a payload's names: each key takes the line its name
    // hashes to. A header is finite, so the shortcut list ends: here after as
    // many pairs as there are lines, or at the first empty name.
    if (log.Count() > 0) {
        const auto value = [&log](const std::string& name) {
            std::size_t hash = 0;
            for (const char c : name) hash = hash * 31 + static_cast<unsigned char>(c);
            return log.Line(hash % log.Count());
        };
        payload::HeaderManifest header;
        header.appName = value(payload::kAppNameKey);
        header.exeName = value(payload::kExeNameKey);
        header.exeShortcut = value(payload::kExeShortcutKey);
        for (std::size_t i = 1; i <= log.Count(); ++i) {
            const std::string n = std::to_string(i);
            const payload::ShortcutEntry shortcut{value(payload::kShortcutNamePrefix + n), value(payload::kShortcutPathPrefix + n)};
            if (shortcut.name.empty()) break;
            header.shortcuts.push_back(shortcut);
        }
        for (int n = 1; n <= static_cast<int>(log.Count() % 64); ++n)
            header.files.push_back({payload::SplitFileEntry(value(payload::FileEntryKey(n))).relativePath, {}, true});
        setup::FindUnsafeName(header);
    }
    return 0;
}

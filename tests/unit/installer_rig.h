#pragma once
// A small application packed in memory, and the installer's handlers wired to
// fakes of the window and the system, as on a default Windows machine.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fake_file_system.h"
#include "fake_registry.h"
#include "fake_shell.h"
#include "fake_view.h"
#include "fixture_bytes.h"
#include "payload/compress.h"
#include "solid_fixture.h"
#include "payload/manifest.h"
#include "payload/payload_writer.h"
#include "platform/special_folders.h"
#include "setup/setup_log.h"
#include "session/unattended_session.h"
#include "ui/install.h"

namespace velmoran::testing {

inline const char kPrograms[] = "C:\\ProgramData\\Start Menu\\Programs";
inline const char kDesktop[] = "C:\\Users\\Public\\Desktop";

struct TestApp {
    payload::Manifest manifest;
    std::vector<std::pair<std::string, std::string>> files = {
        {"Kestrel.exe", "MZ kestrel program"}, {"docs\\guide.txt", "the guide"}, {"readme.txt", "read me"}};
    Bytes splash = {0xFF, 0xD8, 's', 'p', 'l', 'a', 's', 'h'};
    Bytes icon = {0xFF, 0xD8, 'i', 'c', 'o', 'n'};
    std::string about = "{\\rtf1 about}";
    std::string licence = "{\\rtf1 licence}";
    Bytes programImage = B("MZ stub image");
    bool scrambled = false;
    bool solid = false;  // the files in one LZMA2 stream
    // Header lines to change after composing: Name -> new value, or "<drop>".
    std::map<std::string, std::string> overrides;

    TestApp() {
        manifest.appName = "Kestrel";
        manifest.exeName = "Kestrel.exe";
        manifest.exeShortcut = "Kestrel";
        manifest.targetFolder = "%ProgramFiles%\\Kestrel";
        manifest.utf8 = true;  // as the builder makes them
        manifest.shortcuts = {{"Guide", "docs\\guide.txt"}, {"Read Me", "readme.txt"}};
    }

    Bytes Build() const {
        payload::Manifest m = manifest;
        m.solid = solid;
        m.files.clear();
        for (const auto& [path, content] : files) m.files.push_back({path, static_cast<int64_t>(content.size())});
        m.splashSize = splash.empty() ? -1 : static_cast<int64_t>(splash.size());
        m.iconSize = icon.empty() ? -1 : static_cast<int64_t>(icon.size());
        m.aboutSize = static_cast<int64_t>(about.size());
        m.licenceSize = static_cast<int64_t>(licence.size());
        payload::InstallerParts parts;
        parts.programImage = programImage;
        for (std::string line : payload::HeaderLines(m)) {
            const auto override = overrides.find(line.substr(0, line.find('=')));
            if (override != overrides.end()) {
                if (override->second == "<drop>") continue;
                line = override->first + "=" + override->second;
            }
            parts.headerLines.push_back(line);
        }
        if (!splash.empty()) parts.splashStream = payload::Compress(splash, 6);
        if (!icon.empty()) parts.iconStream = payload::Compress(icon, 6);
        parts.about = B(about);
        parts.licence = B(licence);
        if (solid) {
            std::vector<Bytes> contents;
            for (const auto& file : files) contents.push_back(B(file.second));
            parts.fileStreams.push_back(SolidFileData(contents));
        } else {
            for (const auto& file : files) parts.fileStreams.push_back(payload::Compress(B(file.second), 6));
        }
        MemorySink out;
        payload::WriteInstaller(out, parts, scrambled);
        return out.bytes;
    }
};

class Rig {
public:
    explicit Rig(const Bytes& installer, const std::string& programPath = "C:\\Downloads\\setup.exe") {
        Restart(installer, programPath);
        files.AddFolder("C:\\Program Files");
        files.AddFolder(kPrograms);
        files.AddFolder(kDesktop);
        files.AddFile(programPath, "the running installer");
        files.MarkRunning(programPath);
        registry.Set(platform::Hive::LocalMachine, platform::kShellFoldersKey, "Common Programs", kPrograms);
        registry.Set(platform::Hive::LocalMachine, platform::kShellFoldersKey, "Common Desktop", kDesktop);
    }
    // Runs another program file on the same machine, such as the uninstaller copy.
    void Restart(const Bytes& image, const std::string& programPath) {
        install.reset();
        source = std::make_unique<MemorySource>(image);
        install = std::make_unique<ui::Install>(view, platform, *source, programPath);
        view = FakeView(files);
        view.Attach(*install);
    }
    void Start() { Click(&ui::Install::FormCreate); }
    void Click(void (ui::Install::*handler)()) { install->Handle(handler); }
    setup::InstallerState& State() { return install->State(); }

    FakeFileSystem files;
    FakeRegistry registry;
    FakeShell shell{files};
    FakeView view{files};
    FakeRunningPrograms programs;
    FakeCodePage codePage;
    platform::Platform platform{files, registry, shell, programs, codePage};
    std::unique_ptr<MemorySource> source;
    std::unique_ptr<ui::Install> install;
};

inline const std::string kQuietFolder = "C:\\Apps\\Kestrel Notes";
inline const std::string kLogFile = "C:\\logs\\setup.log";

inline std::string FixedTime() { return "2026-12-08 10:00:00"; }
inline std::string Unchanged(const std::string& text) { return text; }

// The same machine, with runs that have no window (/S) and a setup log.
struct QuietRig : Rig {
    explicit QuietRig(const Bytes& installer, const std::string& programPath = "C:\\Downloads\\setup.exe")
        : Rig(installer, programPath) {
        files.AddFolder("C:\\logs");
    }
    int Run() { return Run(Silent(kQuietFolder)); }
    int Run(const setup::RunOptions& options) {
        setup::InstallerState state;
        state.ownFile = source.get();
        state.programPath = programPath;
        return session::RunUnattended(state, options, platform, &log);
    }
    static setup::RunOptions Silent(const std::string& folder) {
        setup::RunOptions options;
        options.quietness = setup::Quietness::VerySilent;
        options.suppressMessageBoxes = true;
        options.installFolder = folder;
        return options;
    }
    // Runs the uninstaller the installation left in `folder`, without a window.
    int Uninstall(const std::string& folder = kQuietFolder) {
        const std::string uninstaller = folder + "\\uninstall.exe";
        const std::string copy = files.Content(uninstaller);
        Restart(Bytes(copy.begin(), copy.end()), uninstaller);
        files.MarkRunning(uninstaller);
        programPath = uninstaller;
        setup::RunOptions options;
        options.quietness = setup::Quietness::VerySilent;
        return Run(options);
    }
    bool Logged(const std::string& text) {
        if (!log.IsOpen()) log.Open(files, "");
        return files.Content(kLogFile).find(text) != std::string::npos;
    }
    std::string programPath = "C:\\Downloads\\setup.exe";
    setup::SetupLog log{kLogFile, FixedTime, Unchanged};
};

}  // namespace velmoran::testing

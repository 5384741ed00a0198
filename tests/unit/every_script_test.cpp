// Installers whose names are in any script: UTF-8 headers, and headers of
// the machine's legacy code page converted before any path is split.

#include <gtest/gtest.h>

#include <map>

#include "installer_rig.h"
#include "setup/exit_codes.h"
#include "setup/start_up.h"

namespace velmoran::testing {
namespace {

using platform::Hive;

// Shift-JIS, as far as these tests need it: "表" is 0x95 0x5C, its trail byte
// a backslash; "ア" and "ヂ" are 0x83 0x41 and 0x83 0x61, trail bytes "A" and "a".
std::string FromShiftJis(const std::string& text) {
    static const std::map<std::string, std::string> kPairs = {{"\x95\x5C", "表"}, {"\x83\x81", "メ"}, {"\x83\x82", "モ"},
                                                              {"\x92\xA0", "帳"}, {"\x83\x41", "ア"}, {"\x83\x61", "ヂ"}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto pair = kPairs.find(text.substr(i, 2));
        if (pair == kPairs.end()) {
            out += text[i];
        } else {
            out += pair->second;
            ++i;
        }
    }
    return out;
}

void InstallAll(Rig& rig) {
    rig.Start();
    rig.Click(&ui::Install::btnShowLicenseClick);
    rig.Click(&ui::Install::btnAcceptClick);
    rig.Click(&ui::Install::btnGoInstallClick);
}

TEST(EveryScript, LegacyHeadersInstallUnderTheirNamesInUtf8) {
    const struct {
        const char* what;
        std::function<std::string(const std::string&)> legacy;  // empty: Latin-1, as 1252 here
        std::string appName, fileName, expectedApp, expectedFile;
    } cases[] = {
        {"Western", nullptr, "Caf\xE9", "docs\\caf\xE9.txt", "Café", "docs\\café.txt"},
        // Split at its trail byte, "表.txt" would be a folder "\x95" and a name ".txt".
        {"Japanese", FromShiftJis, "\x83\x81\x83\x82\x92\xA0", "\x95\x5C.txt", "メモ帳", "表.txt"},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.manifest.utf8 = false;
        app.manifest.appName = c.appName;
        app.manifest.targetFolder = "%ProgramFiles%\\" + c.appName;
        app.files.push_back({c.fileName, "legacy"});
        Rig rig(app.Build());
        rig.codePage.legacy = c.legacy;
        InstallAll(rig);
        const std::string folder = "C:\\Program Files\\" + c.expectedApp;
        EXPECT_EQ(rig.files.Content(folder + "\\" + c.expectedFile), "legacy") << c.what;
        EXPECT_TRUE(rig.files.FileExists(folder + "\\" + c.expectedApp + ".ilg")) << c.what;
        const std::string key = std::string(platform::kUninstallKeyPrefix) + c.expectedApp;
        EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, key, "DisplayName"), c.expectedApp) << c.what;
    }
}

TEST(EveryScript, AnOldDoubleByteLogReachesNoSiblingFolder) {
    // Folded byte by byte as ASCII, the trail bytes made "ア" and "ヂ" one
    // folder name, and the uninstall of one reached into the other.
    TestApp app;
    app.manifest.utf8 = false;
    app.manifest.appName = "\x83\x41";
    app.manifest.targetFolder = "%ProgramFiles%\\\x83\x41";
    const std::string folder = "C:\\Program Files\\ア", sibling = "C:\\Program Files\\ヂ";
    Rig rig(app.Build(), folder + "\\uninstall.exe");
    rig.codePage.legacy = FromShiftJis;
    rig.files.AddFile(folder + "\\a.txt", "mine");
    rig.files.AddFile(sibling + "\\victim.txt", "keep");
    rig.files.AddFile(folder + "\\ア.ilg", "C:\\Program Files\\\x83\x41\\a.txt\r\nC:\\Program Files\\\x83\x61\\victim.txt\r\n");
    rig.Start();
    rig.Click(&ui::Install::btnUninstallClick);
    EXPECT_FALSE(rig.files.FileExists(folder + "\\a.txt"));
    EXPECT_EQ(rig.files.Content(sibling + "\\victim.txt"), "keep");
}

TEST(EveryScript, Utf8NamesNeedWindowsThatRunsProgramsInUtf8) {
    const struct {
        std::string appName;
        bool processUtf8;
        bool stops;
    } cases[] = {
        {"Текстовый редактор", false, true},
        {"Kestrel", false, false},  // ASCII is the same in every code page
        {"Текстовый редактор", true, false},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.manifest.appName = c.appName;
        app.manifest.targetFolder = "%ProgramFiles%\\" + c.appName;
        Rig rig(app.Build());
        rig.codePage.utf8 = c.processUtf8;
        const auto before = rig.files.Snapshot();
        if (!c.stops) {
            InstallAll(rig);
            EXPECT_TRUE(rig.files.FileExists("C:\\Program Files\\" + c.appName + "\\uninstall.exe")) << c.appName;
            continue;
        }
        rig.Start();
        ASSERT_EQ(rig.view.boxes.size(), 1u);
        EXPECT_EQ(rig.view.boxes[0].kind, ui::MessageKind::Error);
        EXPECT_EQ(rig.view.boxes[0].text, setup::kNeedsUtf8Windows);
        EXPECT_EQ(rig.install->ExitCode(), setup::kExitCouldNotStart);
        EXPECT_EQ(rig.files.Snapshot(), before);
        // Without a window: exit code 1, the reason in the setup log.
        QuietRig quiet(app.Build());
        quiet.codePage.utf8 = false;
        EXPECT_EQ(quiet.Run(), setup::kExitCouldNotStart);
        EXPECT_TRUE(quiet.Logged(setup::kNeedsUtf8Windows));
        EXPECT_FALSE(quiet.files.FolderExists(kQuietFolder));
    }
}

TEST(EveryScript, AHeaderInACharsetNotKnownIsDamaged) {
    TestApp app;
    app.overrides["Charset"] = "UTF-16";
    Rig rig(app.Build());
    rig.Start();
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].text, payload::OpenFailureMessage(payload::OpenFailureKind::General));
}

}  // namespace
}  // namespace velmoran::testing

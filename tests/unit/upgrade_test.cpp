// A second installation over an earlier one: the folder it finds, what it
// removes, and versions, with fakes.

#include <gtest/gtest.h>

#include "installer_rig.h"
#include "setup/exit_codes.h"

namespace velmoran::testing {
namespace {

const std::string kFolder = kQuietFolder;
const std::string kEntry = std::string(platform::kUninstallKeyPrefix) + "Kestrel";

TestApp Version(const std::string& version, std::vector<std::pair<std::string, std::string>> files,
                std::vector<payload::ShortcutEntry> shortcuts) {
    TestApp app;
    app.manifest.version = version;
    app.files = std::move(files);
    app.manifest.shortcuts = std::move(shortcuts);
    return app;
}

setup::RunOptions Unattended(bool allowDowngrade = false) {
    setup::RunOptions options;
    options.quietness = setup::Quietness::VerySilent;
    options.suppressMessageBoxes = true;
    options.allowDowngrade = allowDowngrade;
    return options;
}

TEST(Upgrade, FindsTheFolderAndRemovesWhatTheNewVersionNoLongerShips) {
    QuietRig rig(Version("1.0", {{"Kestrel.exe", "one"}, {"b.txt", "b"}, {"old\\c.txt", "c"}},
                         {{"Guide", "b.txt"}, {"Old", "old\\c.txt"}})
                     .Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.files.AddFile("C:\\victim.txt", "keep");
    rig.files.AddFile(kFolder + "\\Kestrel.ilg", rig.files.Content(kFolder + "\\Kestrel.ilg") + "C:\\victim.txt\r\n");

    rig.Restart(Version("2.0", {{"Kestrel.exe", "two"}, {"b.txt", "b2"}, {"d.txt", "d"}}, {{"Guide", "b.txt"}}).Build(),
                rig.programPath);
    EXPECT_EQ(rig.Run(Unattended()), setup::kExitDone);  // no folder given: the earlier one is found
    EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.exe"), "two");
    EXPECT_EQ(rig.files.Content(kFolder + "\\d.txt"), "d");
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\old\\c.txt"));
    EXPECT_FALSE(rig.files.FolderExists(kFolder + "\\old"));
    EXPECT_FALSE(rig.files.FileExists(std::string(kPrograms) + "\\Kestrel\\Old.lnk"));
    EXPECT_TRUE(rig.files.FileExists(std::string(kPrograms) + "\\Kestrel\\Guide.lnk"));
    EXPECT_EQ(rig.files.Content("C:\\victim.txt"), "keep");  // named by the old log, but outside the installation
    EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.ilg").find("c.txt"), std::string::npos);
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, kEntry, "DisplayVersion"), "2.0");
    EXPECT_TRUE(rig.Logged("Removed, no longer installed: " + kFolder + "\\old\\c.txt"));
}

TEST(Upgrade, TheWizardProposesTheEarlierFolder) {
    QuietRig rig(TestApp().Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.Restart(TestApp().Build(), rig.programPath);
    rig.Start();
    EXPECT_EQ(rig.view.labels[ui::Label::InstallTo], kFolder);
}

// An older installer over a newer installation asks; one that may not ask stops with 1638.
TEST(Upgrade, Downgrades) {
    const struct {
        const char *installed, *ours;
        bool wizard;
        ui::MessageResult answer;
        bool allow;
        int exitCode;
    } cases[] = {
        {"2.0", "1.0", true, ui::MessageResult::No, false, setup::kExitNewerInstalled},
        {"2.0", "1.0", true, ui::MessageResult::Yes, false, setup::kExitDone},
        {"2.0", "1.0", false, {}, false, setup::kExitNewerInstalled},
        {"2.0", "1.0", false, {}, true, setup::kExitDone},
        {"2.0.0.1", "2.0", false, {}, false, setup::kExitNewerInstalled},
        {"2.0", "2.0", false, {}, false, setup::kExitDone},
        {"2.0", "10.0", false, {}, false, setup::kExitDone},
        {"2.0", "", false, {}, false, setup::kExitDone},
        {"beta", "1.0", false, {}, false, setup::kExitDone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " then " + c.ours);
        QuietRig rig(Version(c.installed, {{"Kestrel.exe", "installed"}}, {}).Build());
        ASSERT_EQ(rig.Run(), setup::kExitDone);
        rig.Restart(Version(c.ours, {{"Kestrel.exe", "ours"}}, {}).Build(), rig.programPath);
        int exitCode = 0;
        if (c.wizard) {
            rig.view.Answer(c.answer);
            rig.Start();
            if (!rig.view.terminated) rig.Click(&ui::Install::btnGoInstallClick);
            exitCode = rig.install->ExitCode();
            if (exitCode == setup::kExitNewerInstalled) {
                ASSERT_EQ(rig.view.boxes.size(), 1u);
                EXPECT_EQ(rig.view.boxes[0].text, "A newer version (2.0) of Kestrel is installed. Install version 1.0 over it?");
            }
        } else {
            exitCode = rig.Run(Unattended(c.allow));
        }
        EXPECT_EQ(exitCode, c.exitCode);
        EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.exe"), c.exitCode == setup::kExitDone ? "ours" : "installed");
    }
}

// Files a running program holds are replaced or deleted when Windows next
// starts; the run ends with 3010 (and the wizard says so).
TEST(FilesInUse, AreLeftForTheNextStartOfWindows) {
    QuietRig rig(Version("1.0", {{"Kestrel.exe", "one"}, {"old.dll", "old"}}, {}).Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.files.MarkRunning(kFolder + "\\Kestrel.exe");
    rig.files.MarkRunning(kFolder + "\\old.dll");
    rig.Restart(Version("2.0", {{"Kestrel.exe", "two"}}, {}).Build(), rig.programPath);
    EXPECT_EQ(rig.Run(), setup::kExitRestartNeeded);
    EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.exe.~new"), "two");
    EXPECT_EQ(rig.files.atRestart, (std::vector<std::string>{kFolder + "\\Kestrel.exe.~new -> " + kFolder + "\\Kestrel.exe",
                                                             "delete " + kFolder + "\\old.dll"}));
    EXPECT_TRUE(rig.Logged("In use, replaced when Windows next starts: " + kFolder + "\\Kestrel.exe"));

    // The uninstall leaves the held file to Windows too, never the uninstaller itself.
    rig.files.atRestart.clear();
    EXPECT_EQ(rig.Uninstall(), setup::kExitRestartNeeded);
    EXPECT_EQ(rig.files.atRestart, (std::vector<std::string>{"delete " + kFolder + "\\Kestrel.exe"}));
}

// In a folder other users may change, nothing is left for a restart: Windows
// would carry it out by name, through whatever junction stands there then.
TEST(FilesInUse, NothingIsLeftForARestartInAFolderOthersMayChange) {
    QuietRig rig(Version("1.0", {{"Kestrel.exe", "one"}, {"old.dll", "old"}}, {}).Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.files.OpenToOthers(kFolder);  // as an earlier version left it below a drive root
    rig.files.MarkRunning(kFolder + "\\Kestrel.exe");
    rig.files.MarkRunning(kFolder + "\\old.dll");
    rig.Restart(Version("2.0", {{"Kestrel.exe", "two"}}, {}).Build(), rig.programPath);
    EXPECT_EQ(rig.Run(), setup::kExitDone);
    EXPECT_TRUE(rig.Logged("Answer: Yes"));  // the folder's warning, answered by the silent run
    EXPECT_TRUE(rig.Logged("Other users of this computer may change the folder"));
    EXPECT_TRUE(rig.files.atRestart.empty());
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.exe.~new"));
    EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.exe"), "one");
    EXPECT_TRUE(rig.Logged("In use, left as it was (others may change its folder): " + kFolder + "\\Kestrel.exe"));
    EXPECT_TRUE(rig.Logged("In use, left (others may change its folder): " + kFolder + "\\old.dll"));

    // The wizard's uninstall says why files stay.
    const std::string uninstaller = kFolder + "\\uninstall.exe", copy = rig.files.Content(uninstaller);
    rig.Restart(Bytes(copy.begin(), copy.end()), uninstaller);
    rig.files.MarkRunning(uninstaller);
    rig.Start();
    rig.Click(&ui::Install::btnUninstallClick);
    EXPECT_TRUE(rig.files.atRestart.empty());
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
    EXPECT_NE(rig.view.labels[ui::Label::Traces].find("Some files in use are still in the application folder"),
              std::string::npos);
    EXPECT_EQ(rig.install->ExitCode(), setup::kExitDone);
}

// Restart Manager hears only of files inside the folder, by their final paths.
TEST(FilesInUse, RestartManagerIsNotAskedAboutFilesBelowAJunction) {
    QuietRig rig(Version("1.0", {{"Kestrel.exe", "one"}, {"j\\lsasrv.dll", "ours"}}, {}).Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.files.AddFile("C:\\Windows\\System32\\lsasrv.dll", "the system's");
    rig.files.ReplaceWithLink(kFolder + "\\j", "C:\\Windows\\System32");
    rig.Restart(Version("2.0", {{"Kestrel.exe", "two"}}, {}).Build(), rig.programPath);
    rig.Run();
    ASSERT_FALSE(rig.programs.asked.empty());  // the files inside are asked about
    for (const std::string& path : rig.programs.asked) {
        EXPECT_EQ(path.rfind(kFolder + "\\", 0), 0u) << path;
        EXPECT_EQ(path.find("lsasrv"), std::string::npos) << path;
    }
    EXPECT_EQ(rig.files.Content("C:\\Windows\\System32\\lsasrv.dll"), "the system's");
}

TEST(FilesInUse, TheWizardSaysARestartIsNeeded) {
    Rig rig(TestApp().Build());
    rig.files.AddFile("C:\\Program Files\\Kestrel\\readme.txt", "old");
    rig.files.MarkRunning("C:\\Program Files\\Kestrel\\readme.txt");
    rig.Start();
    rig.Click(&ui::Install::btnGoInstallClick);
    EXPECT_EQ(rig.install->ExitCode(), setup::kExitRestartNeeded);
    EXPECT_EQ(rig.view.page, ui::Page::Installed);
    EXPECT_NE(rig.view.labels[ui::Label::Completion].find("Windows must be restarted"), std::string::npos);
}

// Programs holding the files a run replaces are named and, when the answer (or
// a run without questions) says so, closed before and started again after.
TEST(FilesInUse, ProgramsHoldingThemAreClosedAndStartedAgain) {
    const struct {
        bool wizard;
        ui::MessageResult answer;
        bool noClose;
        bool closed;
    } cases[] = {
        {true, ui::MessageResult::Yes, false, true},
        {true, ui::MessageResult::No, false, false},
        {false, {}, false, true},
        {false, {}, true, false},
    };
    for (const auto& c : cases) {
        QuietRig rig(TestApp().Build());
        const std::string folder = c.wizard ? "C:\\Program Files\\Kestrel" : kFolder;
        rig.files.AddFile(folder + "\\readme.txt", "old");
        rig.programs.holders[folder + "\\readme.txt"] = "Kestrel Viewer";
        int exitCode = 0;
        if (c.wizard) {
            rig.view.Answer(ui::MessageResult::Yes);  // the folder exists
            rig.view.Answer(c.answer);
            rig.Start();
            rig.Click(&ui::Install::btnGoInstallClick);
            exitCode = rig.install->ExitCode();
            ASSERT_EQ(rig.view.boxes.size(), 2u);
            EXPECT_NE(rig.view.boxes[1].text.find("\rKestrel Viewer\r"), std::string::npos) << rig.view.boxes[1].text;
        } else {
            setup::RunOptions options = QuietRig::Silent(kFolder);
            options.noCloseApplications = c.noClose;
            exitCode = rig.Run(options);
        }
        EXPECT_EQ(exitCode, setup::kExitDone);
        EXPECT_EQ(rig.programs.asked, std::vector<std::string>{folder + "\\readme.txt"});
        EXPECT_EQ(rig.programs.closed, c.closed);
        EXPECT_EQ(rig.programs.restarted, c.closed);
    }
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

const char kUserLocal[] = "C:\\Users\\Ann\\AppData\\Local";
const char kUserPrograms[] = "C:\\Users\\Ann\\Start Menu\\Programs";
const char kUserDesktop[] = "C:\\Users\\Ann\\Desktop";

// Scope=user: the user's own folders and uninstall entry, nothing of the machine's.
struct UserRig : QuietRig {
    UserRig() : QuietRig(PerUserApp().Build()) {
        for (const char* folder : {kUserLocal, kUserPrograms, kUserDesktop}) files.AddFolder(folder);
        registry.Set(platform::Hive::CurrentUser, platform::kShellFoldersKey, "Local AppData", kUserLocal);
        registry.Set(platform::Hive::CurrentUser, platform::kShellFoldersKey, "Programs", kUserPrograms);
        registry.Set(platform::Hive::CurrentUser, platform::kShellFoldersKey, "Desktop", kUserDesktop);
    }
    static TestApp PerUserApp() {
        TestApp app;
        app.manifest.perUser = true;
        return app;
    }
};

TEST(PerUser, InstallsIntoTheUsersOwnPlacesAndUninstalls) {
    UserRig rig;
    setup::RunOptions options;
    options.quietness = setup::Quietness::VerySilent;
    ASSERT_EQ(rig.Run(options), setup::kExitDone);
    const std::string folder = std::string(kUserLocal) + "\\Programs\\Kestrel";
    EXPECT_TRUE(rig.files.FileExists(folder + "\\Kestrel.exe"));
    EXPECT_TRUE(rig.files.FileExists(std::string(kUserPrograms) + "\\Kestrel\\Guide.lnk"));
    EXPECT_TRUE(rig.files.FileExists(std::string(kUserDesktop) + "\\Kestrel.lnk"));
    EXPECT_FALSE(rig.files.FileExists(std::string(kDesktop) + "\\Kestrel.lnk"));
    EXPECT_EQ(rig.registry.Get(platform::Hive::CurrentUser, kEntry, "DisplayName"), "Kestrel");
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, kEntry, "DisplayName"), "<missing>");

    EXPECT_EQ(rig.Uninstall(folder), setup::kExitDone);
    EXPECT_FALSE(rig.files.FileExists(folder + "\\Kestrel.exe"));
    EXPECT_FALSE(rig.files.FileExists(std::string(kUserDesktop) + "\\Kestrel.lnk"));
    EXPECT_EQ(rig.registry.Get(platform::Hive::CurrentUser, kEntry, "DisplayName"), "<missing>");
}

// A new profile has no program folder yet: it is proposed all the same, and made.
TEST(PerUser, TheWizardProposesTheUsersProgramFolder) {
    UserRig rig;
    rig.Start();
    const std::string folder = std::string(kUserLocal) + "\\Programs\\Kestrel";
    EXPECT_EQ(rig.view.labels[ui::Label::InstallTo], folder);
    rig.Click(&ui::Install::btnGoInstallClick);
    EXPECT_TRUE(rig.files.FileExists(folder + "\\Kestrel.exe"));
}

TEST(PerUser, TheSystemAccountIsRefused) {
    UserRig rig;
    rig.shell.asSystem = true;
    const auto before = rig.files.Snapshot();
    EXPECT_EQ(rig.Run(), setup::kExitFailedBeforeWriting);
    EXPECT_TRUE(rig.Logged("runs as the system account"));
    rig.files.RemoveFile(kLogFile);
    EXPECT_EQ(rig.files.Snapshot(), before);
    // A machine-wide installer may run so (a deployment service does).
    QuietRig machine(TestApp().Build());
    machine.shell.asSystem = true;
    EXPECT_EQ(machine.Run(), setup::kExitDone);
}

}  // namespace
}  // namespace velmoran::testing

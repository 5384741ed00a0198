// Runs without a wizard (/S), the /SILENT wizard, exit codes and the setup log, with fakes.

#include <gtest/gtest.h>

#include "installer_rig.h"
#include "setup/exit_codes.h"

namespace velmoran::testing {
namespace {

using ui::MessageKind;
using ui::MessageResult;

const std::string kFolder = kQuietFolder;

TEST(Unattended, InstallsEverythingAndLogsEachStep) {
    TestApp app;
    app.manifest.version = "2.4.1";
    QuietRig rig(app.Build());
    EXPECT_EQ(rig.Run(), setup::kExitDone);
    EXPECT_TRUE(rig.view.boxes.empty() && rig.view.pagesShown.empty());
    for (const auto& [path, content] : app.files) EXPECT_EQ(rig.files.Content(kFolder + "\\" + path), content) << path;
    EXPECT_TRUE(rig.files.FileExists(std::string(kDesktop) + "\\Kestrel.lnk"));
    const std::string key = std::string(platform::kUninstallKeyPrefix) + "Kestrel";
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, key, "QuietUninstallString"),
              "\"" + kFolder + "\\uninstall.exe\" /S");
    EXPECT_TRUE(rig.shell.Launches().empty());  // no "Run Program"
    for (const std::string& line :
         {"2026-12-08 10:00:00  Install folder: " + kFolder + "\r\n", "File: " + kFolder + "\\Kestrel.exe (18 bytes)",
          "File: " + kFolder + "\\docs\\guide.txt (9 bytes)", "Shortcut: " + std::string(kDesktop) + "\\Kestrel.lnk",
          "Uninstaller: " + kFolder + "\\uninstall.exe", "Registry: HKLM\\" + key + " DisplayVersion = 2.4.1",
          "Registry: HKLM\\" + key + " NoModify = 1 (number)"})
        EXPECT_TRUE(rig.Logged(line)) << line << "\n" << rig.files.Content(kLogFile);
}

TEST(Unattended, ExitCodesByFailure) {
    const struct {
        const char* what;
        std::function<void(TestApp&)> changeApp;
        std::function<void(QuietRig&)> changeMachine;
        int exitCode;
        std::string logged;
    } cases[] = {
        {"no name", [](TestApp& app) { app.overrides["AppName"] = "<drop>"; }, nullptr, setup::kExitFailedBeforeWriting,
         "cannot name a folder of its own"},
        {"unsafe name", [](TestApp& app) { app.files[1].first = "..\\evil.txt"; }, nullptr,
         setup::kExitFailedBeforeWriting, "Error: "},
        {"forged registration", [](TestApp& app) { app.manifest.registrations.linkProtocols = {{"http", "Web"}}; },
         nullptr, setup::kExitFailedBeforeWriting, "link protocol \"http\", which is not one an installation registers"},
        {"registry refuses a value",
         [](TestApp& app) { app.manifest.registrations.registryValues = {{"Software\\Kestrel", "Data", false, "x"}}; },
         [](QuietRig& rig) { rig.registry.FailWritesBelow("Software\\Kestrel"); }, setup::kExitFailedWhileRunning,
         "Software\\Kestrel"},
        {"existing folder", nullptr, [](QuietRig& rig) { rig.files.AddFile(kFolder + "\\old.txt"); }, setup::kExitDone,
         "Answer: Yes"},
        {"folder cannot be made", nullptr, [](QuietRig& rig) { rig.files.FailCreation("C:\\Apps"); },
         setup::kExitFailedBeforeWriting, "Error: Cannot create file \"" + kFolder + "\\Kestrel.exe\". Access is denied"},
        {"file taken away", nullptr, [](QuietRig& rig) { rig.files.VanishAfterWrite(kFolder + "\\readme.txt"); },
         setup::kExitFailedWhileRunning, "Error: Could not install file - aborting installation"},
        {"another run", nullptr, [](QuietRig& rig) { rig.shell.claimedElsewhere.insert("Kestrel"); },
         setup::kExitAnotherRunning, "Another installation or uninstall of Kestrel is running"},
        // What the installation does without: it stands, and the log says what is missing and why.
        {"no uninstaller", nullptr, [](QuietRig& rig) { rig.files.FailCreation(kFolder + "\\uninstall.exe"); },
         setup::kExitDone, "Uninstaller not written: Cannot create file \"" + kFolder + "\\uninstall.exe\". Access is denied"},
        {"no shortcut", nullptr, [](QuietRig& rig) { rig.files.FailCreation(std::string(kDesktop) + "\\Kestrel.lnk"); },
         setup::kExitDone, "Shortcut not written: " + std::string(kDesktop) + "\\Kestrel.lnk: Cannot create file"},
    };
    for (const auto& c : cases) {
        TestApp app;
        if (c.changeApp) c.changeApp(app);
        QuietRig rig(app.Build());
        if (c.changeMachine) c.changeMachine(rig);
        EXPECT_EQ(rig.Run(), c.exitCode) << c.what;
        EXPECT_TRUE(rig.Logged(c.logged)) << c.what << ": " << rig.files.Content(kLogFile);
        EXPECT_TRUE(rig.view.boxes.empty()) << c.what;
    }
    QuietRig damaged(B("MZ a program and nothing after it"));
    EXPECT_EQ(damaged.Run(), setup::kExitCouldNotStart);
    EXPECT_TRUE(damaged.Logged("Error: Can't find control information (damaged installer?)"));
    EXPECT_FALSE(damaged.files.FolderExists(kFolder));
}

TEST(Unattended, UninstallRemovesEverythingButItselfAndStartsTheScriptHidden) {
    QuietRig rig(TestApp().Build());
    ASSERT_EQ(rig.Run(), setup::kExitDone);
    rig.files.AddFile(kFolder + "\\user notes.txt");
    EXPECT_EQ(rig.Uninstall(), setup::kExitDone);
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
    EXPECT_FALSE(rig.files.FileExists(std::string(kDesktop) + "\\Kestrel.lnk"));
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine,
                               std::string(platform::kUninstallKeyPrefix) + "Kestrel", "DisplayName"), "<missing>");
    ASSERT_EQ(rig.shell.Launches().size(), 1u);
    EXPECT_EQ(rig.shell.Launches()[0].show, platform::ShowCommand::Hidden);
    EXPECT_TRUE(rig.Logged("Removed: " + kFolder + "\\Kestrel.exe"));
    EXPECT_TRUE(rig.Logged("Left in the application folder: " + kFolder + "\\user notes.txt"));
}

// The wizard's runs end with the same codes.
TEST(ExitCodes, Wizard) {
    {
        Rig rig(TestApp().Build());
        rig.Start();
        rig.view.Answer(MessageResult::Yes);
        rig.Click(&ui::Install::btnExitClick);
        EXPECT_EQ(rig.install->ExitCode(), setup::kExitCancelled);
    }
    {
        Rig rig(TestApp().Build());
        rig.Start();
        rig.Click(&ui::Install::btnGoInstallClick);
        EXPECT_EQ(rig.install->ExitCode(), setup::kExitDone);
    }
    {
        Rig rig(TestApp().Build());
        rig.files.VanishAfterWrite("C:\\Program Files\\Kestrel\\Kestrel.exe");
        rig.Start();
        rig.Click(&ui::Install::btnGoInstallClick);
        EXPECT_EQ(rig.install->ExitCode(), setup::kExitFailedWhileRunning);
    }
    {
        Rig rig(TestApp().Build());
        rig.shell.claimedElsewhere.insert("Kestrel");
        rig.Start();
        ASSERT_EQ(rig.view.boxes.size(), 1u);
        EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Information);
        EXPECT_TRUE(rig.view.terminated);
        EXPECT_EQ(rig.install->ExitCode(), setup::kExitAnotherRunning);
    }
}

// /SILENT: the progress page alone; an existing folder is not asked about, the program not started.
TEST(ExitCodes, SilentWizardAsksNothingAndCloses) {
    Rig rig(TestApp().Build());
    setup::RunOptions options;
    options.quietness = setup::Quietness::Silent;
    options.installFolder = kFolder;
    rig.install = std::make_unique<ui::Install>(rig.view, rig.platform, *rig.source, "C:\\Downloads\\setup.exe", options);
    rig.view.Attach(*rig.install);
    rig.files.AddFile(kFolder + "\\old.txt");
    rig.Start();
    rig.install->RunWithoutQuestions();
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_EQ(rig.view.pagesShown, (std::vector<ui::Page>{ui::Page::Intro, ui::Page::Installing}));
    EXPECT_TRUE(rig.view.terminated);
    EXPECT_EQ(rig.install->ExitCode(), setup::kExitDone);
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
    EXPECT_TRUE(rig.shell.Launches().empty());
}

// /D with the wizard: the folder given is the one proposed, made even when
// its parent does not exist yet; one right under a drive's root too.
TEST(ExitCodes, WizardProposesTheFolderGiven) {
    for (const std::string& folder : {kFolder, std::string("C:\\Kestrel")}) {
        Rig rig(TestApp().Build());
        setup::RunOptions options;
        options.installFolder = folder;
        rig.install = std::make_unique<ui::Install>(rig.view, rig.platform, *rig.source, "C:\\Downloads\\setup.exe", options);
        rig.view.Attach(*rig.install);
        rig.Start();
        EXPECT_EQ(rig.view.labels[ui::Label::InstallTo], folder);
        rig.Click(&ui::Install::btnGoInstallClick);
        EXPECT_TRUE(rig.files.FileExists(folder + "\\Kestrel.exe")) << folder;
    }
}

TEST(SetupLog, NamingKeepingAndReplacing) {
    FakeFileSystem files;
    files.AddFolder("C:\\Users\\Admin\\Temp");
    files.AddFile("C:\\Users\\Admin\\Temp\\Kestrel Setup 2026-12-08 10.00.00.log", "an earlier run");
    setup::SetupLog log("", FixedTime, Unchanged);
    log.Line("before the name is known");
    ASSERT_EQ(log.Open(files, "Kestrel"), "");
    EXPECT_EQ(log.Path(), "C:\\Users\\Admin\\Temp\\Kestrel Setup 2026-12-08 10.00.00 (2).log");
    log.Line("two\r\nlines");
    EXPECT_EQ(files.Content(log.Path()), "2026-12-08 10:00:00  before the name is known\r\n2026-12-08 10:00:00  two  lines\r\n");
    EXPECT_EQ(files.Content("C:\\Users\\Admin\\Temp\\Kestrel Setup 2026-12-08 10.00.00.log"), "an earlier run");

    files.AddFile("C:\\Users\\Admin\\Temp\\given.log", "old content");
    setup::SetupLog given("C:\\Users\\Admin\\Temp\\given.log", FixedTime, Unchanged);
    ASSERT_EQ(given.Open(files, "Kestrel"), "");
    EXPECT_EQ(files.Content("C:\\Users\\Admin\\Temp\\given.log"), "");

    setup::SetupLog nowhere("C:\\missing\\setup.log", FixedTime, Unchanged);
    EXPECT_NE(nowhere.Open(files, "Kestrel").find("C:\\missing\\setup.log"), std::string::npos);
}

// An elevated run's named log is made new where it is named: a link planted at
// its name is replaced, never written through; a junction or link on the way
// refuses the run before anything is written.
TEST(SetupLog, NoLinkIsFollowed) {
    FakeFileSystem files;
    files.AddFile("C:\\Windows\\System32\\victim.dll", "keep");
    files.AddFile("C:\\Logs\\setup.log");
    files.MarkLink("C:\\Logs\\setup.log");
    setup::SetupLog planted("C:\\Logs\\setup.log", FixedTime, Unchanged);
    ASSERT_EQ(planted.Open(files, "Kestrel"), "");
    planted.Line("ours");
    EXPECT_FALSE(files.IsLink("C:\\Logs\\setup.log"));
    EXPECT_EQ(files.Content("C:\\Logs\\setup.log"), "2026-12-08 10:00:00  ours\r\n");

    files.AddFolder("C:\\Shared\\sub");
    files.MarkLink("C:\\Shared");
    for (const char* path : {"C:\\Shared\\setup.log", "C:\\Shared\\sub\\setup.log"}) {
        setup::SetupLog through(path, FixedTime, Unchanged);
        EXPECT_NE(through.Open(files, "Kestrel").find("junction or symbolic link"), std::string::npos) << path;
        EXPECT_FALSE(files.FileExists(path)) << path;
    }
    EXPECT_EQ(files.Content("C:\\Windows\\System32\\victim.dll"), "keep");

    QuietRig rig(TestApp().Build());
    rig.files.MarkLink("C:\\logs");
    const auto before = rig.files.Snapshot();
    EXPECT_EQ(rig.Run(), setup::kExitCouldNotStart);
    EXPECT_EQ(rig.files.Snapshot(), before);
}

}  // namespace
}  // namespace velmoran::testing

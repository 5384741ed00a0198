// The uninstall run and the removal script, with fakes.

#include "removal/uninstall_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "installer_rig.h"
#include "setup/exit_codes.h"

namespace velmoran::testing {
namespace {

using platform::Hive;
using ui::Gauge;
using ui::Label;
using ui::Page;

const std::string kFolder = "C:\\Program Files\\Kestrel";
const std::string kUninstaller = kFolder + "\\uninstall.exe";
const char kLeftovers[] = "Some files created after the original installation are still in the application folder.";

std::string ScriptText() {
    const auto script = removal::MakeRemovalScript(kUninstaller, "C:\\Windows\\System32");
    std::string text;
    for (const std::string& line : script.value().lines) text += line + "\r\n";
    return text;
}

// The sample installed, then its uninstaller copy started from the install folder.
struct UninstallRig : Rig {
    UninstallRig() : Rig(TestApp().Build()) {
        Start();
        Click(&ui::Install::btnGoInstallClick);
        const std::string copy = files.Content(kUninstaller);
        Restart(Bytes(copy.begin(), copy.end()), kUninstaller);
        files.MarkRunning(kUninstaller);
    }
    // An uninstaller whose log holds exactly `lines`.
    explicit UninstallRig(const std::vector<std::string>& lines) : Rig(TestApp().Build(), kUninstaller) {
        std::string log;
        for (const std::string& line : lines) log += line + "\r\n";
        files.AddFile(kFolder + "\\Kestrel.ilg", log);
    }
    void Uninstall() {
        Start();
        Click(&ui::Install::btnUninstallClick);
    }
};

TEST(UninstallRun, RemovesEverythingTheInstallationMade) {
    UninstallRig rig;
    rig.files.SetCurrentFolder("C:\\");
    rig.Uninstall();
    EXPECT_TRUE(rig.view.failures.empty());
    EXPECT_EQ(rig.view.page, Page::Uninstalled);
    EXPECT_EQ(rig.view.labels[Label::Uninstall2], "Uninstall Complete.");
    EXPECT_EQ(rig.view.labels[Label::Traces], "");
    EXPECT_TRUE(rig.view.uninstallExitEnabled);
    EXPECT_EQ(rig.view.gauges[Gauge::Uninstall].Max(), 9);
    EXPECT_EQ(rig.view.gauges[Gauge::Uninstall].Progress(), 9);
    EXPECT_EQ(rig.view.gaugeRepaints, 9);
    EXPECT_EQ(rig.State().uninstallerPath, kUninstaller);

    for (const char* gone : {"\\Kestrel.exe", "\\docs\\guide.txt", "\\readme.txt", "\\Kestrel.ilg"})
        EXPECT_FALSE(rig.files.FileExists(kFolder + gone)) << gone;
    EXPECT_FALSE(rig.files.FolderExists(kFolder + "\\docs"));
    EXPECT_FALSE(rig.files.FileExists(std::string(kDesktop) + "\\Kestrel.lnk"));
    EXPECT_FALSE(rig.files.FolderExists(std::string(kPrograms) + "\\Kestrel"));
    EXPECT_TRUE(rig.files.FileExists(kUninstaller));  // still running
    EXPECT_FALSE(rig.registry.KeyExists(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix) + "Kestrel"));

    // Deleted from the last line to the first: shortcuts first.
    ASSERT_EQ(rig.files.fileRemovals.size(), 9u);
    EXPECT_EQ(rig.files.fileRemovals.front(), std::string(kPrograms) + "\\Kestrel\\Read Me.lnk");
    EXPECT_EQ(rig.files.fileRemovals.back(), kFolder + "\\Kestrel.exe");

    rig.Click(&ui::Install::btnUninstallExitClick);
    EXPECT_EQ(rig.files.Content(removal::kRemovalScriptPath), ScriptText());
    ASSERT_EQ(rig.shell.Launches().size(), 1u);
    EXPECT_EQ(rig.shell.Launches()[0].file, "C:\\uninstall_rd.bat");
    EXPECT_EQ(rig.shell.Launches()[0].show, platform::ShowCommand::Minimised);
    EXPECT_EQ(rig.shell.Launches()[0].workingFolder, "C:\\Windows\\System32");
    EXPECT_EQ(rig.shell.environment["VELMORAN_UNINSTALLER"], kUninstaller);
    EXPECT_TRUE(rig.view.terminated);
}

TEST(UninstallRun, FilesTheUserAddedSurviveAndAreReported) {
    UninstallRig rig;
    rig.files.AddFile(kFolder + "\\notes.txt", "mine");
    rig.Uninstall();
    EXPECT_EQ(rig.files.Content(kFolder + "\\notes.txt"), "mine");
    EXPECT_EQ(rig.view.labels[Label::Traces], kLeftovers);

    UninstallRig folderLeft;
    folderLeft.files.AddFolder(kFolder + "\\cache");
    folderLeft.Uninstall();
    EXPECT_EQ(folderLeft.view.labels[Label::Traces], kLeftovers);
}

TEST(UninstallRun, FolderWalkTriesWholeFoldersDownToTheInstallFolder) {
    // The first file lies in a sub-folder: the base is still the install folder.
    const std::string help = kFolder + "\\help", deep = help + "\\deep", docs = kFolder + "\\docs";
    UninstallRig rig({help + "\\a.htm", kFolder + "\\b.txt", deep + "\\c.htm", deep + "\\d.htm", kUninstaller,
                      kFolder + "\\Kestrel.ilg"});
    for (const std::string& file : {help + "\\a.htm", kFolder + "\\b.txt", deep + "\\c.htm", deep + "\\d.htm"})
        rig.files.AddFile(file);
    rig.files.AddFolder(kFolder + "\\doc");  // a prefix of no logged folder: never tried
    rig.files.AddFolder(docs);
    rig.Uninstall();
    const std::vector<std::string> expected = {
        kFolder + "\\",                   // Kestrel.ilg and uninstall.exe: their folder once
        deep + "\\", help + "\\",         // d.htm and c.htm: their folder once, then its parent
        kFolder + "\\",                   // b.txt
        help + "\\",                      // a.htm
    };
    EXPECT_EQ(rig.files.folderRemovals, expected);
    EXPECT_FALSE(rig.files.FolderExists(help));
    EXPECT_TRUE(rig.files.FolderExists(kFolder + "\\doc"));
    EXPECT_EQ(rig.view.labels[Label::Traces], kLeftovers);  // the two folders the user made
}

TEST(UninstallRunMends, LongRunKeepsDispatchingMessages) {
    // Every line is a unit of work the window may answer its queue after; how
    // often it looks is the window's own throttle.
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i) lines.push_back(kFolder + "\\file" + std::to_string(i) + ".txt");
    UninstallRig rig(lines);
    int pumpsMidRun = 0;
    rig.view.OnPump([&](int) {
        const long long step = rig.view.gauges[Gauge::Uninstall].Progress();
        if (step > 0 && step < 30) ++pumpsMidRun;
    });
    rig.Uninstall();
    EXPECT_GE(pumpsMidRun, 29);
}

TEST(UninstallRun, FileListedTwiceAndNoUninstallerLine) {
    UninstallRig rig({kFolder + "\\a.txt", kFolder + "\\a.txt"});
    rig.files.AddFile(kFolder + "\\a.txt");
    rig.files.AddFile("C:\\other.txt");
    rig.files.SetCurrentFolder(kFolder);
    rig.Uninstall();
    EXPECT_EQ(rig.files.fileRemovals.size(), 2u);
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\a.txt"));
    EXPECT_TRUE(rig.view.failures.empty());
    EXPECT_EQ(rig.State().uninstallerPath, "");
    // The listing then looks at the root of the current drive, where more than one entry lies.
    EXPECT_EQ(rig.view.labels[Label::Traces], kLeftovers);

    rig.Click(&ui::Install::btnUninstallExitClick);
    EXPECT_FALSE(rig.files.FileExists(removal::kRemovalScriptPath));
    EXPECT_TRUE(rig.shell.Launches().empty());
    EXPECT_TRUE(rig.view.terminated);
}

TEST(UninstallRun, EmptyLogEndsCleanly) {
    UninstallRig rig(std::vector<std::string>{});
    rig.registry.Set(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix) + "Kestrel", "DisplayName", "Kestrel");
    const auto before = rig.files.Snapshot();
    rig.Uninstall();
    EXPECT_TRUE(rig.view.failures.empty());
    EXPECT_EQ(rig.view.labels[Label::Uninstall2], "Uninstall Complete.");
    EXPECT_TRUE(rig.view.uninstallExitEnabled);
    EXPECT_EQ(rig.files.Snapshot(), before);
    EXPECT_TRUE(rig.registry.KeyExists(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix) + "Kestrel"));
}

TEST(UninstallRunMends, SpecialFoldersAndTheirParentsAreNeverRemoved) {
    // The desktop and the program menu hold nothing but this application's
    // shortcuts, and the program-files folder nothing but the application.
    UninstallRig rig;
    rig.Uninstall();
    EXPECT_TRUE(rig.files.FolderExists(kDesktop));
    EXPECT_TRUE(rig.files.FolderExists(kPrograms));
    EXPECT_TRUE(rig.files.FolderExists("C:\\Program Files"));

    // A log whose base is the drive root would otherwise walk into them.
    const std::string desktopLink = std::string(kDesktop) + "\\Kestrel.lnk";
    const std::string groupLink = std::string(kPrograms) + "\\Kestrel\\Kestrel.lnk";
    UninstallRig shallow({"C:\\a.txt", desktopLink, groupLink});
    shallow.files.AddFile(desktopLink);
    shallow.files.AddFile(groupLink);
    shallow.Uninstall();
    EXPECT_TRUE(shallow.files.FolderExists(kDesktop));
    EXPECT_TRUE(shallow.files.FolderExists(kPrograms));
    EXPECT_TRUE(shallow.files.FolderExists("C:\\ProgramData"));
    EXPECT_FALSE(shallow.files.FileExists(desktopLink));
    EXPECT_FALSE(shallow.files.FolderExists(std::string(kPrograms) + "\\Kestrel"));
}

// A desktop redirected into the application's folder, or onto it, is the
// user's: the walk up from the files it removes stops at it, and the script
// that removes the uninstaller leaves the folder, even when it is empty.
TEST(UninstallRunMends, ASpecialFolderAtOrInsideTheInstallFolderStays) {
    for (const std::string& desktop : {kFolder, kFolder + "\\Desktop", kFolder + "\\docs\\Desktop"}) {
        UninstallRig rig({kFolder + "\\docs\\Desktop\\a.txt", kFolder + "\\docs\\b.txt", kUninstaller});
        rig.registry.Set(Hive::LocalMachine, platform::kShellFoldersKey, "Common Desktop", desktop);
        rig.files.AddFolder(desktop);
        rig.files.AddFile(kFolder + "\\docs\\Desktop\\a.txt");
        rig.files.AddFile(kFolder + "\\docs\\b.txt");
        rig.Uninstall();
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\docs\\b.txt")) << desktop;
        EXPECT_TRUE(rig.files.FolderExists(desktop)) << desktop;
        rig.Click(&ui::Install::btnUninstallExitClick);
        const std::string script = rig.files.Content(removal::kRemovalScriptPath);
        EXPECT_NE(script.find("del \"%VELMORAN_UNINSTALLER%\""), std::string::npos) << desktop;
        EXPECT_EQ(script.find("rmdir"), std::string::npos) << desktop << "\n" << script;
    }
}

// Lines a damaged log or another user may have written: none of them is
// deleted, and the genuine lines around them still are.
TEST(UninstallRunMends, HostileLogLinesAreSkipped) {
    const std::string other = "C:\\Program Files\\Other\\data.txt";
    const struct { std::string line; std::string victim; } cases[] = {
        {"C:\\Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},
        {"C:\\Users\\Bob\\Documents\\thesis.doc", "C:\\Users\\Bob\\Documents\\thesis.doc"},
        {kFolder + "\\..\\Other\\data.txt", other},
        {kFolder + "\\.\\..\\.\\Other\\data.txt", other},
        {kFolder + "/../Other/data.txt", other},
        {"\\\\server\\share\\x.txt", ""},
        {"\\\\?\\C:\\Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},
        {"\\\\.\\C:\\Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},
        {"Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},  // relative to the current folder
        {"\\Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},
        {"C:Windows\\System32\\x.dll", "C:\\Windows\\System32\\x.dll"},
        {kFolder + "\\notes.txt:secret", kFolder + "\\notes.txt"},
        {kFolder + "\\CON", ""},
        {kFolder + "\\nul.txt", ""},
        {kFolder + "\\COM1.log", ""},
        {kFolder + "\\...\\..\\Other\\data.txt", other},  // "..." folds to nothing
        {std::string(kDesktop) + "\\Other App.lnk", std::string(kDesktop) + "\\Other App.lnk"},
        {std::string(kPrograms) + "\\Other\\Other.lnk", std::string(kPrograms) + "\\Other\\Other.lnk"},
        {std::string(kPrograms) + "\\Kestrel\\..\\Other\\Other.lnk", std::string(kPrograms) + "\\Other\\Other.lnk"},
    };
    for (const auto& c : cases) {
        UninstallRig rig;
        const std::string logPath = kFolder + "\\Kestrel.ilg";
        rig.files.AddFile(logPath, c.line + "\r\n" + rig.files.Content(logPath) + c.line + "\r\n");
        if (!c.victim.empty()) rig.files.AddFile(c.victim, "keep");
        rig.Uninstall();
        if (!c.victim.empty()) {
            EXPECT_EQ(rig.files.Content(c.victim), "keep") << c.line;
        }
        EXPECT_EQ(std::count(rig.files.fileRemovals.begin(), rig.files.fileRemovals.end(), c.line), 0) << c.line;
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.exe")) << c.line;
        EXPECT_FALSE(rig.files.FolderExists(std::string(kPrograms) + "\\Kestrel")) << c.line;
        EXPECT_EQ(rig.State().uninstallerPath, kUninstaller) << c.line;
    }
}

TEST(UninstallRunMends, NothingIsDeletedThroughAJunctionInTheInstallFolder) {
    UninstallRig rig;
    rig.files.AddFile("C:\\Elsewhere\\guide.txt", "keep");
    rig.files.ReplaceWithLink(kFolder + "\\docs", "C:\\Elsewhere");  // after the installation
    rig.Uninstall();
    EXPECT_EQ(rig.files.Content("C:\\Elsewhere\\guide.txt"), "keep");
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\readme.txt"));
}

// The folder is checked by handle at each deletion: a junction swapped in after
// the first of its files was deleted leads nowhere.
TEST(UninstallRunMends, AJunctionSwappedInDuringTheRunIsNotDeletedThrough) {
    UninstallRig rig({kFolder + "\\docs\\a.txt", kFolder + "\\docs\\b.txt", kUninstaller});
    rig.files.AddFile(kFolder + "\\docs\\a.txt", "a");
    rig.files.AddFile(kFolder + "\\docs\\b.txt", "b");
    rig.files.AddFile("C:\\Windows\\System32\\a.txt", "keep");
    rig.files.After(kFolder + "\\docs\\b.txt", [&] { rig.files.ReplaceWithLink(kFolder + "\\docs", "C:\\Windows\\System32"); });
    rig.Uninstall();
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\docs\\b.txt"));
    EXPECT_EQ(rig.files.Content("C:\\Windows\\System32\\a.txt"), "keep");
    EXPECT_TRUE(rig.files.FolderExists("C:\\Windows\\System32"));
}

// Windows folds a typed "Kestrel 2." or "Sub\..\Kestrel" to the folder it makes;
// the log keeps the typed spelling, and the uninstall still removes every line,
// every folder, the entry, and leaves the script to remove the folder.
TEST(UninstallRunMends, FoldedFolderSpellingsUninstallCompletely) {
    const struct { std::string typed, real; } cases[] = {
        {"C:\\Program Files\\Kestrel 2. ", "C:\\Program Files\\Kestrel 2"},
        {"C:\\Program Files\\Sub\\..\\Kestrel", kFolder},
        {"C:\\Program Files\\.\\Kestrel.", kFolder},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.files.push_back({"docs\\deep\\notes.txt", "deep"});
        Rig rig(app.Build());
        rig.Start();
        rig.view.TypeFolderName(c.typed.substr(std::string("C:\\Program Files\\").size()));
        rig.Click(&ui::Install::btnGoInstallClick);
        const std::string uninstaller = c.real + "\\uninstall.exe";
        const std::string copy = rig.files.Content(uninstaller);
        ASSERT_FALSE(copy.empty()) << c.typed;
        rig.Restart(Bytes(copy.begin(), copy.end()), uninstaller);
        rig.files.MarkRunning(uninstaller);
        rig.Start();
        rig.Click(&ui::Install::btnUninstallClick);
        EXPECT_EQ(rig.files.ListFolder(c.real + "\\*.*"), std::vector<std::string>{"uninstall.exe"}) << c.typed;
        EXPECT_EQ(rig.view.labels[Label::Traces], "") << c.typed;
        EXPECT_FALSE(rig.registry.KeyExists(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix) + "Kestrel"));
        rig.Click(&ui::Install::btnUninstallExitClick);
        EXPECT_TRUE(rig.files.FileExists(removal::kRemovalScriptPath)) << c.typed;
    }
}

// A log beside a downloaded installer opens it in uninstall mode; it can name
// nothing outside the installer's own folder.
TEST(UninstallRunMends, SpuriousLogBesideAnInstallerReachesNothingElse) {
    Rig rig(TestApp().Build(), "C:\\Users\\Bob\\Downloads\\setup.exe");
    const std::string key = std::string(platform::kUninstallKeyPrefix) + "Kestrel";
    rig.registry.Set(Hive::LocalMachine, key, "UninstallString", "\"" + kUninstaller + "\" uninstall");
    rig.files.AddFile("C:\\Windows\\System32\\x.dll", "keep");
    rig.files.AddFile("C:\\Users\\Bob\\Downloads\\Kestrel.ilg",
                      "C:\\Windows\\System32\\x.dll\r\nC:\\Users\\Bob\\Downloads\\setup.exe\r\n");
    rig.Start();
    rig.Click(&ui::Install::btnUninstallClick);
    EXPECT_EQ(rig.files.Content("C:\\Windows\\System32\\x.dll"), "keep");
    // The real installation's entry names its own uninstaller, and stays.
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, key, "UninstallString"), "\"" + kUninstaller + "\" uninstall");
}


TEST(RemovalScript, WaitsForTheUninstallerThenRemovesItsFolderAndItself) {
    // The paths come through the environment, whatever they hold: "%" and "!"
    // mean nothing there, and no code page stands between them and cmd.
    const std::string uninstaller = "C:\\Program Files\\50% Off! Текст\\uninstall.exe";
    const auto script = removal::MakeRemovalScript(uninstaller, "C:\\Windows\\System32");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->lines,
              (std::vector<std::string>{"@echo off", "setlocal DisableDelayedExpansion", "set tries=0", ":wait",
                                        "del \"%VELMORAN_UNINSTALLER%\" >nul 2>&1",
                                        "if not exist \"%VELMORAN_UNINSTALLER%\" goto removed", "set /a tries+=1",
                                        "if %tries% geq 10 goto removed",
                                        "\"C:\\Windows\\System32\\ping.exe\" -n 2 127.0.0.1 >nul", "goto wait",
                                        ":removed", "rmdir \"%VELMORAN_FOLDER%\"", "del \"%~f0\""}));
    using Variables = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(script->environment, (Variables{{"VELMORAN_UNINSTALLER", uninstaller},
                                              {"VELMORAN_FOLDER", "C:\\Program Files\\50% Off! Текст"}}));
    for (const char* unsafe : {"C:\\x\" & calc.exe & rem \"\\uninstall.exe", "C:\\x\r\ncalc.exe\\uninstall.exe"})
        EXPECT_FALSE(removal::MakeRemovalScript(unsafe, "C:\\Windows\\System32")) << unsafe;
}

TEST(RemovalScript, OnlyTheRunningProgramsOwnLineNamesTheUninstaller) {
    const std::string injected = "C:\\x\" & calc.exe & rem \"uninstall.exe";
    UninstallRig rig({kFolder + "\\a.txt", injected, "C:\\other\\uninstall.exe"});
    rig.Uninstall();
    EXPECT_EQ(rig.State().uninstallerPath, "");
    rig.Click(&ui::Install::btnUninstallExitClick);
    EXPECT_FALSE(rig.files.FileExists(removal::kRemovalScriptPath));
    EXPECT_TRUE(rig.shell.Launches().empty());
}

TEST(RemovalScript, ALinkOrFolderAtTheScriptPathIsNotFollowed) {
    UninstallRig linked;
    linked.files.AddFolder(removal::kRemovalScriptPath);
    linked.files.AddFile(std::string(removal::kRemovalScriptPath) + "\\target.txt", "keep");
    linked.files.MarkLink(removal::kRemovalScriptPath);
    linked.Uninstall();
    linked.Click(&ui::Install::btnUninstallExitClick);
    EXPECT_EQ(linked.files.Content(removal::kRemovalScriptPath), ScriptText());
    EXPECT_TRUE(linked.view.terminated);

    UninstallRig folder;
    folder.files.AddFolder(removal::kRemovalScriptPath);
    folder.files.AddFolder("C:\\Users\\Admin\\Temp");
    folder.Uninstall();
    folder.Click(&ui::Install::btnUninstallExitClick);
    const std::string elsewhere = "C:\\Users\\Admin\\Temp\\uninstall_rd-1.bat";
    EXPECT_EQ(folder.files.Content(elsewhere), ScriptText());
    ASSERT_EQ(folder.shell.Launches().size(), 1u);
    EXPECT_EQ(folder.shell.Launches()[0].file, elsewhere);
}

TEST(RemovalScript, UnwritableScriptIsReportedAndTheProgramStays) {
    UninstallRig rig;
    rig.files.FailCreation(removal::kRemovalScriptPath);
    rig.Uninstall();
    rig.Click(&ui::Install::btnUninstallExitClick);
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_EQ(rig.view.failures[0], "Cannot create file \"C:\\uninstall_rd.bat\". Access is denied.");
    EXPECT_FALSE(rig.view.terminated);
    EXPECT_TRUE(rig.shell.Launches().empty());
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

const std::string kEntryKey = std::string(platform::kUninstallKeyPrefix) + "Kestrel";

// An install folder that became a junction (moved to another drive, say):
// nothing is removed, the entry stays, and no script removes the junction.
TEST(UninstallRunMends, AnInstallFolderThatIsAJunctionKeepsEverything) {
    UninstallRig rig;
    rig.files.MarkLink(kFolder);
    rig.Uninstall();
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
    EXPECT_TRUE(rig.files.FileExists(std::string(kDesktop) + "\\Kestrel.lnk"));
    EXPECT_TRUE(rig.registry.KeyExists(Hive::LocalMachine, kEntryKey));
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_NE(rig.view.boxes[0].text.find("is a junction or symbolic link"), std::string::npos);
    EXPECT_EQ(rig.install->ExitCode(), setup::kExitFailedBeforeWriting);
    rig.Click(&ui::Install::btnUninstallExitClick);
    EXPECT_TRUE(rig.shell.Launches().empty());
    EXPECT_TRUE(rig.files.IsLink(kFolder));
}

// Only a file in use waits for the next start of Windows; one that cannot be
// deleted for another reason (read-only) is left and named.
TEST(UninstallRunMends, OnlyFilesInUseWaitForARestart) {
    UninstallRig rig;
    rig.files.MarkReadOnly(kFolder + "\\readme.txt");
    rig.Uninstall();
    EXPECT_TRUE(rig.files.atRestart.empty());
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\readme.txt"));
    EXPECT_EQ(rig.view.labels[Label::Uninstall2], "Uninstall Complete.");
    EXPECT_EQ(rig.view.labels[Label::Traces], kLeftovers);
    EXPECT_EQ(rig.install->ExitCode(), setup::kExitDone);
}

// A folder typed in its 8.3 form is logged in full; and a log an earlier
// version wrote in the short form still uninstalls completely.
TEST(UninstallRunMends, ShortFolderNamesMatchTheirLongForm) {
    QuietRig rig(TestApp().Build());
    rig.files.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
    ASSERT_EQ(rig.Run(QuietRig::Silent("C:\\PROGRA~1\\Kestrel")), setup::kExitDone);
    const std::string log = rig.files.Content(kFolder + "\\Kestrel.ilg");
    EXPECT_EQ(log.find("PROGRA~1"), std::string::npos) << log;
    EXPECT_NE(log.find(kFolder + "\\Kestrel.exe\r\n"), std::string::npos) << log;

    std::string shortLog = log;
    for (auto at = shortLog.find(kFolder); at != std::string::npos; at = shortLog.find(kFolder, at))
        shortLog.replace(at, kFolder.size(), "C:\\PROGRA~1\\Kestrel");
    rig.files.AddFile(kFolder + "\\Kestrel.ilg", shortLog);
    EXPECT_EQ(rig.Uninstall(kFolder), setup::kExitDone);
    for (const char* gone : {"\\Kestrel.exe", "\\docs\\guide.txt", "\\Kestrel.ilg"})
        EXPECT_FALSE(rig.files.FileExists(kFolder + gone)) << gone;
    EXPECT_FALSE(rig.registry.KeyExists(Hive::LocalMachine, kEntryKey));
}

}  // namespace
}  // namespace velmoran::testing

// The uninstall run and the removal script, with fakes.

#include "removal/uninstall_run.h"

#include <gtest/gtest.h>

#include "installer_rig.h"

namespace velmoran::testing {
namespace {

using platform::Hive;
using ui::Gauge;
using ui::Label;
using ui::Page;

const std::string kFolder = "C:\\Program Files\\Kestrel";
const std::string kUninstaller = kFolder + "\\uninstall.exe";
const char kLeftovers[] = "Some files created after the original installation are still in the application folder.";

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
    EXPECT_EQ(rig.files.Content(removal::kRemovalScriptPath),
              "@echo off\r\ndel \"" + kUninstaller + "\"\r\nrmdir \"" + kFolder + "\"\r\ndel \"C:\\uninstall_rd.bat\"\r\n");
    ASSERT_EQ(rig.shell.Launches().size(), 1u);
    EXPECT_EQ(rig.shell.Launches()[0].file, "C:\\uninstall_rd.bat");
    EXPECT_EQ(rig.shell.Launches()[0].show, platform::ShowCommand::Minimised);
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

TEST(UninstallRun, FolderWalkStartsFromTheFirstLinesFolder) {
    UninstallRig rig({"C:\\App\\help\\a.htm", "C:\\App\\b.txt", "C:\\App\\help\\deep\\c.htm", "C:\\App\\uninstall.exe"});
    for (const char* file : {"C:\\App\\help\\a.htm", "C:\\App\\b.txt", "C:\\App\\help\\deep\\c.htm"}) rig.files.AddFile(file);
    rig.Uninstall();
    const std::vector<std::string> expected = {
        "C:\\App\\",                                                  // uninstall.exe: its own folder, once
        "C:\\App\\help\\deep\\", "C:\\App\\help\\deep", "C:\\App\\help\\dee", "C:\\App\\help\\de",
        "C:\\App\\help\\d",                                           // down to the base plus one
        "C:\\App\\",                                                  // b.txt: its own folder only
        "C:\\App\\help\\",                                            // a.htm: the base itself, once
    };
    EXPECT_EQ(rig.files.folderRemovals, expected);
    EXPECT_FALSE(rig.files.FolderExists("C:\\App\\help"));
}

TEST(UninstallRun, FileListedTwiceAndNoUninstallerLine) {
    UninstallRig rig({"C:\\App\\a.txt", "C:\\App\\a.txt"});
    rig.files.AddFile("C:\\App\\a.txt");
    rig.files.AddFile("C:\\other.txt");
    rig.files.SetCurrentFolder("C:\\App");
    rig.Uninstall();
    EXPECT_EQ(rig.files.fileRemovals.size(), 2u);
    EXPECT_FALSE(rig.files.FileExists("C:\\App\\a.txt"));
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
    UninstallRig shallow({"C:\\a.txt", std::string(kDesktop) + "\\x.lnk", std::string(kPrograms) + "\\x.lnk"});
    shallow.files.AddFile(std::string(kDesktop) + "\\x.lnk");
    shallow.files.AddFile(std::string(kPrograms) + "\\x.lnk");
    shallow.Uninstall();
    EXPECT_TRUE(shallow.files.FolderExists(kDesktop));
    EXPECT_TRUE(shallow.files.FolderExists(kPrograms));
    EXPECT_TRUE(shallow.files.FolderExists("C:\\ProgramData"));
    EXPECT_FALSE(shallow.files.FileExists(std::string(kDesktop) + "\\x.lnk"));
}

TEST(RemovalScript, LinesAndQuoting) {
    EXPECT_EQ(removal::RemovalScript("C:\\Program Files\\My App\\uninstall.exe"),
              (std::vector<std::string>{"@echo off", "del \"C:\\Program Files\\My App\\uninstall.exe\"",
                                        "rmdir \"C:\\Program Files\\My App\"", "del \"C:\\uninstall_rd.bat\""}));
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

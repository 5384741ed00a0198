// The installation run behind "Install Now", and the completion page, with fakes.

#include "setup/installation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "installer_rig.h"
#include "payload/file_entry.h"

namespace velmoran::testing {
namespace {

using platform::Hive;
using ui::Gauge;
using ui::Label;
using ui::MessageButtons;
using ui::MessageKind;
using ui::MessageResult;
using ui::Page;

const std::string kFolder = "C:\\Program Files\\Kestrel";
const std::string kUninstallKey = std::string(platform::kUninstallKeyPrefix) + "Kestrel";

// Started and on the folder page, ready for Install Now.
struct InstallRig : Rig {
    explicit InstallRig(const TestApp& app = TestApp()) : Rig(app.Build()), installer(app.Build()) {
        Start();
        Click(&ui::Install::btnShowLicenseClick);
        Click(&ui::Install::btnAcceptClick);
    }
    void Install() { Click(&ui::Install::btnGoInstallClick); }
    std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < State().log.Count(); ++i) lines.push_back(State().log.Line(i));
        return lines;
    }
    Bytes installer;
};

TEST(InstallationRun, TheDesktopShortcutIsMadeOnlyWhenWanted) {
    using payload::DesktopShortcut;
    const struct { DesktopShortcut project; bool shown, ticked, made; } cases[] = {
        {DesktopShortcut::Yes, false, true, true},
        {DesktopShortcut::Ask, true, true, true},
        {DesktopShortcut::Ask, true, false, false},
        {DesktopShortcut::No, false, true, false},
    };
    const std::string desktopShortcut = std::string(kDesktop) + "\\Kestrel.lnk";
    for (const auto& c : cases) {
        TestApp app;
        app.manifest.registrations.desktopShortcut = c.project;
        InstallRig rig(app);
        EXPECT_EQ(rig.view.desktopShortcutShown, c.shown);
        rig.view.desktopShortcut = c.ticked;
        rig.Install();
        EXPECT_EQ(rig.files.FileExists(desktopShortcut), c.made);
        const std::vector<std::string> lines = rig.LogLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), desktopShortcut), c.made ? 1 : 0);
        EXPECT_TRUE(rig.files.FileExists(std::string(kPrograms) + "\\Kestrel\\Kestrel.lnk"));
    }
    // /NODESKTOPSHORTCUT, silent or not, makes none and asks nothing.
    TestApp app;
    app.manifest.registrations.desktopShortcut = DesktopShortcut::Ask;
    QuietRig quiet(app.Build());
    setup::RunOptions options = QuietRig::Silent(kQuietFolder);
    options.noDesktopShortcut = true;
    ASSERT_EQ(quiet.Run(options), 0);
    EXPECT_FALSE(quiet.files.FileExists(desktopShortcut));
}

TEST(InstallationRun, InstallsFilesUninstallerShortcutsLogAndEntry) {
    InstallRig rig;
    rig.Install();
    EXPECT_TRUE(rig.view.failures.empty()) << rig.view.failures[0];
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_EQ(rig.view.page, Page::Installed);

    for (const auto& [path, content] : TestApp().files) EXPECT_EQ(rig.files.Content(kFolder + "\\" + path), content) << path;
    const std::string uninstaller = rig.files.Content(kFolder + "\\uninstall.exe");
    EXPECT_EQ(uninstaller, std::string(rig.installer.begin(), rig.installer.begin() + static_cast<long>(rig.State().payload.FileDataStart())));

    const std::vector<std::string> expected = {
        kFolder + "\\Kestrel.exe", kFolder + "\\docs\\guide.txt", kFolder + "\\readme.txt",
        kFolder + "\\uninstall.exe", kFolder + "\\Kestrel.ilg",
        std::string(kDesktop) + "\\Kestrel.lnk",
        std::string(kPrograms) + "\\Kestrel\\Kestrel.lnk",
        std::string(kPrograms) + "\\Kestrel\\Guide.lnk",
        std::string(kPrograms) + "\\Kestrel\\Read Me.lnk",
    };
    EXPECT_EQ(rig.LogLines(), expected);
    std::string saved;
    for (const std::string& line : expected) saved += line + "\r\n";
    EXPECT_EQ(rig.files.Content(kFolder + "\\Kestrel.ilg"), saved);

    ASSERT_EQ(rig.shell.Shortcuts().size(), 4u);
    EXPECT_EQ(rig.shell.Shortcuts()[0].description, "Kestrel");
    EXPECT_EQ(rig.shell.Shortcuts()[0].target, kFolder + "\\Kestrel.exe");
    EXPECT_EQ(rig.shell.Shortcuts()[2].description, "Guide");
    EXPECT_EQ(rig.shell.Shortcuts()[2].target, kFolder + "\\docs\\guide.txt");
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, kUninstallKey, "DisplayName"), "Kestrel");
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, kUninstallKey, "UninstallString"), "\"" + kFolder + "\\uninstall.exe\" uninstall");  // quoted: the path has a space

    // The uninstaller copy pushes past Filebytes; the gauge holds at its maximum.
    const int fileBytes = 18 + 9 + 7;
    EXPECT_EQ(rig.view.gauges[Gauge::Progress].Max(), fileBytes);
    EXPECT_EQ(rig.view.gauges[Gauge::Progress].Progress(), fileBytes);
    EXPECT_EQ(rig.view.labels[Label::InstallingFile], "Installing : readme.txt");
    EXPECT_GE(rig.view.pumps, 3);
    EXPECT_EQ(rig.State().mainProgramPath, kFolder + "\\Kestrel.exe");

    rig.Click(&ui::Install::btnCompleteClick);
    ASSERT_EQ(rig.shell.Launches().size(), 1u);
    EXPECT_EQ(rig.shell.Launches()[0].file, kFolder + "\\Kestrel.exe");
    EXPECT_EQ(rig.shell.Launches()[0].parameters, "");
    EXPECT_EQ(rig.shell.Launches()[0].show, platform::ShowCommand::Normal);
    EXPECT_TRUE(rig.shell.Launches()[0].asUser);  // not with the installer's rights
    EXPECT_TRUE(rig.view.terminated);
}

// Where no desktop shell can start it as the signed-in user, the program is
// started as before, and the log says so.
TEST(InstallationRun, RunProgramWithoutADesktopShell) {
    QuietRig rig(TestApp().Build());
    rig.shell.noDesktopShell = true;
    setup::RunOptions options;
    options.writeLog = true;
    rig.install = std::make_unique<ui::Install>(rig.view, rig.platform, *rig.source, rig.programPath, options, &rig.log);
    rig.view.Attach(*rig.install);
    rig.Start();
    rig.Click(&ui::Install::btnGoInstallClick);
    rig.Click(&ui::Install::btnCompleteClick);
    ASSERT_EQ(rig.shell.Launches().size(), 1u);
    EXPECT_FALSE(rig.shell.Launches()[0].asUser);
    EXPECT_EQ(rig.shell.Launches()[0].file, kFolder + "\\Kestrel.exe");
    EXPECT_TRUE(rig.Logged("No desktop shell to start the program as the signed-in user"));
}

TEST(InstallationRun, CompletionWithoutRunProgramStartsNothing) {
    InstallRig rig;
    rig.Install();
    rig.view.runProgram = false;
    rig.Click(&ui::Install::btnCompleteClick);
    EXPECT_TRUE(rig.shell.Launches().empty());
    EXPECT_TRUE(rig.view.terminated);
}

TEST(InstallationRun, ExistingFolderQuestion) {
    for (const MessageResult answer : {MessageResult::No, MessageResult::Yes, MessageResult::Cancel}) {
        InstallRig rig;
        rig.files.AddFile(kFolder + "\\old.txt", "old");
        const auto before = rig.files.Snapshot();
        rig.view.Answer(answer);
        rig.Install();
        ASSERT_FALSE(rig.view.boxes.empty());
        EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Warning);
        EXPECT_EQ(rig.view.boxes[0].text,
                  "Folder already exists, existing files may be overwritten.\rAre you sure you want to install the software here?");
        EXPECT_EQ(rig.view.boxes[0].buttons, MessageButtons::YesNo);
        if (answer == MessageResult::No) {
            EXPECT_EQ(rig.files.Snapshot(), before);
            EXPECT_EQ(rig.view.page, Page::Folder);
        } else {
            EXPECT_EQ(rig.view.page, Page::Installed);
            EXPECT_EQ(rig.files.Content(kFolder + "\\old.txt"), "old");
        }
    }
}

TEST(InstallationRun, NoFilesStillMakesUninstallerLogAndShortcuts) {
    TestApp app;
    app.files.clear();
    InstallRig rig(app);
    rig.Install();
    EXPECT_EQ(rig.view.page, Page::Installed);
    const auto lines = rig.LogLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], kFolder + "\\uninstall.exe");
    EXPECT_EQ(lines[1], kFolder + "\\Kestrel.ilg");
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\uninstall.exe"));
    EXPECT_EQ(rig.view.gauges[Gauge::Progress].Percent(), 0);  // a range of 0 shows 0%
}

TEST(InstallationRun, NestedFoldersAreMadeFromTheTopDown) {
    TestApp app;
    app.files = {{"examples\\images\\white.jpg", "white"}};
    InstallRig rig(app);
    rig.view.TypeFolderName("Vendor\\Kestrel");
    rig.Install();
    EXPECT_EQ(rig.files.Content("C:\\Program Files\\Vendor\\Kestrel\\examples\\images\\white.jpg"), "white");
    EXPECT_EQ(rig.LogLines()[0], "C:\\Program Files\\Vendor\\Kestrel\\examples\\images\\white.jpg");
}

TEST(InstallationRun, MissingSpecialFoldersMeanNoShortcutsOfThatKind) {
    const struct { bool desktop, programs; std::size_t shortcuts; } cases[] = {
        {false, true, 3}, {true, false, 1}, {false, false, 0}};
    for (const auto& c : cases) {
        InstallRig rig;
        if (!c.desktop) rig.State().folders.desktop.clear();
        if (!c.programs) rig.State().folders.programs.clear();
        rig.Install();
        const auto lines = rig.LogLines();
        ASSERT_EQ(lines.size(), 5 + c.shortcuts);
        EXPECT_EQ(lines[4], kFolder + "\\Kestrel.ilg");
        if (c.shortcuts == 3) {
            EXPECT_EQ(lines[5], std::string(kPrograms) + "\\Kestrel\\Kestrel.lnk");
        }
        EXPECT_EQ(rig.files.FolderExists(std::string(kPrograms) + "\\Kestrel"), c.programs);
    }
}

TEST(InstallationRun, BadNumbers) {
    {
        TestApp app;
        app.overrides["Filecount"] = "<drop>";
        InstallRig rig(app);
        const auto before = rig.files.Snapshot();
        rig.Install();
        ASSERT_EQ(rig.view.failures.size(), 1u);
        EXPECT_EQ(rig.view.failures[0], "'' is not a valid integer value.");
        EXPECT_EQ(rig.files.Snapshot(), before);
        EXPECT_EQ(rig.view.page, Page::Folder);
    }
    for (const char* filebytes : {"<drop>", "-1"}) {
        TestApp app;
        app.overrides["Filebytes"] = filebytes;
        InstallRig rig(app);
        const auto before = rig.files.Snapshot();
        rig.Install();
        ASSERT_EQ(rig.view.failures.size(), 1u) << filebytes;
        EXPECT_EQ(rig.view.failures[0], std::string(filebytes) == "-1" ? "Value must be between 1 and 2147483647."
                                                                        : "'' is not a valid integer value.");
        EXPECT_EQ(rig.view.page, Page::Folder);
        EXPECT_EQ(rig.files.Snapshot(), before);
    }
    for (const char* entry : {"<drop>", "<docs\\guide.txt><nine>"}) {
        TestApp app;
        app.overrides["f2"] = entry;
        InstallRig rig(app);
        rig.Install();
        ASSERT_EQ(rig.view.failures.size(), 1u) << entry;
        EXPECT_EQ(rig.view.page, Page::Installing);
        EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
        EXPECT_EQ(rig.LogLines().size(), 2u);  // the failing entry's destination was logged
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
    }
}

TEST(InstallationRun, FileMissingAfterExtractionEndsTheProgram) {
    InstallRig rig;
    rig.files.VanishAfterWrite(kFolder + "\\docs\\guide.txt");
    rig.Install();
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(rig.view.boxes[0].text, "Could not install file - aborting installation");
    EXPECT_EQ(rig.view.boxes[0].buttons, MessageButtons::Abort);
    EXPECT_TRUE(rig.view.terminated);
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\readme.txt"));
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
}

TEST(InstallationRun, CorruptItemMidWayStopsOnTheInstallingPage) {
    for (const bool solid : {false, true}) {
        SCOPED_TRACE(solid ? "solid" : "zlib");
        TestApp app;
        app.solid = solid;
        Bytes installer = app.Build();
        installer[installer.size() - 12] ^= 0xFF;  // inside the last file's data
        Rig rig(installer);
        rig.Start();
        rig.Click(&ui::Install::btnGoInstallClick);
        ASSERT_EQ(rig.view.failures.size(), 1u);
        EXPECT_EQ(rig.view.page, Page::Installing);
        EXPECT_TRUE(rig.files.FileExists(kFolder + "\\docs\\guide.txt"));
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\uninstall.exe"));
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
        EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, kUninstallKey, "DisplayName"), "<missing>");
    }
}

TEST(InstallationRun, SolidPayloadInstallsEveryFile) {
    TestApp app;
    app.solid = true;
    Rig rig(app.Build());
    rig.Start();
    rig.Click(&ui::Install::btnGoInstallClick);
    EXPECT_TRUE(rig.view.failures.empty());
    EXPECT_EQ(rig.view.page, Page::Installed);
    for (const auto& [path, content] : app.files) EXPECT_EQ(rig.files.Content(kFolder + "\\" + path), content) << path;
}

TEST(InstallationRun, SwallowedFailures) {
    InstallRig rig;
    rig.registry.SetMachineWritable(false);
    rig.files.FailCreation(kFolder + "\\uninstall.exe");
    rig.Install();
    EXPECT_TRUE(rig.view.failures.empty());
    EXPECT_EQ(rig.view.page, Page::Installed);
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\uninstall.exe"));
    EXPECT_EQ(rig.view.gauges[Gauge::Progress].Progress(), 18 + 9 + 7);  // only the files' bytes
    EXPECT_FALSE(rig.registry.KeyExists(Hive::LocalMachine, kUninstallKey));

    InstallRig noShortcuts;
    noShortcuts.shell.FailShortcutObject(true);
    noShortcuts.Install();
    ASSERT_EQ(noShortcuts.view.failures.size(), 1u);
    EXPECT_EQ(noShortcuts.view.page, Page::Installing);
    EXPECT_FALSE(noShortcuts.files.FileExists(kFolder + "\\Kestrel.ilg"));
}

TEST(InstallationRun, ExitDuringTheRunLetsItFinish) {
    InstallRig rig;
    rig.view.OnPump([&rig](int pump) {
        if (pump == 2) rig.Click(&ui::Install::btnExitClick);
    });
    rig.Install();
    EXPECT_TRUE(rig.view.terminated);
    EXPECT_EQ(rig.view.page, Page::Installed);
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
}

TEST(InstallationRunMends, UnsafeNamesAreRefusedBeforeAnythingIsWritten) {
    const struct { const char* key; const char* value; } cases[] = {
        {"f4", "<..\\..\\Windows\\evil.dll><4>"}, {"f4", "<C:\\evil.txt><4>"}, {"f4", "<D:evil.txt><4>"},
        {"f4", "<\\evil.txt><4>"}, {"f4", "<docs\\..\\..\\x><4>"}, {"f4", "<docs/../../x><4>"},
        {"f4", "<CON><4>"}, {"f4", "<docs\\nul.txt><4>"}, {"f4", "<COM1.log><4>"}, {"f4", "<a.txt:s><4>"},
        {"AppName", "..\\..\\Users\\Public\\Evil"}, {"AppName", ""}, {"AppName", "\\Evil"}, {"AppName", "A:B"},
        {"AppName", "Vendor\\\\App"}, {"AppName", "Vendor\\.\\App"}, {"AppName", "LPT1"},
        {"ExeShortcut", "..\\..\\..\\Windows\\evil"}, {"ExeShortcut", "aux"},
        {"ShortcutName1", "..\\Startup\\evil"}, {"ShortcutName1", "a/b"},
        {"ShortcutName1", "COM\xC2\xB9"}, {"ShortcutName1", "conin$"}, {"ShortcutName1", "LPT0.txt"},
        {"ExeName", "..\\..\\Windows\\notepad.exe"}, {"ExeName", "C:\\Windows\\notepad.exe"}, {"ExeName", "prn"},
        {"ShortcutPath1", "..\\..\\x.exe"}, {"ShortcutPath1", "\\\\server\\share\\x.exe"},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.files.push_back({"zz.txt", "four"});
        app.overrides[c.key] = c.value;
        InstallRig rig(app);
        const auto before = rig.files.Snapshot();
        rig.Install();
        ASSERT_EQ(rig.view.boxes.size(), 1u) << c.key << "=" << c.value;
        EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Error);
        const std::string shown = c.key[0] == 'f' ? payload::SplitFileEntry(c.value).relativePath : c.value;
        EXPECT_NE(rig.view.boxes[0].text.find("\"" + shown + "\""), std::string::npos) << rig.view.boxes[0].text;
        EXPECT_TRUE(rig.view.terminated);
        EXPECT_EQ(rig.files.Snapshot(), before) << c.key << "=" << c.value;
        EXPECT_FALSE(rig.registry.KeyExists(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix)));
    }
}

// Names Windows folds to a valid name, and empty targets (the install folder
// itself), install; only what leads outside or names nothing is refused.
TEST(InstallationRunMends, FoldedNamesAndEmptyTargetsInstall) {
    const struct { const char* key; const char* value; } cases[] = {
        {"AppName", "Acme Inc."}, {"ExeShortcut", "Kestrel."}, {"ShortcutName1", "Guide .."},
        {"ExeName", ""}, {"ShortcutPath1", ""},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.overrides[c.key] = c.value;
        InstallRig rig(app);
        rig.Install();
        EXPECT_TRUE(rig.view.boxes.empty()) << c.key << "=" << c.value << ": " << rig.view.boxes[0].text;
        EXPECT_EQ(rig.view.page, Page::Installed) << c.key << "=" << c.value;
    }
    TestApp app;
    app.overrides["ExeName"] = "";
    InstallRig rig(app);
    rig.Install();
    EXPECT_EQ(rig.State().mainProgramPath, kFolder);
    EXPECT_EQ(rig.shell.Shortcuts()[0].target, kFolder);
}

// The uninstall entry shows what the header says of the application, value by
// value; a header without any of it writes the two values the entry always had.
TEST(UninstallEntry, IdentityValuesAreWrittenWhenKnown) {
    const struct {
        const char *version, *publisher, *website;
        std::map<std::string, std::string> values;
    } cases[] = {
        {"", "", "", {{"DisplayName", "Kestrel"}, {"DisplayVersion", "<missing>"}, {"Publisher", "<missing>"},
                      {"DisplayIcon", "<missing>"}, {"NoModify", "<missing>"}, {"EstimatedSize", "<missing>"},
                      {"QuietUninstallString", "<missing>"}}},
        {"2.4.1", "Kestrel Software", "https://kestrel.example",
         {{"DisplayVersion", "2.4.1"}, {"Publisher", "Kestrel Software"}, {"DisplayIcon", kFolder + "\\Kestrel.exe,0"},
          {"InstallLocation", kFolder + "\\"}, {"EstimatedSize", "1"}, {"NoModify", "1"}, {"NoRepair", "1"},
          {"URLInfoAbout", "https://kestrel.example"}, {"HelpLink", "<missing>"}, {"VersionMajor", "2"},
          {"VersionMinor", "4"}, {"QuietUninstallString", "\"" + kFolder + "\\uninstall.exe\" /S"}}},
        {"", "Kestrel Software", "",
         {{"Publisher", "Kestrel Software"}, {"DisplayVersion", "<missing>"}, {"VersionMajor", "<missing>"},
          {"NoRepair", "1"}, {"URLInfoAbout", "<missing>"}}},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.manifest.version = c.version, app.manifest.publisher = c.publisher, app.manifest.website = c.website;
        InstallRig rig(app);
        rig.Install();
        for (const auto& [name, value] : c.values)
            EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, kUninstallKey, name), value) << c.version << " " << name;
        const std::string date = rig.registry.Get(Hive::LocalMachine, kUninstallKey, "InstallDate");
        EXPECT_TRUE(*c.publisher ? date.size() == 8 && date.find_first_not_of("0123456789") == std::string::npos
                                 : date == "<missing>")
            << date;
    }
}

TEST(InstallationRunMends, NestedApplicationNameStaysAllowed) {
    TestApp app;
    app.manifest.appName = "Vendor\\Kestrel";
    InstallRig rig(app);
    rig.Install();
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_TRUE(rig.files.FileExists(kFolder + "\\Kestrel.exe"));
}

TEST(InstallationRunMends, TargetFolderThatClimbsProposesNoFolder) {
    for (const char* target : {"%ProgramFiles%\\..\\Windows", "%ProgramFiles%\\.\\Kestrel", "%ProgramFiles%\\...\\x"}) {
        TestApp app;
        app.manifest.targetFolder = target;
        InstallRig rig(app);
        EXPECT_EQ(rig.view.labels[Label::InstallTo], "") << target;
    }
}

TEST(InstallationRunMends, NothingIsWrittenThroughAJunction) {
    const std::string docs = kFolder + "\\docs";
    for (const std::string& link : {docs, kFolder}) {
        InstallRig rig;
        rig.files.AddFolder(docs);
        rig.files.MarkLink(link);
        rig.Install();
        ASSERT_EQ(rig.view.failures.size(), 1u) << link;
        EXPECT_EQ(rig.view.failures[0],
                  "\"" + link + "\" is a junction or symbolic link; the installation writes nothing through one.");
        EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
    }
}

// A folder checked once and turned into a junction after its first file: the
// next file would land at the junction's target, and is refused by handle.
TEST(InstallationRunMends, AJunctionSwappedInDuringTheRunIsNotWrittenThrough) {
    TestApp app;
    app.files = {{"Kestrel.exe", "MZ"}, {"docs\\a.txt", "a"}, {"docs\\b.txt", "b"}};
    InstallRig rig(app);
    rig.files.AddFile("C:\\Windows\\System32\\a.txt", "keep");  // so a.txt still seems installed
    rig.files.After(kFolder + "\\docs\\a.txt", [&] { rig.files.ReplaceWithLink(kFolder + "\\docs", "C:\\Windows\\System32"); });
    rig.Install();
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_EQ(rig.view.failures[0],
              "\"" + kFolder + "\\docs\\b.txt\" is a junction or symbolic link; the installation writes nothing through one.");
    EXPECT_FALSE(rig.files.FileExists("C:\\Windows\\System32\\b.txt"));
    EXPECT_EQ(rig.files.Content("C:\\Windows\\System32\\a.txt"), "keep");
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
}

// What another user left in an existing install folder (a file, or a link to
// somewhere else) is deleted and made new, never written in place or through.
TEST(InstallationRunMends, PlantedFilesAndLinksAreReplacedNotReused) {
    for (const std::string name : {"readme.txt", "uninstall.exe", "Kestrel.ilg"}) {
        InstallRig rig;
        const std::string planted = kFolder + "\\" + name;
        rig.files.AddFile("C:\\Windows\\win.ini", "keep");
        rig.files.AddFile(planted, "planted");
        rig.files.ReplaceWithLink(planted, "C:\\Windows\\win.ini");
        rig.Install();
        ASSERT_TRUE(rig.view.failures.empty()) << rig.view.failures[0];
        EXPECT_FALSE(rig.files.IsLink(planted)) << name;
        EXPECT_NE(rig.files.Content(planted), "") << name;
        EXPECT_EQ(rig.files.Content("C:\\Windows\\win.ini"), "keep") << name;
    }
}

// An installer on a network share that goes away during the installation.
class VanishingSource : public MemorySource {
public:
    using MemorySource::MemorySource;
    std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t count) override {
        if (gone) throw Failure("Cannot read file \"\\\\server\\setup.exe\". The network name is no longer available.");
        return MemorySource::ReadAt(offset, into, count);
    }
    bool gone = false;
};

TEST(InstallationRunMends, AReadErrorOfTheInstallerIsShownAndNothingCrashes) {
    TestApp app;
    std::string noise(3 << 20, '\0');  // more than the reader holds at a time
    uint32_t state = 7;
    for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 24);
    app.files.push_back({"zz.bin", noise});
    InstallRig rig(app);
    VanishingSource source(rig.installer);
    ui::Install install(rig.view, rig.platform, source, "C:\\Downloads\\setup.exe");
    rig.view.Attach(install);
    rig.view.folderName.clear();  // a window of its own starts with an empty folder name
    install.Handle(&ui::Install::FormCreate);
    source.gone = true;
    install.Handle(&ui::Install::btnGoInstallClick);
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_EQ(rig.view.failures[0], "Cannot read file \"\\\\server\\setup.exe\". The network name is no longer available.");
    EXPECT_EQ(rig.view.page, Page::Installing);
    EXPECT_FALSE(rig.files.FileExists(kFolder + "\\Kestrel.ilg"));
}

TEST(InstallationRunMends, AFullDriveNamesTheFileAndTheProgramStays) {
    InstallRig rig;
    rig.files.LimitFreeSpace(20);
    rig.Install();
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_EQ(rig.view.failures[0], "Cannot write file \"" + kFolder + "\\docs\\guide.txt\". There is not enough space on the disk.");
    EXPECT_FALSE(rig.view.terminated);
    EXPECT_EQ(rig.view.page, Page::Installing);
}

TEST(InstallationRunMends, EmptyInstallPathIsRefused) {
    TestApp app;
    app.manifest.targetFolder = "%ProgramFiles%\\Vendor\\Kestrel";  // Vendor is missing: no default
    InstallRig rig(app);
    ASSERT_EQ(rig.view.labels[Label::InstallTo], "");
    const auto before = rig.files.Snapshot();
    rig.Install();
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Warning);
    EXPECT_EQ(rig.view.page, Page::Folder);
    EXPECT_EQ(rig.files.Snapshot(), before);
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

// A machine installation makes its folder for administrators alone; an
// existing one keeps its rights, and one that other users may change is
// installed into only when the user says so.
TEST(InstallationRunMends, FolderRightsAndFoldersOthersMayChange) {
    const struct {
        bool exists, openToOthers;
        MessageResult secondAnswer;
        bool installed;
    } cases[] = {
        {false, false, {}, true},
        {true, false, {}, true},
        {true, true, MessageResult::Yes, true},
        {true, true, MessageResult::No, false},
    };
    for (const auto& c : cases) {
        InstallRig rig;
        if (c.exists) rig.files.AddFolder(kFolder);
        if (c.openToOthers) rig.files.OpenToOthers(kFolder);
        rig.view.Answer(MessageResult::Yes);  // the folder exists
        rig.view.Answer(c.secondAnswer);
        rig.Install();
        EXPECT_EQ(rig.files.FileExists(kFolder + "\\Kestrel.exe"), c.installed);
        const auto made = rig.files.madeFolders.find(kFolder);
        EXPECT_EQ(made != rig.files.madeFolders.end(), !c.exists);
        if (!c.exists) {
            EXPECT_EQ(made->second, platform::FolderRights::AdministratorsOnly);
        }
        if (c.installed) {
            EXPECT_EQ(rig.files.madeFolders.at(kFolder + "\\docs"), platform::FolderRights::Inherited);
        }
        const bool warned = rig.view.boxes.size() == 2;
        EXPECT_EQ(warned, c.openToOthers);
        if (warned) {
            EXPECT_EQ(rig.view.boxes[1].kind, MessageKind::Warning);
            EXPECT_EQ(rig.view.boxes[1].buttons, MessageButtons::YesNo);
            EXPECT_NE(rig.view.boxes[1].text.find("Other users of this computer may change the folder \"" + kFolder),
                      std::string::npos);
        }
    }
}

// A folder that cannot be made is reported for the first file the run would
// write there (the log when there are none), with the system's reason.
TEST(InstallationRunMends, AFolderThatCannotBeMadeNamesTheFirstDestination) {
    for (const bool noFiles : {false, true}) {
        TestApp app;
        if (noFiles) app.files.clear();
        InstallRig rig(app);
        rig.files.FailCreation(kFolder);
        const auto before = rig.files.Snapshot();
        rig.Install();
        ASSERT_EQ(rig.view.failures.size(), 1u);
        EXPECT_EQ(rig.view.failures[0], "Cannot create file \"" + kFolder + (noFiles ? "\\Kestrel.ilg" : "\\Kestrel.exe") +
                                            "\". Access is denied.");
        EXPECT_EQ(rig.files.Snapshot(), before);
    }
}

// A shortcut file is "<name>.lnk": an empty or dot-only name still makes one
// that lies in its folder, and the uninstall takes it again.
TEST(InstallationRunMends, EmptyAndDotShortcutNamesAreFileNames) {
    TestApp app;
    app.manifest.exeShortcut = "";
    app.manifest.shortcuts = {{". .", "readme.txt"}};
    InstallRig rig(app);
    rig.Install();
    EXPECT_EQ(rig.view.page, Page::Installed);
    const std::string group = std::string(kPrograms) + "\\Kestrel";
    for (const std::string& link : {std::string(kDesktop) + "\\.lnk", group + "\\.lnk", group + "\\. ..lnk"})
        EXPECT_TRUE(rig.files.FileExists(link)) << link;
    const std::string copy = rig.files.Content(kFolder + "\\uninstall.exe");
    rig.Restart(Bytes(copy.begin(), copy.end()), kFolder + "\\uninstall.exe");
    rig.files.MarkRunning(kFolder + "\\uninstall.exe");
    rig.Start();
    rig.Click(&ui::Install::btnUninstallClick);
    EXPECT_FALSE(rig.files.FileExists(std::string(kDesktop) + "\\.lnk"));
    EXPECT_FALSE(rig.files.FolderExists(group));
}

}  // namespace
}  // namespace velmoran::testing

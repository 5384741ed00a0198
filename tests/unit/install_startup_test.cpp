// Start-up, navigation and folder selection of the window unit, with fakes.

#include "ui/install.h"

#include <gtest/gtest.h>

#include "installer_rig.h"

namespace velmoran::testing {
namespace {

using ui::Label;
using ui::MessageButtons;
using ui::MessageKind;
using ui::MessageResult;
using ui::Page;

TEST(Startup, FillsTheWindowFromThePayload) {
    for (const bool scrambled : {false, true}) {
        TestApp app;
        app.scrambled = scrambled;
        Rig rig(app.Build());
        rig.Start();
        EXPECT_TRUE(rig.view.boxes.empty());
        EXPECT_TRUE(rig.view.failures.empty());
        EXPECT_EQ(rig.view.page, Page::Intro);
        EXPECT_EQ(rig.view.labels[Label::Title], "Kestrel");
        EXPECT_EQ(rig.view.labels[Label::Welcome],
                  "Welcome.  This program will install Kestrel.  It is recommended that you exit all other programs "
                  "before continuing.");
        EXPECT_EQ(rig.view.labels[Label::InstallTo], "C:\\Program Files\\Kestrel");
        EXPECT_EQ(rig.view.listFolder, "C:\\Program Files");
        EXPECT_EQ(rig.files.CurrentFolder(), "C:\\Program Files");
        EXPECT_EQ(rig.view.splash, app.splash);
        EXPECT_EQ(rig.view.icon, app.icon);
        EXPECT_EQ(rig.view.richTexts[ui::RichBox::About], app.about);
        EXPECT_EQ(rig.view.richTexts[ui::RichBox::License], app.licence);
        EXPECT_TRUE(rig.State().fileDataStartRecorded);
        EXPECT_EQ(rig.State().folders.programs, kPrograms);
        EXPECT_EQ(rig.State().folders.programFiles, "C:\\Program Files");
        EXPECT_FALSE(rig.view.terminated);
    }
}

TEST(Startup, DamagedPayloadsShowOneErrorAndEnd) {
    TestApp app;
    const Bytes good = app.Build();
    Bytes noMarker = good;
    noMarker[13] = 'X';  // the marker's first byte, after the 13-byte stub
    Bytes unterminated(good.begin(), good.begin() + 60);
    app.scrambled = true;
    Bytes badChecksum = app.Build();
    badChecksum.back() ^= 0x01;
    const struct { Bytes image; const char* message; } cases[] = {
        {noMarker, "Can't find control information (damaged installer?)"},
        {unterminated, "Control information not terminated (damaged installer?)"},
        {badChecksum, "Checksum error (damaged installer?)"},
    };
    for (const auto& c : cases) {
        Rig rig(c.image);
        rig.Start();
        ASSERT_EQ(rig.view.boxes.size(), 1u) << c.message;
        EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(rig.view.boxes[0].text, c.message);
        EXPECT_EQ(rig.view.boxes[0].buttons, MessageButtons::Abort);
        EXPECT_TRUE(rig.view.terminated);
        EXPECT_EQ(rig.view.labels[Label::Title], "");  // nothing more was loaded
        EXPECT_EQ(rig.view.page, Page::Intro);
    }
}

TEST(Startup, RegistryValueOfWrongTypeIsAGeneralFailure) {
    Rig rig(TestApp().Build());
    rig.registry.Set(platform::Hive::LocalMachine, platform::kShellFoldersKey, "Common Desktop", "1",
                     FakeRegistry::Type::DWord);
    rig.Start();
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].text, "Failed to initialise (damaged installer?)");
    EXPECT_TRUE(rig.view.terminated);
}

class PartlyReadable : public ByteSource {
public:
    explicit PartlyReadable(Bytes content) : content_(std::move(content)) {}
    void Open() override {}
    void ReadAll(Bytes& into) override {
        into = content_;
        throw Failure("Read error on the installer file");
    }
    void Close() override {}

private:
    Bytes content_;
};

TEST(Startup, ReadProblemIsShownAsInformationAndStartUpGoesOn) {
    Rig rig(TestApp().Build());
    PartlyReadable source(TestApp().Build());
    ui::Install install(rig.view, rig.platform, source, "C:\\Downloads\\setup.exe");
    rig.view.Attach(install);
    install.Handle(&ui::Install::FormCreate);
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(rig.view.boxes[0].text, "Read error on the installer file");
    EXPECT_EQ(rig.view.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(rig.view.labels[Label::Title], "Kestrel");
}

TEST(Startup, DefaultInstallFolderCases) {
    const struct {
        const char* target;
        const char* programFiles;
        const char* existing;
        const char* installTo;
    } cases[] = {
        {"%ProgramFiles%\\Sub\\Name", "D:\\Apps", "D:\\Apps\\Sub", "D:\\Apps\\Sub\\Name"},
        {"%ProgramFiles%\\Vendor\\Name", "D:\\Apps", "D:\\Apps", ""},  // Vendor does not exist yet
        {"Name", "D:\\Apps", "D:\\Apps", "D:\\Apps\\Name"},
        {"%ProgramFiles%\\Name", "", "C:\\Program Files", "C:\\Program Files\\Name"},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.manifest.targetFolder = c.target;
        Rig rig(app.Build());
        rig.files.AddFolder(c.existing);
        if (*c.programFiles)
            rig.registry.Set(platform::Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                             "ProgramFilesDir", c.programFiles);
        rig.Start();
        EXPECT_EQ(rig.view.labels[Label::InstallTo], c.installTo) << c.target;
        EXPECT_TRUE(rig.view.failures.empty());
    }
}

TEST(Startup, PicturesAreOptionalAndTheirFailuresSwallowed) {
    TestApp noSplash;
    noSplash.splash.clear();
    Rig rig(noSplash.Build());
    rig.Start();
    EXPECT_TRUE(rig.view.splash.empty());
    EXPECT_EQ(rig.view.icon, noSplash.icon);  // read from the item-area start

    TestApp notJpeg;
    notJpeg.splash = B("GIF89a");
    Rig rig2(notJpeg.Build());
    rig2.Start();
    EXPECT_TRUE(rig2.view.splash.empty());
    EXPECT_EQ(rig2.view.icon, notJpeg.icon);
    EXPECT_TRUE(rig2.view.failures.empty());
    EXPECT_EQ(rig2.view.labels[Label::Title], "Kestrel");
}

// A picture too large to show is stepped over, not left in place: the items
// after it are read from where they are.
TEST(Startup, APictureAboveTheLimitIsSteppedOver) {
    TestApp app;
    app.splash = Bytes(static_cast<std::size_t>(payload::kMaxPictureBytes) + 1, 0);
    app.splash[0] = 0xFF, app.splash[1] = 0xD8;
    Rig rig(app.Build());
    rig.Start();
    EXPECT_TRUE(rig.view.splash.empty());
    EXPECT_EQ(rig.view.icon, app.icon);
    rig.Click(&ui::Install::btnGoInstallClick);
    ASSERT_TRUE(rig.view.failures.empty()) << rig.view.failures[0];
    EXPECT_EQ(rig.files.Content("C:\\Program Files\\Kestrel\\readme.txt"), "read me");
}

TEST(Startup, BadTextSizeReachesTheDefaultHandlerAndInstallIsRefused) {
    TestApp app;
    app.overrides["InfoAbout"] = "twelve";
    Rig rig(app.Build());
    rig.Start();
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_EQ(rig.view.failures[0], "'twelve' is not a valid integer value.");
    EXPECT_EQ(rig.view.labels[Label::Title], "Kestrel");
    EXPECT_FALSE(rig.State().fileDataStartRecorded);
    EXPECT_FALSE(rig.view.terminated);

    const auto before = rig.files.Snapshot();
    rig.Click(&ui::Install::btnGoInstallClick);
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(rig.files.Snapshot(), before);

    TestApp shortText;
    shortText.overrides["InfoInstall"] = "99999";
    Rig rig2(shortText.Build());
    rig2.Start();
    ASSERT_EQ(rig2.view.failures.size(), 1u);
    EXPECT_EQ(rig2.view.failures[0], "Stream read error.");
}

TEST(Startup, LogBesideTheProgramMeansUninstall) {
    Rig rig(TestApp().Build(), "C:\\Program Files\\Kestrel\\uninstall.exe");
    rig.files.AddFile("C:\\Program Files\\Kestrel\\KESTREL.ilg", "C:\\Program Files\\Kestrel\\a.txt\r\nC:\\x\r\n");
    rig.Start();
    EXPECT_EQ(rig.view.page, Page::Uninstall);
    EXPECT_EQ(rig.view.labels[Label::Uninstall], "Are you sure you want to uninstall Kestrel ?");
    EXPECT_EQ(rig.State().log.Count(), 2u);
    EXPECT_FALSE(rig.State().fileDataStartRecorded);

    // The uninstaller copy carries no file data and still opens.
    TestApp app;
    app.scrambled = true;
    Bytes installer = app.Build();
    installer.resize(installer.size() - 30);
    Rig copy(installer, "C:\\Program Files\\Kestrel\\uninstall.exe");
    copy.files.AddFile("C:\\Program Files\\Kestrel\\Kestrel.ilg", "C:\\Program Files\\Kestrel\\a.txt\r\n");
    copy.Start();
    EXPECT_TRUE(copy.view.boxes.empty());
    EXPECT_EQ(copy.view.page, Page::Uninstall);
}

// A name that is no folder's name never makes a log found through it count.
TEST(Startup, AHostileAppNameFindsNoPlantedLog) {
    for (const char* appName : {"..\\Kestrel", "C:\\Kestrel", "\\Kestrel"}) {
        TestApp app;
        app.manifest.appName = appName;
        Rig rig(app.Build(), "C:\\Downloads\\setup.exe");
        for (const char* planted : {"C:\\Kestrel.ilg", "C:\\Downloads\\..\\Kestrel.ilg", "C:\\Downloads\\C:\\Kestrel.ilg"})
            rig.files.AddFile(planted, "C:\\Windows\\System32\\kernel32.dll\r\n");
        rig.Start();
        EXPECT_NE(rig.view.page, Page::Uninstall) << appName;
        EXPECT_EQ(rig.State().log.Count(), 0u) << appName;
    }
}

TEST(Navigation, PagesAndExitConfirmation) {
    Rig rig(TestApp().Build());
    rig.Start();
    rig.Click(&ui::Install::btnShowLicenseClick);
    EXPECT_EQ(rig.view.page, Page::License);
    rig.Click(&ui::Install::btnAcceptClick);
    EXPECT_EQ(rig.view.page, Page::Folder);

    for (const MessageResult answer : {MessageResult::No, MessageResult::Cancel}) {
        rig.view.Answer(answer);
        rig.Click(&ui::Install::btnExitClick);
        EXPECT_FALSE(rig.view.terminated);
    }
    ASSERT_EQ(rig.view.boxes.size(), 2u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageKind::Confirm);
    EXPECT_EQ(rig.view.boxes[0].text, "Exit Installer ?");
    EXPECT_EQ(rig.view.boxes[0].buttons, MessageButtons::YesNo);
    rig.view.Answer(MessageResult::Yes);
    rig.Click(&ui::Install::btnExitClick);
    EXPECT_TRUE(rig.view.terminated);

    Rig other(TestApp().Build());
    other.Start();
    other.Click(&ui::Install::btnCancelClick);
    EXPECT_TRUE(other.view.terminated);
    EXPECT_TRUE(other.view.boxes.empty());
}

TEST(FolderSelection, PathComposition) {
    Rig rig(TestApp().Build());
    rig.files.AddFolder("D:\\Apps");
    rig.Start();
    // While the panel is hidden, moving the list is no choice.
    rig.view.OpenFolderInList("D:\\Apps");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "C:\\Program Files\\Kestrel");

    rig.Click(&ui::Install::btnChooseClick);
    EXPECT_TRUE(rig.view.choosePanel);
    rig.view.OpenFolderInList("C:\\");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "C:\\Kestrel");
    rig.view.OpenFolderInList("D:\\Apps");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "D:\\Apps\\Kestrel");
    EXPECT_EQ(rig.files.CurrentFolder(), "D:\\Apps");
    rig.view.TypeFolderName("");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "D:\\Apps\\");
    rig.view.TypeFolderName("Vendor\\Name");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "D:\\Apps\\Vendor\\Name");
    rig.view.TypeFolderName(" spaced ");
    EXPECT_EQ(rig.view.labels[Label::InstallTo], "D:\\Apps\\ spaced ");
}

TEST(DefaultFailureHandler, FullStopRule) {
    EXPECT_EQ(ui::FailureBoxText("Stream read error"), "Stream read error.");
    EXPECT_EQ(ui::FailureBoxText("Done."), "Done.");
    EXPECT_EQ(ui::FailureBoxText("Really?"), "Really?.");
    EXPECT_EQ(ui::FailureBoxText("Value 45%"), "Value 45%");  // '%' sorts before '.'
    EXPECT_EQ(ui::FailureBoxText("(damaged installer?)"), "(damaged installer?)");
    EXPECT_EQ(ui::FailureBoxText("path\\"), "path\\.");
    EXPECT_EQ(ui::FailureBoxText(""), "");
    EXPECT_EQ(ui::FailureBoxText("caf\xE9"), "caf\xE9.");
}

}  // namespace
}  // namespace velmoran::testing

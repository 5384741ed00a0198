#include "ui/install.h"

#include <exception>

#include "common/failure.h"
#include "common/header_number.h"
#include "common/path.h"
#include "common/windows_names.h"
#include "removal/uninstall_run.h"
#include "setup/installation_run.h"
#include "setup/payload_names.h"

namespace velmoran::ui {

Install::Install(View& view, platform::Platform& platform, ByteSource& ownFile, std::string programPath)
    : view_(view), platform_(platform) {
    state_.ownFile = &ownFile;
    state_.programPath = std::move(programPath);
}

void Install::Handle(void (Install::*handler)()) {
    try {
        (this->*handler)();
    } catch (const std::exception& failure) {
        view_.ShowFailure(FailureBoxText(failure.what()));
    }
}

void Install::FormCreate() {
    view_.ShowPage(Page::Intro);
    if (!OpenPayload()) return;
    state_.payload.SeekItemArea();
    LoadPictures();

    state_.appName = state_.payload.Value("AppName");
    view_.SetLabel(Label::Title, state_.appName);
    view_.SetLabel(Label::Welcome, "Welcome.  This program will install " + state_.appName +
                                       ".  It is recommended that you exit all other programs before continuing.");
    ProposeInstallFolder();
    LoadTexts();
    ChooseMode();
}

// Special folders, empty lists and the payload, in one failure block: any
// failure is reported as a damaged installer and the program ends.
bool Install::OpenPayload() {
    std::string message;
    try {
        state_.folders = platform::LookUpSpecialFolders(platform_.registry);
        state_.log.Clear();
        state_.payload.Open(*state_.ownFile, state_.programPath, [this](const std::string& problem) {
            view_.ShowMessage(MessageKind::Information, problem, MessageButtons::Ok);
        });
        return true;
    } catch (const payload::OpenFailure& failure) {
        message = failure.what();
    } catch (const std::exception&) {
        message = payload::OpenFailureMessage(payload::OpenFailureKind::General);
    }
    view_.ShowMessage(MessageKind::Error, message, MessageButtons::Abort);
    view_.Terminate();
    return false;
}

namespace {

// Takes the bytes of a picture too large to show, so that the items after it
// are read from their places.
class DiscardingSink : public ByteSink {
public:
    void Write(const uint8_t*, std::size_t) override {}
};

}  // namespace

// Pictures are optional: a picture that cannot be read stays empty.
void Install::LoadPictures() {
    const struct {
        const char* key;
        void (View::*show)(const Bytes&);
    } pictures[] = {{"Splash", &View::SetSplash}, {"Icon", &View::SetIcon}};
    for (const auto& picture : pictures) {
        try {
            const std::string size = state_.payload.Value(picture.key);
            if (size.empty()) continue;
            const int32_t bytes = ParseHeaderNumber(size);
            if (bytes > payload::kMaxPictureBytes) {
                DiscardingSink nowhere;
                state_.payload.InflateItem(bytes, nowhere);
                continue;
            }
            MemorySink jpeg;
            state_.payload.InflateItem(bytes, jpeg);
            (view_.*picture.show)(jpeg.bytes);
        } catch (const std::exception&) {
        }
    }
}

namespace {

// A "." or ".." component (Windows trims trailing dots and spaces, so "..." and
// ". " count too) would propose a folder other than the one the name shows.
bool ClimbsOrStays(const std::string& path) {
    return !EveryComponent(path, [](const std::string& part) {
        return part.empty() || part.find_first_not_of(". ") != std::string::npos;
    });
}

}  // namespace

// The program-files folder followed by TargetFolder after its placeholder. A
// failure (a parent folder that does not exist yet) leaves the path empty.
void Install::ProposeInstallFolder() {
    try {
        const std::string target = state_.payload.Value("TargetFolder");
        const std::string folder = FolderPart(target);
        const auto firstBackslash = folder.find('\\');
        const std::string tail = firstBackslash == std::string::npos ? folder : folder.substr(firstBackslash);
        if (ClimbsOrStays(tail + FileNamePart(target))) return;
        state_.baseFolder = state_.folders.programFiles + tail;
        view_.PointDirectoryList(state_.baseFolder);
        view_.SetFolderName(FileNamePart(target));
    } catch (const std::exception&) {
    }
}

void Install::LoadTexts() {
    const struct {
        const char* key;
        RichBox box;
    } texts[] = {{"infoAbout", RichBox::About}, {"infoInstall", RichBox::License}};
    for (const auto& text : texts) {
        MemorySink bytes;
        state_.payload.CopyRawItem(ParseHeaderNumber(state_.payload.Value(text.key)), bytes);
        view_.LoadRichText(text.box, bytes.bytes);
    }
}

// The install log beside the running program means this run uninstalls.
void Install::ChooseMode() {
    std::string ownFolder = FolderPart(state_.programPath);
    if (!ownFolder.empty() && ownFolder.back() == '\\') ownFolder.pop_back();
    const std::string logPath = ownFolder + "\\" + state_.appName + ".ilg";
    // A name that is not one folder's name could point the log path anywhere.
    if (setup::IsSafeAppName(state_.appName) && platform_.files.FileExists(logPath)) {
        state_.log.Load(platform_.files, logPath);
        view_.SetLabel(Label::Uninstall, "Are you sure you want to uninstall " + state_.appName + " ?");
        view_.ShowPage(Page::Uninstall);
    } else {
        state_.payload.RecordFileDataStart();
        state_.fileDataStartRecorded = true;
    }
}

void Install::btnShowLicenseClick() { view_.ShowPage(Page::License); }

void Install::btnAcceptClick() { view_.ShowPage(Page::Folder); }

void Install::btnExitClick() {
    if (view_.ShowMessage(MessageKind::Confirm, "Exit Installer ?", MessageButtons::YesNo) == MessageResult::Yes)
        view_.Terminate();
}

void Install::btnCancelClick() { view_.Terminate(); }

void Install::FormCloseRequest() { view_.Terminate(); }

void Install::btnChooseClick() { view_.ShowChoosePanel(); }

void Install::edtFolderChange() {
    const std::string& base = state_.baseFolder;
    const std::string name = view_.FolderName();
    view_.SetLabel(Label::InstallTo, !base.empty() && base.back() == '\\' ? base + name : base + "\\" + name);
}

void Install::DirectoryListBox1Change() {
    // Start-up points the hidden list at the default folder: that is no choice.
    if (!view_.ChoosePanelVisible()) return;
    state_.baseFolder = view_.DirectoryListFolder();
    edtFolderChange();
}

void Install::btnGoInstallClick() { setup::RunInstallation(state_, view_, platform_); }

void Install::btnCompleteClick() { setup::CompleteInstallation(state_, view_, platform_); }

void Install::btnUninstallClick() { removal::RunUninstall(state_, view_, platform_); }

void Install::btnUninstallExitClick() { removal::FinishUninstall(state_, view_, platform_); }

}  // namespace velmoran::ui

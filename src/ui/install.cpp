#include "ui/install.h"

#include <exception>
#include <optional>

#include "common/failure.h"
#include "common/path.h"
#include "removal/uninstall_run.h"
#include "setup/exit_codes.h"
#include "setup/installation_run.h"
#include "setup/start_up.h"

namespace velmoran::ui {

Install::Install(View& view, platform::Platform& platform, ByteSource& ownFile, std::string programPath,
                 setup::RunOptions options, setup::SetupLog* log)
    : view_(view),
      session_(state_, platform, std::move(options), log),
      exitCode_(setup::kExitCancelled) {
    state_.ownFile = &ownFile;
    state_.programPath = std::move(programPath);
}

void Install::Handle(void (Install::*handler)()) {
    try {
        (this->*handler)();
    } catch (const std::exception& failure) {
        const std::string text = FailureBoxText(failure.what());
        LogLine("Error: " + text);
        if (!Options().suppressMessageBoxes) view_.ShowFailure(text);
    }
}

void Install::Raise(WizardEvent event) {
    switch (event) {
        case WizardEvent::FormCreate: return Handle(&Install::FormCreate);
        case WizardEvent::ShowLicenseClick: return Handle(&Install::btnShowLicenseClick);
        case WizardEvent::AcceptClick: return Handle(&Install::btnAcceptClick);
        case WizardEvent::ExitClick: return Handle(&Install::btnExitClick);
        case WizardEvent::CancelClick: return Handle(&Install::btnCancelClick);
        case WizardEvent::ChooseClick: return Handle(&Install::btnChooseClick);
        case WizardEvent::FolderChange: return Handle(&Install::edtFolderChange);
        case WizardEvent::DirectoryChange: return Handle(&Install::DirectoryListBox1Change);
        case WizardEvent::GoInstallClick: return Handle(&Install::btnGoInstallClick);
        case WizardEvent::CompleteClick: return Handle(&Install::btnCompleteClick);
        case WizardEvent::UninstallClick: return Handle(&Install::btnUninstallClick);
        case WizardEvent::UninstallExitClick: return Handle(&Install::btnUninstallExitClick);
        case WizardEvent::CloseRequest: return Handle(&Install::FormCloseRequest);
    }
}

void Install::Shown() {
    if (Options().quietness == setup::Quietness::Silent) RunWithoutQuestions();
}

void Install::Notify(const std::string& logLine, MessageKind kind, const std::string& text, MessageButtons buttons) {
    LogLine(logLine);
    if (!Options().suppressMessageBoxes) view_.ShowMessage(kind, text, buttons);
}

void Install::Stop(int exitCode) {
    exitCode_ = exitCode;
    ended_ = true;
    view_.Terminate();
}

WizardReport::Questions Install::Questions() const {
    return {Options().quietness == setup::Quietness::Interactive, !Options().suppressMessageBoxes};
}

void Install::FormCreate() {
    view_.ShowPage(Page::Intro);
    if (const auto exitCode = session_.StartUp(*this, payload::OnPictureFailure::ReadOn)) Stop(*exitCode);
}

void Install::Warn(const std::string& problem) {
    Notify("Warning: " + problem, MessageKind::Information, problem, MessageButtons::Ok);
}

// Any failure to read the installer is reported as a damaged installer; another
// run of the application is news, the rest an error.
void Install::CannotStart(Refusal refusal, const std::string& message, int exitCode) {
    if (refusal == Refusal::Unreadable) {
        Notify("Error: " + message, MessageKind::Error, message, MessageButtons::Abort);
        return;
    }
    const bool busy = exitCode == setup::kExitAnotherRunning;
    Notify("Error: " + message, busy ? MessageKind::Information : MessageKind::Error, message, MessageButtons::Ok);
}

bool Install::AllowDowngrade(const std::string& question) {
    if (!Questions().ask) {
        LogLine("Error: " + question + " Not without /ALLOWDOWNGRADE.");
        return false;
    }
    // Closing the box is no consent here.
    const bool yes = view_.ShowMessage(MessageKind::Warning, question, MessageButtons::YesNo) == MessageResult::Yes;
    LogLine("Question: " + question + " Answer: " + (yes ? "Yes" : "No"));
    return yes;
}

// Pictures are optional: a picture that cannot be read stays empty.
void Install::ShowPictures(payload::LeadingItemsRead& items) {
    const std::pair<payload::LeadingItemIndex, void (View::*)(const Bytes&)> pictures[] = {
        {payload::kSplashItem, &View::SetSplash}, {payload::kIconItem, &View::SetIcon}};
    for (const auto& [item, show] : pictures) {
        const Bytes picture = std::move(items.items[item]);  // the view keeps its own bitmap
        try {
            if (!picture.empty()) (view_.*show)(picture);
        } catch (const std::exception&) {
        }
    }
}

void Install::ShowName() {
    view_.SetLabel(Label::Title, state_.appName);
    view_.SetLabel(Label::Welcome, "Welcome.  This program will install " + state_.appName +
                                       ".  It is recommended that you exit all other programs before continuing.");
}

// The folder given on the command line, else an earlier installation's, else
// the program-files folder followed by TargetFolder. For the machine's
// program-files folder, a parent that does not exist yet leaves the path empty;
// a folder given on the command line, or under the user's own program folder
// (which a new profile lacks), is made by the installation.
void Install::ShowFolder() {
    if (DesktopShortcutAsked()) view_.ShowDesktopShortcutChoice();
    const std::optional<setup::ProposedFolder> proposed =
        Options().installFolder ? setup::SplitFolder(*Options().installFolder) : setup::ProposeInstallFolder(state_);
    if (!proposed) return;
    const bool madeIfMissing = Options().installFolder || state_.perUser;
    try {
        state_.baseFolder = proposed->base;
        try {
            view_.PointDirectoryList(state_.baseFolder);
        } catch (const std::exception&) {
            if (!madeIfMissing) throw;
        }
        view_.SetFolderName(proposed->name);
    } catch (const std::exception&) {
    }
}

// The texts up to one that could not be read; start-up stops at that one.
void Install::ShowTexts(const payload::LeadingItemsRead& items) {
    const std::pair<payload::LeadingItemIndex, RichBox> texts[] = {{payload::kAboutItem, RichBox::About},
                                                                  {payload::kLicenceItem, RichBox::License}};
    for (const auto& [item, box] : texts) {
        if (items.failed == &payload::kLeadingItems[item]) return;
        view_.LoadRichText(box, items.items[item]);
    }
}

void Install::ShowUninstall() {
    view_.SetLabel(Label::Uninstall, "Are you sure you want to uninstall " + state_.appName + " ?");
    view_.ShowPage(Page::Uninstall);
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

void Install::edtFolderChange() { ShowChosenFolder(setup::FolderPath({state_.baseFolder, view_.FolderName()})); }

void Install::ShowChosenFolder(const std::string& folder) {
    state_.chosenFolder = folder;
    view_.SetLabel(Label::InstallTo, folder);
}

void Install::DirectoryListBox1Change() {
    // Start-up points the hidden list at the default folder: that is no choice.
    if (!view_.ChoosePanelVisible()) return;
    state_.baseFolder = view_.DirectoryListFolder();
    edtFolderChange();
}

bool Install::DesktopShortcutAsked() const {
    return !state_.noDesktopShortcut &&
           state_.payload.Manifest().registrations.desktopShortcut == payload::DesktopShortcut::Ask;
}

void Install::btnGoInstallClick() {
    if (DesktopShortcutAsked() && !view_.DesktopShortcutChecked()) state_.noDesktopShortcut = true;
    WizardReport wizard(view_, WizardReport::Run::Installation, Questions());
    setup::LoggedReport report(wizard, session_.Log());
    setup::RunOutcome outcome;
    try {
        outcome = session_.Install(state_.chosenFolder, report);
    } catch (const std::exception&) {
        exitCode_ = session::ExitCodeAfterFailure(state_);
        throw;
    }
    switch (outcome) {
        case setup::RunOutcome::Done:
            exitCode_ = setup::ExitCodeOf(outcome, state_.restartNeeded);
            if (state_.restartNeeded)
                view_.SetLabel(Label::Completion, "Installation Complete.  Windows must be restarted to finish it: "
                                                  "some files were in use.");
            // A run without questions closes from its progress page.
            if (Options().quietness == setup::Quietness::Interactive) view_.ShowPage(Page::Installed);
            break;
        case setup::RunOutcome::Declined:
            break;  // the wizard stays on its page
        case setup::RunOutcome::Unreadable:
            exitCode_ = setup::kExitCouldNotStart;
            break;
        case setup::RunOutcome::Refused:
        case setup::RunOutcome::Failed:
            Stop(setup::ExitCodeOf(outcome, state_.restartNeeded));
            break;
    }
}

void Install::btnCompleteClick() {
    const bool startProgram = Options().quietness == setup::Quietness::Interactive && view_.RunProgramChecked();
    WizardReport wizard(view_, WizardReport::Run::Installation, Questions());
    setup::LoggedReport report(wizard, session_.Log());
    setup::CompleteInstallation(state_, report, session_.Platform(), startProgram);
    view_.Terminate();
}

void Install::btnUninstallClick() {
    WizardReport wizard(view_, WizardReport::Run::Uninstall, Questions());
    setup::LoggedReport report(wizard, session_.Log());
    std::vector<std::string> names;
    try {
        names = removal::RunUninstall(state_, report, session_.Platform());
    } catch (const std::exception&) {
        exitCode_ = setup::kExitFailedWhileRunning;
        throw;
    }
    exitCode_ = removal::UninstallExitCode(state_);
    // The running uninstaller itself is always one of them.
    if (state_.leftFilesInUse)
        view_.SetLabel(Label::Traces, "Some files in use are still in the application folder: close the programs "
                                      "that use them, then delete the folder.");
    else if (names.size() > 1)
        view_.SetLabel(Label::Traces, "Some files created after the original installation are still in the application folder.");
    removal::RecordLeftovers(state_, names, report);
    view_.EnableUninstallExit(true);
}

void Install::btnUninstallExitClick() {
    removal::FinishUninstall(state_, session_.Platform());
    view_.Terminate();
}

void Install::RunWithoutQuestions() {
    if (ended_) return;
    if (session_.Uninstalling()) {
        Handle(&Install::btnUninstallClick);
        if (Succeeded()) Handle(&Install::btnUninstallExitClick);
    } else {
        if (Options().installFolder) ShowChosenFolder(*Options().installFolder);
        Handle(&Install::btnGoInstallClick);
        if (Succeeded()) Handle(&Install::btnCompleteClick);
    }
    ended_ = true;
    view_.Terminate();
}

}  // namespace velmoran::ui

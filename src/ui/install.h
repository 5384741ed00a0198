#pragma once
// The window unit `install`: the installer state and one handler per control
// event. Handlers talk to the window only through View and to the system only
// through Platform; the real window calls them through Handle(), which plays
// the window system's default failure handler.

#include <string>

#include "platform/platform.h"
#include "session/session.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "setup/installer_state.h"
#include "setup/setup_log.h"
#include "ui/view.h"
#include "ui/wizard_events.h"
#include "ui/wizard_report.h"

namespace velmoran::ui {

// Start-up's report is the wizard's own: it shows what start-up reads.
class Install : public WizardEvents, private session::StartUpReport {
public:
    // `options` from the command line; `log` the setup log, when one is kept.
    Install(View& view, platform::Platform& platform, ByteSource& ownFile, std::string programPath,
            setup::RunOptions options = {}, setup::SetupLog* log = nullptr);

    void FormCreate();
    void btnShowLicenseClick();
    void btnAcceptClick();
    void btnExitClick();  // serves btnExit, btnExit2, btnExit3 and btnExit4
    void btnCancelClick();
    void btnChooseClick();
    void edtFolderChange();
    void DirectoryListBox1Change();
    void btnGoInstallClick();
    void btnCompleteClick();
    void btnUninstallClick();
    void btnUninstallExitClick();
    // A close request from outside the window (the task bar's Close).
    void FormCloseRequest();

    // Runs a handler; a failure it raises is shown in the "Installer" box, the
    // rest of the handler is skipped and the program goes on.
    void Handle(void (Install::*handler)());

    // /SILENT: after start-up, installs (or uninstalls) without a question and ends.
    void RunWithoutQuestions();

    // The window's events, each to its handler.
    void Raise(WizardEvent event) override;
    void Shown() override;

    // What the program returns: a setup exit code.
    int ExitCode() const { return exitCode_; }
    setup::InstallerState& State() { return state_; }

private:
    // What start-up shows, in its order.
    void Warn(const std::string& problem) override;
    void CannotStart(Refusal refusal, const std::string& message, int exitCode) override;
    bool AllowDowngrade(const std::string& question) override;
    void ShowPictures(payload::LeadingItemsRead& items) override;
    void ShowName() override;
    void ShowFolder() override;
    void ShowTexts(const payload::LeadingItemsRead& items) override;
    void ShowUninstall() override;

    void ShowChosenFolder(const std::string& folder);
    // DesktopShortcut=ask, and no /NODESKTOPSHORTCUT.
    bool DesktopShortcutAsked() const;
    const setup::RunOptions& Options() const { return session_.Options(); }
    // A line in the setup log, when one is kept.
    void LogLine(const std::string& line) {
        if (setup::SetupLog* log = session_.Log()) log->Line(line);
    }
    WizardReport::Questions Questions() const;
    // A message for the user: a line in the setup log, and a box unless boxes are suppressed.
    void Notify(const std::string& logLine, MessageKind kind, const std::string& text, MessageButtons buttons);
    void Stop(int exitCode);
    bool Succeeded() const { return exitCode_ == setup::kExitDone || exitCode_ == setup::kExitRestartNeeded; }

    View& view_;
    setup::InstallerState state_;
    session::Session session_;
    bool ended_ = false;
    int exitCode_;
};

}  // namespace velmoran::ui

#pragma once
// What the window tells the wizard's controller: each event by the control or
// moment that raised it. The window knows nothing of the handlers behind them.

namespace velmoran::ui {

enum class WizardEvent {
    FormCreate,
    ShowLicenseClick,
    AcceptClick,
    ExitClick,  // btnExit, btnExit2, btnExit3 and btnExit4
    CancelClick,
    ChooseClick,
    FolderChange,
    DirectoryChange,
    GoInstallClick,
    CompleteClick,
    UninstallClick,
    UninstallExitClick,
    CloseRequest,  // from outside the window (the task bar's Close)
};

class WizardEvents {
public:
    virtual ~WizardEvents() = default;
    // Runs the event's handler; a failure it raises is shown as the window
    // system's default handler would, and the program goes on.
    virtual void Raise(WizardEvent event) = 0;
    // The window is on the screen, start-up done: /SILENT goes on by itself from here.
    virtual void Shown() = 0;
};

}  // namespace velmoran::ui

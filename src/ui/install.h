#pragma once
// The window unit `install`: the installer state and one handler per control
// event. Handlers talk to the window only through View and to the system only
// through Platform; the real window calls them through Handle(), which plays
// the window system's default failure handler.

#include <string>

#include "platform/platform.h"
#include "ui/installer_state.h"
#include "ui/view.h"

namespace velmoran::ui {

class Install {
public:
    Install(View& view, platform::Platform& platform, ByteSource& ownFile, std::string programPath);

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

    InstallerState& State() { return state_; }

private:
    bool OpenPayload();
    void LoadPictures();
    void ProposeInstallFolder();
    void LoadTexts();
    void ChooseMode();

    View& view_;
    platform::Platform& platform_;
    InstallerState state_;
};

}  // namespace velmoran::ui

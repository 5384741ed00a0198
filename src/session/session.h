#pragma once
// One run of the installer or uninstaller, with a wizard or without: its
// options, its setup log, the platform it writes the registry through (every
// change logged) and the one start-up sequence both kinds of run follow.
//
// The order is the wizard's, for both: read the installer and its pictures,
// name the application, claim it for this run, look for an earlier
// installation, read the texts, then choose between installing and
// uninstalling, and last ask about a downgrade. A silent run looks for the
// earlier installation before it chooses too: the look only reads, and one
// order means one place to change it.

#include <optional>
#include <string>

#include "payload/leading_items.h"
#include "platform/platform.h"
#include "setup/command_line.h"
#include "setup/installation_run.h"
#include "setup/installer_state.h"
#include "setup/setup_log.h"

namespace velmoran::session {

// What start-up tells whoever runs it. The wizard shows it; the silent
// session writes it to the setup log.
class StartUpReport {
public:
    virtual ~StartUpReport() = default;
    // The installer is odd but readable (a read error of its file): the run goes on.
    virtual void Warn(const std::string& problem) = 0;
    // The run cannot go on, for `message`; it ends with `exitCode`. Unreadable:
    // the installer itself is damaged; NotAdmitted: the run may not go on now.
    enum class Refusal { Unreadable, NotAdmitted };
    virtual void CannotStart(Refusal refusal, const std::string& message, int exitCode) = 0;
    // May the installation go on over a newer one? Asked only without /ALLOWDOWNGRADE.
    virtual bool AllowDowngrade(const std::string& question) = 0;

    // Where the wizard shows what start-up has read; nothing for a silent run.
    virtual void ShowPictures(payload::LeadingItemsRead& items) { (void)items; }
    virtual void ShowName() {}
    virtual void ShowFolder() {}
    // The texts read (a text that could not be read, and those after it, are empty).
    virtual void ShowTexts(const payload::LeadingItemsRead& items) { (void)items; }
    virtual void ShowUninstall() {}
};

class Session {
public:
    // `state` holds the own file and the program path; `log` is the setup log, when one is kept.
    Session(setup::InstallerState& state, platform::Platform& platform, setup::RunOptions options,
            setup::SetupLog* log);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs start-up. The exit code when the run ends there; nothing when it goes on.
    // A text or (for a run that stops at one) a picture that cannot be read is thrown.
    std::optional<int> StartUp(StartUpReport& report, payload::OnPictureFailure onPictureFailure);
    bool Uninstalling() const { return uninstalling_; }

    // Installs into `folder`; once done, removes what the earlier version left.
    setup::RunOutcome Install(const std::string& folder, setup::RunReport& report);

    setup::InstallerState& State() { return state_; }
    platform::Platform& Platform() { return platform_; }
    const setup::RunOptions& Options() const { return options_; }
    setup::SetupLog* Log() { return log_; }

private:
    setup::InstallerState& state_;
    setup::RunOptions options_;
    setup::SetupLog* log_;
    setup::LoggedRegistry loggedRegistry_;
    platform::Platform platform_;
    bool uninstalling_ = false;
};

// The exit code of a run a failure stopped: nothing is lost until the first
// file is written.
int ExitCodeAfterFailure(const setup::InstallerState& state);

}  // namespace velmoran::session

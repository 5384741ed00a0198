#pragma once
// Shortcut files and starting documents or programs through the shell.

#include <string>

#include "common/byte_io.h"

namespace velmoran::platform {

enum class ShowCommand { Hidden = 0, Normal = 1, Minimised = 2 };

// The longest file or parameter text Launch passes on; its buffers hold 1025 bytes.
inline constexpr std::size_t kLaunchTextLimit = 1024;

class Shell {
public:
    virtual ~Shell() = default;

    // The bytes of a .lnk file pointing at `target`, with `description` and the
    // target's folder (trailing backslash kept) as working folder; the caller
    // writes them where they belong, through its own checked file. Throws when
    // the shell-link object cannot be made; empty when it cannot be saved.
    virtual Bytes ShortcutContent(const std::string& description, const std::string& target) = 0;
    // Opens `file` with its default action, in `workingFolder` (empty: the
    // program's own current folder). True when the shell accepted it; a file or
    // parameter text longer than kLaunchTextLimit starts nothing.
    virtual bool Launch(const std::string& file, const std::string& parameters, ShowCommand show,
                        const std::string& workingFolder = std::string()) = 0;
    // Sets a variable in the environment the programs Launch starts inherit.
    virtual void SetChildEnvironment(const std::string& name, const std::string& value) = 0;
    // Starts the program as the signed-in user would from the desktop, with
    // the user's own rights rather than this (elevated) program's, in its own
    // folder. False when there is no desktop shell to ask (a service session).
    virtual bool LaunchAsSignedInUser(const std::string& file) = 0;
    // True when this program runs as the system account (LocalSystem), which
    // has no user of its own (a deployment service).
    virtual bool RunsAsSystem() = 0;
    // Claims the application for this process until it ends, so that two runs
    // never install or uninstall the same application at once. False when
    // another process holds the claim.
    virtual bool ClaimSingleRun(const std::string& appName) = 0;
    // Tells Explorer that file types or link protocols changed.
    virtual void NotifyAssociationsChanged() = 0;
    // Tells running programs (Explorer, which starts new terminals) that the
    // environment changed; a program that does not answer is not waited for.
    virtual void BroadcastEnvironmentChange() = 0;
};

}  // namespace velmoran::platform

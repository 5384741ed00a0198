#pragma once
// The installer's and uninstaller's exit codes, which deployment tools read.

namespace velmoran::setup {

enum ExitCode : int {
    kExitDone = 0,
    kExitCouldNotStart = 1,        // damaged installer, bad switches, log not writable, no window
    kExitCancelled = 2,            // before anything was written
    kExitFailedBeforeWriting = 3,  // the folder could not be made, names refused
    kExitFailedWhileRunning = 4,
    kExitCancelledDuringRun = 5,
    kExitAnotherRunning = 1618,  // another installation or uninstall of the same application
    kExitRestartNeeded = 3010,
    kExitNewerInstalled = 1638,
};

// A run that did everything: files left in use still need the next start of Windows.
inline int ExitCodeWhenDone(bool restartNeeded) { return restartNeeded ? kExitRestartNeeded : kExitDone; }

}  // namespace velmoran::setup

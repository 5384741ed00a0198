#pragma once
// The installer state: everything the wizard's handlers and the runs share for
// the whole run of the program, created at start-up and released at exit.

#include <string>

#include "common/byte_io.h"
#include "payload/payload_reader.h"
#include "platform/special_folders.h"
#include "setup/install_log.h"

namespace velmoran::setup {

struct InstallerState {
    // The running program's file and the payload read from it.
    ByteSource* ownFile = nullptr;
    std::string programPath;
    payload::PayloadReader payload;
    bool fileDataStartRecorded = false;

    setup::InstallLog log;
    platform::SpecialFolders folders;
    std::string appName;
    std::string baseFolder;       // parent under which the install folder is made
    std::string chosenFolder;     // the folder the wizard shows (/D= or the user's choice); installed to
    std::string installFolder;    // the chosen folder made full, once the installation has made it
    std::string mainProgramPath;  // install folder + "\" + ExeName
    std::string uninstallerPath;  // found by the uninstall run
    bool noIcons = false;         // no desktop shortcut, no program group
    bool noDesktopShortcut = false;  // asked for, or the check box left unticked
    bool perUser = false;         // Scope=user: the user's own folders and uninstall entry
    bool closeApplications = true;  // programs holding files may be closed (asked first)
    // An installation of the same application found at start-up.
    std::string previousFolder;
    std::string previousVersion;  // as its uninstall entry shows it; empty when unknown
    InstallLog previousLog;       // the log found in the install folder, replaced by this run's
    // Set once the installation has written its first file: a failure after it
    // leaves a partial installation behind, one before it leaves nothing.
    bool wroteFiles = false;
    // Files in use were left for Windows to replace or delete when it next starts.
    bool restartNeeded = false;
    // Files in use were left where they are: other users may change their
    // folder, so no restart may be trusted to take them.
    bool leftFilesInUse = false;
    // The uninstall removed nothing and kept the entry: the install folder is
    // a junction or link, or cannot be opened.
    bool uninstallRefused = false;
};

}  // namespace velmoran::setup

#pragma once
// The work behind "Install Now" and the completion page's OK button.

#include "platform/platform.h"
#include "ui/installer_state.h"
#include "ui/view.h"

namespace velmoran::setup {

// btnGoInstallClick: extracts every file into the install folder, writes the
// uninstaller copy, shortcuts, the install log and the uninstall entry.
void RunInstallation(ui::InstallerState& state, ui::View& view, platform::Platform& platform);

// btnCompleteClick: releases the own file, starts the program if asked, ends.
void CompleteInstallation(ui::InstallerState& state, ui::View& view, platform::Platform& platform);

// Creates every missing folder of `folder`, from the top down; results ignored.
void CreateFoldersTopDown(platform::FileSystem& files, const std::string& folder);

}  // namespace velmoran::setup

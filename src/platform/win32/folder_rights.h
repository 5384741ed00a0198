#pragma once
// Who may change a folder: the rights an installation gives the folders it
// makes, and the question whether an existing one is open to other users.

#include <string>

#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

// In security descriptor language: what Windows gives a folder below Program
// Files, the application-package read access included, protected from
// inheriting the rights of the folder it is made in.
extern const char kAdministratorsOnlyRights[];

// Creates one folder level with those rights; "" when made, else the reason.
std::string CreateAdministratorsOnlyFolder(const std::string& path);

// See FileSystem::OthersMayChange; `folder` is opened without following a link
// at its name, so a junction there is judged by its own rights.
bool OthersMayChangeFolder(const std::string& folder);

}  // namespace velmoran::platform::win32

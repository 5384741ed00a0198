#pragma once
// The rules Windows applies to names and paths, for text that came from a
// payload or an install log and must not lead anywhere the installation did
// not put things.

#include <optional>
#include <string>

namespace velmoran {

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension or trailing
// spaces: Windows opens the device, not a file.
bool IsDeviceName(const std::string& name);

// One file or folder name Windows can hold as it is: not empty, not "." or
// "..", none of \ / : * ? " < > | or a control byte, no trailing dot or space,
// not a device name.
bool IsSingleWindowsName(const std::string& name);

// True when `test` holds for every component of the path, the texts between
// backslashes or slashes (Windows takes both), empty ones included.
bool EveryComponent(const std::string& path, bool (*test)(const std::string& component));

// A relative path from a payload that stays inside the folder it is joined to:
// every component, between backslashes or slashes, a single Windows name (so no
// root, drive, stream, "." or "..", empty component or device).
bool IsSafeRelativePath(const std::string& relativePath);

// The full local path Windows would act on for `path` (GetFullPathName's
// folding of "\.\", "\..\", doubled separators and "/"), or nothing when the path
// is not one an installation writes: relative or drive-relative, UNC, "\\?\" or
// "\\.\", a stream name, a device, a wildcard, a control byte, or a component
// with a trailing dot or space.
std::optional<std::string> FullLocalPath(const std::string& path);

// True when `path` lies below `folder` (both full local paths, compared without
// regard to ASCII case); a folder does not lie below itself.
bool LiesBelow(const std::string& path, const std::string& folder);

}  // namespace velmoran

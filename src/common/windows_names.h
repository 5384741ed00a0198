#pragma once
// The rules Windows applies to names and paths, for text that came from a
// payload or an install log and must not lead anywhere the installation did
// not put things.

#include <optional>
#include <string>

namespace velmoran {

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9 and COM/LPT with the
// superscript digits 1-3 (code page 1252), with or without an extension or
// trailing spaces: Windows opens the device, not a file. The one check the
// builder and the installer share.
bool IsDeviceName(const std::string& name);

// The name Windows makes of a path component: trailing dots and spaces
// dropped, as GetFullPathName does ("Kestrel 2." names the folder "Kestrel 2").
std::string FoldedName(const std::string& name);

// One file or folder name Windows can hold, once folded: not empty, not "." or
// ".." (nor only dots and spaces), none of \ / : * ? " < > | or a control byte,
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
// folding of "\.\", "\..\", doubled separators, "/" and trailing dots and spaces),
// or nothing when the path is not one an installation writes: relative or
// drive-relative, UNC, "\\?\" or "\\.\", a stream name, a device, a wildcard, a
// control byte, or a component of nothing but dots and spaces beyond "." and "..".
std::optional<std::string> FullLocalPath(const std::string& path);

// A folder an application may be installed into: a FullLocalPath other than a
// drive's root, without a trailing backslash; nothing otherwise.
std::optional<std::string> InstallFolderPath(const std::string& path);

// True when `path` lies below `folder` (both full local paths, compared without
// regard to ASCII case); a folder does not lie below itself.
bool LiesBelow(const std::string& path, const std::string& folder);

}  // namespace velmoran

#pragma once
// What an application registers with Windows, as the header carries it: the
// builder writes these lines, the installer reads them. A header without any of
// them registers nothing (and reads exactly as before). Texts that may hold
// any character stand last on their line, after fields that cannot hold "|".
//
//   FileType1=.knote|docs\book.ico|Kestrel note    extension, icon (relative to
//                                                   the install folder; empty:
//                                                   the main program), type name
//   LinkProtocol1=kestrel|Kestrel Notes link       scheme, name
//   PathEntry=bin                                   folder appended to PATH
//                                                   ("." is the install folder)
//   Variable1=KESTREL_HOME|replace|%InstallFolder%  name, "replace" or empty, value
//   AppPath1=kestrel.exe|Kestrel.exe               name, program (relative)
//   RegistryValue1=Software\Kestrel|FirstRun|dword|1   key, value name, sz or
//                                                   dword, data
//   DesktopShortcut=ask                             ask or no; absent: yes
//
// Numbered lines run from 1 up to the first missing number.

#include <optional>
#include <string>
#include <vector>

#include "payload/settings_list.h"

namespace velmoran::payload {

inline constexpr char kFileTypePrefix[] = "FileType";
inline constexpr char kLinkProtocolPrefix[] = "LinkProtocol";
inline constexpr char kPathEntryKey[] = "PathEntry";
inline constexpr char kVariablePrefix[] = "Variable";
inline constexpr char kAppPathPrefix[] = "AppPath";
inline constexpr char kRegistryValuePrefix[] = "RegistryValue";
inline constexpr char kDesktopShortcutKey[] = "DesktopShortcut";
// Where the applications' Capabilities keys live (one key each).
inline constexpr char kOwnSoftwareKey[] = "Software\\Velmoran";
// The only placeholder of variables and registry values.
inline constexpr char kInstallFolderPlaceholder[] = "%InstallFolder%";

struct FileTypeEntry {
    std::string extension;  // with its dot
    std::string icon;       // relative to the install folder; empty: the main program
    std::string name;
};

struct LinkProtocolEntry {
    std::string scheme;
    std::string name;
};

struct VariableEntry {
    std::string name;
    std::string value;     // may hold %InstallFolder%
    bool replace = false;  // an existing value of another text is overwritten
};

struct AppPathEntry {
    std::string name;     // "kestrel.exe"
    std::string program;  // relative to the install folder
};

struct RegistryValueEntry {
    std::string key;   // below Software\, relative to the installation's hive
    std::string name;  // empty: the key's default value
    bool number = false;  // REG_DWORD; else REG_SZ
    std::string data;     // the text, or the number in decimal
};

enum class DesktopShortcut { Yes, Ask, No };

struct Registrations {
    std::vector<FileTypeEntry> fileTypes;
    std::vector<LinkProtocolEntry> linkProtocols;
    std::string pathEntry;  // empty: PATH is left alone
    std::vector<VariableEntry> variables;
    std::vector<AppPathEntry> appPaths;
    std::vector<RegistryValueEntry> registryValues;
    DesktopShortcut desktopShortcut = DesktopShortcut::Yes;

    // True when nothing is registered beyond the uninstall entry.
    bool Empty() const;
};

// Why a [Registry] value may not be written below `key` (relative to the
// installation's hive), or "" when it may: below Software\, away from the
// classes and from the keys the installation writes through its other entries.
std::string RegistryKeyProblem(const std::string& key);

// Variables Windows itself sets and depends on: an installation neither sets
// nor removes them.
bool IsWindowsVariable(const std::string& name);

// ".knote": a dot and letters, digits, "-" or "_" (one extension, as Windows
// takes a file's last one).
bool IsFileExtension(const std::string& extension);
// A URL scheme (a letter, then letters, digits, "+", "-" or "."), longer than
// one letter, which a drive letter would be, and none the system or browsers own.
bool IsOwnLinkScheme(const std::string& scheme);
// Letters, digits and "_", "-", ".", "(", ")".
bool IsVariableName(const std::string& name);

// The first entry an installation never registers (what, text), or nothing.
// The builder refuses these with the project file's line; an installer whose
// header holds one is damaged.
std::optional<std::pair<std::string, std::string>> FindUnsafeRegistration(const Registrations& registrations);

// The header lines, only those that say something.
std::vector<std::string> RegistrationLines(const Registrations& registrations);
Registrations ReadRegistrations(const SettingsList& settings);

}  // namespace velmoran::payload

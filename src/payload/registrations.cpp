#include "payload/registrations.h"

#include <initializer_list>

#include "common/header_number.h"
#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::payload {
namespace {

// The fields of a line: at most `count`, the last taking the rest of the text.
std::vector<std::string> Fields(const std::string& text, std::size_t count) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() + 1 < count) {
        const auto bar = text.find('|', start);
        if (bar == std::string::npos) break;
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    fields.push_back(text.substr(start));
    fields.resize(count);
    return fields;
}

std::string Joined(std::initializer_list<const std::string*> fields) {
    std::string line;
    const char* separator = "";
    for (const std::string* field : fields) {
        line += separator + *field;
        separator = "|";
    }
    return line;
}

// Calls `take` with the fields of Prefix1, Prefix2, ... up to the first missing one.
template <typename Take>
void ReadNumbered(const SettingsList& settings, const char* prefix, std::size_t count, Take take) {
    for (int i = 1;; ++i) {
        const std::string value = settings.Value(prefix + std::to_string(i));
        if (value.empty()) return;
        take(Fields(value, count));
    }
}

template <typename Entry, typename Line>
void WriteNumbered(std::vector<std::string>& lines, const char* prefix, const std::vector<Entry>& entries, Line line) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        lines.push_back(prefix + std::to_string(i + 1) + "=" + line(entries[i]));
}

bool KeyAtOrBelow(const std::string& key, const std::string& parent) {
    return EqualsIgnoreCase(key, parent) ||
           (key.size() > parent.size() && key[parent.size()] == '\\' &&
            EqualsIgnoreCase(key.substr(0, parent.size()), parent));
}

}  // namespace

std::string RegistryKeyProblem(const std::string& key) {
    if (key.size() <= 9 || !EqualsIgnoreCase(key.substr(0, 9), "Software\\")) return "not below Software\\";
    if (key.find("\\\\") != std::string::npos || key.back() == '\\') return "a key name in it is empty";
    static const char* const kOwnKeys[][2] = {
        {"Software\\Classes", "written through [FileTypes] and [LinkProtocols]"},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", "written through [AppPaths]"},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "the uninstall entry, which the installation writes"},
        {"Software\\RegisteredApplications", "written for the file types and link protocols"},
        {kOwnSoftwareKey, "written for the file types and link protocols"}};
    for (const auto& [own, reason] : kOwnKeys)
        if (KeyAtOrBelow(key, own)) return reason;
    return std::string();
}

bool IsWindowsVariable(const std::string& name) {
    static const char* const kWindowsVariables[] = {
        "Path",         "PATHEXT",       "ComSpec",           "SystemRoot",   "SystemDrive",        "windir",
        "TEMP",         "TMP",           "USERPROFILE",       "USERNAME",     "APPDATA",            "LOCALAPPDATA",
        "ProgramData",  "ProgramFiles",  "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles", "ALLUSERSPROFILE",
        "PUBLIC",       "OS",            "PSModulePath",      "DriverData",   "NUMBER_OF_PROCESSORS",
        "PROCESSOR_ARCHITECTURE"};
    for (const char* variable : kWindowsVariables)
        if (EqualsIgnoreCase(name, variable)) return true;
    return false;
}

bool IsFileExtension(const std::string& extension) {
    if (extension.size() < 2 || extension[0] != '.') return false;
    for (std::size_t i = 1; i < extension.size(); ++i) {
        const char c = extension[i];
        if (!IsAsciiAlphanumeric(c) && c != '-' && c != '_') return false;
    }
    return true;
}

bool IsOwnLinkScheme(const std::string& scheme) {
    if (scheme.size() < 2 || !IsAsciiAlphanumeric(scheme[0]) || (scheme[0] >= '0' && scheme[0] <= '9')) return false;
    for (const char c : scheme)
        if (!IsAsciiAlphanumeric(c) && c != '+' && c != '-' && c != '.') return false;
    static const char* const kTaken[] = {"http", "https", "ftp", "file", "mailto", "news", "nntp", "telnet", "ldap"};
    for (const char* taken : kTaken)
        if (EqualsIgnoreCase(scheme, taken)) return false;
    return !(scheme.size() > 3 && EqualsIgnoreCase(scheme.substr(0, 3), "ms-"));
}

bool IsVariableName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (!IsAsciiAlphanumeric(c) && std::string("_-.()").find(c) == std::string::npos) return false;
    return true;
}

std::optional<std::pair<std::string, std::string>> FindUnsafeRegistration(const Registrations& r) {
    const auto relative = [](const std::string& path) { return path.empty() || IsSafeRelativePath(path); };
    for (const FileTypeEntry& type : r.fileTypes) {
        if (!IsFileExtension(type.extension)) return std::pair{"file type", type.extension};
        if (!relative(type.icon)) return std::pair{"file type icon", type.icon};
    }
    for (const LinkProtocolEntry& protocol : r.linkProtocols)
        if (!IsOwnLinkScheme(protocol.scheme)) return std::pair{"link protocol", protocol.scheme};
    if (r.pathEntry != "." && !relative(r.pathEntry)) return std::pair{"PATH entry", r.pathEntry};
    for (const VariableEntry& variable : r.variables)
        if (!IsVariableName(variable.name) || IsWindowsVariable(variable.name))
            return std::pair{"environment variable", variable.name};
    for (const AppPathEntry& entry : r.appPaths)
        if (!IsSingleWindowsName(entry.name) || !relative(entry.program) || entry.program.empty())
            return std::pair{"App Paths entry", entry.name};
    for (const RegistryValueEntry& value : r.registryValues)
        if (!RegistryKeyProblem(value.key).empty() || (value.number && !ParseDecimalDword(value.data)))
            return std::pair{"registry value", value.key + "\\" + value.name};
    return std::nullopt;
}

bool Registrations::Empty() const {
    return fileTypes.empty() && linkProtocols.empty() && pathEntry.empty() && variables.empty() && appPaths.empty() &&
           registryValues.empty() && desktopShortcut == DesktopShortcut::Yes;
}

std::vector<std::string> RegistrationLines(const Registrations& r) {
    std::vector<std::string> lines;
    WriteNumbered(lines, kFileTypePrefix, r.fileTypes,
                  [](const FileTypeEntry& e) { return Joined({&e.extension, &e.icon, &e.name}); });
    WriteNumbered(lines, kLinkProtocolPrefix, r.linkProtocols,
                  [](const LinkProtocolEntry& e) { return Joined({&e.scheme, &e.name}); });
    if (!r.pathEntry.empty()) lines.push_back(std::string(kPathEntryKey) + "=" + r.pathEntry);
    WriteNumbered(lines, kVariablePrefix, r.variables, [](const VariableEntry& e) {
        const std::string replace = e.replace ? "replace" : "";
        return Joined({&e.name, &replace, &e.value});
    });
    WriteNumbered(lines, kAppPathPrefix, r.appPaths, [](const AppPathEntry& e) { return Joined({&e.name, &e.program}); });
    WriteNumbered(lines, kRegistryValuePrefix, r.registryValues, [](const RegistryValueEntry& e) {
        const std::string type = e.number ? "dword" : "sz";
        return Joined({&e.key, &e.name, &type, &e.data});
    });
    if (r.desktopShortcut != DesktopShortcut::Yes)
        lines.push_back(std::string(kDesktopShortcutKey) + "=" + (r.desktopShortcut == DesktopShortcut::Ask ? "ask" : "no"));
    return lines;
}

Registrations ReadRegistrations(const SettingsList& settings) {
    Registrations r;
    ReadNumbered(settings, kFileTypePrefix, 3, [&r](std::vector<std::string> f) {
        r.fileTypes.push_back({std::move(f[0]), std::move(f[1]), std::move(f[2])});
    });
    ReadNumbered(settings, kLinkProtocolPrefix, 2,
                 [&r](std::vector<std::string> f) { r.linkProtocols.push_back({std::move(f[0]), std::move(f[1])}); });
    r.pathEntry = settings.Value(kPathEntryKey);
    ReadNumbered(settings, kVariablePrefix, 3, [&r](std::vector<std::string> f) {
        r.variables.push_back({std::move(f[0]), std::move(f[2]), f[1] == "replace"});
    });
    ReadNumbered(settings, kAppPathPrefix, 2,
                 [&r](std::vector<std::string> f) { r.appPaths.push_back({std::move(f[0]), std::move(f[1])}); });
    ReadNumbered(settings, kRegistryValuePrefix, 4, [&r](std::vector<std::string> f) {
        r.registryValues.push_back({std::move(f[0]), std::move(f[1]), f[2] == "dword", std::move(f[3])});
    });
    const std::string desktop = AsciiLower(settings.Value(kDesktopShortcutKey));
    r.desktopShortcut = desktop == "ask" ? DesktopShortcut::Ask : desktop == "no" ? DesktopShortcut::No : DesktopShortcut::Yes;
    return r;
}

}  // namespace velmoran::payload

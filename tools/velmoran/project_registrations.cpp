#include "project_registrations.h"

#include <algorithm>

#include "common/failure.h"
#include "common/header_number.h"
#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::builder {
namespace {

// A relative path as the header writes it: backslashes, none at the end.
std::string InstalledPath(const std::string& what, std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = WithoutTrailingBackslashes(path);
    if (path != "." && !IsSafeRelativePath(path))
        throw Failure(what + " \"" + path + "\": a path relative to the Source folder, without \"..\"");
    return path;
}

template <typename Entries, typename Name>
void RefuseDuplicate(const Entries& entries, const std::string& name, Name nameOf) {
    for (const auto& entry : entries)
        if (EqualsIgnoreCase(nameOf(entry), name)) throw Failure("\"" + name + "\" is given twice");
}

// "text|suffix" when the text after the last "|" is `suffix` (any case).
bool TakeSuffix(std::string& value, const char* suffix) {
    const auto bar = value.rfind('|');
    if (bar == std::string::npos || !EqualsIgnoreCase(value.substr(bar + 1), suffix)) return false;
    value.erase(bar);
    return true;
}

// Decimal, or hexadecimal after "0x".
std::optional<uint32_t> DwordText(const std::string& digits) {
    if (const auto decimal = ParseDecimalDword(digits)) return decimal;
    if (digits.size() < 3 || digits.size() > 10 || !EqualsIgnoreCase(digits.substr(0, 2), "0x")) return std::nullopt;
    uint32_t number = 0;
    for (const char c : digits.substr(2)) {
        const auto digit = std::string("0123456789abcdef").find(LowerAscii(c));
        if (digit == std::string::npos) return std::nullopt;
        number = number * 16 + static_cast<uint32_t>(digit);
    }
    return number;
}

}  // namespace

bool RegistrationSections::Holds(const std::string& section) {
    return section == "filetypes" || section == "linkprotocols" || section == "environment" || section == "apppaths" ||
           section == "registry";
}

void RegistrationSections::Take(const std::string& section, int line, const std::string& key,
                                const std::string& value) {
    payload::Registrations& r = registrations;
    if (section == "filetypes") {
        TakeFileType(line, key, value);
    } else if (section == "linkprotocols") {
        if (!payload::IsOwnLinkScheme(key))
            throw Failure("link protocol \"" + key + "\": a scheme of two or more letters, digits, \"+\", \"-\" or "
                          "\".\", starting with a letter, that no browser or Windows itself handles");
        RefuseDuplicate(r.linkProtocols, key, [](const payload::LinkProtocolEntry& e) { return e.scheme; });
        if (value.empty()) throw Failure("link protocol \"" + key + "\": needs the name Windows shows for its links");
        r.linkProtocols.push_back({key, value});
    } else if (section == "environment") {
        TakeVariable(line, key, value);
    } else if (section == "apppaths") {
        if (!IsSingleWindowsName(key) || key.size() < 5 || !EqualsIgnoreCase(key.substr(key.size() - 4), ".exe"))
            throw Failure("App Paths entry \"" + key + "\": a program's file name, ending in .exe");
        RefuseDuplicate(r.appPaths, key, [](const payload::AppPathEntry& e) { return e.name; });
        if (value.empty()) throw Failure("App Paths entry \"" + key + "\": needs the installed program it starts");
        const std::string program = InstalledPath("App Paths program", value);
        r.appPaths.push_back({key, program});
        references.push_back({line, "App Paths program", program, false});
    } else {
        TakeRegistryValue(key, value);
    }
}

void RegistrationSections::TakeFileType(int line, const std::string& extension, const std::string& value) {
    if (!payload::IsFileExtension(extension))
        throw Failure("file type \"" + extension + "\": an extension with its dot, such as .knote (letters, digits, "
                      "\"-\" and \"_\")");
    RefuseDuplicate(registrations.fileTypes, extension, [](const payload::FileTypeEntry& e) { return e.extension; });
    const auto bar = value.find('|');
    const std::string name = value.substr(0, bar);
    if (name.empty()) throw Failure("file type \"" + extension + "\": needs the name Explorer shows for the type");
    std::string icon;
    if (bar != std::string::npos) {
        icon = InstalledPath("file type icon", value.substr(bar + 1));
        references.push_back({line, "file type icon", icon, false});
    }
    registrations.fileTypes.push_back({extension, icon, name});
}

void RegistrationSections::TakeVariable(int line, const std::string& name, const std::string& value) {
    payload::Registrations& r = registrations;
    if (EqualsIgnoreCase(name, "Path")) {
        if (!r.pathEntry.empty()) throw Failure("\"Path\" is given twice");
        r.pathEntry = InstalledPath("Path", value.empty() ? "." : value);
        references.push_back({line, "Path", r.pathEntry, true});
        return;
    }
    if (!payload::IsVariableName(name))
        throw Failure("variable \"" + name + "\": letters, digits, \"_\", \"-\", \".\", \"(\" and \")\"");
    if (payload::IsWindowsVariable(name)) throw Failure("variable \"" + name + "\": Windows itself sets it");
    RefuseDuplicate(r.variables, name, [](const payload::VariableEntry& e) { return e.name; });
    std::string text = value;
    const bool replace = TakeSuffix(text, "replace");
    if (text.empty()) throw Failure("variable \"" + name + "\": needs a value");
    r.variables.push_back({name, text, replace});
}

void RegistrationSections::TakeRegistryValue(const std::string& path, const std::string& value) {
    const auto slash = path.rfind('\\');
    const std::string key = path.substr(0, slash == std::string::npos ? 0 : slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string problem = payload::RegistryKeyProblem(key);
    if (!problem.empty()) throw Failure("registry value \"" + path + "\": " + problem);
    for (const payload::RegistryValueEntry& e : registrations.registryValues)
        if (EqualsIgnoreCase(e.key, key) && EqualsIgnoreCase(e.name, name))
            throw Failure("\"" + path + "\" is given twice");
    payload::RegistryValueEntry entry{key, name, false, value};
    if (value.size() >= 6 && EqualsIgnoreCase(value.substr(0, 6), "dword:")) {
        const std::string digits = value.substr(6);
        const std::optional<uint32_t> number = DwordText(digits);
        if (!number)
            throw Failure("registry value \"" + path + "\": \"" + digits + "\" is no DWORD (0 to 4294967295)");
        entry.number = true;
        entry.data = std::to_string(*number);
    }
    registrations.registryValues.push_back(entry);
}

void RegistrationSections::TakeDesktopShortcut(const std::string& value) {
    const std::string choice = AsciiLower(value);
    if (choice == "yes" || choice.empty()) registrations.desktopShortcut = payload::DesktopShortcut::Yes;
    else if (choice == "ask") registrations.desktopShortcut = payload::DesktopShortcut::Ask;
    else if (choice == "no") registrations.desktopShortcut = payload::DesktopShortcut::No;
    else throw Failure("DesktopShortcut \"" + value + "\": yes, ask or no");
}

}  // namespace velmoran::builder

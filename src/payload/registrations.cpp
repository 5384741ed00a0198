#include "payload/registrations.h"

#include <initializer_list>

#include "common/path.h"

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

}  // namespace

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

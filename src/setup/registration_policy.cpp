#include "setup/registration_policy.h"

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::setup {
namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && EqualsIgnoreCase(text.substr(0, start.size()), start);
}

// `key` is `parent` or lies below it; `rest` takes what follows "parent\".
bool KeyWithin(const std::string& key, const std::string& parent, std::string* rest = nullptr) {
    if (EqualsIgnoreCase(key, parent)) {
        if (rest) rest->clear();
        return true;
    }
    if (!StartsWithIgnoringCase(key, parent + "\\")) return false;
    if (rest) *rest = key.substr(parent.size() + 1);
    return true;
}

std::string FirstComponent(const std::string& rest) { return rest.substr(0, rest.find('\\')); }

// The program a "<path>" "%1" command or an App Paths entry names.
std::string CommandProgram(const std::string& command) {
    if (command.size() > 1 && command[0] == '"') return command.substr(1, command.find('"', 1) - 1);
    return command;
}

}  // namespace

RegistrationPolicy::RegistrationPolicy(const RegistrationPlace& place, const payload::Registrations& declared,
                                       platform::Registry& registry)
    : place_(place), declared_(declared), registry_(registry), prefix_(ProgIdPrefix(place.appName)) {}

bool RegistrationPolicy::InInstallFolder(std::string path) const {
    const auto full = FullLocalPath(path);
    return full && (EqualsIgnoreCase(*full, place_.installFolder) || LiesBelow(*full, place_.installFolder));
}

bool RegistrationPolicy::OwnScheme(const std::string& scheme) const {
    for (const payload::LinkProtocolEntry& protocol : declared_.linkProtocols)
        if (EqualsIgnoreCase(protocol.scheme, scheme)) return true;
    const auto command =
        registry_.QueryValue(place_.hive, std::string(kClassesKey) + "\\" + scheme + "\\shell\\open\\command", "");
    return command && InInstallFolder(CommandProgram(command->data));
}

bool RegistrationPolicy::OwnAppPath(const std::string& name) const {
    for (const payload::AppPathEntry& entry : declared_.appPaths)
        if (EqualsIgnoreCase(entry.name, name)) return true;
    const auto program = registry_.QueryValue(place_.hive, std::string(kAppPathsKey) + "\\" + name, "");
    return program && InInstallFolder(CommandProgram(program->data));
}

Verdict RegistrationPolicy::Judge(const RegistrationRecord& record) const {
    if (record.hive != place_.hive) return Verdict::Refused;
    const std::string& key = record.key;
    if (record.kind == RegistrationRecord::Kind::PathEntry)
        return InInstallFolder(key) ? Verdict::Remove : Verdict::Refused;
    const bool isValue = record.kind == RegistrationRecord::Kind::Value;
    if (StartsWithIgnoringCase(key, std::string(kClassesKey) + "\\" + prefix_)) return Verdict::Remove;
    std::string rest;
    const std::string capabilities = CapabilitiesKey(place_.appName);
    // The Capabilities key, and the keys made on the way to it (removed only when empty).
    if (KeyWithin(key, capabilities) || (!isValue && KeyWithin(capabilities, key) && KeyWithin(key, payload::kOwnSoftwareKey)))
        return Verdict::Remove;
    // The key itself only where this installation made it (and only once it is empty again).
    if (EqualsIgnoreCase(key, kRegisteredApplicationsKey))
        return !isValue || EqualsIgnoreCase(record.name, prefix_.substr(0, prefix_.size() - 1)) ? Verdict::Remove
                                                                                                : Verdict::Refused;
    if (KeyWithin(key, kClassesKey, &rest)) {
        const std::string first = FirstComponent(rest);
        if (first.size() > 1 && first[0] == '.') {
            const std::string extension = std::string(kClassesKey) + "\\" + first;
            if (!isValue) return EqualsIgnoreCase(key, extension) || EqualsIgnoreCase(key, extension + "\\OpenWithProgids")
                                     ? Verdict::Remove : Verdict::Refused;
            if (EqualsIgnoreCase(key, extension + "\\OpenWithProgids"))
                return StartsWithIgnoringCase(record.name, prefix_) ? Verdict::Remove : Verdict::Refused;
            return EqualsIgnoreCase(key, extension) && record.name.empty() &&
                           StartsWithIgnoringCase(record.written.data, prefix_)
                       ? Verdict::Remove
                       : Verdict::Refused;
        }
        return !first.empty() && OwnScheme(first) ? Verdict::Remove : Verdict::Refused;
    }
    if (KeyWithin(key, kAppPathsKey, &rest))
        return !rest.empty() && rest.find('\\') == std::string::npos && OwnAppPath(rest) ? Verdict::Remove
                                                                                          : Verdict::Refused;
    if (EqualsIgnoreCase(key, EnvironmentKey(place_.hive))) {
        if (!isValue || record.name.empty() || payload::IsWindowsVariable(record.name)) return Verdict::Refused;
        bool declared = false;
        for (const payload::VariableEntry& variable : declared_.variables)
            declared = declared || EqualsIgnoreCase(variable.name, record.name);
        return Declared(declared);
    }
    if (payload::RegistryKeyProblem(key).empty()) {
        bool declared = false;
        for (const payload::RegistryValueEntry& value : declared_.registryValues)
            declared = declared || (EqualsIgnoreCase(value.key, key) && EqualsIgnoreCase(value.name, record.name));
        return Declared(declared && isValue);
    }
    return Verdict::Refused;
}

}  // namespace velmoran::setup

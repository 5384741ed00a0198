#include "setup/registration_plan.h"

#include <cstdint>

#include "common/header_number.h"
#include "common/path.h"

namespace velmoran::setup {
namespace {

std::string Resolved(const std::string& text, const std::string& installFolder) {
    const std::string placeholder = AsciiLower(payload::kInstallFolderPlaceholder), folded = AsciiLower(text);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = folded.find(placeholder, from)) != std::string::npos; from = at + placeholder.size())
        result += text.substr(from, at - from) + installFolder;
    return result + text.substr(from);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class Planner {
public:
    Planner(const RegistrationPlace& place) : place_(place), prefix_(ProgIdPrefix(place.appName)) {}

    void Text(const std::string& key, const std::string& name, const std::string& text) {
        plan_.values.push_back({key, name, platform::StringValue(text)});
    }

    // A ProgID's own name, icon and open verb.
    void ProgId(const std::string& progId, const std::string& name, const std::string& icon) {
        const std::string key = std::string(kClassesKey) + "\\" + progId;
        Text(key, "", name);
        Text(key + "\\DefaultIcon", "", icon + ",0");
        Text(key + "\\shell\\open\\command", "", Quoted(place_.mainProgram) + " \"%1\"");
    }

    RegistrationPlan Make(const payload::Registrations& declared) {
        const std::string capabilities = CapabilitiesKey(place_.appName);
        for (const payload::FileTypeEntry& type : declared.fileTypes) {
            const std::string progId = prefix_ + type.extension.substr(1);
            ProgId(progId, type.name, type.icon.empty() ? place_.mainProgram : JoinPath(place_.installFolder, type.icon));
            const std::string extension = std::string(kClassesKey) + "\\" + type.extension;
            plan_.values.push_back({extension + "\\OpenWithProgids", progId, {0, std::string()}});
            plan_.values.push_back({extension, "", platform::StringValue(progId), true});
            Text(capabilities + "\\FileAssociations", type.extension, progId);
        }
        for (const payload::LinkProtocolEntry& protocol : declared.linkProtocols) {
            const std::string progId = prefix_ + "url-" + protocol.scheme;
            ProgId(progId, protocol.name, place_.mainProgram);
            Text(std::string(kClassesKey) + "\\" + progId, "URL Protocol", "");
            const std::string scheme = std::string(kClassesKey) + "\\" + protocol.scheme;
            Text(scheme, "", "URL:" + protocol.name);
            Text(scheme, "URL Protocol", "");
            Text(scheme + "\\DefaultIcon", "", place_.mainProgram + ",0");
            Text(scheme + "\\shell\\open\\command", "", Quoted(place_.mainProgram) + " \"%1\"");
            Text(capabilities + "\\URLAssociations", protocol.scheme, progId);
        }
        plan_.associations = !declared.fileTypes.empty() || !declared.linkProtocols.empty();
        if (plan_.associations) {
            Text(capabilities, "ApplicationName", place_.appName);
            Text(capabilities, "ApplicationDescription", place_.appName);
            Text(kRegisteredApplicationsKey, prefix_.substr(0, prefix_.size() - 1), capabilities);
        }
        for (const payload::AppPathEntry& entry : declared.appPaths) {
            const std::string program = JoinPath(place_.installFolder, entry.program);
            const std::string key = std::string(kAppPathsKey) + "\\" + entry.name;
            Text(key, "", program);
            Text(key, "Path", WithoutTrailingBackslashes(FolderPart(program)));
        }
        for (const payload::RegistryValueEntry& entry : declared.registryValues) {
            if (entry.number) {
                // The builder writes a decimal number; anything else in a damaged header is 0.
                const uint32_t number = ParseDecimalDword(entry.data).value_or(0);
                plan_.values.push_back({entry.key, entry.name, platform::NumberValue(number)});
            } else {
                Text(entry.key, entry.name, Resolved(entry.data, place_.installFolder));
            }
        }
        for (const payload::VariableEntry& variable : declared.variables) {
            const std::string value = Resolved(variable.value, place_.installFolder);
            const uint32_t type = value.find('%') == std::string::npos ? platform::kRegistryString
                                                                        : platform::kRegistryExpandString;
            plan_.values.push_back({EnvironmentKey(place_.hive), variable.name, {type, value}, !variable.replace, true});
        }
        if (!declared.pathEntry.empty())
            plan_.pathFolder = WithoutTrailingBackslashes(
                declared.pathEntry == "." ? place_.installFolder : JoinPath(place_.installFolder, declared.pathEntry));
        plan_.environment = !declared.variables.empty() || !plan_.pathFolder.empty();
        return std::move(plan_);
    }

private:
    const RegistrationPlace& place_;
    const std::string prefix_;
    RegistrationPlan plan_;
};

}  // namespace

const char* EnvironmentKey(platform::Hive hive) {
    return hive == platform::Hive::CurrentUser ? kUserEnvironmentKey : kMachineEnvironmentKey;
}

std::string ProgIdPrefix(const std::string& appName) {
    std::string letters;
    for (const char c : appName)
        if (IsAsciiAlphanumeric(c)) letters += c;
    if (letters.size() > 32) letters.resize(32);
    if (letters.empty()) {
        // A name in another script: the same name always gives the same ProgID.
        uint32_t hash = 2166136261u;
        for (const char c : appName) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        letters = "App";
        for (int shift = 28; shift >= 0; shift -= 4) letters += "0123456789ABCDEF"[(hash >> shift) & 0xF];
    }
    return "Velmoran." + letters + ".";
}

std::string CapabilitiesKey(const std::string& appName) {
    const std::string prefix = ProgIdPrefix(appName);
    return std::string(payload::kOwnSoftwareKey) + "\\" + prefix.substr(9, prefix.size() - 10) + "\\Capabilities";
}

RegistrationPlan PlanRegistrations(const payload::Registrations& declared, const RegistrationPlace& place) {
    return Planner(place).Make(declared);
}

}  // namespace velmoran::setup

#include "setup/application_registrations.h"

#include "common/path.h"
#include "setup/registration_run.h"
#include "setup/uninstall_entry.h"

namespace velmoran::setup {
namespace {

RegistrationPlace PlaceOf(const InstallerState& state, const std::string& installFolder) {
    RegistrationPlace place;
    place.hive = EntryHive(state.perUser);
    place.appName = state.appName;
    place.installFolder = WithoutTrailingBackslashes(installFolder);
    place.mainProgram = JoinPath(place.installFolder, state.payload.Manifest().exeName);
    return place;
}

// A log that cannot be read names nothing.
std::vector<RegistrationRecord> Load(platform::FileSystem& files, const std::string& path) {
    try {
        const Bytes bytes = files.ReadWholeFile(path);
        return ParseRegistrationLog(std::string(bytes.begin(), bytes.end()));
    } catch (const std::exception&) {
        return {};
    }
}

bool StartsWithClasses(const std::string& key) {
    const std::string classes = std::string(kClassesKey) + "\\";
    return key.size() > classes.size() && EqualsIgnoreCase(key.substr(0, classes.size()), classes);
}

void TellWindows(const RegistrationPlan& plan, const std::vector<RegistrationRecord>& undone, platform::Shell& shell) {
    bool associations = plan.associations, environment = plan.environment;
    for (const RegistrationRecord& record : undone) {
        associations = associations || StartsWithClasses(record.key);
        environment = environment || record.kind == RegistrationRecord::Kind::PathEntry ||
                      EqualsIgnoreCase(record.key, EnvironmentKey(record.hive));
    }
    if (associations) shell.NotifyAssociationsChanged();
    if (environment) shell.BroadcastEnvironmentChange();
}

}  // namespace

std::string RegistrationLogPath(const std::string& installFolder, const std::string& appName) {
    return JoinPath(WithoutTrailingBackslashes(installFolder), appName + kRegistrationLogExtension);
}

void RegisterApplication(const InstallerState& state, const std::string& installFolder, const std::string& finalFolder,
                         RunReport& report, platform::Platform& platform) {
    const payload::Registrations& declared = state.payload.Manifest().registrations;
    const std::string logPath = RegistrationLogPath(installFolder, state.appName);
    const std::vector<RegistrationRecord> previous =
        platform.files.FileExists(logPath) ? Load(platform.files, logPath) : std::vector<RegistrationRecord>();
    if (declared.Empty() && previous.empty()) return;  // nothing registered, before or now
    const RegistrationPlace place = PlaceOf(state, installFolder);
    const RegistrationPlan plan = PlanRegistrations(declared, place);
    const std::vector<RegistrationRecord> records =
        WriteRegistrations(plan, place, previous, platform.registry, report);
    UndoRegistrations(previous, records, RegistrationPolicy(place, declared, platform.registry), platform.registry, report);
    if (records.empty()) {
        platform.files.RemoveFileWithin(logPath, finalFolder);
    } else {
        const std::string text = FormatRegistrationLog(records);
        platform.files.CreateFileWithin(logPath, finalFolder)->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        report.Record("Registration log: " + logPath);
    }
    TellWindows(plan, previous, platform.shell);
}

void UnregisterApplication(const InstallerState& state, const std::string& installFolder,
                           const std::string& finalFolder, RunReport& report, platform::Platform& platform) {
    const std::string logPath = RegistrationLogPath(installFolder, state.appName);
    if (!platform.files.FileExists(logPath)) return;
    const std::vector<RegistrationRecord> records = Load(platform.files, logPath);
    const RegistrationPlace place = PlaceOf(state, installFolder);
    UndoRegistrations(records, {}, RegistrationPolicy(place, state.payload.Manifest().registrations, platform.registry),
                      platform.registry, report);
    if (platform.files.RemoveFileWithin(logPath, finalFolder) == platform::Removal::Removed)
        report.Record("Removed: " + logPath);
    TellWindows(RegistrationPlan(), records, platform.shell);
}

}  // namespace velmoran::setup

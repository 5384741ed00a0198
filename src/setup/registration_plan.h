#pragma once
// What an application's declarations become in the registry, as Windows
// documents it for applications: a ProgID of the application's own for each
// file type and link protocol, the extensions' OpenWithProgids, the link
// protocols' keys, Capabilities with RegisteredApplications (so the
// application is offered in Settings' default apps), App Paths entries, the
// vendor's own values and environment variables. All under the
// installation's hive: the machine's, or the user's for a per-user one.

#include <string>
#include <vector>

#include "payload/registrations.h"
#include "platform/registry.h"

namespace velmoran::setup {

inline constexpr char kClassesKey[] = "Software\\Classes";
inline constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
inline constexpr char kUserEnvironmentKey[] = "Environment";
inline constexpr char kMachineEnvironmentKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

struct RegistrationPlace {
    platform::Hive hive = platform::Hive::LocalMachine;
    std::string appName;
    std::string installFolder;  // full, without a trailing backslash
    std::string mainProgram;    // full path
};

// The environment key of a hive.
const char* EnvironmentKey(platform::Hive hive);
// "Velmoran.<the application's name, letters and digits only>."; every ProgID
// of the application starts with it, and the Capabilities key is named by it.
std::string ProgIdPrefix(const std::string& appName);
std::string CapabilitiesKey(const std::string& appName);

struct PlannedValue {
    std::string key, name;
    platform::RegistryValue value;
    // Written only where there is no value yet (an extension's default
    // program, which is the user's to choose), or where the project allows
    // replacing one (a variable).
    bool onlyWhereMissing = false;
    bool variable = false;
};

struct RegistrationPlan {
    std::vector<PlannedValue> values;
    std::string pathFolder;  // empty: PATH is left alone
    bool associations = false;  // file types or link protocols: the shell is told
    bool environment = false;   // variables or PATH: running programs are told
};

RegistrationPlan PlanRegistrations(const payload::Registrations& declared, const RegistrationPlace& place);

}  // namespace velmoran::setup

#pragma once
// Which lines of a registration log the installer acts on. The log lies in the
// install folder, where a damaged file or another user's hand may have put
// anything, and the installer runs with an administrator's rights: a line is
// undone only when it names what this installation itself could have written.
//
// - the installation's own hive, and nothing under any other;
// - keys below the application's ProgID prefix, and its Capabilities key;
// - its RegisteredApplications value;
// - an extension's OpenWithProgids value named by one of its ProgIDs, and the
//   extension's default value when it holds one;
// - a link protocol's key, only for a scheme it declares or whose open command
//   starts a program in the install folder;
// - an App Paths entry that names a program in the install folder, or that it declares;
// - a Path entry that is the install folder or lies below it;
// - environment variables (never those Windows itself sets, Path among them)
//   and [Registry] values below Software\ (away from the keys above). A value another one replaced is
//   written back only when this installer declares it too: a line alone never
//   makes the installer write data of its choosing.

#include <string>

#include "payload/registrations.h"
#include "platform/registry.h"
#include "setup/registration_log.h"
#include "setup/registration_plan.h"

namespace velmoran::setup {

enum class Verdict { Refused, Remove, Restore };

class RegistrationPolicy {
public:
    RegistrationPolicy(const RegistrationPlace& place, const payload::Registrations& declared,
                       platform::Registry& registry);
    Verdict Judge(const RegistrationRecord& record) const;

private:
    bool InInstallFolder(std::string path) const;
    bool OwnScheme(const std::string& scheme) const;
    bool OwnAppPath(const std::string& name) const;
    Verdict Declared(bool declared) const { return declared ? Verdict::Restore : Verdict::Remove; }

    const RegistrationPlace& place_;
    const payload::Registrations& declared_;
    platform::Registry& registry_;
    std::string prefix_;
};

}  // namespace velmoran::setup

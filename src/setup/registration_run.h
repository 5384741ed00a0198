#pragma once
// Writing an application's registrations, and undoing them exactly. Each write
// becomes a record of the registration log, with the value it replaced; the
// undo walks records backwards and removes (or writes back) only what is still
// as the installation left it, as the policy allows.

#include <vector>

#include "platform/registry.h"
#include "setup/registration_log.h"
#include "setup/registration_plan.h"
#include "setup/registration_policy.h"
#include "setup/run_report.h"

namespace velmoran::setup {

// Writes the plan under the place's hive. `previous` is the log of the version
// installed before (empty for none): a value it wrote is recorded as
// replacing what it replaced, so that an uninstall goes back to the state
// before the first version. On a write that fails, everything this call wrote
// is undone and Failure("Failed to set data for '<key>\<name>'") is thrown.
std::vector<RegistrationRecord> WriteRegistrations(const RegistrationPlan& plan, const RegistrationPlace& place,
                                                   const std::vector<RegistrationRecord>& previous,
                                                   platform::Registry& registry, RunReport& report);

// Undoes `records`, last first, skipping those in `kept` (the new version's
// records at an upgrade) and those the policy refuses, which are named in the
// report.
void UndoRegistrations(const std::vector<RegistrationRecord>& records, const std::vector<RegistrationRecord>& kept,
                       const RegistrationPolicy& policy, platform::Registry& registry, RunReport& report);

}  // namespace velmoran::setup

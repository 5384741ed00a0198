#include "setup/registration_run.h"

#include "common/failure.h"
#include "common/path.h"
#include "setup/path_list.h"

namespace velmoran::setup {
namespace {

using Kind = RegistrationRecord::Kind;

std::string Where(platform::Hive hive, const std::string& key, const std::string& name) {
    return std::string(hive == platform::Hive::LocalMachine ? "HKLM\\" : "HKCU\\") + key + "\\" +
           (name.empty() ? "(default)" : name);
}

const RegistrationRecord* Find(const std::vector<RegistrationRecord>& records, const RegistrationRecord& target) {
    for (const RegistrationRecord& record : records)
        if (record.SameTarget(target)) return &record;
    return nullptr;
}

// `key` is `parent` or lies below it.
bool KeyAtOrBelow(const std::string& key, const std::string& parent) {
    return EqualsIgnoreCase(key, parent) ||
           (key.size() > parent.size() && key[parent.size()] == '\\' &&
            EqualsIgnoreCase(key.substr(0, parent.size()), parent));
}

// Undoes one record. `verdict` says whether a replaced value may be written back.
void Undo(const RegistrationRecord& record, Verdict verdict, platform::Registry& registry, RunReport& report) {
    switch (record.kind) {
        case Kind::Key:
            registry.DeleteKeyIfEmpty(record.hive, record.key);
            return;
        case Kind::PathEntry: {
            const char* key = EnvironmentKey(record.hive);
            const auto current = registry.QueryValue(record.hive, key, "Path");
            const auto rest = current ? PathWithout(current->data, record.key) : std::nullopt;
            if (!rest) {
                report.Record("No longer in Path, nothing to remove: " + record.key);
            } else if (rest->empty() && record.name == "created") {
                registry.DeleteValue(record.hive, key, "Path");
            } else if (!registry.SetValue(record.hive, key, "Path", {current->type, *rest})) {
                report.Record("Could not remove from Path: " + record.key);
            }
            return;
        }
        case Kind::Value: {
            const auto current = registry.QueryValue(record.hive, record.key, record.name);
            const std::string where = Where(record.hive, record.key, record.name);
            if (!current) return;
            if (*current != record.written) {
                report.Record("Changed since the installation, left as it is: " + where);
            } else if (record.replaced && verdict == Verdict::Restore) {
                registry.SetValue(record.hive, record.key, record.name, *record.replaced);
            } else {
                if (record.replaced) report.Record("Removed; the value it replaced is not written back: " + where);
                registry.DeleteValue(record.hive, record.key, record.name);
            }
            return;
        }
    }
}

class Writer {
public:
    Writer(const RegistrationPlace& place, const std::vector<RegistrationRecord>& previous, platform::Registry& registry,
           RunReport& report)
        : place_(place), previous_(previous), registry_(registry), report_(report) {}

    void Value(const PlannedValue& planned) {
        const auto current = registry_.QueryValue(place_.hive, planned.key, planned.name);
        RegistrationRecord record = RegistrationRecord::ValueWritten(place_.hive, planned.key, planned.name, planned.value, current);
        const RegistrationRecord* earlier = Find(previous_, record);
        const bool ours = earlier && current && *current == earlier->written;
        if (ours) record.replaced = earlier->replaced;  // the state before the first version
        if (planned.onlyWhereMissing && current && !current->data.empty() && *current != planned.value && !ours) {
            if (planned.variable)
                report_.Record("Not overwritten, it has another value: " + Where(place_.hive, planned.key, planned.name));
            return;
        }
        // A variable someone else set to the same text stays theirs.
        if (planned.variable && !ours && current && *current == planned.value) return;
        NewKeys(planned.key);
        if (!registry_.SetValue(place_.hive, planned.key, planned.name, planned.value))
            Fail(Where(place_.hive, planned.key, planned.name));
        written_.push_back(std::move(record));
    }

    void PathEntry(const std::string& folder) {
        const char* key = EnvironmentKey(place_.hive);
        const auto current = registry_.QueryValue(place_.hive, key, "Path");
        RegistrationRecord record = RegistrationRecord::PathAdded(place_.hive, folder, !current);
        const auto added = PathWith(current ? current->data : std::string(), folder);
        if (!added) {
            // Already there: still ours when the version before added it, else someone else's.
            const RegistrationRecord* earlier = Find(previous_, record);
            if (earlier && SameFolder(earlier->key, folder)) written_.push_back(*earlier);
            else report_.Record("Already in Path, not added: " + folder);
            return;
        }
        const uint32_t type = current ? current->type : platform::kRegistryExpandString;
        if (!registry_.SetValue(place_.hive, key, "Path", {type, *added})) Fail(Where(place_.hive, key, "Path"));
        written_.push_back(std::move(record));
    }

    // The records, with the keys a version before made on the way to a value
    // written now: they stay this installation's to remove.
    std::vector<RegistrationRecord> Records() {
        std::vector<RegistrationRecord> records;
        for (const RegistrationRecord& earlier : previous_) {
            if (earlier.kind != Kind::Key || Find(written_, earlier)) continue;
            for (const RegistrationRecord& record : written_)
                if (record.kind == Kind::Value && KeyAtOrBelow(record.key, earlier.key)) {
                    records.push_back(earlier);
                    break;
                }
        }
        records.insert(records.end(), written_.begin(), written_.end());
        return records;
    }

private:
    // Records the keys on the way to `key` that are not there yet, top first.
    void NewKeys(const std::string& key) {
        std::vector<std::string> missing;
        for (std::string k = key; !k.empty() && !registry_.KeyExists(place_.hive, k);) {
            missing.push_back(k);
            const auto slash = k.rfind('\\');
            k = slash == std::string::npos ? std::string() : k.substr(0, slash);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it)
            written_.push_back(RegistrationRecord::KeyMade(place_.hive, *it));
    }

    // What this call wrote is its own: undone without asking the policy.
    [[noreturn]] void Fail(const std::string& where) {
        for (auto it = written_.rbegin(); it != written_.rend(); ++it) Undo(*it, Verdict::Restore, registry_, report_);
        throw Failure(Format("Failed to set data for '%s'", where));
    }

    const RegistrationPlace& place_;
    const std::vector<RegistrationRecord>& previous_;
    platform::Registry& registry_;
    RunReport& report_;
    std::vector<RegistrationRecord> written_;
};

}  // namespace

std::vector<RegistrationRecord> WriteRegistrations(const RegistrationPlan& plan, const RegistrationPlace& place,
                                                   const std::vector<RegistrationRecord>& previous,
                                                   platform::Registry& registry, RunReport& report) {
    Writer writer(place, previous, registry, report);
    for (const PlannedValue& value : plan.values) writer.Value(value);
    if (!plan.pathFolder.empty()) writer.PathEntry(plan.pathFolder);
    return writer.Records();
}

void UndoRegistrations(const std::vector<RegistrationRecord>& records, const std::vector<RegistrationRecord>& kept,
                       const RegistrationPolicy& policy, platform::Registry& registry, RunReport& report) {
    // Judged before anything changes: a judgement may read what a later undo removes.
    std::vector<Verdict> verdicts;
    for (const RegistrationRecord& record : records) verdicts.push_back(policy.Judge(record));
    for (std::size_t i = records.size(); i-- > 0;) {
        const RegistrationRecord& record = records[i];
        if (Find(kept, record)) continue;
        if (verdicts[i] == Verdict::Refused) {
            report.Record("Refused, not a registration of this application: " +
                          Where(record.hive, record.key, record.kind == Kind::Value ? record.name : "*"));
            continue;
        }
        Undo(record, verdicts[i], registry, report);
    }
}

}  // namespace velmoran::setup

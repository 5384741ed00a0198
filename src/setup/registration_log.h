#pragma once
// The registration log: what an installation wrote to the registry, beside its
// install log as "<AppName>.rlg", so the uninstall (and the next version's
// installer) can undo exactly that. UTF-8 text, CR LF line ends:
//
//   Velmoran registration log 1
//   key<TAB>HKLM<TAB>Software\Classes\.knote
//   value<TAB>HKLM<TAB>Software\Classes\.knote<TAB><name><TAB><written><TAB><replaced>
//   path<TAB>HKCU<TAB>C:\Users\ann\AppData\Local\Programs\Kestrel\bin<TAB>created
//
// "key" is a key the installation made (it did not exist before); "value" a
// value it wrote, with the value it replaced ("-" when there was none);
// "path" the folder it appended to the Path variable ("created" when it made
// the variable itself). A value is "<type>:<data>", the registry type as a
// number and the data with "\" written "\\", TAB "\t", CR "\r", LF "\n" and
// NUL "\0". Lines are in the order they were written; the undo walks them
// backwards. The installer trusts no line of it: see registration_policy.h.

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace velmoran::setup {

inline constexpr char kRegistrationLogExtension[] = ".rlg";

struct RegistrationRecord {
    enum class Kind { Key, Value, PathEntry };
    Kind kind = Kind::Value;
    platform::Hive hive = platform::Hive::LocalMachine;
    std::string key;   // the key; for a PathEntry, the folder
    std::string name;  // the value's name ("" the default); for a PathEntry, "created" or ""
    platform::RegistryValue written;
    std::optional<platform::RegistryValue> replaced;

    static RegistrationRecord KeyMade(platform::Hive hive, std::string key);
    static RegistrationRecord PathAdded(platform::Hive hive, std::string folder, bool createdVariable);
    static RegistrationRecord ValueWritten(platform::Hive hive, std::string key, std::string name,
                                           platform::RegistryValue written,
                                           std::optional<platform::RegistryValue> replaced = std::nullopt);

    bool SameTarget(const RegistrationRecord& other) const;
};

std::string FormatRegistrationLog(const std::vector<RegistrationRecord>& records);
// Lines that do not parse are left out: they name nothing this installation wrote.
std::vector<RegistrationRecord> ParseRegistrationLog(const std::string& text);

}  // namespace velmoran::setup

#include "setup/uninstall_entry.h"

#include <cstdio>
#include <ctime>
#include <exception>

#include "common/path.h"
#include "payload/format.h"
#include "platform/special_folders.h"

namespace velmoran::setup {
namespace {

std::string Today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[16] = "";
    if (local) std::strftime(text, sizeof text, "%Y%m%d", local);
    return text;
}

class EntryWriter {
public:
    EntryWriter(platform::Registry& registry, platform::Hive hive, std::string key)
        : registry_(registry), hive_(hive), key_(std::move(key)) {}
    void Text(const char* name, const std::string& value) {
        if (!value.empty()) registry_.WriteString(hive_, key_, name, value);
    }
    void Number(const char* name, uint32_t value) { registry_.WriteNumber(hive_, key_, name, value); }

private:
    platform::Registry& registry_;
    platform::Hive hive_;
    std::string key_;
};

}  // namespace

std::string UninstallCommandProgram(const std::string& command) {
    if (!command.empty() && command[0] == '"') return command.substr(1, command.find('"', 1) - 1);
    const std::string argument = " uninstall";
    const bool hasArgument = command.size() > argument.size() &&
                             EqualsIgnoreCase(command.substr(command.size() - argument.size()), argument);
    return hasArgument ? command.substr(0, command.size() - argument.size()) : command;
}

std::optional<std::array<uint32_t, 4>> VersionNumbers(const std::string& version) {
    std::array<uint32_t, 4> numbers = {0, 0, 0, 0};
    std::size_t count = 0, digits = 0;
    for (const char c : version + ".") {
        if (c >= '0' && c <= '9' && digits < 5) {
            numbers[count] = numbers[count] * 10 + static_cast<uint32_t>(c - '0');
            ++digits;
        } else if (c == '.' && digits > 0 && count < 4) {
            ++count;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    return numbers;
}

void RegisterUninstallEntry(platform::Registry& registry, const payload::HeaderManifest& header,
                            const InstalledApplication& application) {
    const std::string key = std::string(platform::kUninstallKeyPrefix) + application.appName;
    try {
        const platform::Hive hive = EntryHive(application.perUser);
        platform::WriteValue(registry, hive, key, "DisplayName", application.appName);
        platform::WriteValue(registry, hive, key, "UninstallString",
                             "\"" + application.installFolder + "\\uninstall.exe\" uninstall");
    } catch (const std::exception&) {
        return;  // without write access to the machine hive there is simply no entry
    }
    if (!header.Identified()) return;

    EntryWriter entry(registry, EntryHive(application.perUser), key);
    const std::string& version = header.version;
    entry.Text("DisplayVersion", version);
    entry.Text("Publisher", header.publisher);
    if (!application.mainProgramPath.empty()) entry.Text("DisplayIcon", application.mainProgramPath + ",0");
    entry.Text("InstallLocation", application.installFolder + "\\");
    entry.Number("EstimatedSize", static_cast<uint32_t>((application.installedBytes + 1023) / 1024));  // KiB
    entry.Text("InstallDate", Today());
    entry.Number("NoModify", 1);
    entry.Number("NoRepair", 1);
    entry.Text("QuietUninstallString", "\"" + application.installFolder + "\\uninstall.exe\" /S");
    entry.Text("URLInfoAbout", header.website);
    entry.Text("HelpLink", header.supportUrl);
    if (const auto numbers = VersionNumbers(version)) {
        entry.Number("VersionMajor", (*numbers)[0]);
        entry.Number("VersionMinor", (*numbers)[1]);
    }
}

}  // namespace velmoran::setup

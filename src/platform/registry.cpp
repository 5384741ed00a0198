#include "platform/registry.h"

#include "common/failure.h"

namespace velmoran::platform {
namespace {

std::string ReadWithUserFallback(Registry& registry, const std::string& key, const std::string& name,
                                 KeyAccess access) {
    const std::string machine = registry.ReadString(Hive::LocalMachine, key, name, access);
    return machine.empty() ? registry.ReadString(Hive::CurrentUser, key, name, access) : machine;
}

}  // namespace

std::string ReadShellValue(Registry& registry, const std::string& key, const std::string& name) {
    return ReadWithUserFallback(registry, key, name, KeyAccess::Full);
}

std::string ReadShellValueReadOnly(Registry& registry, const std::string& key, const std::string& name) {
    return ReadWithUserFallback(registry, key, name, KeyAccess::Read);
}

void WriteMachineValue(Registry& registry, const std::string& key, const std::string& name, const std::string& text) {
    WriteValue(registry, Hive::LocalMachine, key, name, text);
}

void DeleteMachineKey(Registry& registry, const std::string& key) {
    registry.DeleteKeyTree(Hive::LocalMachine, key);
}

void WriteValue(Registry& registry, Hive hive, const std::string& key, const std::string& name, const std::string& text) {
    if (!registry.WriteString(hive, key, name, text)) throw Failure(Format("Failed to set data for '%s'", name));
}

}  // namespace velmoran::platform

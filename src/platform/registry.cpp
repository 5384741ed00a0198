#include "platform/registry.h"

#include "common/failure.h"
#include "common/little_endian.h"

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

RegistryValue StringValue(std::string text) { return {kRegistryString, std::move(text)}; }

RegistryValue NumberValue(uint32_t number) {
    Bytes bytes;
    Append32(bytes, number);
    return {kRegistryNumber, std::string(bytes.begin(), bytes.end())};
}

uint32_t NumberIn(const RegistryValue& value) {
    return value.data.size() == 4 ? Load32(reinterpret_cast<const uint8_t*>(value.data.data())) : 0;
}

std::string ValueText(const RegistryValue& value) {
    if (value.type == kRegistryString) return value.data;
    if (value.type == kRegistryExpandString) return value.data + " (expandable)";
    if (value.type == kRegistryNumber && value.data.size() == 4) return std::to_string(NumberIn(value)) + " (number)";
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : value.data) {
        hex += kDigits[static_cast<unsigned char>(byte) >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex + " (type " + std::to_string(value.type) + ")";
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

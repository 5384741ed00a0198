#pragma once
// The registry, reduced to what the installer needs: string values under the
// machine and user hives, and deleting a key with its sub-keys.

#include <cstdint>
#include <optional>
#include <string>

namespace velmoran::platform {

enum class Hive { LocalMachine, CurrentUser };

// Full access fails without write rights (so a user's read of the machine hive
// comes back empty); read access falls back to ever smaller read rights.
enum class KeyAccess { Full, Read };

// A value as the registry holds it: its type (REG_SZ, REG_DWORD, ...) and its
// bytes. Texts are held without their terminating NUL; a REG_DWORD as four
// little-endian bytes.
struct RegistryValue {
    uint32_t type = 0;
    std::string data;
    bool operator==(const RegistryValue& other) const { return type == other.type && data == other.data; }
    bool operator!=(const RegistryValue& other) const { return !(*this == other); }
};
inline constexpr uint32_t kRegistryString = 1;        // REG_SZ
inline constexpr uint32_t kRegistryExpandString = 2;  // REG_EXPAND_SZ
inline constexpr uint32_t kRegistryNumber = 4;        // REG_DWORD
RegistryValue StringValue(std::string text);
RegistryValue NumberValue(uint32_t number);
// The number a REG_DWORD value holds (its four bytes); 0 for data of another size.
uint32_t NumberIn(const RegistryValue& value);
// For people: a text as it stands, a number in decimal with its type, other
// data in hexadecimal with its type.
std::string ValueText(const RegistryValue& value);

class Registry {
public:
    virtual ~Registry() = default;

    // The string (or expandable string) value, cut at its first NUL; "" when the
    // key cannot be opened, the value is missing or empty. Throws
    // Failure("Invalid data type for '<name>'") for a value of another type.
    virtual std::string ReadString(Hive hive, const std::string& key, const std::string& name, KeyAccess access) = 0;
    // Opens the key with full access, creating it and its parents, and writes a
    // REG_SZ value. False when the key cannot be opened or the write fails.
    virtual bool WriteString(Hive hive, const std::string& key, const std::string& name, const std::string& text) = 0;
    // The same for a REG_DWORD value.
    virtual bool WriteNumber(Hive hive, const std::string& key, const std::string& name, uint32_t number) = 0;
    // Deletes the key's sub-keys, deepest first, then the key. Results ignored.
    virtual void DeleteKeyTree(Hive hive, const std::string& key) = 0;

    // The value with its type; nothing when the key or the value is missing.
    // `name` empty is the key's default value.
    virtual std::optional<RegistryValue> QueryValue(Hive hive, const std::string& key, const std::string& name) = 0;
    // Creates the key and its parents as needed. False when it cannot.
    virtual bool SetValue(Hive hive, const std::string& key, const std::string& name, const RegistryValue& value) = 0;
    // True when the value is gone, or was never there.
    virtual bool DeleteValue(Hive hive, const std::string& key, const std::string& name) = 0;
    virtual bool KeyExists(Hive hive, const std::string& key) = 0;
    // Deletes the key only when it holds neither values nor sub-keys.
    virtual void DeleteKeyIfEmpty(Hive hive, const std::string& key) = 0;
};

// Under the machine hive with full access, else under the user hive.
std::string ReadShellValue(Registry& registry, const std::string& key, const std::string& name);
// As ReadShellValue, both keys opened for reading only.
std::string ReadShellValueReadOnly(Registry& registry, const std::string& key, const std::string& name);
// Throws Failure("Failed to set data for '<name>'").
void WriteMachineValue(Registry& registry, const std::string& key, const std::string& name, const std::string& text);
void DeleteMachineKey(Registry& registry, const std::string& key);
// The same under either hive.
void WriteValue(Registry& registry, Hive hive, const std::string& key, const std::string& name, const std::string& text);

}  // namespace velmoran::platform

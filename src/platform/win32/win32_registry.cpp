#include "platform/win32/win32_registry.h"

#include <vector>

#include "common/failure.h"
#include "platform/win32/handles.h"

namespace velmoran::platform::win32 {
namespace {

HKEY Root(Hive hive) { return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// Read access, then a reduced read access, then query access alone: the first
// one granted is used.
bool OpenForReading(HKEY root, const std::string& key, RegistryKey& opened) {
    const REGSAM tries[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, KEY_QUERY_VALUE};
    for (const REGSAM access : tries)
        if (RegOpenKeyExA(root, key.c_str(), 0, access, opened.Receive()) == ERROR_SUCCESS) return true;
    return false;
}

void DeleteTree(HKEY root, const std::string& key) {
    if (key.empty()) return;  // never the hive itself
    std::vector<std::string> children;
    {
        RegistryKey opened;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, opened.Receive()) != ERROR_SUCCESS) return;
        char name[256];  // registry key names are at most 255 characters
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.emplace_back(name, length);
        }
    }
    for (const std::string& child : children) DeleteTree(root, key + "\\" + child);
    RegDeleteKeyA(root, key.c_str());
}

}  // namespace

std::string Win32Registry::ReadString(Hive hive, const std::string& key, const std::string& name, KeyAccess access) {
    RegistryKey opened;
    const bool open = access == KeyAccess::Full
                          ? RegOpenKeyExA(Root(hive), key.c_str(), 0, KEY_ALL_ACCESS, opened.Receive()) == ERROR_SUCCESS
                          : OpenForReading(Root(hive), key, opened);
    if (!open) return std::string();
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw Failure(Format("Invalid data type for '%s'", name));
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::string();
    return std::string(data.data());  // cut at the first NUL
}

bool Win32Registry::WriteString(Hive hive, const std::string& key, const std::string& name, const std::string& text) {
    return SetValue(hive, key, name, StringValue(text));
}

bool Win32Registry::WriteNumber(Hive hive, const std::string& key, const std::string& name, uint32_t number) {
    return SetValue(hive, key, name, NumberValue(number));
}

void Win32Registry::DeleteKeyTree(Hive hive, const std::string& key) { DeleteTree(Root(hive), key); }

std::optional<RegistryValue> Win32Registry::QueryValue(Hive hive, const std::string& key, const std::string& name) {
    RegistryKey opened;
    if (!OpenForReading(Root(hive), key, opened)) return std::nullopt;
    // A value may change between asking its size and reading it: asked again then.
    for (;;) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::string data(size, '\0');
        const LSTATUS read = RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &size);
        if (read == ERROR_MORE_DATA) continue;
        if (read != ERROR_SUCCESS) return std::nullopt;
        data.resize(size);
        // Texts are kept without their terminating NUL, as they are compared and written back.
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && !data.empty() && data.back() == '\0') data.pop_back();
        return RegistryValue{type, std::move(data)};
    }
}

bool Win32Registry::SetValue(Hive hive, const std::string& key, const std::string& name, const RegistryValue& value) {
    RegistryKey opened;
    if (RegCreateKeyExA(Root(hive), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    // REG_SZ and REG_EXPAND_SZ data carries its terminating NUL.
    const bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ;
    return RegSetValueExA(opened.Get(), name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.c_str()),
                          static_cast<DWORD>(value.data.size() + (text ? 1 : 0))) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(Hive hive, const std::string& key, const std::string& name) {
    RegistryKey opened;
    const LSTATUS open = RegOpenKeyExA(Root(hive), key.c_str(), 0, KEY_SET_VALUE, opened.Receive());
    if (open == ERROR_FILE_NOT_FOUND) return true;
    if (open != ERROR_SUCCESS) return false;
    const LSTATUS deleted = RegDeleteValueA(opened.Get(), name.c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool Win32Registry::KeyExists(Hive hive, const std::string& key) {
    RegistryKey opened;
    return OpenForReading(Root(hive), key, opened);
}

void Win32Registry::DeleteKeyIfEmpty(Hive hive, const std::string& key) {
    if (key.empty()) return;  // never the hive itself
    {
        RegistryKey opened;
        if (RegOpenKeyExA(Root(hive), key.c_str(), 0, KEY_QUERY_VALUE, opened.Receive()) != ERROR_SUCCESS) return;
        DWORD subKeys = 0, values = 0;
        if (RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subKeys != 0 || values != 0)
            return;
    }
    RegDeleteKeyA(Root(hive), key.c_str());
}

}  // namespace velmoran::platform::win32

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
    RegistryKey opened;
    if (RegCreateKeyExA(Root(hive), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    // REG_SZ data carries its terminating NUL.
    return RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool Win32Registry::WriteNumber(Hive hive, const std::string& key, const std::string& name, uint32_t number) {
    RegistryKey opened;
    if (RegCreateKeyExA(Root(hive), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    const DWORD data = number;
    return RegSetValueExA(opened.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

void Win32Registry::DeleteKeyTree(Hive hive, const std::string& key) { DeleteTree(Root(hive), key); }

}  // namespace velmoran::platform::win32

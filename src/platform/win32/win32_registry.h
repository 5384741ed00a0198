#pragma once

#include "platform/registry.h"

namespace velmoran::platform::win32 {

class Win32Registry : public Registry {
public:
    std::string ReadString(Hive hive, const std::string& key, const std::string& name, KeyAccess access) override;
    bool WriteString(Hive hive, const std::string& key, const std::string& name, const std::string& text) override;
    bool WriteNumber(Hive hive, const std::string& key, const std::string& name, uint32_t number) override;
    void DeleteKeyTree(Hive hive, const std::string& key) override;
    std::optional<RegistryValue> QueryValue(Hive hive, const std::string& key, const std::string& name) override;
    bool SetValue(Hive hive, const std::string& key, const std::string& name, const RegistryValue& value) override;
    bool DeleteValue(Hive hive, const std::string& key, const std::string& name) override;
    bool KeyExists(Hive hive, const std::string& key) override;
    void DeleteKeyIfEmpty(Hive hive, const std::string& key) override;
};

}  // namespace velmoran::platform::win32

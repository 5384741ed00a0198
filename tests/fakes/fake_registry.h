#pragma once
// The two registry hives in memory, with typed values. The machine hive can be
// made read-only, as for a user without administrator rights.

#include <map>
#include <string>

#include "platform/registry.h"

namespace velmoran::testing {

class FakeRegistry : public platform::Registry {
public:
    enum class Type { String, ExpandString, DWord };

    void Set(platform::Hive hive, const std::string& key, const std::string& name, const std::string& data,
             Type type = Type::String);
    // The stored data, or "<missing>".
    std::string Get(platform::Hive hive, const std::string& key, const std::string& name) const;
    bool KeyExists(platform::Hive hive, const std::string& key) const;
    void SetMachineWritable(bool writable) { machineWritable_ = writable; }

    std::string ReadString(platform::Hive hive, const std::string& key, const std::string& name,
                           platform::KeyAccess access) override;
    bool WriteString(platform::Hive hive, const std::string& key, const std::string& name,
                     const std::string& text) override;
    bool WriteNumber(platform::Hive hive, const std::string& key, const std::string& name, uint32_t number) override;
    void DeleteKeyTree(platform::Hive hive, const std::string& key) override;

private:
    struct Value {
        std::string data;
        Type type = Type::String;
    };
    using Key = std::map<std::string, Value>;  // by lower-case value name

    void CreateKey(platform::Hive hive, const std::string& key);

    std::map<std::string, Key> hives_[2];  // by lower-case key path
    bool machineWritable_ = true;
};

}  // namespace velmoran::testing

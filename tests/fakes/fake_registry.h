#pragma once
// The two registry hives in memory, with typed values. The machine hive can be
// made read-only, as for a user without administrator rights.

#include <map>
#include <string>

#include "platform/registry.h"

namespace velmoran::testing {

class FakeRegistry : public platform::Registry {
public:
    // REG_SZ, REG_EXPAND_SZ, REG_DWORD (its data held in decimal); other types by number.
    enum class Type : uint32_t { String = 1, ExpandString = 2, DWord = 4 };

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
    std::optional<platform::RegistryValue> QueryValue(platform::Hive hive, const std::string& key,
                                                      const std::string& name) override;
    bool SetValue(platform::Hive hive, const std::string& key, const std::string& name,
                  const platform::RegistryValue& value) override;
    bool DeleteValue(platform::Hive hive, const std::string& key, const std::string& name) override;
    bool KeyExists(platform::Hive hive, const std::string& key) override {
        return static_cast<const FakeRegistry*>(this)->KeyExists(hive, key);
    }
    void DeleteKeyIfEmpty(platform::Hive hive, const std::string& key) override;
    // Every key and value of both hives, one line each, for comparing states.
    std::string Snapshot() const;
    // Writes to keys below this path fail (an empty path: none do).
    void FailWritesBelow(const std::string& key) { failBelow_ = key; }

private:
    struct Value {
        std::string data;
        Type type = Type::String;
    };
    using Key = std::map<std::string, Value>;  // by lower-case value name

    void CreateKey(platform::Hive hive, const std::string& key);

    std::map<std::string, Key> hives_[2];  // by lower-case key path
    bool Writable(platform::Hive hive, const std::string& key) const;

    bool machineWritable_ = true;
    std::string failBelow_;
};

}  // namespace velmoran::testing

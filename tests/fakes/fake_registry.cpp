#include "fake_registry.h"

#include "common/failure.h"
#include "common/path.h"

namespace velmoran::testing {

using platform::Hive;

void FakeRegistry::CreateKey(Hive hive, const std::string& key) {
    auto& keys = hives_[static_cast<int>(hive)];
    const std::string lower = AsciiLower(key);
    for (std::string::size_type slash = lower.find('\\'); slash != std::string::npos; slash = lower.find('\\', slash + 1))
        keys[lower.substr(0, slash)];
    keys[lower];
}

void FakeRegistry::Set(Hive hive, const std::string& key, const std::string& name, const std::string& data, Type type) {
    CreateKey(hive, key);
    hives_[static_cast<int>(hive)][AsciiLower(key)][AsciiLower(name)] = Value{data, type};
}

std::string FakeRegistry::Get(Hive hive, const std::string& key, const std::string& name) const {
    const auto& keys = hives_[static_cast<int>(hive)];
    const auto k = keys.find(AsciiLower(key));
    if (k == keys.end()) return "<missing>";
    const auto v = k->second.find(AsciiLower(name));
    return v == k->second.end() ? "<missing>" : v->second.data;
}

bool FakeRegistry::KeyExists(Hive hive, const std::string& key) const {
    return hives_[static_cast<int>(hive)].count(AsciiLower(key)) > 0;
}

std::string FakeRegistry::ReadString(Hive hive, const std::string& key, const std::string& name,
                                     platform::KeyAccess access) {
    if (hive == Hive::LocalMachine && access == platform::KeyAccess::Full && !machineWritable_) return std::string();
    const auto& keys = hives_[static_cast<int>(hive)];
    const auto k = keys.find(AsciiLower(key));
    if (k == keys.end()) return std::string();
    const auto v = k->second.find(AsciiLower(name));
    if (v == k->second.end()) return std::string();
    if (v->second.type == Type::DWord) throw Failure(Format("Invalid data type for '%s'", name));
    return v->second.data.substr(0, v->second.data.find('\0'));
}

bool FakeRegistry::Writable(Hive hive, const std::string& key) const {
    if (hive == Hive::LocalMachine && !machineWritable_) return false;
    const std::string lower = AsciiLower(key), below = AsciiLower(failBelow_);
    return below.empty() || (lower != below && lower.rfind(below + "\\", 0) != 0);
}

bool FakeRegistry::WriteString(Hive hive, const std::string& key, const std::string& name, const std::string& text) {
    if (!Writable(hive, key)) return false;
    Set(hive, key, name, text);
    return true;
}

bool FakeRegistry::WriteNumber(Hive hive, const std::string& key, const std::string& name, uint32_t number) {
    if (!Writable(hive, key)) return false;
    Set(hive, key, name, std::to_string(number), Type::DWord);
    return true;
}

void FakeRegistry::DeleteKeyTree(Hive hive, const std::string& key) {
    if (hive == Hive::LocalMachine && !machineWritable_) return;
    auto& keys = hives_[static_cast<int>(hive)];
    const std::string lower = AsciiLower(key);
    for (auto it = keys.begin(); it != keys.end();) {
        const bool inside = it->first == lower || it->first.rfind(lower + "\\", 0) == 0;
        it = inside ? keys.erase(it) : std::next(it);
    }
}

std::optional<platform::RegistryValue> FakeRegistry::QueryValue(Hive hive, const std::string& key,
                                                              const std::string& name) {
    const auto& keys = hives_[static_cast<int>(hive)];
    const auto k = keys.find(AsciiLower(key));
    if (k == keys.end()) return std::nullopt;
    const auto v = k->second.find(AsciiLower(name));
    if (v == k->second.end()) return std::nullopt;
    if (v->second.type == Type::DWord) return platform::NumberValue(static_cast<uint32_t>(std::stoul(v->second.data)));
    return platform::RegistryValue{static_cast<uint32_t>(v->second.type), v->second.data};
}

bool FakeRegistry::SetValue(Hive hive, const std::string& key, const std::string& name,
                            const platform::RegistryValue& value) {
    if (!Writable(hive, key)) return false;
    if (value.type != platform::kRegistryNumber) {
        Set(hive, key, name, value.data, static_cast<Type>(value.type));
        return true;
    }
    Set(hive, key, name, std::to_string(platform::NumberIn(value)), Type::DWord);
    return true;
}

bool FakeRegistry::DeleteValue(Hive hive, const std::string& key, const std::string& name) {
    if (!Writable(hive, key)) return false;
    auto& keys = hives_[static_cast<int>(hive)];
    const auto k = keys.find(AsciiLower(key));
    if (k != keys.end()) k->second.erase(AsciiLower(name));
    return true;
}

void FakeRegistry::DeleteKeyIfEmpty(Hive hive, const std::string& key) {
    if (!Writable(hive, key) || key.empty()) return;
    auto& keys = hives_[static_cast<int>(hive)];
    const std::string lower = AsciiLower(key);
    const auto k = keys.find(lower);
    if (k == keys.end() || !k->second.empty()) return;
    const auto next = std::next(k);
    if (next != keys.end() && next->first.rfind(lower + "\\", 0) == 0) return;  // a sub-key
    keys.erase(k);
}

std::string FakeRegistry::Snapshot() const {
    std::string text;
    for (int hive = 0; hive < 2; ++hive)
        for (const auto& [key, values] : hives_[hive]) {
            text += std::to_string(hive) + " " + key + "\n";
            for (const auto& [name, value] : values)
                text += "  " + name + " = " + std::to_string(static_cast<uint32_t>(value.type)) + ":" + value.data + "\n";
        }
    return text;
}

}  // namespace velmoran::testing

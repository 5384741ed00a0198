#include "setup/registration_log.h"

#include "common/header_number.h"
#include "common/path.h"

namespace velmoran::setup {
namespace {

constexpr char kFirstLine[] = "Velmoran registration log 1";

std::string Escaped(const std::string& data) {
    std::string text;
    for (const char c : data) {
        switch (c) {
            case '\\': text += "\\\\"; break;
            case '\t': text += "\\t"; break;
            case '\r': text += "\\r"; break;
            case '\n': text += "\\n"; break;
            case '\0': text += "\\0"; break;
            default: text += c;
        }
    }
    return text;
}

std::optional<std::string> Unescaped(const std::string& text) {
    std::string data;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            data += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\': data += '\\'; break;
            case 't': data += '\t'; break;
            case 'r': data += '\r'; break;
            case 'n': data += '\n'; break;
            case '0': data += '\0'; break;
            default: return std::nullopt;
        }
    }
    return data;
}

std::string ValueField(const platform::RegistryValue& value) {
    return std::to_string(value.type) + ":" + Escaped(value.data);
}

std::optional<platform::RegistryValue> ParseValue(const std::string& field) {
    const auto colon = field.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const auto type = ParseDecimalDword(field.substr(0, colon));
    const auto data = Unescaped(field.substr(colon + 1));
    if (!type || !data) return std::nullopt;
    return platform::RegistryValue{*type, *data};
}

std::optional<RegistrationRecord> ParseLine(const std::string& line) {
    const std::vector<std::string> f = SplitAt(line, '\t');
    if (f.size() < 3 || (f[1] != "HKLM" && f[1] != "HKCU") || f[2].empty()) return std::nullopt;
    RegistrationRecord record;
    record.hive = f[1] == "HKLM" ? platform::Hive::LocalMachine : platform::Hive::CurrentUser;
    const auto key = Unescaped(f[2]);
    if (!key) return std::nullopt;
    record.key = *key;
    if (f[0] == "key" && f.size() == 3) {
        record.kind = RegistrationRecord::Kind::Key;
    } else if (f[0] == "path" && f.size() == 4 && (f[3].empty() || f[3] == "created")) {
        record.kind = RegistrationRecord::Kind::PathEntry;
        record.name = f[3];
    } else if (f[0] == "value" && f.size() == 6) {
        const auto name = Unescaped(f[3]);
        const auto written = ParseValue(f[4]);
        if (!name || !written) return std::nullopt;
        record.name = *name;
        record.written = *written;
        if (f[5] != "-") {
            record.replaced = ParseValue(f[5]);
            if (!record.replaced) return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    return record;
}

}  // namespace

RegistrationRecord RegistrationRecord::KeyMade(platform::Hive hive, std::string key) {
    RegistrationRecord record;
    record.kind = Kind::Key;
    record.hive = hive;
    record.key = std::move(key);
    return record;
}

RegistrationRecord RegistrationRecord::PathAdded(platform::Hive hive, std::string folder, bool createdVariable) {
    RegistrationRecord record = KeyMade(hive, std::move(folder));
    record.kind = Kind::PathEntry;
    record.name = createdVariable ? "created" : "";
    return record;
}

RegistrationRecord RegistrationRecord::ValueWritten(platform::Hive hive, std::string key, std::string name,
                                                    platform::RegistryValue written,
                                                    std::optional<platform::RegistryValue> replaced) {
    RegistrationRecord record = KeyMade(hive, std::move(key));
    record.kind = Kind::Value;
    record.name = std::move(name);
    record.written = std::move(written);
    record.replaced = std::move(replaced);
    return record;
}

bool RegistrationRecord::SameTarget(const RegistrationRecord& other) const {
    return kind == other.kind && hive == other.hive && EqualsIgnoreCase(key, other.key) &&
           (kind == Kind::Key || EqualsIgnoreCase(name, other.name) || kind == Kind::PathEntry);
}

std::string FormatRegistrationLog(const std::vector<RegistrationRecord>& records) {
    std::string text = std::string(kFirstLine) + "\r\n";
    for (const RegistrationRecord& r : records) {
        const std::string head = std::string(r.hive == platform::Hive::LocalMachine ? "HKLM" : "HKCU") + "\t" + Escaped(r.key);
        switch (r.kind) {
            case RegistrationRecord::Kind::Key: text += "key\t" + head; break;
            case RegistrationRecord::Kind::PathEntry: text += "path\t" + head + "\t" + r.name; break;
            case RegistrationRecord::Kind::Value:
                text += "value\t" + head + "\t" + Escaped(r.name) + "\t" + ValueField(r.written) + "\t" +
                        (r.replaced ? ValueField(*r.replaced) : std::string("-"));
                break;
        }
        text += "\r\n";
    }
    return text;
}

std::vector<RegistrationRecord> ParseRegistrationLog(const std::string& text) {
    std::vector<RegistrationRecord> records;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (first) {
            if (line != kFirstLine) return {};  // not a registration log this installer knows
            first = false;
            continue;
        }
        if (auto record = ParseLine(line)) records.push_back(std::move(*record));
    }
    return records;
}

}  // namespace velmoran::setup

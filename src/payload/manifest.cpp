#include "payload/manifest.h"

#include <algorithm>

#include "payload/file_entry.h"
#include "payload/format.h"

namespace velmoran::payload {
namespace {

std::string Line(const std::string& key, const std::string& value) {
    return key + "=" + value;
}

std::string OptionalSize(int64_t size) {
    return size < 0 ? std::string() : std::to_string(size);
}

}  // namespace

int64_t Manifest::TotalFileBytes() const {
    int64_t total = 0;
    for (const FileEntry& file : files) total += file.size;
    return total;
}

std::vector<std::string> HeaderLines(const Manifest& m) {
    std::vector<std::string> lines = {
        "[Settings]",
        Line(kSplashKey, OptionalSize(m.splashSize)),
        Line(kIconKey, OptionalSize(m.iconSize)),
        Line(kFileCountKey, std::to_string(m.files.size())),
        Line(kFileBytesKey, std::to_string(m.TotalFileBytes())),
        Line(kExeNameKey, m.exeName),
        Line(kExeShortcutKey, m.exeShortcut),
    };
    const std::size_t slots = std::max(kShortcutSlots, m.shortcuts.size());
    for (std::size_t i = 0; i < slots; ++i) {
        const bool used = i < m.shortcuts.size();
        const std::string n = std::to_string(i + 1);
        lines.push_back(Line(kShortcutNamePrefix + n, used ? m.shortcuts[i].name : ""));
        lines.push_back(Line(kShortcutPathPrefix + n, used ? m.shortcuts[i].target : ""));
    }
    lines.push_back(Line(kTargetFolderKey, m.targetFolder));
    lines.push_back(Line(kAppNameKey, m.appName));
    lines.push_back(Line(kAboutKey, std::to_string(m.aboutSize)));
    lines.push_back(Line(kLicenceKey, std::to_string(m.licenceSize)));
    const std::pair<const char*, const std::string*> identity[] = {
        {kVersionKey, &m.version}, {kPublisherKey, &m.publisher}, {kWebsiteKey, &m.website}, {kSupportUrlKey, &m.supportUrl}};
    for (const auto& [key, value] : identity)
        if (!value->empty()) lines.push_back(Line(key, *value));
    if (m.perUser) lines.push_back(Line(kScopeKey, kScopeUser));
    if (m.solid) lines.push_back(Line(kCompressionKey, kCompressionLzma2));
    if (m.utf8) lines.push_back(Line(kCharsetKey, kCharsetUtf8));
    for (std::string& line : RegistrationLines(m.registrations)) lines.push_back(std::move(line));
    lines.push_back("[Files]");
    for (std::size_t i = 0; i < m.files.size(); ++i) {
        lines.push_back(FileEntryKey(static_cast<int>(i + 1)) + "=<" + m.files[i].path + "><" +
                        std::to_string(m.files[i].size) + ">");
    }
    return lines;
}

}  // namespace velmoran::payload

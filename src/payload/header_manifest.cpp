#include "payload/header_manifest.h"

#include <cstring>

#include "common/header_number.h"
#include "common/path.h"
#include "payload/file_entry.h"

namespace velmoran::payload {

HeaderNumber::HeaderNumber(std::string text) : text_(std::move(text)), value_(TryParseHeaderNumber(text_)) {}

int32_t HeaderNumber::Value() const { return value_ ? *value_ : ParseHeaderNumber(text_); }

HeaderManifest::HeaderManifest() = default;
HeaderManifest::~HeaderManifest() = default;

bool HeaderManifest::Identified() const {
    return !version.empty() || !publisher.empty() || !website.empty() || !supportUrl.empty();
}

const HeaderNumber& HeaderManifest::LeadingItemSize(const LeadingItem& item) const {
    std::size_t i = 0;
    while (i + 1 < kLeadingItemCount && std::strcmp(kLeadingItems[i].key, item.key) != 0) ++i;
    return leadingItemSizes[i];
}

HeaderManifest ReadManifest(const SettingsList& settings) {
    using M = HeaderManifest;
    HeaderManifest m;
    const std::pair<const char*, std::string M::*> texts[] = {
        {kAppNameKey, &M::appName},     {kExeNameKey, &M::exeName},     {kExeShortcutKey, &M::exeShortcut},
        {kTargetFolderKey, &M::targetFolder}, {kVersionKey, &M::version}, {kPublisherKey, &M::publisher},
        {kWebsiteKey, &M::website},     {kSupportUrlKey, &M::supportUrl}};
    for (const auto& [key, text] : texts) m.*text = settings.Value(key);
    for (std::size_t i = 0; i < kLeadingItemCount; ++i) m.leadingItemSizes[i] = HeaderNumber(settings.Value(kLeadingItems[i].key));
    m.fileCount = HeaderNumber(settings.Value(kFileCountKey));
    m.fileBytes = HeaderNumber(settings.Value(kFileBytesKey));
    for (int i = 1;; ++i) {
        const std::string n = std::to_string(i);
        ShortcutEntry shortcut{settings.Value(kShortcutNamePrefix + n), settings.Value(kShortcutPathPrefix + n)};
        if (shortcut.name.empty()) break;
        m.shortcuts.push_back(std::move(shortcut));
    }
    // A count that is no number lists no file: every run stops at the count itself.
    for (int32_t n = 1; n <= m.fileCount.ValueOr(0); ++n) {
        const std::string entry = settings.Value(FileEntryKey(n));
        FileEntryText text = SplitFileEntry(entry);
        m.files.push_back({std::move(text.relativePath), HeaderNumber(std::move(text.sizeText)), !entry.empty()});
        if (entry.empty()) break;
    }
    m.perUser = settings.Value(kScopeKey) == kScopeUser;
    m.solid = settings.Value(kCompressionKey) == kCompressionLzma2;
    m.utf8 = EqualsIgnoreCase(settings.Value(kCharsetKey), kCharsetUtf8);
    m.registrations = ReadRegistrations(settings);
    return m;
}

}  // namespace velmoran::payload

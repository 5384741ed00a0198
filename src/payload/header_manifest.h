#pragma once
// The header as the stub reads it: the mirror of the builder's Manifest. The
// reader is lenient as installers always were: texts are taken as they stand,
// and a number that does not parse fails only where a run first needs it (a
// damaged size of the licence text, say, when the texts are read), not when
// the header opens.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "payload/format.h"
#include "payload/entries.h"
#include "payload/registrations.h"
#include "payload/settings_list.h"

namespace velmoran::payload {

// A header number, parsed once; Value() throws the parse's failure
// ("'<text>' is not a valid integer value") where the number is used.
class HeaderNumber {
public:
    HeaderNumber() = default;
    explicit HeaderNumber(std::string text);
    bool Empty() const { return text_.empty(); }
    const std::string& Text() const { return text_; }
    int32_t Value() const;
    int32_t ValueOr(int32_t otherwise) const { return value_.value_or(otherwise); }

private:
    std::string text_;
    std::optional<int32_t> value_;
};

struct HeaderFileEntry {
    std::string path;  // relative to the install folder, as SplitFileEntry takes it
    HeaderNumber size;
    bool listed = true;  // false for the missing or empty entry that ends the list
};

struct HeaderManifest {
    // Made and ended in one place: inlined at each use, the members' code
    // would weigh on the stub several times over. The reader never moves one.
    HeaderManifest();
    HeaderManifest(HeaderManifest&&) = default;
    HeaderManifest& operator=(HeaderManifest&&) = default;
    ~HeaderManifest();

    std::string appName, exeName, exeShortcut, targetFolder;
    std::vector<ShortcutEntry> shortcuts;  // ShortcutName1, 2, ... up to the first empty name
    HeaderNumber leadingItemSizes[kLeadingItemCount];  // in kLeadingItems order
    HeaderNumber fileCount, fileBytes;
    // f1 ... fN for the file count N. A missing or empty entry ends the list
    // as its last: every run fails there (its size is no number), as it
    // would at any later one.
    std::vector<HeaderFileEntry> files;
    std::string version, publisher, website, supportUrl;
    bool perUser = false;  // Scope=user
    bool solid = false;    // Compression=lzma2
    bool utf8 = false;     // Charset=UTF-8
    Registrations registrations;

    // True when any identity line is there: only then does the uninstall entry get more than its name.
    bool Identified() const;
    // The size of one of kLeadingItems.
    const HeaderNumber& LeadingItemSize(const LeadingItem& item) const;
};

HeaderManifest ReadManifest(const SettingsList& settings);

}  // namespace velmoran::payload

#pragma once
// A PATH value as a list of folders separated by ";". Entries are compared as
// Windows compares folders (ignoring case and trailing backslashes); every
// other entry, and every separator, stays as it stands, unexpanded.

#include <optional>
#include <string>

namespace velmoran::setup {

bool SameFolder(const std::string& a, const std::string& b);
// True when an entry of `path` is `folder`.
bool PathHolds(const std::string& path, const std::string& folder);
// `path` with `folder` appended, nothing when it holds the folder already.
std::optional<std::string> PathWith(const std::string& path, const std::string& folder);
// `path` without its first entry for `folder`, wherever it stands; nothing
// when no entry is that folder.
std::optional<std::string> PathWithout(const std::string& path, const std::string& folder);

}  // namespace velmoran::setup

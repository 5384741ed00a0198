#pragma once
// An in-memory file system with the Windows rules the handlers rely on: paths
// compared without regard to case, doubled backslashes read as one, a file only
// in an existing folder, only empty folders removable, a running program's
// file not deletable. Any creation can be made to fail on demand.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::testing {

class FakeFileSystem : public platform::FileSystem {
public:
    FakeFileSystem();

    // Set-up and inspection.
    void AddFolder(const std::string& path);  // with every missing parent
    void AddFile(const std::string& path, const std::string& content = "");  // parents too
    std::string Content(const std::string& path) const;  // "" when missing
    void MarkRunning(const std::string& path) { running_.insert(Key(path)); }
    void FailCreation(const std::string& path) { failCreate_.insert(Key(path)); }
    // A file whose deletion is refused (as Windows refuses a read-only one).
    void MarkReadOnly(const std::string& path) { readOnly_.insert(Key(path)); }
    // Users other than the administrators may change the folder; folders made
    // in it with inherited rights may be changed by them too.
    void OpenToOthers(const std::string& path) { openToOthers_.insert(Key(path)); }
    // `shortPath` (an 8.3 form, such as "C:\PROGRA~1") names the folder `longPath`.
    void AddShortName(const std::string& shortPath, const std::string& longPath);
    // The file disappears as soon as it has been written and closed, as when a
    // virus scanner takes it away.
    void VanishAfterWrite(const std::string& path) { vanish_.insert(Key(path)); }
    void SetCurrentFolder(const std::string& path) { current_ = path; }
    // The entry (which must exist) becomes a junction or symbolic link to some
    // place elsewhere, whose content is still kept at the entry's own path.
    void MarkLink(const std::string& path) { links_[Key(path)] = std::string(); }
    // The entry and all below it are replaced by a junction to `target` (a
    // folder, or a file): from then on every path through it reaches the target.
    void ReplaceWithLink(const std::string& path, const std::string& target);
    // Runs `action` once, right after the file at `path` was created and closed
    // or deleted: to change the machine between two steps of a run.
    void After(const std::string& path, std::function<void()> action) { after_[Key(path)] = std::move(action); }
    // Writes fail once this many more bytes have been written, as on a full drive.
    void LimitFreeSpace(std::size_t bytes) { freeBytes_ = bytes; }
    // Every path, as first written, sorted by key: compare two to see what changed.
    std::vector<std::string> Snapshot() const;
    // Every file deletion and folder removal asked for, in order, as given.
    std::vector<std::string> fileRemovals;
    std::vector<std::string> folderRemovals;

    std::string FinalFolderPath(const std::string& folder, platform::LinkAtFolder atFolder) override;
    std::unique_ptr<platform::WritableFile> CreateFileWithin(const std::string& path, const std::string& finalFolder) override;
    platform::Removal RemoveFileWithin(const std::string& path, const std::string& finalFolder) override;
    bool RemoveFolderWithin(const std::string& folder, const std::string& finalFolder) override;
    std::unique_ptr<platform::WritableFile> CreateNewFile(const std::string& path) override;
    Bytes ReadWholeFile(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string CreateFolder(const std::string& path, platform::FolderRights rights) override;
    bool OthersMayChange(const std::string& folder) override { return openToOthers_.count(Key(folder)) > 0; }
    std::optional<std::string> FinalFilePath(const std::string& path) override;
    std::string LongPath(const std::string& path) override;
    // The rights each folder a run made was given, by path as given.
    std::map<std::string, platform::FolderRights> madeFolders;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& pattern) override;
    std::string CurrentFolder() override { return current_; }
    bool IsLink(const std::string& path) override { return links_.count(Key(path)) > 0; }
    // Recorded, as "source -> target" and "delete path", in order.
    bool ReplaceAtRestart(const std::string& source, const std::string& target) override {
        atRestart.push_back(source + " -> " + target);
        return true;
    }
    bool DeleteAtRestartWithin(const std::string& path, const std::string& finalFolder) override;
    std::vector<std::string> atRestart;
    bool RemoveLink(const std::string& path) override;
    std::string TemporaryFolder() override { return "C:\\Users\\Admin\\Temp"; }
    std::string SystemFolder() override { return "C:\\Windows\\System32"; }

private:
    struct Node {
        std::string path;
        bool folder = false;
        Bytes content;
    };
    friend class FakeWritableFile;

    // Lower case, absolute, single backslashes, no trailing backslash but a
    // root's; a junction with a target on the way (not at the end) is followed.
    std::string Key(const std::string& path) const;
    // Where the system would say the entry at `key` lies: through a link kept in
    // place, somewhere outside every folder of the test.
    std::string FinalPath(const std::string& key) const;
    std::unique_ptr<platform::WritableFile> Create(const std::string& path, const std::string& key);
    void RunAfter(const std::string& key);
    static std::string ParentKey(const std::string& key);
    bool HasChildren(const std::string& key) const;
    const Node* Find(const std::string& path) const;

    std::map<std::string, Node> nodes_;
    std::set<std::string> running_;
    std::set<std::string> failCreate_;
    std::set<std::string> readOnly_;
    std::set<std::string> openToOthers_;
    std::map<std::string, std::string> shortNames_;  // short key -> long path
    std::set<std::string> vanish_;
    std::map<std::string, std::string> links_;  // key -> target key ("" kept in place)
    std::map<std::string, std::function<void()>> after_;
    std::size_t freeBytes_ = static_cast<std::size_t>(-1);
    std::string current_ = "C:\\";
};

}  // namespace velmoran::testing

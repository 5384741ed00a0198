#include "fake_file_system.h"

#include "common/failure.h"
#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::testing {

class FakeWritableFile : public platform::WritableFile {
public:
    FakeWritableFile(FakeFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
    ~FakeWritableFile() override {
        if (fs_.vanish_.count(key_)) fs_.nodes_.erase(key_);
        fs_.RunAfter(key_);
    }
    void Write(const uint8_t* data, std::size_t size) override {
        auto it = fs_.nodes_.find(key_);
        if (it == fs_.nodes_.end() || size > fs_.freeBytes_)
            throw Failure(Format("Cannot write file \"%s\". %s", it == fs_.nodes_.end() ? key_ : it->second.path,
                                 "There is not enough space on the disk"));
        fs_.freeBytes_ -= size;
        it->second.content.insert(it->second.content.end(), data, data + size);
    }

private:
    FakeFileSystem& fs_;
    std::string key_;
};

namespace {

// A path as it is shown: no trailing backslash, except a drive's root.
std::string Shown(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

FakeFileSystem::FakeFileSystem() {
    for (const char* root : {"C:\\", "D:\\"}) nodes_[Key(root)] = Node{root, true, {}};
}

std::string FakeFileSystem::Key(const std::string& path) const {
    std::string full = path;
    if (full.size() < 2 || full[1] != ':') {
        // Relative to the current folder, or to its drive's root.
        const std::string drive = current_.substr(0, 2);
        full = (!full.empty() && full[0] == '\\') ? drive + full : current_ + "\\" + full;
    }
    // Folded as GetFullPathName folds: "." and ".." components, doubled
    // backslashes, and trailing dots and spaces of each name.
    const std::string lower = AsciiLower(full);
    std::string key = lower.substr(0, 2) + "\\";
    std::vector<std::string> parts;
    for (std::string::size_type start = 2; start < lower.size();) {
        auto end = lower.find('\\', start);
        if (end == std::string::npos) end = lower.size();
        const std::string part = lower.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(FoldedName(part));
    }
    for (std::size_t i = 0; i < parts.size(); ++i) key += (i ? "\\" : "") + parts[i];
    for (const auto& [shortKey, longPath] : shortNames_)
        if (key == shortKey || key.rfind(shortKey + "\\", 0) == 0) key = AsciiLower(longPath) + key.substr(shortKey.size());
    for (auto end = key.find('\\', 3); end != std::string::npos; end = key.find('\\', end + 1)) {
        const auto link = links_.find(key.substr(0, end));
        if (link != links_.end() && !link->second.empty()) {
            key = link->second + key.substr(end);
            end = link->second.size();
        }
    }
    return key;
}

std::string FakeFileSystem::FinalPath(const std::string& key) const {
    for (auto end = key.find('\\', 3); end != std::string::npos; end = key.find('\\', end + 1))
        if (links_.count(key.substr(0, end))) return "x:\\elsewhere\\" + key;
    // Spelled as the entry was made, as the system reports a final path.
    const auto node = nodes_.find(key);
    if (node != nodes_.end() && AsciiLower(Shown(node->second.path)) == key) return Shown(node->second.path);
    return key;
}

void FakeFileSystem::RunAfter(const std::string& key) {
    const auto it = after_.find(key);
    if (it == after_.end()) return;
    const auto action = std::move(it->second);
    after_.erase(it);
    action();
}

void FakeFileSystem::ReplaceWithLink(const std::string& path, const std::string& target) {
    const std::string key = Key(path);
    for (auto it = nodes_.begin(); it != nodes_.end();)
        it = (it->first == key || it->first.rfind(key + "\\", 0) == 0) ? nodes_.erase(it) : std::next(it);
    nodes_[key] = Node{Shown(path), FolderExists(target), {}};
    links_[key] = Key(target);
}

std::string FakeFileSystem::ParentKey(const std::string& key) {
    if (key.size() <= 3) return std::string();
    const auto slash = key.find_last_of('\\');
    return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool FakeFileSystem::HasChildren(const std::string& key) const {
    for (const auto& [other, node] : nodes_)
        if (ParentKey(other) == key) return true;
    return false;
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::string& path) const {
    const auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

void FakeFileSystem::AddFolder(const std::string& path) {
    const std::string key = Key(path);
    if (key.empty() || nodes_.count(key)) return;
    AddFolder(ParentKey(key));
    nodes_[key] = Node{Shown(path), true, {}};
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& content) {
    const std::string key = Key(path);
    AddFolder(ParentKey(key));
    nodes_[key] = Node{path, false, Bytes(content.begin(), content.end())};
}

std::string FakeFileSystem::Content(const std::string& path) const {
    const Node* node = Find(path);
    return node && !node->folder ? std::string(node->content.begin(), node->content.end()) : std::string();
}

std::vector<std::string> FakeFileSystem::Snapshot() const {
    std::vector<std::string> paths;
    for (const auto& [key, node] : nodes_) paths.push_back(node.path + (node.folder ? " <dir>" : " " + std::to_string(node.content.size())));
    return paths;
}

std::string FakeFileSystem::FinalFolderPath(const std::string& folder, platform::LinkAtFolder atFolder) {
    std::string key = Key(folder);
    const auto link = links_.find(key);
    if (link != links_.end()) {
        if (atFolder == platform::LinkAtFolder::Refuse) throw platform::LinkRefusal(folder);
        if (!link->second.empty()) key = link->second;
    }
    const Node* node = Find(key);
    if (!node || !node->folder)
        throw Failure(Format("Cannot open folder \"%s\". %s", folder, "The system cannot find the file specified"));
    return link != links_.end() && link->second.empty() ? "x:\\elsewhere\\" + key : FinalPath(key);
}

std::unique_ptr<platform::WritableFile> FakeFileSystem::CreateFileWithin(const std::string& path,
                                                                         const std::string& finalFolder) {
    const std::string key = Key(path);
    if (!platform::FinalPathWithin(FinalPath(key), finalFolder)) throw platform::LinkRefusal(path);
    const auto existing = nodes_.find(key);
    const bool link = links_.count(key) > 0;
    if (existing != nodes_.end() && !link) {
        const auto fail = [&path](const char* reason) { return Failure(Format("Cannot create file \"%s\". %s", path, reason)); };
        if (existing->second.folder) throw fail("Access is denied");
        if (running_.count(key))
            throw platform::FileInUse(Format("Cannot create file \"%s\". %s", path,
                                             "The process cannot access the file because it is being used by another process"));
    }
    // Deleted and made new: nothing of what stood there (a planted file, a link) carries over.
    if (existing != nodes_.end()) nodes_.erase(existing);
    links_.erase(key);
    return Create(path, key);
}

platform::Removal FakeFileSystem::RemoveFileWithin(const std::string& path, const std::string& finalFolder) {
    fileRemovals.push_back(path);
    const std::string key = Key(path);
    const auto it = nodes_.find(key);
    const bool link = links_.count(key) > 0;
    if (it == nodes_.end() || (it->second.folder && !link)) return platform::Removal::NotRemoved;
    if (running_.count(key)) return platform::Removal::InUse;
    if (readOnly_.count(key) || !platform::FinalPathWithin(FinalPath(key), finalFolder)) return platform::Removal::NotRemoved;
    nodes_.erase(it);
    links_.erase(key);
    RunAfter(key);
    return platform::Removal::Removed;
}

std::optional<std::string> FakeFileSystem::FinalFilePath(const std::string& path) {
    const std::string key = Key(path);
    const auto it = nodes_.find(key);
    if (it == nodes_.end() || it->second.folder || links_.count(key)) return std::nullopt;
    return FinalPath(key);
}

void FakeFileSystem::AddShortName(const std::string& shortPath, const std::string& longPath) {
    shortNames_[Key(shortPath)] = longPath;
}

std::string FakeFileSystem::LongPath(const std::string& path) {
    for (const auto& [shortKey, longPath] : shortNames_) {
        const std::string head = AsciiLower(path.substr(0, shortKey.size()));
        if (head == shortKey && (path.size() == shortKey.size() || path[shortKey.size()] == '\\'))
            return longPath + path.substr(shortKey.size());
    }
    return path;
}

bool FakeFileSystem::DeleteAtRestartWithin(const std::string& path, const std::string& finalFolder) {
    const std::string key = Key(path);
    const auto it = nodes_.find(key);
    if (it == nodes_.end() || it->second.folder || !platform::FinalPathWithin(FinalPath(key), finalFolder)) return false;
    atRestart.push_back("delete " + path);
    return true;
}

bool FakeFileSystem::RemoveFolderWithin(const std::string& folder, const std::string& finalFolder) {
    folderRemovals.push_back(folder);
    const std::string key = Key(folder);
    const auto it = nodes_.find(key);
    if (it == nodes_.end() || !it->second.folder || key.size() <= 3 || HasChildren(key)) return false;
    if (!platform::FinalPathWithin(FinalPath(key), finalFolder, true)) return false;
    nodes_.erase(it);
    links_.erase(key);
    return true;
}

std::unique_ptr<platform::WritableFile> FakeFileSystem::Create(const std::string& path, const std::string& key) {
    const auto parent = nodes_.find(ParentKey(key));
    const auto fail = [&path](const char* reason) { return Failure(Format("Cannot create file \"%s\". %s", path, reason)); };
    if (parent == nodes_.end() || !parent->second.folder) throw fail("The system cannot find the path specified");
    if (failCreate_.count(key)) throw fail("Access is denied");
    const auto existing = nodes_.find(key);
    if (existing != nodes_.end() && existing->second.folder) throw fail("Access is denied");
    if (running_.count(key)) throw fail("The process cannot access the file because it is being used by another process");
    nodes_[key] = Node{existing == nodes_.end() ? path : existing->second.path, false, {}};
    return std::make_unique<FakeWritableFile>(*this, key);
}

std::unique_ptr<platform::WritableFile> FakeFileSystem::CreateNewFile(const std::string& path) {
    const std::string key = Key(path);
    if (nodes_.count(key) || links_.count(key)) throw Failure(Format("Cannot create file \"%s\". %s", path, "The file exists"));
    return Create(path, key);
}

Bytes FakeFileSystem::ReadWholeFile(const std::string& path) {
    const Node* node = Find(path);
    if (!node || node->folder)
        throw Failure(Format("Cannot open file \"%s\". %s", path, "The system cannot find the file specified"));
    return node->content;
}

bool FakeFileSystem::FileExists(const std::string& path) {
    const Node* node = Find(path);
    return node && !node->folder;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    const Node* node = Find(path);
    return node && node->folder;
}

std::string FakeFileSystem::CreateFolder(const std::string& path, platform::FolderRights rights) {
    const std::string key = Key(path);
    const auto parent = nodes_.find(ParentKey(key));
    if (nodes_.count(key) || failCreate_.count(key)) return "Access is denied";
    if (parent == nodes_.end() || !parent->second.folder) return "The system cannot find the path specified";
    nodes_[key] = Node{Shown(path), true, {}};
    madeFolders[path] = rights;
    if (rights == platform::FolderRights::Inherited && openToOthers_.count(parent->first)) openToOthers_.insert(key);
    return std::string();
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    fileRemovals.push_back(path);
    const std::string key = Key(path);
    const auto it = nodes_.find(key);
    if (it == nodes_.end() || it->second.folder || running_.count(key)) return false;
    nodes_.erase(it);
    RunAfter(key);
    return true;
}

bool FakeFileSystem::RemoveLink(const std::string& path) {
    const std::string key = Key(path);
    if (!links_.erase(key)) return false;
    // What lay below the link belongs to its target, which stays.
    for (auto it = nodes_.begin(); it != nodes_.end();)
        it = (it->first == key || it->first.rfind(key + "\\", 0) == 0) ? nodes_.erase(it) : std::next(it);
    return true;
}

std::vector<std::string> FakeFileSystem::ListFolder(const std::string& pattern) {
    const std::string folder = Key(FolderPart(pattern));
    std::vector<std::string> names;
    for (const auto& [key, node] : nodes_)
        if (ParentKey(key) == folder) names.push_back(FileNamePart(node.path));
    return names;
}

}  // namespace velmoran::testing

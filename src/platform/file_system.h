#pragma once
// Files and folders, as the installer and uninstaller use them.

#include <memory>
#include <string>
#include <vector>

#include "common/byte_io.h"

namespace velmoran::platform {

// A file being written; closed when released.
class WritableFile : public ByteSink {
public:
    // Throws Failure("Cannot write file \"<path>\". <system error text>") when
    // the bytes cannot be written (a full drive, a lost network share).
    void Write(const uint8_t* data, std::size_t size) override = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates the file, replacing any existing one. Throws
    // Failure("Cannot create file \"<path>\". <system error text>").
    virtual std::unique_ptr<WritableFile> CreateOrReplaceFile(const std::string& path) = 0;
    // Creates the file only when nothing (file, folder or link) is at the path
    // yet; throws as CreateOrReplaceFile otherwise.
    virtual std::unique_ptr<WritableFile> CreateNewFile(const std::string& path) = 0;
    // The whole file, read while other writers are denied. Throws
    // Failure("Cannot open file \"<path>\". <system error text>").
    virtual Bytes ReadWholeFile(const std::string& path) = 0;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // One level; false when it cannot be made (or exists already).
    virtual bool CreateFolder(const std::string& path) = 0;
    // Only an empty folder is removed.
    virtual bool RemoveFolder(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Names of the entries (files and folders of every attribute) matching a
    // pattern such as "C:\App\*.*", without "." and ".." and volume labels.
    virtual std::vector<std::string> ListFolder(const std::string& pattern) = 0;
    virtual std::string CurrentFolder() = 0;
    // True when the path itself is a reparse point (a junction or a symbolic
    // link), which is not followed to find out.
    virtual bool IsLink(const std::string& path) = 0;
    // Removes a junction or symbolic link itself, never what it points at.
    virtual bool RemoveLink(const std::string& path) = 0;
    // The user's folder for temporary files, without a trailing backslash.
    virtual std::string TemporaryFolder() = 0;
};

// The first folder on the way from `folder` (itself included) down to the
// folder that holds `path` (which lies below `folder`) that is a junction or
// symbolic link; "" when there is none. A link there could lead writes or
// deletions anywhere on the machine.
std::string FirstLinkOnWay(FileSystem& files, const std::string& folder, const std::string& path);

}  // namespace velmoran::platform

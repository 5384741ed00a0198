#pragma once
// Files and folders, as the installer and uninstaller use them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "common/failure.h"

namespace velmoran::platform {

// A file being written; closed when released.
class WritableFile : public ByteSink {
public:
    // Throws Failure("Cannot write file \"<path>\". <system error text>") when
    // the bytes cannot be written (a full drive, a lost network share).
    void Write(const uint8_t* data, std::size_t size) override = 0;
};

// A file another program holds open (or runs from), so it can be neither
// replaced nor deleted now; Windows can do either when it next starts.
class FileInUse : public Failure {
public:
    using Failure::Failure;
};

// How FinalFolderPath treats a junction or symbolic link at the folder itself.
enum class LinkAtFolder { Refuse, Follow };

// The rights a new folder gets: those its parent hands down, or those Windows
// gives a folder below Program Files (SYSTEM and Administrators full control,
// TrustedInstaller on what lies below, Users read and execute, the creator
// owner full control of what they make), protected from inheriting any other.
enum class FolderRights { Inherited, AdministratorsOnly };

// What became of a file's deletion.
enum class Removal { Removed, InUse, NotRemoved };

// The elevated installer and uninstaller write and delete only where the
// installation itself puts things. A folder of theirs is checked once for its
// final path (every junction and link on the way resolved); each file or folder
// is then opened without following a link at its own name, and acted on only
// when the final path of that open handle lies inside the folder's, so a
// junction swapped in between a check and a use changes nothing.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The final path of `folder`, as the system reports it for an open handle.
    // Throws LinkRefusal(folder) when the folder itself is a junction or link and
    // `atFolder` is Refuse, or Failure("Cannot open folder \"<path>\". <reason>").
    virtual std::string FinalFolderPath(const std::string& folder, LinkAtFolder atFolder) = 0;
    // Creates the file new: whatever file or link stands at the path is deleted
    // first (never what a link points at), so the new file carries the owner and
    // rights its folder hands down. Kept only when its final path lies below
    // `finalFolder` (a FinalFolderPath); otherwise removed again, and
    // LinkRefusal(path) thrown. Throws FileInUse when the file standing there is
    // held by a running program, else
    // Failure("Cannot create file \"<path>\". <system error text>").
    virtual std::unique_ptr<WritableFile> CreateFileWithin(const std::string& path, const std::string& finalFolder) = 0;
    // Deletes the file (or a link itself) when its final path lies below
    // `finalFolder`. InUse only when a running program holds it (a read-only
    // file, or one outside the folder, is NotRemoved).
    virtual Removal RemoveFileWithin(const std::string& path, const std::string& finalFolder) = 0;
    // Removes the empty folder when its final path is `finalFolder` or lies below it.
    virtual bool RemoveFolderWithin(const std::string& folder, const std::string& finalFolder) = 0;

    // Creates the file only when nothing (file, folder or link) is at the path
    // yet; throws Failure("Cannot create file ...") otherwise.
    virtual std::unique_ptr<WritableFile> CreateNewFile(const std::string& path) = 0;
    // The whole file, read while other writers are denied. Throws
    // Failure("Cannot open file \"<path>\". <system error text>").
    virtual Bytes ReadWholeFile(const std::string& path) = 0;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // One level. "" when made, else the system's reason (an existing entry included).
    virtual std::string CreateFolder(const std::string& path, FolderRights rights) = 0;
    // True when an account other than SYSTEM, Administrators, TrustedInstaller
    // and the one running this program may write into the folder, delete or
    // rename it, or change its rights or owner (its owner always may); also
    // when its rights cannot be read. Such a user could replace a program the
    // installation puts there, or plant a junction in it.
    virtual bool OthersMayChange(const std::string& folder) = 0;
    // The final path of the file at `path` itself, opened without following a
    // link at its name; nothing when no plain file is there (missing, a folder,
    // a junction or link).
    virtual std::optional<std::string> FinalFilePath(const std::string& path) = 0;
    // `path` with each 8.3 short name on the way written in full, as
    // GetLongPathName does; the part that does not exist stays as given.
    virtual std::string LongPath(const std::string& path) = 0;
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
    // Scheduled for when Windows next starts: `source` replaces `target` (both
    // just written by this run). False when it cannot be scheduled.
    virtual bool ReplaceAtRestart(const std::string& source, const std::string& target) = 0;
    // The file (never a link's target) is deleted when Windows next starts, by
    // its final path, which must lie below `finalFolder`. False when it is
    // missing, lies elsewhere, or the deletion cannot be scheduled.
    virtual bool DeleteAtRestartWithin(const std::string& path, const std::string& finalFolder) = 0;
    // The user's folder for temporary files, without a trailing backslash.
    virtual std::string TemporaryFolder() = 0;
    // The system folder (System32), without a trailing backslash.
    virtual std::string SystemFolder() = 0;
};

// FileSystem::FinalFolderPath, or nothing when the folder is missing, cannot be
// opened, or is a link that `atFolder` refuses.
std::optional<std::string> FinalFolderPathIfAny(FileSystem& files, const std::string& folder, LinkAtFolder atFolder);

// "<path> is a junction or symbolic link; the installation writes nothing through one."
Failure LinkRefusal(const std::string& path);

// True when `finalPath` lies below `finalFolder` (both final paths, compared
// without regard to ASCII case); with `orItself`, also when they are the same.
bool FinalPathWithin(const std::string& finalPath, const std::string& finalFolder, bool orItself = false);

// True when a restart operation on the file at `path` (which lies below
// `finalFolder`) is one no other user can redirect: Windows carries it out at
// boot by name, following whatever junction then stands on the way, so every
// folder from the file's own up to the drive's root, the root excepted, must
// be one that only administrators may change. (A root lets users make new
// folders in it, but not rename or replace those already there.)
bool RestartOperationIsSafe(FileSystem& files, const std::string& path, const std::string& finalFolder);

// The first folder on the way from `folder` (itself included) down to the
// folder that holds `path` (which lies below `folder`) that is a junction or
// symbolic link; "" when there is none. A link there could lead writes or
// deletions anywhere on the machine.
std::string FirstLinkOnWay(FileSystem& files, const std::string& folder, const std::string& path);

}  // namespace velmoran::platform

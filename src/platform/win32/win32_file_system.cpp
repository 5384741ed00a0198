#include "platform/win32/win32_file_system.h"

#include <vector>

#include "common/failure.h"
#include "common/path.h"
#include "platform/win32/folder_rights.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_error.h"

namespace velmoran::platform::win32 {
namespace {

class Win32WritableFile : public WritableFile {
public:
    Win32WritableFile(FileHandle file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}
    void Write(const uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(file_.Get(), data, chunk, &written, nullptr) || written == 0)
                throw Failure(Format("Cannot write file \"%s\". %s", path_, SystemErrorText(GetLastError())));
            data += written;
            size -= written;
        }
    }

private:
    FileHandle file_;
    std::string path_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

enum class Entry { FileOnly, FileOrFolder };

// Opens the entry itself: a junction or link at its name is not followed.
// Without backup semantics a folder cannot be opened at all, which spares a
// file's deletion the question whether it is one.
FileHandle OpenEntry(const std::string& path, DWORD access, Entry kind) {
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (kind == Entry::FileOrFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    return FileHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
}

// The path the system reached the open entry by, "\\?\" prefix removed;
// "" when it cannot tell.
std::string FinalPathOf(HANDLE entry) {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleA(entry, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::string();
        if (length < buffer.size()) break;
        buffer.resize(length + 1);
    }
    std::string path = buffer.data();
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + path.substr(7);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// The entry's attributes, 0 when they cannot be had. (The attribute query is
// far cheaper than GetFileInformationByHandle, which also asks the volume.)
DWORD AttributesOf(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO information{};
    return GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &information, sizeof information)
               ? information.FileAttributes
               : 0;
}

bool IsFolder(HANDLE entry) { return (AttributesOf(entry) & FILE_ATTRIBUTE_DIRECTORY) != 0; }

FileHandle CreateNew(const std::string& path) {
    return FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool DeleteOnClose(HANDLE entry) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

Failure CreateFailure(const std::string& path, DWORD error) {
    return Failure(Format("Cannot create file \"%s\". %s", path, SystemErrorText(error)));
}

// Held open without delete sharing, locked, or mapped as a running program's image.
bool MeansInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

// A file that cannot be deleted now because a program holds it: in use, or a
// running program's image (access denied to the deletion of a file that
// granted delete access and is not read-only).
bool MeansHeld(DWORD error, bool mayBeImage) {
    return MeansInUse(error) || (mayBeImage && error == ERROR_ACCESS_DENIED);
}

[[noreturn]] void ThrowNotReplaceable(const std::string& path, DWORD error, bool mayBeImage) {
    if (MeansHeld(error, mayBeImage)) throw FileInUse(Format("Cannot create file \"%s\". %s", path, SystemErrorText(error)));
    throw CreateFailure(path, error);
}

}  // namespace

std::string Win32FileSystem::FinalFolderPath(const std::string& folder, LinkAtFolder atFolder) {
    const FileHandle entry = atFolder == LinkAtFolder::Refuse
                                 ? OpenEntry(folder, FILE_READ_ATTRIBUTES, Entry::FileOrFolder)
                                 : FileHandle(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.Valid()) throw Failure(Format("Cannot open folder \"%s\". %s", folder, SystemErrorText(GetLastError())));
    const DWORD attributes = AttributesOf(entry.Get());
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) throw LinkRefusal(folder);
    const std::string final = FinalPathOf(entry.Get());
    if (final.empty() || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Failure(Format("Cannot open folder \"%s\". %s", folder, SystemErrorText(ERROR_DIRECTORY)));
    return final;
}

std::unique_ptr<WritableFile> Win32FileSystem::CreateFileWithin(const std::string& path, const std::string& finalFolder) {
    FileHandle file = CreateNew(path);
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        // What stands there goes first: reused in place, a planted file would
        // keep its planter as owner and the planter's rights.
        {
            const FileHandle existing = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, Entry::FileOrFolder);
            if (!existing.Valid()) {
                const DWORD openError = GetLastError();
                if (MeansInUse(openError)) ThrowNotReplaceable(path, openError, false);
                throw CreateFailure(path, error);
            }
            if (!FinalPathWithin(FinalPathOf(existing.Get()), finalFolder)) throw LinkRefusal(path);
            const DWORD attributes = AttributesOf(existing.Get());
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                throw CreateFailure(path, ERROR_ACCESS_DENIED);
            if (!DeleteOnClose(existing.Get()))
                ThrowNotReplaceable(path, GetLastError(), !(attributes & FILE_ATTRIBUTE_READONLY));
        }
        file = CreateNew(path);
        if (!file.Valid()) throw CreateFailure(path, GetLastError());
    }
    if (!FinalPathWithin(FinalPathOf(file.Get()), finalFolder)) {
        // Made through a junction swapped in on the way: the empty file goes again.
        DeleteOnClose(file.Get());
        throw LinkRefusal(path);
    }
    return std::make_unique<Win32WritableFile>(std::move(file), path);
}

Removal Win32FileSystem::RemoveFileWithin(const std::string& path, const std::string& finalFolder) {
    const FileHandle entry = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, Entry::FileOnly);
    if (!entry.Valid()) return MeansInUse(GetLastError()) ? Removal::InUse : Removal::NotRemoved;
    if (!FinalPathWithin(FinalPathOf(entry.Get()), finalFolder)) return Removal::NotRemoved;
    if (DeleteOnClose(entry.Get())) return Removal::Removed;
    const DWORD error = GetLastError();
    return MeansHeld(error, !(AttributesOf(entry.Get()) & FILE_ATTRIBUTE_READONLY)) ? Removal::InUse : Removal::NotRemoved;
}

std::optional<std::string> Win32FileSystem::FinalFilePath(const std::string& path) {
    const FileHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES, Entry::FileOnly);
    if (!entry.Valid() || (AttributesOf(entry.Get()) & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
    std::string finalPath = FinalPathOf(entry.Get());
    if (finalPath.empty()) return std::nullopt;
    return finalPath;
}

bool Win32FileSystem::OthersMayChange(const std::string& folder) { return OthersMayChangeFolder(folder); }

std::string Win32FileSystem::LongPath(const std::string& path) {
    // Short names that Windows makes always hold a tilde ("PROGRA~1").
    if (path.find('~') == std::string::npos) return path;
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) break;
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
    // Not there (yet): the folders above it may be.
    const auto slash = path.find_last_of('\\');
    if (slash == std::string::npos || slash < 3) return path;
    return LongPath(path.substr(0, slash)) + path.substr(slash);
}

// The disposition is refused for a folder that is not empty.
bool Win32FileSystem::ReplaceAtRestart(const std::string& source, const std::string& target) {
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32FileSystem::DeleteAtRestartWithin(const std::string& path, const std::string& finalFolder) {
    // Reading attributes is never refused for sharing, so a held file opens too.
    const FileHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES, Entry::FileOnly);
    if (!entry.Valid()) return false;
    const std::string finalPath = FinalPathOf(entry.Get());
    return FinalPathWithin(finalPath, finalFolder) &&
           MoveFileExA(finalPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool Win32FileSystem::RemoveFolderWithin(const std::string& folder, const std::string& finalFolder) {
    const FileHandle entry = OpenEntry(folder, DELETE | FILE_READ_ATTRIBUTES, Entry::FileOrFolder);
    return entry.Valid() && IsFolder(entry.Get()) && FinalPathWithin(FinalPathOf(entry.Get()), finalFolder, true) &&
           DeleteOnClose(entry.Get());
}

void ReadExactly(HANDLE file, Bytes& into) {
    std::size_t done = 0;
    while (done < into.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 30));
        if (!ReadFile(file, into.data() + done, want, &got, nullptr) || got == 0) {
            into.resize(done);
            throw Failure("Stream read error");
        }
        done += got;
    }
}

// CREATE_NEW fails on anything already there, a dangling link included.
std::unique_ptr<WritableFile> Win32FileSystem::CreateNewFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw CreateFailure(path, GetLastError());
    return std::make_unique<Win32WritableFile>(std::move(file), path);
}

Bytes Win32FileSystem::ReadWholeFile(const std::string& path) {
    // Others may read along, but nobody may change the file while it is read.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw Failure(Format("Cannot open file \"%s\". %s", path, SystemErrorText(GetLastError())));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) throw Failure(Format("Cannot open file \"%s\". %s", path, SystemErrorText(GetLastError())));
    Bytes content(static_cast<std::size_t>(size.QuadPart));
    ReadExactly(file.Get(), content);
    return content;
}

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32FileSystem::CreateFolder(const std::string& path, FolderRights rights) {
    if (rights == FolderRights::AdministratorsOnly) return CreateAdministratorsOnlyFolder(path);
    return CreateDirectoryA(path.c_str(), nullptr) ? std::string() : SystemErrorText(GetLastError());
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::vector<std::string> Win32FileSystem::ListFolder(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find.Valid()) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

std::string Win32FileSystem::CurrentFolder() {
    char buffer[kMaxPathBytes];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

bool Win32FileSystem::IsLink(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool Win32FileSystem::RemoveLink(const std::string& path) {
    // A link to a folder is itself a folder entry; removing it leaves the target.
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path.c_str()) != 0 : DeleteFileA(path.c_str()) != 0;
}

std::string Win32FileSystem::TemporaryFolder() {
    char buffer[kMaxPathBytes];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    return WithoutTrailingBackslashes(length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string());
}

std::string Win32FileSystem::SystemFolder() {
    char buffer[kMaxPathBytes];
    const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

}  // namespace velmoran::platform::win32

#include "platform/win32/win32_file_system.h"

#include "common/failure.h"
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

}  // namespace

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

static std::unique_ptr<WritableFile> CreateForWriting(const std::string& path, DWORD disposition) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw Failure(Format("Cannot create file \"%s\". %s", path, SystemErrorText(GetLastError())));
    return std::make_unique<Win32WritableFile>(std::move(file), path);
}

std::unique_ptr<WritableFile> Win32FileSystem::CreateOrReplaceFile(const std::string& path) {
    return CreateForWriting(path, CREATE_ALWAYS);
}

// CREATE_NEW fails on anything already there, a dangling link included.
std::unique_ptr<WritableFile> Win32FileSystem::CreateNewFile(const std::string& path) {
    return CreateForWriting(path, CREATE_NEW);
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

bool Win32FileSystem::CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool Win32FileSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

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
    char buffer[MAX_PATH + 1];
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
    char buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    std::string folder = length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace velmoran::platform::win32

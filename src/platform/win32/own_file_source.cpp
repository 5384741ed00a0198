#include "platform/win32/own_file_source.h"

#include <algorithm>

#include "common/failure.h"
#include "platform/win32/system_error.h"

namespace velmoran::platform::win32 {

namespace {

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

}  // namespace

// Started through an 8.3 name or a "\\?\" path, the program's path would not
// match the install log's lines or end in "uninstall.exe": it is taken in its
// long form, as a plain drive path where it has one.
std::string OwnProgramPath() {
    const std::string path = ModulePath();
    std::string longPath(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetLongPathNameA(path.c_str(), &longPath[0], static_cast<DWORD>(longPath.size()));
        if (length == 0) {
            longPath = path;
            break;
        }
        if (length < longPath.size()) {
            longPath.resize(length);
            break;
        }
        longPath.resize(length + 1);
    }
    const bool localDevicePath = longPath.rfind("\\\\?\\", 0) == 0 && longPath.size() > 6 && longPath[5] == ':';
    return localDevicePath ? longPath.substr(4) : longPath;
}

void OwnFileSource::Open() {
    file_ = FileHandle(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.Valid()) throw Failure(Format("Cannot open file \"%s\". %s", path_, SystemErrorText(GetLastError())));
}

void OwnFileSource::ReadAll(Bytes& into) {
    into.clear();
    if (!file_.Valid()) Open();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.Get(), &size)) throw Failure(SystemErrorText(GetLastError()));
    LARGE_INTEGER start{};
    SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN);
    into.resize(static_cast<std::size_t>(size.QuadPart));
    ReadExactly(file_.Get(), into);
}

uint64_t OwnFileSource::Size() {
    if (!file_.Valid()) Open();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.Get(), &size)) throw Failure(Format("Cannot read file \"%s\". %s", path_, SystemErrorText(GetLastError())));
    return static_cast<uint64_t>(size.QuadPart);
}

std::size_t OwnFileSource::ReadAt(uint64_t offset, uint8_t* into, std::size_t count) {
    if (!file_.Valid()) Open();
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (!ReadFile(file_.Get(), into, want, &got, &at) && GetLastError() != ERROR_HANDLE_EOF)
        throw Failure(Format("Cannot read file \"%s\". %s", path_, SystemErrorText(GetLastError())));
    return got;
}

}  // namespace velmoran::platform::win32

#include "platform/win32/own_file_source.h"

#include "common/failure.h"
#include "platform/win32/system_error.h"

namespace velmoran::platform::win32 {

std::string OwnProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
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

}  // namespace velmoran::platform::win32

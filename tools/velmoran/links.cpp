#include "links.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace velmoran::builder {
namespace fs = std::filesystem;

#ifdef _WIN32

bool IsLink(const fs::path& path, const fs::file_status&) { return IsLink(path); }

bool IsLink(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

fs::path ResolvedPath(const fs::path& path, std::error_code& error) {
    error.clear();
    HANDLE entry = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (entry == INVALID_HANDLE_VALUE) {
        error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
        return fs::path();
    }
    std::wstring final(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(entry, &final[0], static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
    const DWORD failure = GetLastError();
    CloseHandle(entry);
    if (length == 0 || length >= final.size()) {
        error = std::error_code(static_cast<int>(length == 0 ? failure : ERROR_FILENAME_EXCED_RANGE), std::system_category());
        return fs::path();
    }
    final.resize(length);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) return fs::path(L"\\\\" + final.substr(8));
    if (final.rfind(L"\\\\?\\", 0) == 0) return fs::path(final.substr(4));
    return fs::path(final);
}

#else

bool IsLink(const fs::path&, const fs::file_status& status) { return fs::is_symlink(status); }

bool IsLink(const fs::path& path) {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(path, error));
}

fs::path ResolvedPath(const fs::path& path, std::error_code& error) { return fs::canonical(path, error); }

#endif

}  // namespace velmoran::builder

#include "platform/win32/win32_running_programs.h"

#include <restartmanager.h>

#include "platform/win32/local_text.h"
#include "platform/win32/system_library.h"

namespace velmoran::platform::win32 {
namespace {

using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR[]);
using EndSession = DWORD(WINAPI*)(DWORD);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR[], UINT, RM_UNIQUE_PROCESS[], UINT, LPCWSTR[]);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO[], LPDWORD);
using Shutdown = DWORD(WINAPI*)(DWORD, ULONG, RM_WRITE_STATUS_CALLBACK);
using RestartApplications = DWORD(WINAPI*)(DWORD, DWORD, RM_WRITE_STATUS_CALLBACK);

template <typename Function>
Function Entry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::string Narrow(const WCHAR* text) {
    char buffer[CCH_RM_MAX_APP_NAME * 2 + 2] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

}  // namespace

Win32RunningPrograms::~Win32RunningPrograms() {
    if (open_) Entry<EndSession>(library_, "RmEndSession")(session_);
}

bool Win32RunningPrograms::Load() {
    if (!library_) library_ = LoadSystemLibrary("rstrtmgr.dll");
    return library_ && Entry<StartSession>(library_, "RmStartSession") && Entry<EndSession>(library_, "RmEndSession") &&
           Entry<RegisterResources>(library_, "RmRegisterResources") && Entry<GetList>(library_, "RmGetList") &&
           Entry<Shutdown>(library_, "RmShutdown") && Entry<RestartApplications>(library_, "RmRestart");
}

std::vector<std::string> Win32RunningPrograms::Holding(const std::vector<std::string>& files) {
    if (open_ || !Load()) return {};
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (Entry<StartSession>(library_, "RmStartSession")(&session_, 0, key) != ERROR_SUCCESS) return {};
    open_ = true;
    std::vector<std::vector<wchar_t>> wide;
    for (const std::string& file : files) wide.push_back(AnsiToWide(file));
    std::vector<LPCWSTR> names;
    for (const std::vector<wchar_t>& name : wide) names.push_back(name.data());
    if (Entry<RegisterResources>(library_, "RmRegisterResources")(session_, static_cast<UINT>(names.size()),
                                                                   names.data(), 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
        return {};
    // The list can grow between asking its size and reading it: asked again then.
    std::vector<RM_PROCESS_INFO> found;
    for (int attempt = 0; attempt < 3; ++attempt) {
        UINT needed = 0, count = static_cast<UINT>(found.size());
        DWORD reasons = 0;
        const DWORD result = Entry<GetList>(library_, "RmGetList")(session_, &needed, &count, found.data(), &reasons);
        if (result == ERROR_SUCCESS) {
            found.resize(count);
            std::vector<std::string> programs;
            for (const RM_PROCESS_INFO& program : found) programs.push_back(Narrow(program.strAppName));
            return programs;
        }
        if (result != ERROR_MORE_DATA) break;
        found.resize(needed);
    }
    return {};
}

bool Win32RunningPrograms::Close() {
    return open_ && Entry<Shutdown>(library_, "RmShutdown")(session_, 0, nullptr) == ERROR_SUCCESS;
}

void Win32RunningPrograms::Restart() {
    if (open_) Entry<RestartApplications>(library_, "RmRestart")(session_, 0, nullptr);
}

}  // namespace velmoran::platform::win32

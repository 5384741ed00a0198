#pragma once

#include <string>
#include <vector>

#include "platform/running_programs.h"
#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

// The Restart Manager (rstrtmgr.dll, loaded from the system folder when first
// needed); without it, no program is found. One session lives from Holding
// to the end of this object.
class Win32RunningPrograms : public RunningPrograms {
public:
    Win32RunningPrograms() = default;
    ~Win32RunningPrograms() override;
    Win32RunningPrograms(const Win32RunningPrograms&) = delete;
    Win32RunningPrograms& operator=(const Win32RunningPrograms&) = delete;

    std::vector<std::string> Holding(const std::vector<std::string>& files) override;
    bool Close() override;
    void Restart() override;

private:
    bool Load();

    HMODULE library_ = nullptr;
    DWORD session_ = 0;
    bool open_ = false;
};

}  // namespace velmoran::platform::win32

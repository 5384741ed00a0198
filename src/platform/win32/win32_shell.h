#pragma once

#include <functional>

#include "platform/shell.h"
#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

// Needs the component object system initialised on this thread (ComApartment).
class Win32Shell : public Shell {
public:
    // The window that owns what ShellExecute shows, asked at each launch (the
    // wizard window exists only once the message loop runs).
    void SetOwner(std::function<HWND()> owner) { owner_ = std::move(owner); }

    Bytes ShortcutContent(const std::string& description, const std::string& target) override;
    bool Launch(const std::string& file, const std::string& parameters, ShowCommand show,
                const std::string& workingFolder) override;
    // Through the desktop's shell (Explorer) when there is one.
    void SetChildEnvironment(const std::string& name, const std::string& value) override;
    bool LaunchAsSignedInUser(const std::string& file) override;
    bool RunsAsSystem() override;
    // A named mutex in the global namespace, so runs in other sessions count too.
    bool ClaimSingleRun(const std::string& appName) override;
    void NotifyAssociationsChanged() override;
    void BroadcastEnvironmentChange() override;

    Win32Shell() = default;
    ~Win32Shell() override;
    Win32Shell(const Win32Shell&) = delete;
    Win32Shell& operator=(const Win32Shell&) = delete;

private:
    std::function<HWND()> owner_;
    HANDLE claim_ = nullptr;
};

// Initialises the component object system for a single-threaded apartment and
// releases it at the end of its scope, if initialising succeeded.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace velmoran::platform::win32

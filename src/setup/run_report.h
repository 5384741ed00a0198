#pragma once
// What an installation or uninstall run tells whoever started it: the wizard,
// an unattended session, the setup log. The runs know nothing of windows.

#include <string>

namespace velmoran::setup {

enum class Notice {
    Warning,
    Error,
    Abort,  // an error that ends the run, and the program with it
};

class RunReport {
public:
    virtual ~RunReport() = default;

    // The run's work begins: `total` units (bytes, or log lines) to go.
    virtual void StartProgress(long long total) = 0;
    virtual void Advance(long long amount) = 0;
    // Called at least every 100 ms of long work, so a window stays responsive.
    virtual void KeepResponsive() = 0;
    // A yes/no question; an unattended run takes the default answer, yes.
    virtual bool Ask(const std::string& question) = 0;
    // A message the user would see in a box: a warning, or the error that ends the run.
    virtual void Tell(Notice kind, const std::string& message) = 0;
    // What the run is doing now.
    virtual void Status(const std::string& text) = 0;
    // One step done (a file written or removed, a shortcut, a registry value),
    // for the setup log; nobody else needs to hear of it.
    virtual void Record(const std::string& step) { (void)step; }
};

}  // namespace velmoran::setup

#pragma once
// What the handlers of the window unit ask of the window: pages, labels,
// gauges, pictures, texts, the folder controls, message boxes, the message pump
// and termination. The real window implements it; tests use a fake.

#include <string>

#include "common/byte_io.h"

namespace velmoran::ui {

enum class Page { Intro, License, Folder, Installing, Installed, Uninstall, Uninstalled };

enum class Label { Title, Welcome, InstallTo, InstallingFile, Completion, Uninstall, Uninstall2, Traces };

enum class Gauge { Progress, Uninstall };

enum class RichBox { About, License };

enum class MessageKind { Warning, Error, Information, Confirm };

enum class MessageButtons { YesNo, Ok, Abort };

enum class MessageResult { Yes, No, Ok, Abort, Cancel };

class View {
public:
    virtual ~View() = default;

    virtual void ShowPage(Page page) = 0;
    virtual void SetLabel(Label label, const std::string& text) = 0;
    virtual std::string LabelText(Label label) = 0;

    // Minimum 0. A negative maximum throws Failure("Value must be between 1 and 2147483647").
    virtual void SetGaugeMax(Gauge gauge, int maximum) = 0;
    // Clamped to [0, maximum]; the gauge repaints only when its percentage changes.
    virtual void SetGaugeProgress(Gauge gauge, long long progress) = 0;
    virtual long long GaugeProgress(Gauge gauge) = 0;
    // Paints the gauge now, without waiting for the message loop.
    virtual void RepaintGauge(Gauge gauge) = 0;

    // Decode a JPEG; throw Failure when it cannot be decoded.
    virtual void SetSplash(const Bytes& jpeg) = 0;
    virtual void SetIcon(const Bytes& jpeg) = 0;
    // As RTF, else as plain text, else Failure("Failed to Load Stream").
    virtual void LoadRichText(RichBox box, const Bytes& text) = 0;

    // Points the directory list at a folder, which also becomes the process's
    // current folder; throws Failure when it cannot. The list's change event
    // follows (the handler decides whether it matters).
    virtual void PointDirectoryList(const std::string& folder) = 0;
    virtual std::string DirectoryListFolder() = 0;
    // Setting the same text again is no change; a change runs edtFolderChange.
    virtual void SetFolderName(const std::string& name) = 0;
    virtual std::string FolderName() = 0;
    virtual void ShowChoosePanel() = 0;
    virtual bool ChoosePanelVisible() = 0;

    virtual bool RunProgramChecked() = 0;
    // The folder page's "Create a desktop shortcut" check box, hidden until shown.
    virtual void ShowDesktopShortcutChoice() = 0;
    virtual bool DesktopShortcutChecked() = 0;
    virtual void EnableUninstallExit(bool enabled) = 0;

    // A modal box titled after its kind, centred on the screen.
    virtual MessageResult ShowMessage(MessageKind kind, const std::string& text, MessageButtons buttons) = 0;
    // The window system's default failure handler: a box titled "Installer".
    virtual void ShowFailure(const std::string& message) = 0;

    // Dispatches every pending window message.
    virtual void ProcessMessages() = 0;
    // Ends the message loop once control returns to it.
    virtual void Terminate() = 0;
};

// The default failure handler's text: a full stop is added when the message is
// not empty and its last byte sorts after the full stop.
std::string FailureBoxText(const std::string& message);

}  // namespace velmoran::ui

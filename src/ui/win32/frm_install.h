#pragma once
// The real wizard window, class TfrmInstall: creates the controls from the
// layout table, turns their messages into the events of the wizard's
// controller, and implements the View the handlers talk to.

#include <string>
#include <vector>

#include "ui/dpi_scale.h"
#include "ui/view.h"
#include "ui/wizard_events.h"
#include "ui/win32/directory_controls.h"
#include "ui/win32/gdi.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window.h"

namespace velmoran::ui::win32 {

// The wizard window: the View the handlers talk to, made of the controls the
// layout table lists.
class TfrmInstall : public Window, public View, private KeyFilter {
public:
    // `application` owns the window (its task-bar button).
    TfrmInstall(HINSTANCE instance, HWND application);
    ~TfrmInstall() override;
    TfrmInstall(const TfrmInstall&) = delete;
    TfrmInstall& operator=(const TfrmInstall&) = delete;

    // Creates the window, runs start-up, shows it and runs the message loop
    // until the application is told to terminate; false when the window cannot
    // be made (no desktop to show it on).
    // Events go to `events` from Run on.
    void Connect(WizardEvents& events) { events_ = &events; }
    bool Run();
    void CloseRequest();

    void ShowPage(Page page) override;
    void SetLabel(Label label, const std::string& text) override;
    std::string LabelText(Label label) override;
    void SetGaugeMax(Gauge gauge, int maximum) override;
    void SetGaugeProgress(Gauge gauge, long long progress) override;
    long long GaugeProgress(Gauge gauge) override;
    void RepaintGauge(Gauge gauge) override;
    void SetSplash(const Bytes& jpeg) override;
    void SetIcon(const Bytes& jpeg) override;
    void LoadRichText(RichBox box, const Bytes& text) override;
    void PointDirectoryList(const std::string& folder) override;
    std::string DirectoryListFolder() override;
    void SetFolderName(const std::string& name) override;
    std::string FolderName() override;
    void ShowChoosePanel() override;
    bool ChoosePanelVisible() override;
    bool RunProgramChecked() override;
    void ShowDesktopShortcutChoice() override;
    bool DesktopShortcutChecked() override;
    void EnableUninstallExit(bool enabled) override;
    MessageResult ShowMessage(MessageKind kind, const std::string& text, MessageButtons buttons) override;
    void ShowFailure(const std::string& message) override;
    void ProcessMessages() override;
    void Terminate() override;

private:
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;
    bool OnCommand(int id, int code) override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnClose() override;
    void OnFailure(const std::exception& failure) override;
    bool TakeKey(const MSG& message) override;
    void Press(int button);
    void FocusPage();
    void ShowFocusCues();
    void CreateControls();
    void MakeScaledResources();
    void SetPanelLooks();
    void ChangeDpi(int dpi, const RECT& suggested);
    // A rectangle of the layout at the window's scale.
    RECT Place(int x, int y, int width, int height) const;
    void AddToolTip(HWND button, const char* hint);
    void OnFolderTextChanged();
    void Guarded(void (TfrmInstall::*action)());
    void Raise(WizardEvent event);
    void OpenSelectedFolder();
    void ChooseDrive();
    HWND Control(int id) const;

    HINSTANCE instance_;
    HWND application_;
    HWND toolTips_ = nullptr;
    WizardEvents* events_ = nullptr;
    Font font_, boldFont_;
    Bitmap glyphs_[kGlyphCount];
    Bitmap greyedGlyphs_[kGlyphCount];  // for disabled buttons
    std::vector<HWND> controls_;
    std::vector<int> glyphOfControl_;
    DirectoryControls directory_;
    std::string folderText_;
    MessagePump pump_;
    Page page_ = Page::Intro;
    int dpi_ = kDesignDpi;
    HWND lastFocus_ = nullptr;  // restored when the window is activated again
    bool focusCues_ = false;    // once the keyboard is used, as Windows shows them
};

}  // namespace velmoran::ui::win32

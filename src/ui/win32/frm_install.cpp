#include "ui/win32/frm_install.h"

#include <commctrl.h>

#include <exception>
#include <iterator>

#include "common/failure.h"
#include "platform/win32/system_library.h"
#include "ui/win32/control_factory.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/layout.h"
#include "ui/win32/message_box.h"
#include "ui/win32/rich_text.h"
#include "ui/win32/window_class.h"

namespace velmoran::ui::win32 {
namespace {

// The scale of a monitor (Windows 8.1 and later), else the system's.
int MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = reinterpret_cast<GetDpiForMonitorFunction>(reinterpret_cast<void*>(
        GetProcAddress(platform::win32::LoadSystemLibrary("shcore.dll"), "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0) return static_cast<int>(y);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int LabelId(Label label) {
    switch (label) {
        case Label::Title: return idLabTitle;
        case Label::Welcome: return idLabWelcome;
        case Label::InstallTo: return idLabInstallTo;
        case Label::InstallingFile: return idLabInstallingFile;
        case Label::Completion: return idLabel7;
        case Label::Uninstall: return idLabUninstall;
        case Label::Uninstall2: return idLabUninstall2;
        case Label::Traces: break;
    }
    return idLabTraces;
}

// The pages' controls follow each other in the order of Page.
static_assert(idTabUninstalled - idTabIntro == static_cast<int>(Page::Uninstalled), "a page control for each page");
int PageId(Page page) { return idTabIntro + static_cast<int>(page); }

int GaugeId(Gauge gauge) { return gauge == Gauge::Progress ? idMtrProgress : idMtrUninstall; }

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The rich-edit and common-control libraries, from the system folder only.
void LoadControlLibraries() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    platform::win32::LoadSystemLibrary("riched20.dll");
    if (HMODULE common = platform::win32::LoadSystemLibrary("comctl32.dll")) {
        using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        const auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(common, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        if (init) init(&controls);
    }
}

}  // namespace

TfrmInstall::TfrmInstall(HINSTANCE instance, HWND application) : instance_(instance), application_(application) {}

// MS Sans Serif at 8 points: a character height of 11 pixels at 96 DPI; the
// glyphs drawn for the scale.
void TfrmInstall::MakeScaledResources() {
    const auto font = [this](int weight) {
        return Font(CreateFontA(-Scaled(11, dpi_), 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    };
    font_ = font(FW_NORMAL);
    boldFont_ = font(FW_BOLD);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        glyphs_[glyph] = MakeGlyph(static_cast<Glyph>(glyph), false, Scaled(kGlyphSize, dpi_));
        greyedGlyphs_[glyph] = MakeGlyph(static_cast<Glyph>(glyph), true, Scaled(kGlyphSize, dpi_));
    }
}

RECT TfrmInstall::Place(int x, int y, int width, int height) const {
    const ScaledRect r = ScaledRectangle(x, y, width, height, dpi_);
    return {r.left, r.top, r.right, r.bottom};
}

TfrmInstall::~TfrmInstall() {
    if (Handle()) DestroyWindow(Handle());
}

bool TfrmInstall::Run() {
    LoadControlLibraries();
    RegisterControlClasses(instance_);
    RegisterWindowClass(instance_, kFormClass, &Window::Procedure, ClassIcon::Program);

    const POINT centre{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    dpi_ = MonitorDpi(MonitorFromPoint(centre, MONITOR_DEFAULTTOPRIMARY));
    MakeScaledResources();
    const int width = Scaled(kFormWidth, dpi_), height = Scaled(kFormHeight, dpi_);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!Create(WS_EX_CONTROLPARENT, kFormClass, "Velmoran Installation System", WS_POPUP | WS_CLIPCHILDREN,
                {x, y, x + width, y + height}, application_, instance_))
        return false;
    CreateControls();

    Raise(WizardEvent::FormCreate);
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    pump_.SetKeyFilter(this);
    FocusPage();
    if (events_) events_->Shown();

    pump_.Run();
    return true;
}

HWND TfrmInstall::Control(int id) const {
    const std::size_t index = static_cast<std::size_t>(id - idPanel1);
    return index < controls_.size() ? controls_[index] : nullptr;
}

void TfrmInstall::CreateControls() {
    controls_.assign(idControlsEnd - idPanel1, nullptr);
    glyphOfControl_.assign(controls_.size(), -1);
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        HWND parent = entry.parent == 0 ? Handle() : Control(entry.parent);
        HWND control = CreateControl(entry, Place(entry.x, entry.y, entry.width, entry.height), parent, instance_,
                                     {font_.Get(), boldFont_.Get()});
        if (entry.hint) AddToolTip(control, entry.hint);
        controls_[static_cast<std::size_t>(entry.id - idPanel1)] = control;
        if (entry.kind == Kind::SpeedButton) glyphOfControl_[static_cast<std::size_t>(entry.id - idPanel1)] = entry.glyph;
    }
    SetPanelLooks();
    directory_.Attach(Control(idDriveComboBox1), Control(idDirectoryListBox1));
    directory_.FillDrives();
    directory_.ShowCurrentFolder();  // as a new list does, until start-up points it elsewhere
    win32::SetGaugeProgress(Control(idGauge1), 100);  // Gauge1 stays full
}

// Every container gets its bevels; panIcon its black face and lowered frame.
void TfrmInstall::SetPanelLooks() {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        if (entry.kind != Kind::Panel && entry.kind != Kind::Page) continue;
        PanelLook look;
        look.background = (entry.flags & kBlack) ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNFACE);
        look.lowered = (entry.flags & kLoweredFrame) != 0;
        for (int b = 0; b < kBevelCount; ++b) {
            const BevelSpecRow& row = kBevels[b];
            if (row.parent == entry.id)
                look.bevels.push_back({Place(row.x, row.y, row.width, row.height), row.raised});
        }
        SetPanelLook(Control(entry.id), std::move(look));
    }
}

// The window moved to a monitor of another scale: everything laid out anew for
// it, at the place the system suggests.
void TfrmInstall::ChangeDpi(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    MakeScaledResources();
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        const RECT place = Place(entry.x, entry.y, entry.width, entry.height);
        HWND control = Control(entry.id);
        SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>((entry.flags & kBold) ? boldFont_.Get() : font_.Get()), TRUE);
    }
    SetPanelLooks();
    SetPictureStretch(Control(idImgIcon), dpi_ != kDesignDpi);  // as SetIcon chooses
    SendMessageA(Control(idDirectoryListBox1), LB_SETITEMHEIGHT, 0, Scaled(16, dpi_));
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TfrmInstall::AddToolTip(HWND button, const char* hint) {
    if (!toolTips_) {
        toolTips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance_, nullptr);
        if (!toolTips_) return;
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TfrmInstall::OnFailure(const std::exception& failure) { ShowFailure(FailureBoxText(failure.what())); }

LRESULT TfrmInstall::OnMessage(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (item.CtlID == idDirectoryListBox1) {
                directory_.DrawRow(item, dpi_);
            } else {
                const std::size_t index = item.CtlID - idPanel1;
                if (index < glyphOfControl_.size() && glyphOfControl_[index] >= 0)
                    DrawSpeedButton(item, glyphs_[glyphOfControl_[index]].Get(),
                                    greyedGlyphs_[glyphOfControl_[index]].Get(), focusCues_);
            }
            return TRUE;
        }
        case WM_ACTIVATE:
            if (LOWORD(w) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            FocusPage();
            return 0;
        case WM_SYSCOMMAND:
            // Alt+F4 is the page's way out, with its question; a running installation goes on to its end.
            if ((w & 0xFFF0) == SC_CLOSE) {
                Press(kPageKeys[static_cast<int>(page_)].escape);
                return 0;
            }
            break;
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = static_cast<UINT>(Scaled(16, dpi_));
            return TRUE;
        case WM_DPICHANGED:
            ChangeDpi(HIWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        case WM_VKEYTOITEM:
            if (LOWORD(w) == VK_RETURN) {
                Guarded(&TfrmInstall::OpenSelectedFolder);
                return -2;
            }
            return -1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(w);
            SetBkMode(dc, TRANSPARENT);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    return Window::OnMessage(message, w, l);
}

bool TfrmInstall::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

bool TfrmInstall::OnPaint() {
    PaintScope paint(Handle());
    for (int b = 0; b < kBevelCount; ++b) {
        const BevelSpecRow& row = kBevels[b];
        if (row.parent == 0) DrawBevel(paint.Get(), Place(row.x, row.y, row.width, row.height), row.raised);
    }
    return true;
}

bool TfrmInstall::OnClose() {
    CloseRequest();
    return true;
}

void TfrmInstall::CloseRequest() { Raise(WizardEvent::CloseRequest); }

void TfrmInstall::Raise(WizardEvent event) {
    if (events_) events_->Raise(event);
}

bool TfrmInstall::OnCommand(int id, int code) {
    struct ClickRoute {
        int id;
        WizardEvent event;
    };
    static const ClickRoute kClicks[] = {
        {idBtnShowLicense, WizardEvent::ShowLicenseClick}, {idBtnAccept, WizardEvent::AcceptClick},
        {idBtnExit, WizardEvent::ExitClick}, {idBtnExit2, WizardEvent::ExitClick},
        {idBtnExit3, WizardEvent::ExitClick}, {idBtnExit4, WizardEvent::ExitClick},
        {idBtnChoose, WizardEvent::ChooseClick}, {idBtnGoInstall, WizardEvent::GoInstallClick},
        {idBtnComplete, WizardEvent::CompleteClick}, {idBtnUninstall, WizardEvent::UninstallClick},
        {idBtnCancel, WizardEvent::CancelClick}, {idBtnUninstallExit, WizardEvent::UninstallExitClick},
    };
    if (code == BN_CLICKED) {
        for (const ClickRoute& route : kClicks) {
            if (route.id == id) {
                Raise(route.event);
                return true;
            }
        }
    }
    if (id == idEdtFolder && code == EN_CHANGE) OnFolderTextChanged();
    if (id == idDirectoryListBox1 && code == LBN_DBLCLK) Guarded(&TfrmInstall::OpenSelectedFolder);
    if (id == idDriveComboBox1 && code == CBN_SELCHANGE) Guarded(&TfrmInstall::ChooseDrive);
    return true;
}

void TfrmInstall::OnFolderTextChanged() {
    const std::string text = WindowText(Control(idEdtFolder));
    if (text == folderText_) return;
    folderText_ = text;
    Raise(WizardEvent::FolderChange);
}

// Runs a folder-control action; its failure goes to the default handler.
void TfrmInstall::Guarded(void (TfrmInstall::*action)()) {
    try {
        (this->*action)();
    } catch (const std::exception& failure) {
        ShowFailure(FailureBoxText(failure.what()));
    }
}

void TfrmInstall::OpenSelectedFolder() {
    if (directory_.OpenSelected()) Raise(WizardEvent::DirectoryChange);
}

void TfrmInstall::ChooseDrive() {
    if (directory_.ChooseDrive()) Raise(WizardEvent::DirectoryChange);
}

void TfrmInstall::ShowPage(Page page) {
    for (int id = idTabIntro; id <= idTabUninstalled; ++id)
        ShowWindow(Control(id), id == PageId(page) ? SW_SHOW : SW_HIDE);
    page_ = page;
    lastFocus_ = nullptr;
    // Another window the user works in keeps the focus; ours waits for the activation.
    if (GetActiveWindow() == Handle()) FocusPage();
}

// The control that had the focus, else the page's action button (its way out
// where it has none).
void TfrmInstall::FocusPage() {
    HWND target = lastFocus_;
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        const PageKeys& keys = kPageKeys[static_cast<int>(page_)];
        target = Control(keys.enter ? keys.enter : keys.escape);
    }
    if (target) SetFocus(target);
}

void TfrmInstall::ShowFocusCues() {
    if (focusCues_) return;
    focusCues_ = true;
    if (HWND focus = GetFocus()) InvalidateRect(focus, nullptr, FALSE);
}

static bool IsPushButton(int id) {
    for (int i = 0; i < kControlCount; ++i)
        if (kControls[i].id == id) return kControls[i].kind == Kind::SpeedButton || kControls[i].kind == Kind::FlatButton;
    return false;
}

// Tab and Shift+Tab move through the visible page's controls in the table's
// order; Enter presses the focused button, elsewhere the page's action button
// (in the folder list it opens the folder), Esc the page's way out. An open
// drop-down list takes both itself.
bool TfrmInstall::TakeKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))) return false;
    const WPARAM key = message.wParam;
    if (key == VK_TAB) {
        ShowFocusCues();
        HWND focus = GetFocus();
        if (focus && !IsChild(Handle(), focus)) focus = nullptr;
        if (HWND next = GetNextDlgTabItem(Handle(), focus, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
        return true;
    }
    if (key != VK_RETURN && key != VK_ESCAPE) {
        if (key == VK_SPACE || (key >= VK_LEFT && key <= VK_DOWN)) ShowFocusCues();
        return false;
    }
    if (key == VK_RETURN && message.hwnd == Control(idDirectoryListBox1)) return false;
    if (SendMessageA(Control(idDriveComboBox1), CB_GETDROPPEDSTATE, 0, 0)) return false;
    ShowFocusCues();
    const PageKeys& keys = kPageKeys[static_cast<int>(page_)];
    // A button the user moved to is the one Enter presses, as in any dialog: an
    // Enter meant for Cancel must not uninstall.
    const int focused = GetDlgCtrlID(GetFocus());
    const bool onButton = IsPushButton(focused);
    Press(key == VK_ESCAPE ? keys.escape : onButton ? focused : keys.enter);
    return true;
}

// As a click does, and only where a click could.
void TfrmInstall::Press(int button) {
    HWND control = button ? Control(button) : nullptr;
    if (control && IsWindowVisible(control) && IsWindowEnabled(control)) OnCommand(button, BN_CLICKED);
}

// A screen reader follows a label that changes as the run goes (the file being
// installed, the uninstall's result) through its name-change event.
void TfrmInstall::SetLabel(Label label, const std::string& text) {
    HWND control = Control(LabelId(label));
    SetWindowTextA(control, text.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_WINDOW, CHILDID_SELF);
    // The pictures are the application's: its name is theirs.
    if (label == Label::Title)
        for (int picture : {idImgSplash, idImgIcon}) SetWindowTextA(Control(picture), text.c_str());
}

std::string TfrmInstall::LabelText(Label label) { return WindowText(Control(LabelId(label))); }

void TfrmInstall::SetGaugeMax(Gauge gauge, int maximum) { win32::SetGaugeMax(Control(GaugeId(gauge)), maximum); }

void TfrmInstall::SetGaugeProgress(Gauge gauge, long long progress) {
    win32::SetGaugeProgress(Control(GaugeId(gauge)), progress);
}

long long TfrmInstall::GaugeProgress(Gauge gauge) { return GaugeOf(Control(GaugeId(gauge))).Progress(); }

void TfrmInstall::RepaintGauge(Gauge gauge) { UpdateWindow(Control(GaugeId(gauge))); }

namespace {

SIZE ClientSize(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

}  // namespace

void TfrmInstall::SetSplash(const Bytes& jpeg) {
    SIZE size{};
    Bitmap bitmap = DecodeJpeg(jpeg, ClientSize(Control(idImgSplash)), size);
    SetPicture(Control(idImgSplash), std::move(bitmap), size, true);
}

void TfrmInstall::SetIcon(const Bytes& jpeg) {
    SIZE size{};
    Bitmap bitmap = DecodeJpeg(jpeg, ClientSize(Control(idImgIcon)), size);
    // Drawn as it is at 96 DPI; scaled to the window's scale elsewhere.
    SetPicture(Control(idImgIcon), std::move(bitmap), size, dpi_ != kDesignDpi);
}

void TfrmInstall::LoadRichText(RichBox box, const Bytes& text) {
    win32::LoadRichText(Control(box == RichBox::About ? idRichAbout : idRichLicense), text);
}

void TfrmInstall::PointDirectoryList(const std::string& folder) {
    if (directory_.SetDirectory(folder)) Raise(WizardEvent::DirectoryChange);
}

std::string TfrmInstall::DirectoryListFolder() { return directory_.Directory(); }

void TfrmInstall::SetFolderName(const std::string& name) {
    if (name == WindowText(Control(idEdtFolder))) return;
    SetWindowTextA(Control(idEdtFolder), name.c_str());
    OnFolderTextChanged();
}

std::string TfrmInstall::FolderName() { return WindowText(Control(idEdtFolder)); }

// The panel covers the Choose button for the rest of the run.
void TfrmInstall::ShowChoosePanel() {
    SetWindowPos(Control(idPanChoose), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

bool TfrmInstall::ChoosePanelVisible() { return IsWindowVisible(Control(idPanChoose)) != 0; }

bool TfrmInstall::RunProgramChecked() {
    return SendMessageA(Control(idChkRunProgram), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmInstall::ShowDesktopShortcutChoice() { ShowWindow(Control(idChkDesktopShortcut), SW_SHOWNA); }

bool TfrmInstall::DesktopShortcutChecked() {
    return SendMessageA(Control(idChkDesktopShortcut), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmInstall::EnableUninstallExit(bool enabled) {
    EnableWindow(Control(idBtnUninstallExit), enabled);
    // The page's only button could not take the focus while the uninstall ran.
    if (enabled && GetActiveWindow() == Handle()) FocusPage();
}

MessageResult TfrmInstall::ShowMessage(MessageKind kind, const std::string& text, MessageButtons buttons) {
    // After the application was told to terminate, a box closes at once.
    if (pump_.Ended()) return MessageResult::Cancel;
    static const char* const kTitles[] = {"Warning", "Error", "Information", "Confirm"};
    static const BoxIcon kIcons[] = {BoxIcon::Warning, BoxIcon::Error, BoxIcon::Information, BoxIcon::Question};
    static_assert(std::size(kTitles) == static_cast<std::size_t>(MessageKind::Confirm) + 1 &&
                      std::size(kIcons) == std::size(kTitles),
                  "a title and an icon for each kind of message, in the order of MessageKind");
    const int index = static_cast<int>(kind);
    return ShowMessageBox(Handle(), font_.Get(), dpi_, kTitles[index], kIcons[index], text, buttons);
}

void TfrmInstall::ShowFailure(const std::string& message) {
    if (pump_.Ended()) return;
    ShowMessageBox(Handle(), font_.Get(), dpi_, "Installer", BoxIcon::Error, message, MessageButtons::Ok);
}

void TfrmInstall::ProcessMessages() { pump_.KeepResponsive(); }

void TfrmInstall::Terminate() { pump_.Quit(); }

}  // namespace velmoran::ui::win32

#include "ui/win32/frm_install.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <exception>

#include "common/failure.h"
#include "common/utf8.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/system_library.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/label.h"
#include "ui/win32/layout.h"
#include "ui/win32/message_box.h"
#include "common/stub_resource_ids.h"

namespace velmoran::ui::win32 {
namespace {

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

int PageId(Page page) { return idTabIntro + static_cast<int>(page); }

int GaugeId(Gauge gauge) { return gauge == Gauge::Progress ? idMtrProgress : idMtrUninstall; }

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Feeds a rich-edit box from memory.
struct StreamSource {
    const Bytes* bytes;
    std::size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t left = source->bytes->size() - source->offset;
    const std::size_t count = left < static_cast<std::size_t>(want) ? left : static_cast<std::size_t>(want);
    for (std::size_t i = 0; i < count; ++i) buffer[i] = (*source->bytes)[source->offset + i];
    source->offset += count;
    *got = static_cast<LONG>(count);
    return 0;
}

bool StreamIn(HWND box, const Bytes& text, WPARAM format) {
    StreamSource source{&text, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadStream;
    SendMessageA(box, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) return false;
    // A document that is RTF stands as it loaded, even with no characters in it;
    // other text read as RTF comes out empty and is shown as plain text instead.
    static const char kRtfStart[] = "{\\rtf";
    const bool isRtf = text.size() >= 5 && std::equal(kRtfStart, kRtfStart + 5, text.begin());
    return isRtf || text.empty() || GetWindowTextLengthA(box) > 0;
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

TfrmInstall::TfrmInstall(HINSTANCE instance, HWND application, platform::Platform& platform, ByteSource& ownFile,
                         std::string programPath, const setup::RunOptions& options, setup::SetupLog* log)
    : instance_(instance),
      application_(application),
      install_(*this, platform, ownFile, std::move(programPath), options, log),
      withoutQuestions_(options.quietness == setup::Quietness::Silent) {
    // MS Sans Serif at 8 points: a character height of 11 pixels, never scaled.
    font_ = Font(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    boldFont_ = Font(CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        glyphs_[glyph] = MakeGlyph(static_cast<Glyph>(glyph));
        greyedGlyphs_[glyph] = MakeGlyph(static_cast<Glyph>(glyph), true);
    }
}

TfrmInstall::~TfrmInstall() {
    if (window_) DestroyWindow(window_);
}

bool TfrmInstall::Run() {
    LoadControlLibraries();
    RegisterControlClasses(instance_);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(VELMORAN_ICON_GROUP));
    windowClass.lpszClassName = kFormClass;
    RegisterClassA(&windowClass);

    const int x = (GetSystemMetrics(SM_CXSCREEN) - kFormWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kFormHeight) / 2;
    if (!CreateWindowExA(WS_EX_CONTROLPARENT, kFormClass, "Velmoran Installation System", WS_POPUP | WS_CLIPCHILDREN, x,
                         y, kFormWidth, kFormHeight, application_, nullptr, instance_, this))
        return false;
    CreateControls();

    install_.Handle(&Install::FormCreate);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetFocus(Control(idPanIcon));
    if (withoutQuestions_) install_.RunWithoutQuestions();

    MSG message;
    while (!terminated_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

HWND TfrmInstall::Control(int id) const {
    const std::size_t index = static_cast<std::size_t>(id - idPanel1);
    return index < controls_.size() ? controls_[index] : nullptr;
}

void TfrmInstall::CreateControls() {
    controls_.assign(idBtnUninstallExit - idPanel1 + 1, nullptr);
    glyphOfControl_.assign(controls_.size(), -1);
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        controls_[static_cast<std::size_t>(entry.id - idPanel1)] = CreateControl(entry);
        if (entry.kind == Kind::SpeedButton) glyphOfControl_[static_cast<std::size_t>(entry.id - idPanel1)] = entry.glyph;
    }
    // Every container gets its bevels; panIcon its black face and lowered frame.
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        if (entry.kind != Kind::Panel && entry.kind != Kind::Page) continue;
        PanelLook look;
        look.background = (entry.flags & kBlack) ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNFACE);
        look.lowered = (entry.flags & kLoweredFrame) != 0;
        for (int b = 0; b < kBevelCount; ++b) {
            const BevelSpecRow& row = kBevels[b];
            if (row.parent == entry.id)
                look.bevels.push_back({{row.x, row.y, row.x + row.width, row.y + row.height}, row.raised});
        }
        SetPanelLook(Control(entry.id), std::move(look));
    }
    directory_.Attach(Control(idDriveComboBox1), Control(idDirectoryListBox1));
    directory_.FillDrives();
    directory_.ShowCurrentFolder();  // as a new list does, until start-up points it elsewhere
    win32::SetGaugeProgress(Control(idGauge1), 100);  // Gauge1 stays full
}

HWND TfrmInstall::CreateControl(const ControlSpec& entry) {
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ((entry.flags & kHidden) ? 0 : WS_VISIBLE) |
                  ((entry.flags & kDisabled) ? WS_DISABLED : 0);
    DWORD extended = 0;
    LPVOID parameter = nullptr;
    switch (entry.kind) {
        case Kind::Panel:
        case Kind::Page:
            windowClass = kPanelClass;
            extended = WS_EX_CONTROLPARENT;
            break;
        case Kind::Picture:
            windowClass = kPictureClass;
            parameter = reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(
                (entry.flags & kBlack) ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNFACE)));
            break;
        case Kind::Label:
            style |= SS_NOPREFIX | ((entry.flags & kWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP);
            break;
        case Kind::SpeedButton:
            windowClass = "BUTTON";
            style |= BS_OWNERDRAW;
            break;
        case Kind::FlatButton:
            windowClass = "BUTTON";
            style |= BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP;
            break;
        case Kind::RichEdit:
            windowClass = "RichEdit20A";
            style |= ES_MULTILINE | ES_READONLY | ((entry.flags & kVerticalScroll) ? WS_VSCROLL : 0);
            extended = (entry.flags & kBorder) ? WS_EX_CLIENTEDGE : 0;
            break;
        case Kind::Edit:
            windowClass = "EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            extended = WS_EX_CLIENTEDGE;
            break;
        case Kind::CheckBox:
            windowClass = "BUTTON";
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case Kind::Gauge:
            windowClass = kGaugeClass;
            break;
        case Kind::DriveBox:
            windowClass = "COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case Kind::DirectoryList:
            windowClass = "LISTBOX";
            style |= LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT |
                     WS_VSCROLL | WS_TABSTOP;
            extended = WS_EX_CLIENTEDGE;
            break;
    }
    HWND parent = entry.parent == 0 ? window_ : Control(entry.parent);
    HWND control = CreateWindowExA(extended, windowClass, entry.text, style, entry.x, entry.y, entry.width, entry.height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, parameter);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>((entry.flags & kBold) ? boldFont_.Get() : font_.Get()), FALSE);
    if (entry.kind == Kind::RichEdit) {
        SendMessageA(control, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
        SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    }
    if (entry.kind == Kind::CheckBox && (entry.flags & kChecked)) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    if (entry.kind == Kind::Label) HoldTextToFrames(control);
    if (entry.hint) AddToolTip(control, entry.hint);
    return control;
}

void TfrmInstall::AddToolTip(HWND button, const char* hint) {
    if (!toolTips_) {
        toolTips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
        if (!toolTips_) return;
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK TfrmInstall::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TfrmInstall*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TfrmInstall*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form) return DefWindowProcA(window, message, w, l);
    // No exception may unwind through the window system.
    try {
        return form->OnMessage(message, w, l);
    } catch (const std::exception& failure) {
        form->ShowFailure(FailureBoxText(failure.what()));
    } catch (...) {
        form->ShowFailure("Error");
    }
    return 0;
}

LRESULT TfrmInstall::OnMessage(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(w), HIWORD(w));
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (item.CtlID == idDirectoryListBox1) {
                directory_.DrawRow(item);
            } else {
                const std::size_t index = item.CtlID - idPanel1;
                if (index < glyphOfControl_.size() && glyphOfControl_[index] >= 0)
                    DrawSpeedButton(item, glyphs_[glyphOfControl_[index]].Get(),
                                    greyedGlyphs_[glyphOfControl_[index]].Get());
            }
            return TRUE;
        }
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 16;
            return TRUE;
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
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(w), &client, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_PAINT: {
            PaintScope paint(window_);
            for (int b = 0; b < kBevelCount; ++b) {
                const BevelSpecRow& row = kBevels[b];
                if (row.parent == 0)
                    DrawBevel(paint.Get(), {row.x, row.y, row.x + row.width, row.y + row.height}, row.raised);
            }
            return 0;
        }
        case WM_CLOSE:
            CloseRequest();
            return 0;
    }
    return DefWindowProcA(window_, message, w, l);
}

void TfrmInstall::CloseRequest() { install_.Handle(&Install::FormCloseRequest); }

void TfrmInstall::OnCommand(int id, int code) {
    struct ClickRoute {
        int id;
        void (Install::*handler)();
    };
    static const ClickRoute kClicks[] = {
        {idBtnShowLicense, &Install::btnShowLicenseClick}, {idBtnAccept, &Install::btnAcceptClick},
        {idBtnExit, &Install::btnExitClick}, {idBtnExit2, &Install::btnExitClick},
        {idBtnExit3, &Install::btnExitClick}, {idBtnExit4, &Install::btnExitClick},
        {idBtnChoose, &Install::btnChooseClick}, {idBtnGoInstall, &Install::btnGoInstallClick},
        {idBtnComplete, &Install::btnCompleteClick}, {idBtnUninstall, &Install::btnUninstallClick},
        {idBtnCancel, &Install::btnCancelClick}, {idBtnUninstallExit, &Install::btnUninstallExitClick},
    };
    if (code == BN_CLICKED) {
        for (const ClickRoute& route : kClicks) {
            if (route.id == id) {
                install_.Handle(route.handler);
                return;
            }
        }
    }
    if (id == idEdtFolder && code == EN_CHANGE) OnFolderTextChanged();
    if (id == idDirectoryListBox1 && code == LBN_DBLCLK) Guarded(&TfrmInstall::OpenSelectedFolder);
    if (id == idDriveComboBox1 && code == CBN_SELCHANGE) Guarded(&TfrmInstall::ChooseDrive);
}

void TfrmInstall::OnFolderTextChanged() {
    const std::string text = WindowText(Control(idEdtFolder));
    if (text == folderText_) return;
    folderText_ = text;
    install_.Handle(&Install::edtFolderChange);
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
    if (directory_.OpenSelected()) install_.Handle(&Install::DirectoryListBox1Change);
}

void TfrmInstall::ChooseDrive() {
    if (directory_.ChooseDrive()) install_.Handle(&Install::DirectoryListBox1Change);
}

void TfrmInstall::ShowPage(Page page) {
    for (int id = idTabIntro; id <= idTabUninstalled; ++id)
        ShowWindow(Control(id), id == PageId(page) ? SW_SHOW : SW_HIDE);
}

void TfrmInstall::SetLabel(Label label, const std::string& text) { SetWindowTextA(Control(LabelId(label)), text.c_str()); }

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
    SetPicture(Control(idImgIcon), std::move(bitmap), size, false);
}

void TfrmInstall::LoadRichText(RichBox box, const Bytes& text) {
    HWND control = Control(box == RichBox::About ? idRichAbout : idRichLicense);
    if (StreamIn(control, text, SF_RTF)) return;
    // Plain text: UTF-8 (its byte-order mark left out) when it is well-formed,
    // else the machine's legacy code page, as editors there saved it.
    static const uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
    const bool marked = text.size() >= 3 && std::equal(kByteOrderMark, kByteOrderMark + 3, text.begin());
    const Bytes plain(text.begin() + (marked ? 3 : 0), text.end());
    const std::string_view chars(reinterpret_cast<const char*>(plain.data()), plain.size());
    const unsigned codePage = IsUtf8(chars) ? CP_UTF8 : platform::win32::LegacyAnsiCodePage();
    if (StreamIn(control, plain, (static_cast<WPARAM>(codePage) << 16) | SF_USECODEPAGE | SF_TEXT)) return;
    throw Failure("Failed to Load Stream");
}

void TfrmInstall::PointDirectoryList(const std::string& folder) {
    if (directory_.SetDirectory(folder)) install_.Handle(&Install::DirectoryListBox1Change);
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

void TfrmInstall::EnableUninstallExit(bool enabled) { EnableWindow(Control(idBtnUninstallExit), enabled); }

MessageResult TfrmInstall::ShowMessage(MessageKind kind, const std::string& text, MessageButtons buttons) {
    // After the application was told to terminate, a box closes at once.
    if (terminated_) return MessageResult::Cancel;
    static const char* const kTitles[] = {"Warning", "Error", "Information", "Confirm"};
    static const BoxIcon kIcons[] = {BoxIcon::Warning, BoxIcon::Error, BoxIcon::Information, BoxIcon::Question};
    const int index = static_cast<int>(kind);
    return ShowMessageBox(window_, font_.Get(), kTitles[index], kIcons[index], text, buttons);
}

void TfrmInstall::ShowFailure(const std::string& message) {
    if (terminated_) return;
    ShowMessageBox(window_, font_.Get(), "Installer", BoxIcon::Error, message, MessageButtons::Ok);
}

void TfrmInstall::ProcessMessages() {
    // The installation asks once per file. Asking the queue costs far less than
    // an empty PeekMessage does under some window systems (Wine: two server
    // round trips and a surface flush); the queue is still emptied at least
    // every 100 ms, so the system never takes the window for a hung one. The
    // mask leaves out touch and pointer input, which Windows 7 refuses to be
    // asked about (the 100 ms emptying takes them in).
    constexpr UINT kQueueMask = QS_KEY | QS_MOUSE | QS_HOTKEY | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                                QS_SENDMESSAGE;
    const DWORD now = GetTickCount();
    if (HIWORD(GetQueueStatus(kQueueMask)) == 0 && now - lastMessageCheck_ < 100) return;
    lastMessageCheck_ = now;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TfrmInstall::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

}  // namespace velmoran::ui::win32

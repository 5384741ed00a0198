#include "ui/win32/control_factory.h"

#include <commctrl.h>
#include <richedit.h>

#include "ui/win32/controls.h"
#include "ui/win32/label.h"

namespace velmoran::ui::win32 {
namespace {

struct KindStyle {
    Kind kind;
    const char* windowClass;
    DWORD style;
    DWORD extended;
};

// In the order of Kind. Styles that depend on a control's flags are added below.
constexpr KindStyle kKindStyles[] = {
    {Kind::Panel, kPanelClass, 0, WS_EX_CONTROLPARENT},
    {Kind::Page, kPanelClass, 0, WS_EX_CONTROLPARENT},
    {Kind::Picture, kPictureClass, 0, 0},
    {Kind::Label, "STATIC", SS_NOPREFIX, 0},
    {Kind::SpeedButton, "BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0},
    {Kind::FlatButton, "BUTTON", BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0},
    {Kind::RichEdit, "RichEdit20A", ES_MULTILINE | ES_READONLY, 0},
    {Kind::Edit, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {Kind::CheckBox, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {Kind::Gauge, kGaugeClass, 0, 0},
    {Kind::DriveBox, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {Kind::DirectoryList, "LISTBOX",
     LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE},
};

constexpr bool EveryKindInItsPlace() {
    for (std::size_t i = 0; i < std::size(kKindStyles); ++i)
        if (static_cast<std::size_t>(kKindStyles[i].kind) != i) return false;
    return std::size(kKindStyles) == static_cast<std::size_t>(Kind::DirectoryList) + 1;
}
static_assert(EveryKindInItsPlace(), "one style row for each kind of control, in the order of Kind");

COLORREF Background(const ControlSpec& entry) {
    return (entry.flags & kBlack) ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNFACE);
}

}  // namespace

HWND CreateControl(const ControlSpec& entry, RECT place, HWND parent, HINSTANCE instance, ControlFonts fonts) {
    const KindStyle& row = kKindStyles[static_cast<std::size_t>(entry.kind)];
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | row.style | ((entry.flags & kHidden) ? 0 : WS_VISIBLE) |
                  ((entry.flags & kDisabled) ? WS_DISABLED : 0);
    DWORD extended = row.extended;
    LPVOID parameter = nullptr;
    if (entry.kind == Kind::Label) style |= (entry.flags & kWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP;
    if (entry.kind == Kind::RichEdit) {
        style |= (entry.flags & kVerticalScroll) ? WS_VSCROLL : 0;
        extended = (entry.flags & kBorder) ? WS_EX_CLIENTEDGE : 0;
    }
    if (entry.kind == Kind::Picture) parameter = reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(Background(entry)));
    // A glyph button draws no text: its tool-tip is its name for assistive technology.
    const char* text = entry.kind == Kind::SpeedButton && entry.hint ? entry.hint : entry.text;
    HWND control = CreateWindowExA(extended, row.windowClass, text, style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                                   instance, parameter);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>((entry.flags & kBold) ? fonts.bold : fonts.normal), FALSE);
    if (entry.kind == Kind::RichEdit) {
        SendMessageA(control, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
        SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    }
    if (entry.kind == Kind::CheckBox && (entry.flags & kChecked)) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    if (entry.kind == Kind::Label) HoldTextToFrames(control);
    return control;
}

}  // namespace velmoran::ui::win32

#include "ui/win32/message_box.h"

#include <algorithm>
#include <vector>

#include "ui/dpi_scale.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/window.h"

namespace velmoran::ui::win32 {
namespace {

struct BoxButton {
    int id;
    const char* text;
    MessageResult result;
};

struct BoxState {
    HFONT font;
    int dpi;
    std::string title;
    BoxIcon icon;
    std::string text;
    MessageButtons buttons;
    std::vector<BoxButton> row;
};

std::vector<BoxButton> ButtonsFor(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return {{IDYES, "&Yes", MessageResult::Yes}, {IDNO, "&No", MessageResult::No}};
        case MessageButtons::Abort: return {{IDABORT, "&Abort", MessageResult::Abort}};
        case MessageButtons::Ok: break;
    }
    return {{IDOK, "OK", MessageResult::Ok}};
}

LPCSTR IconResource(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Warning: return IDI_WARNING;
        case BoxIcon::Error: return IDI_ERROR;
        case BoxIcon::Information: return IDI_INFORMATION;
        case BoxIcon::Question: break;
    }
    return IDI_QUESTION;
}

HWND Child(HWND box, const char* windowClass, const char* text, DWORD style, int id, int x, int y, int w, int h,
           HFONT font) {
    HWND child = CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, box,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// Lays the box out around its text and centres it on the screen.
void Build(HWND box, BoxState& state) {
    SetWindowTextA(box, state.title.c_str());
    const auto at = [&state](int value) { return Scaled(value, state.dpi); };
    const int margin = at(12), iconSize = at(32), buttonWidth = at(75), buttonHeight = at(23), gap = at(8);
    RECT textRect = {0, 0, at(380), 0};
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, state.font);
    DrawTextA(dc, state.text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(box, dc);

    const int count = static_cast<int>(state.row.size());
    const int rowWidth = count * buttonWidth + (count - 1) * gap;
    const int textLeft = margin + iconSize + margin;
    const int width = std::max<int>(textLeft + textRect.right + margin + at(8), rowWidth + 2 * margin);
    const int textHeight = std::max<int>(textRect.bottom, iconSize);
    const int height = margin + textHeight + margin + buttonHeight + margin;

    HWND icon = Child(box, "STATIC", "", SS_ICON, idBoxIcon, margin, margin, iconSize, iconSize, state.font);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IconResource(state.icon))), 0);
    const int textTop = margin + (textHeight - textRect.bottom) / 2;
    Child(box, "STATIC", state.text.c_str(), SS_LEFT | SS_NOPREFIX, idBoxText, textLeft, textTop, textRect.right + at(8),
          textRect.bottom, state.font);
    int x = (width - rowWidth) / 2;
    for (std::size_t i = 0; i < state.row.size(); ++i, x += buttonWidth + gap) {
        const DWORD style = WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = Child(box, "BUTTON", state.row[i].text, style, state.row[i].id, x, height - margin - buttonHeight,
                            buttonWidth, buttonHeight, state.font);
        if (i == 0) SetFocus(button);
    }

    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(box, GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    SetWindowPos(box, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - frameWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - frameHeight) / 2, frameWidth, frameHeight, 0);
}

// The box as the dialog manager runs it: modal, with its keyboard navigation;
// its buttons and closing are this object's.
class BoxWindow : public Window {
public:
    explicit BoxWindow(BoxState& state) : state_(state) {}

    static INT_PTR CALLBACK DialogProc(HWND box, UINT message, WPARAM, LPARAM l) {
        if (message != WM_INITDIALOG) return FALSE;
        auto* window = reinterpret_cast<BoxWindow*>(l);
        window->Subclass(box);
        Build(box, window->state_);
        return FALSE;  // focus was set on the default button
    }

private:
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE) {
            End(MessageResult::Cancel);
            return 0;
        }
        return Window::OnMessage(message, w, l);
    }
    bool OnClose() override {
        End(MessageResult::Cancel);
        return true;
    }
    bool OnCommand(int id, int) override {
        if (id == IDCANCEL) {
            // Esc: No in a Yes/No box; elsewhere it closes the box.
            End(state_.buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Cancel);
            return true;
        }
        for (const BoxButton& button : state_.row) {
            if (button.id == id) {
                End(button.result);
                return true;
            }
        }
        return false;
    }
    // Dialog results start at 1: 0 and -1 are the dialog manager's own failures.
    void End(MessageResult result) { EndDialog(Handle(), static_cast<INT_PTR>(result) + 1); }

    BoxState& state_;
};

}  // namespace

MessageResult ShowMessageBox(HWND owner, HFONT font, int dpi, const std::string& title, BoxIcon icon, const std::string& text,
                             MessageButtons buttons) {
    BoxState state{font, dpi, title, icon, text, buttons, ButtonsFor(buttons)};
    // An empty dialog template; Build makes the controls. Templates are word-aligned.
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } blank{};
    blank.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    blank.header.cx = 100;
    blank.header.cy = 50;
    BoxWindow box(state);
    const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &blank.header, owner, BoxWindow::DialogProc,
                                                   reinterpret_cast<LPARAM>(&box));
    return result <= 0 ? MessageResult::Cancel : static_cast<MessageResult>(result - 1);
}

}  // namespace velmoran::ui::win32

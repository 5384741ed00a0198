#pragma once
// The program's modal message boxes: a title, an icon, the text and the
// buttons "&Yes"/"&No", "OK" or "&Abort", centred on the screen. In a Yes/No
// box Yes is the default and Esc answers No; the close button answers Cancel.

#include <string>

#include "platform/win32/windows_api.h"
#include "ui/view.h"

namespace velmoran::ui::win32 {

enum class BoxIcon { Warning, Error, Information, Question };

MessageResult ShowMessageBox(HWND owner, HFONT font, int dpi, const std::string& title, BoxIcon icon, const std::string& text,
                             MessageButtons buttons);

}  // namespace velmoran::ui::win32

#pragma once
// The about and licence texts into their rich-edit boxes: RTF as it stands,
// anything else as plain text in the code page it was most likely saved in.

#include "common/byte_io.h"
#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

// Throws Failure("Failed to Load Stream") when the box takes the text in neither form.
void LoadRichText(HWND box, const Bytes& text);

}  // namespace velmoran::ui::win32

#pragma once

#include <string>

namespace velmoran::platform::win32 {

// The system's own text for an error code (GetLastError or an HRESULT),
// without the line break it ends with.
std::string SystemErrorText(unsigned long code);

}  // namespace velmoran::platform::win32

#pragma once
// The one way Windows headers come into this project: ANSI API, no min/max macros.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#undef UNICODE
#undef _UNICODE
#include <windows.h>

// The room a path the ANSI calls hand back may take, in bytes: in UTF-8 each
// of MAX_PATH UTF-16 units may take up to three.
inline constexpr DWORD kMaxPathBytes = 3 * MAX_PATH + 1;

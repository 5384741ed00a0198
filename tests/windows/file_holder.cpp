// Holds a file open as a running program would, without delete sharing, so the
// installer meets a file in use: file_holder FILE READY-MARKER STOP-MARKER.
// Writes READY-MARKER once the file is held, and holds it until STOP-MARKER
// exists (two minutes at most).

#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    for (int tenths = 0; tenths < 1200 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++tenths) Sleep(100);
    CloseHandle(held);
    return 0;
}

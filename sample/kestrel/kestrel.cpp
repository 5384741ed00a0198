// Kestrel Notes, the sample application the demo installs. Started, it leaves
// "kestrel-started.txt" in the temporary folder (not beside itself, where the
// uninstaller would report it as a leftover), holding its command line (the
// note or kestrel: link it was opened with), and greets the user, unless it
// runs headless (VELMORAN_HEADLESS set), where nobody could close the greeting.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char path[MAX_PATH + 32];
    const DWORD length = GetTempPathA(MAX_PATH, path);
    if (length == 0 || length > MAX_PATH) return 1;
    lstrcpyA(path + length, "kestrel-started.txt");
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(marker, commandLine, static_cast<DWORD>(lstrlenA(commandLine)), &written, nullptr);
        CloseHandle(marker);
    }
    if (GetEnvironmentVariableA("VELMORAN_HEADLESS", nullptr, 0) == 0)
        MessageBoxA(nullptr, "Kestrel Notes is installed and running.", "Kestrel Notes", MB_OK | MB_ICONINFORMATION);
    return 0;
}

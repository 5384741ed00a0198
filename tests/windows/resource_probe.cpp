// Reads a program's identity back the way Windows and Explorer do, for the
// end-to-end tests: resource_probe PATH prints
//   manifest: <the requested execution level>
//   icons: <how many icons ExtractIconEx finds>
//   version: <the fixed file version>
//   <Name>=<value> for each version string asked about

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include <shellapi.h>

namespace {

std::string ExecutionLevel(const char* path) {
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "(cannot load)";
    std::string level = "(none)";
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
        const std::string manifest(text, SizeofResource(module, found));
        const auto at = manifest.find("level=\"");
        if (at != std::string::npos) level = manifest.substr(at + 7, manifest.find('"', at + 7) - at - 7);
    }
    FreeLibrary(module);
    return level;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const char* path = argv[1];
    std::printf("manifest: %s\n", ExecutionLevel(path).c_str());
    HICON large = nullptr, small = nullptr;
    const UINT icons = ExtractIconExA(path, -1, nullptr, nullptr, 0);
    if (ExtractIconExA(path, 0, &large, &small, 1) > 0) {
        if (large) DestroyIcon(large);
        if (small) DestroyIcon(small);
    }
    std::printf("icons: %u\n", icons);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> info(size ? size : 1);
    if (size && GetFileVersionInfoA(path, 0, size, info.data())) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
            std::printf("version: %lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
                        fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
        for (const char* name : {"ProductName", "FileDescription", "FileVersion", "CompanyName", "LegalCopyright"}) {
            char* value = nullptr;
            const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
            if (VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value)
                std::printf("%s=%s\n", name, value);
        }
    }
    return 0;
}

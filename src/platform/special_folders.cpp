#include "platform/special_folders.h"

namespace velmoran::platform {
namespace {

std::string CommonElsePersonal(Registry& registry, const char* common, const char* personal) {
    const std::string folder = ReadShellValue(registry, kShellFoldersKey, common);
    return folder.empty() ? ReadShellValue(registry, kShellFoldersKey, personal) : folder;
}

}  // namespace

SpecialFolders LookUpSpecialFolders(Registry& registry) {
    SpecialFolders folders;
    folders.programs = CommonElsePersonal(registry, "Common Programs", "Programs");
    folders.desktop = CommonElsePersonal(registry, "Common Desktop", "Desktop");
    folders.programFiles =
        ReadShellValueReadOnly(registry, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    if (folders.programFiles.empty()) folders.programFiles = "C:\\Program Files";
    return folders;
}

}  // namespace velmoran::platform

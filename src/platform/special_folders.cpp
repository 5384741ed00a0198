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

SpecialFolders LookUpUserFolders(Registry& registry) {
    const auto user = [&registry](const char* name) {
        return registry.ReadString(Hive::CurrentUser, kShellFoldersKey, name, KeyAccess::Read);
    };
    SpecialFolders folders;
    folders.programs = user("Programs");
    folders.desktop = user("Desktop");
    const std::string local = user("Local AppData");
    if (!local.empty()) folders.programFiles = local + "\\Programs";
    return folders;
}

}  // namespace velmoran::platform

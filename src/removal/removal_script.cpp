#include "removal/removal_script.h"

#include <algorithm>

#include "common/path.h"

namespace velmoran::removal {
namespace {

// Inside double quotes only "%" keeps a meaning to cmd (variable expansion); a
// quote would end the quoted text and a control byte could end the line.
std::optional<std::string> Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || static_cast<unsigned char>(c) < 32) return std::nullopt;
        quoted += c == '%' ? "%%" : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

std::optional<RemovalScript> MakeRemovalScript(const std::string& uninstallerPath, const std::string& systemFolder,
                                               UninstallerFolder folderAfterwards) {
    const std::string folder = WithoutTrailingBackslashes(FolderPart(uninstallerPath));
    const auto ping = Quoted(JoinPath(systemFolder, "ping.exe"));
    if (!Quoted(uninstallerPath) || !ping || systemFolder.empty()) return std::nullopt;
    // The uninstaller may take a moment to end after starting the script: its
    // file cannot be deleted before, and its folder not removed. The script runs
    // elevated: a bare program name would be looked for in the current folder
    // first, and with delayed expansion on (a registry setting) a "!" in a path
    // would be expanded, so both are ruled out before the first path. "%~f0" is
    // the script's own full path.
    RemovalScript script{
        {
            "@echo off",
            "setlocal DisableDelayedExpansion",
            "set tries=0",
            ":wait",
            "del \"%VELMORAN_UNINSTALLER%\" >nul 2>&1",
            "if not exist \"%VELMORAN_UNINSTALLER%\" goto removed",
            "set /a tries+=1",
            "if %tries% geq 10 goto removed",
            *ping + " -n 2 127.0.0.1 >nul",
            "goto wait",
            ":removed",
            "rmdir \"%VELMORAN_FOLDER%\"",
            "del \"%~f0\"",
        },
        {{"VELMORAN_UNINSTALLER", uninstallerPath}, {"VELMORAN_FOLDER", folder}},
    };
    if (folderAfterwards == UninstallerFolder::Keep) {
        script.lines.erase(std::find(script.lines.begin(), script.lines.end(), "rmdir \"%VELMORAN_FOLDER%\""));
        script.environment.pop_back();
    }
    return script;
}

std::string PrepareScriptPath(platform::FileSystem& files) {
    if (files.IsLink(kRemovalScriptPath)) files.RemoveLink(kRemovalScriptPath);
    if (!files.FolderExists(kRemovalScriptPath)) {
        if (files.FileExists(kRemovalScriptPath)) files.RemoveFile(kRemovalScriptPath);
        return kRemovalScriptPath;
    }
    // Somebody made a folder of that name; the script goes where only this user writes.
    const std::string folder = files.TemporaryFolder();
    for (int n = 1;; ++n) {
        const std::string path = folder + "\\uninstall_rd-" + std::to_string(n) + ".bat";
        if (n == 1000 || !(files.FileExists(path) || files.FolderExists(path) || files.IsLink(path))) return path;
    }
}

void WriteScript(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const auto file = files.CreateNewFile(path);
    file->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace velmoran::removal

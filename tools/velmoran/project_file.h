#pragma once
// The project file: an INI-style description of one application to pack.
//
//   [Application]
//   Name=Kestrel Notes                       application name (AppName)
//   MainProgram=Kestrel.exe                  relative to Source (ExeName)
//   MainShortcut=Kestrel Notes               shortcut name (ExeShortcut)
//   TargetFolder=%ProgramFiles%\Kestrel Notes
//   Source=app                               folder packed recursively
//   Splash=splash.jpg                        optional, a JPEG
//   Icon=icon.jpg                            optional, a 32 x 32 JPEG
//   About=about.rtf
//   Licence=licence.rtf                      ("License" is accepted too)
//   SetupIcon=setup.ico                      optional: the installer file's icon
//   Version=2.4.1                            optional: one to four numbers
//   Publisher=Kestrel Software               optional: the company name
//   Copyright=(c) 2026 Kestrel Software      optional
//   Scope=user                               optional: "machine" (the default) or
//                                            "user": installed for the signed-in user
//                                            alone, without asking for elevation
//   Compression=lzma                         optional: "zlib" (the default: a stream
//                                            per file) or "lzma" (one solid stream)
//
//   DesktopShortcut=ask                      optional: "yes" (the default), "ask" (a
//                                            check box, ticked) or "no"
//
//   [Shortcuts]                              extra program-group shortcuts, in order
//   User Guide=docs\guide.txt                name=target relative to Source
//
// and the sections of what the application registers (project_registrations.h).
//
// Paths of files are relative to the project file's folder unless absolute.
// Lines starting with ";" or "#" are comments. Text is UTF-8.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "project_registrations.h"

namespace velmoran::builder {

struct Project {
    std::filesystem::path file;
    std::string name;
    std::string mainProgram;
    std::string mainShortcut;
    std::string targetFolder;
    std::filesystem::path source;
    std::filesystem::path splash;  // empty when none
    std::filesystem::path icon;    // empty when none
    std::filesystem::path about;
    std::filesystem::path licence;
    std::filesystem::path setupIcon;  // empty when none
    std::string version;              // empty when none; checked to be 1-4 numbers
    std::string publisher;
    std::string copyright;
    std::string website;              // empty when none; checked to be an https:// address
    std::string supportUrl;
    bool perUser = false;             // Scope=user
    bool solid = false;               // Compression=lzma
    std::vector<std::pair<std::string, std::string>> shortcuts;  // name, target
    payload::Registrations registrations;
    std::vector<InstalledReference> registeredPaths;  // checked against the Source folder's files
};

// Throws Failure naming the file (and line) and the reason.
Project ReadProject(const std::filesystem::path& file);

}  // namespace velmoran::builder

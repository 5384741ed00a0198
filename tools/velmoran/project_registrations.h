#pragma once
// The project file's sections for what the application registers with Windows:
//
//   [FileTypes]
//   .knote=Kestrel note                   extension = the type's name
//   .kbook=Kestrel notebook|docs\book.ico  optional |icon, among the installed
//                                          files (else the main program's)
//   [LinkProtocols]
//   kestrel=Kestrel Notes link            kestrel:... links start MainProgram
//   [Environment]
//   Path=bin                              appends <install folder>\bin to PATH
//   KESTREL_HOME=%InstallFolder%          sets a variable; |replace at the end
//                                          overwrites one that holds another value
//   [AppPaths]
//   kestrel.exe=Kestrel.exe               Win+R "kestrel" starts the program
//   [Registry]
//   Software\Kestrel\Notes\DataFolder=%InstallFolder%\data    a string value
//   Software\Kestrel\Notes\FirstRun=dword:1                   a DWORD value
//
// and DesktopShortcut=yes|ask|no in [Application]. %InstallFolder% is the only
// placeholder.

#include <string>
#include <vector>

#include "payload/registrations.h"

namespace velmoran::builder {

// A path the project names that must be among the installed files or folders.
struct InstalledReference {
    int line = 0;
    std::string what;      // "icon", "Path", "program"
    std::string relative;  // backslash-separated, "." for the install folder
    bool folder = false;
};

class RegistrationSections {
public:
    // `section` lowered, without its brackets.
    static bool Holds(const std::string& section);

    // One Name=Value line of such a section. Throws Failure with the reason
    // (the caller adds the file and line).
    void Take(const std::string& section, int line, const std::string& key, const std::string& value);
    // DesktopShortcut= of [Application]; throws Failure with the reason.
    void TakeDesktopShortcut(const std::string& value);

    payload::Registrations registrations;
    std::vector<InstalledReference> references;

private:
    void TakeFileType(int line, const std::string& extension, const std::string& value);
    void TakeVariable(int line, const std::string& name, const std::string& value);
    void TakeRegistryValue(const std::string& path, const std::string& value);
};

}  // namespace velmoran::builder

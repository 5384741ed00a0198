#pragma once
// The installer's and uninstaller's command line: the switches deployment
// tools pass for unattended runs. Without any, the wizard runs as it always has.

#include <optional>
#include <string>
#include <vector>

namespace velmoran::setup {

enum class Quietness {
    Interactive,  // the wizard
    Silent,       // the wizard's progress page alone, asking nothing
    VerySilent,   // no window of any kind
};

struct RunOptions {
    Quietness quietness = Quietness::Interactive;
    std::optional<std::string> installFolder;  // /D= or /DIR=, absolute, without a trailing backslash
    bool writeLog = false;                     // /LOG
    std::string logFile;                       // /LOG="file"; empty: a new file in the temporary folder
    bool noIcons = false;
    bool noDesktopShortcut = false;
    bool noRestart = false;
    bool noCancel = false;
    bool suppressMessageBoxes = false;  // implied by VerySilent
    bool noCloseApplications = false;   // leave programs holding files running
    bool allowDowngrade = false;        // install over a newer version without asking
    bool help = false;
    std::vector<std::string> seen;  // each argument as given, for the setup log
};

struct ParsedCommandLine {
    RunOptions options;
    std::string error;  // empty when the line is valid
};

// `arguments` is the line after the program's name. Switches start with "/" or
// "-" and are matched without regard to case; the line is split as
// CommandLineToArgvW splits it. "/D=" must come last and takes the rest of the
// line as it stands, spaces included. The bare word "uninstall" (what older
// uninstall entries pass) is accepted and means nothing.
ParsedCommandLine ParseCommandLine(const std::string& arguments);

// The arguments of a whole command line (GetCommandLine's): the program's
// name, quoted or not, and the blanks after it removed.
std::string ArgumentsAfterProgramName(const std::string& commandLine);

// The switches and exit codes, for "/?" and for a usage error.
extern const char kUsageText[];

}  // namespace velmoran::setup

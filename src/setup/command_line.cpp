#include "setup/command_line.h"

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::setup {

const char kUsageText[] =
    "Switches (upper or lower case, starting with / or -):\r\n"
    "/S or /VERYSILENT\tno window at all; every question takes its default answer\r\n"
    "/SILENT\tonly the progress page; nothing is asked\r\n"
    "/D=C:\\Path\tthe install folder; last on the line, not quoted\r\n"
    "/DIR=\"C:\\Path\"\tthe install folder, anywhere on the line\r\n"
    "/LOG or /LOG=\"file\"\ta setup log (default: in the temporary folder)\r\n"
    "/NOICONS\tno desktop shortcut and no program group\r\n"
    "/NODESKTOPSHORTCUT\tno desktop shortcut\r\n"
    "/ALLOWDOWNGRADE\tinstall over a newer version without asking\r\n"
    "/NOCLOSEAPPLICATIONS\tleave programs that use the files running\r\n"
    "/NORESTART /NOCANCEL /SUPPRESSMSGBOXES\taccepted\r\n"
    "/? or /HELP\tthis text\r\n"
    "\r\n"
    "Keys: Tab and Shift+Tab move between the controls, Space presses the focused button, Enter the page's "
    "next step, Esc and Alt+F4 leave (after asking).\r\n"
    "\r\n"
    "Exit codes: 0 done, 1 could not start (damaged installer, bad switches, log not writable), "
    "2 cancelled before anything was written, 3 failed before anything was written, "
    "4 failed while installing or uninstalling, 5 cancelled during the run, "
    "1618 another installation of this application is running, 3010 done, restart needed, "
    "1638 a newer version is installed.";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Argument {
    std::string text;       // unquoted
    std::size_t start = 0;  // where it begins on the line
};

// CommandLineToArgvW's rules: blanks split outside quotes; 2n backslashes and a
// quote give n backslashes and open or close quoting, 2n+1 give n and a literal
// quote; other backslashes stand as they are; "" inside quotes is one quote.
std::vector<Argument> SplitArguments(const std::string& line) {
    std::vector<Argument> arguments;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) return arguments;
        Argument argument{std::string(), i};
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == '"') {
                argument.text.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument.text += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument.text += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.text.append(backslashes, '\\');
                if (backslashes == 0) argument.text += line[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

std::string TrimmedEnd(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

enum class Takes { Nothing, Value, OptionalValue };

// Each switch sets its flag, or (/DIR, /LOG) its text; the quiet ones are told apart by name.
struct Switch {
    const char* name;
    Takes takes;
    bool RunOptions::*flag;
};

const Switch kSwitches[] = {
    {"S", Takes::Nothing, nullptr},
    {"VERYSILENT", Takes::Nothing, nullptr},
    {"SILENT", Takes::Nothing, nullptr},
    {"DIR", Takes::Value, nullptr},
    {"LOG", Takes::OptionalValue, &RunOptions::writeLog},
    {"NOICONS", Takes::Nothing, &RunOptions::noIcons},
    {"NODESKTOPSHORTCUT", Takes::Nothing, &RunOptions::noDesktopShortcut},
    {"NORESTART", Takes::Nothing, &RunOptions::noRestart},
    {"NOCANCEL", Takes::Nothing, &RunOptions::noCancel},
    {"SUPPRESSMSGBOXES", Takes::Nothing, &RunOptions::suppressMessageBoxes},
    {"NOCLOSEAPPLICATIONS", Takes::Nothing, &RunOptions::noCloseApplications},
    {"ALLOWDOWNGRADE", Takes::Nothing, &RunOptions::allowDowngrade},
    {"?", Takes::Nothing, &RunOptions::help},
    {"HELP", Takes::Nothing, &RunOptions::help},
};

void Apply(const Switch& which, RunOptions& options, const std::string& value) {
    const std::string name = which.name;
    if (which.flag) options.*which.flag = true;
    if (name == "S" || name == "VERYSILENT") options.quietness = Quietness::VerySilent;
    if (name == "SILENT" && options.quietness != Quietness::VerySilent) options.quietness = Quietness::Silent;
    if (name == "DIR") options.installFolder = value;
    if (name == "LOG") options.logFile = value;
}

// Applies one switch ("/NAME" or "/NAME=value", the leading character already
// checked); an error text when it is not one of the table's.
std::string ApplySwitch(RunOptions& options, const std::string& argument) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
    const bool hasValue = equals != std::string::npos;
    const std::string value = hasValue ? argument.substr(equals + 1) : std::string();
    for (const Switch& candidate : kSwitches) {
        if (!EqualsIgnoreCase(name, candidate.name)) continue;
        if (hasValue && candidate.takes == Takes::Nothing) return "The switch \"" + argument + "\" takes no value.";
        if (!hasValue && candidate.takes == Takes::Value) return "The switch \"" + argument + "\" needs a value.";
        if (hasValue && value.empty()) return "The switch \"" + argument + "\" has an empty value.";
        Apply(candidate, options, value);
        return std::string();
    }
    return "Unknown switch \"" + argument + "\".";
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::string& arguments) {
    ParsedCommandLine parsed;
    RunOptions& options = parsed.options;
    const std::vector<Argument> split = SplitArguments(arguments);
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::string& text = split[i].text;
        const bool isSwitch = !text.empty() && (text[0] == '/' || text[0] == '-');
        if (isSwitch && text.size() >= 3 && LowerAscii(text[1]) == 'd' && text[2] == '=') {
            // The rest of the line is the folder, spaces and all; a quoted
            // argument is taken as its unquoted text, and must be the last.
            const bool quotedOnLine = arguments[split[i].start] == '"';
            options.installFolder = quotedOnLine ? text.substr(3) : TrimmedEnd(arguments.substr(split[i].start + 3));
            options.seen.push_back(text.substr(0, 3) + *options.installFolder);
            if (quotedOnLine && i + 1 < split.size() && parsed.error.empty())
                parsed.error = "The switch \"/D=\" must be the last one on the command line.";
            break;
        }
        options.seen.push_back(text);
        // After an error the rest is still read, so that a quiet run's usage
        // error stays quiet and reaches its log.
        std::string error;
        if (isSwitch)
            error = ApplySwitch(options, text);
        else if (!EqualsIgnoreCase(text, "uninstall"))
            error = "Unexpected argument \"" + text + "\": switches start with / or -.";
        if (parsed.error.empty()) parsed.error = error;
    }
    if (options.quietness == Quietness::VerySilent) options.suppressMessageBoxes = true;
    if (!parsed.error.empty()) {
        options.installFolder.reset();
    } else if (options.installFolder) {
        const std::string given = *options.installFolder;
        options.installFolder = InstallFolderPath(given);
        if (!options.installFolder)
            parsed.error = "The install folder \"" + given + "\" is not a full path such as C:\\Apps\\Name.";
    }
    return parsed;
}

std::string ArgumentsAfterProgramName(const std::string& commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        i = commandLine.find('"', 1);
        i = i == std::string::npos ? commandLine.size() : i + 1;
    }
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

}  // namespace velmoran::setup

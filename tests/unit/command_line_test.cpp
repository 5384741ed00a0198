#include <gtest/gtest.h>

#include "setup/command_line.h"

namespace velmoran::setup {
namespace {

struct Case {
    const char* line;
    Quietness quietness;
    const char* folder;  // nullptr: none given
    const char* logFile;  // nullptr: no log
    const char* error;    // a part of the expected error; "" when valid
};

const Case kCases[] = {
    {"", Quietness::Interactive, nullptr, nullptr, ""},
    {"uninstall", Quietness::Interactive, nullptr, nullptr, ""},
    {"/S", Quietness::VerySilent, nullptr, nullptr, ""},
    {"-verysilent", Quietness::VerySilent, nullptr, nullptr, ""},
    {"/SILENT", Quietness::Silent, nullptr, nullptr, ""},
    {"/s /Silent", Quietness::VerySilent, nullptr, nullptr, ""},
    {"/S /D=C:\\Apps\\Kestrel Notes", Quietness::VerySilent, "C:\\Apps\\Kestrel Notes", nullptr, ""},
    {"/S /D=C:\\Apps\\Kestrel Notes\\  ", Quietness::VerySilent, "C:\\Apps\\Kestrel Notes", nullptr, ""},
    {"/D=C:\\A -S", Quietness::Interactive, "C:\\A -S", nullptr, ""},  // the rest of the line is the path
    {"\"/D=C:\\My Apps\\X\"", Quietness::Interactive, "C:\\My Apps\\X", nullptr, ""},
    {"\"/D=C:\\X\" /S", Quietness::Interactive, nullptr, nullptr, "must be the last"},
    {"/DIR=\"C:\\My Apps\\X\" /S", Quietness::VerySilent, "C:\\My Apps\\X", nullptr, ""},
    {"\"/DIR=C:\\My Apps\\X\"", Quietness::Interactive, "C:\\My Apps\\X", nullptr, ""},
    {"/DIR=C:\\My Apps\\X", Quietness::Interactive, nullptr, nullptr, "\"Apps\\X\""},
    {"/DIR=relative\\X", Quietness::Interactive, nullptr, nullptr, "not a full path"},
    {"/D=", Quietness::Interactive, nullptr, nullptr, "not a full path"},
    {"/DIR=C:\\", Quietness::Interactive, nullptr, nullptr, "not a full path"},
    {"/DIR=\\\\server\\share\\X", Quietness::Interactive, nullptr, nullptr, "not a full path"},
    {"/DIR", Quietness::Interactive, nullptr, nullptr, "needs a value"},
    {"/LOG", Quietness::Interactive, nullptr, "", ""},
    {"/LOG=\"C:\\logs\\set up.log\" /S", Quietness::VerySilent, nullptr, "C:\\logs\\set up.log", ""},
    {"/LOG=", Quietness::Interactive, nullptr, nullptr, "empty value"},
    {"/S=1", Quietness::Interactive, nullptr, nullptr, "takes no value"},
    {"/X /S /LOG", Quietness::VerySilent, nullptr, "", "Unknown switch \"/X\""},
    {"setup", Quietness::Interactive, nullptr, nullptr, "Unexpected argument \"setup\""},
};

TEST(CommandLine, SwitchTable) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        const ParsedCommandLine parsed = ParseCommandLine(c.line);
        if (*c.error) {
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
        } else {
            EXPECT_EQ(parsed.error, "");
        }
        EXPECT_EQ(parsed.options.quietness, c.quietness);
        EXPECT_EQ(parsed.options.installFolder.value_or("<none>"), c.folder ? c.folder : "<none>");
        EXPECT_EQ(parsed.options.writeLog, c.logFile != nullptr);
        if (c.logFile) {
            EXPECT_EQ(parsed.options.logFile, c.logFile);
        }
    }
}

TEST(CommandLine, FlagsAndWhatWasSeen) {
    const ParsedCommandLine parsed = ParseCommandLine("/NOICONS -NoRestart /NOCANCEL /SUPPRESSMSGBOXES /NoDesktopShortcut /?");
    ASSERT_EQ(parsed.error, "");
    const RunOptions& o = parsed.options;
    EXPECT_TRUE(o.noIcons && o.noRestart && o.noCancel && o.suppressMessageBoxes && o.noDesktopShortcut && o.help);
    EXPECT_EQ(o.seen.size(), 6u);
    EXPECT_FALSE(ParseCommandLine("/SILENT").options.suppressMessageBoxes);
    EXPECT_TRUE(ParseCommandLine("/S").options.suppressMessageBoxes);
    EXPECT_TRUE(ParseCommandLine("-help").options.help);
}

TEST(CommandLine, ArgumentsAfterProgramName) {
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\My Apps\\setup.exe\"  /S /D=C:\\X"), "/S /D=C:\\X");
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\setup.exe /S"), "/S");
    EXPECT_EQ(ArgumentsAfterProgramName("setup.exe"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\setup.exe"), "");
}

TEST(CommandLine, QuotesAndBackslashesFollowTheSystemSplitter) {
    // 2n backslashes before a quote: n of them, and the quote opens or closes;
    // 2n+1: n and a literal quote; elsewhere they stand as they are.
    EXPECT_EQ(*ParseCommandLine("/DIR=\"C:\\A\\\\\"").options.installFolder, "C:\\A");
    EXPECT_NE(ParseCommandLine("/DIR=C:\\A\\\"B").error.find("C:\\A\"B"), std::string::npos);
}

}  // namespace
}  // namespace velmoran::setup

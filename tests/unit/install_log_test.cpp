#include "setup/install_log.h"

#include <gtest/gtest.h>

#include "common/failure.h"
#include "fake_file_system.h"
#include "fake_shell.h"

namespace velmoran::testing {
namespace {

using setup::InstallLog;

std::vector<std::string> LoadLines(const std::string& content) {
    FakeFileSystem files;
    files.AddFile("C:\\App\\App.ilg", content);
    InstallLog log;
    log.Append("stale line");
    FakeCodePage codePage;
    log.Load(files, "C:\\App\\App.ilg", codePage);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < log.Count(); ++i) lines.push_back(log.Line(i));
    return lines;
}

TEST(InstallLog, SaveEndsEveryLineWithCrLfAndLoadGivesThemBack) {
    FakeFileSystem files;
    files.AddFolder("C:\\App");
    InstallLog log;
    log.Append("C:\\App\\a.txt");
    log.Append("C:\\App\\sub\\b \xC3\xA9.txt");
    log.Append("C:\\App\\uninstall.exe");
    log.Save(files, "C:\\App\\App.ilg", "C:\\App");
    const std::string expected = "C:\\App\\a.txt\r\nC:\\App\\sub\\b \xC3\xA9.txt\r\nC:\\App\\uninstall.exe\r\n";
    EXPECT_EQ(files.Content("C:\\App\\App.ilg"), expected);

    InstallLog loaded;
    FakeCodePage codePage;
    loaded.Load(files, "C:\\App\\App.ilg", codePage);
    ASSERT_EQ(loaded.Count(), 3u);
    EXPECT_EQ(loaded.Line(1), "C:\\App\\sub\\b \xC3\xA9.txt");

    // Saving again replaces the file rather than appending to it.
    log.Save(files, "C:\\App\\App.ilg", "C:\\App");
    EXPECT_EQ(files.Content("C:\\App\\App.ilg"), expected);
}

TEST(InstallLog, EmptyLogSavesAnEmptyFile) {
    FakeFileSystem files;
    InstallLog().Save(files, "C:\\empty.ilg", "C:\\");
    EXPECT_TRUE(files.FileExists("C:\\empty.ilg"));
    EXPECT_EQ(files.Content("C:\\empty.ilg"), "");
}

TEST(InstallLog, LineEndRules) {
    using Lines = std::vector<std::string>;
    const struct { std::string content; Lines lines; } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {std::string("\0a", 2), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadLines(c.content), c.lines) << c.content.size();
}

TEST(InstallLog, ALineThatIsNotUtf8IsReadInTheLegacyCodePage) {
    // An older installer's log: its lines in the machine's code page (1252
    // here, Latin-1 in the fake), mixed with lines an upgrade wrote in UTF-8.
    EXPECT_EQ(LoadLines("C:\\App\\caf\xE9.txt\r\nC:\\App\\\xD0\xB4.txt\r\n"),
              (std::vector<std::string>{"C:\\App\\caf\xC3\xA9.txt", "C:\\App\\\xD0\xB4.txt"}));
}

TEST(InstallLog, MissingFileNamesPathAndReason) {
    FakeFileSystem files;
    InstallLog log;
    try {
        FakeCodePage codePage;
        log.Load(files, "C:\\Nowhere\\App.ilg", codePage);
        FAIL() << "loaded a missing file";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Cannot open file \"C:\\Nowhere\\App.ilg\". The system cannot find the file specified");
    }
    EXPECT_THROW(log.Save(files, "C:\\Nowhere\\App.ilg", "C:\\Nowhere"), Failure);
}

}  // namespace
}  // namespace velmoran::testing

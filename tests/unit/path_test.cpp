#include "common/path.h"

#include <gtest/gtest.h>

#include "common/failure.h"
#include "payload/file_entry.h"

namespace velmoran {
namespace {

TEST(Path, FolderAndFileNameParts) {
    const struct { const char* path; const char* folder; const char* name; } cases[] = {
        {"C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\", "app.exe"},
        {"%ProgramFiles%\\Tallowby", "%ProgramFiles%\\", "Tallowby"},
        {"D:name", "D:", "name"},
        {"plain", "", "plain"},
        {"a/b/c", "", "a/b/c"},
        {"C:\\", "C:\\", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    }
}

TEST(Path, TrailingBackslashesAndJoins) {
    const struct { const char *path, *stripped, *joined; } cases[] = {
        {"C:\\Apps\\Kestrel\\\\", "C:\\Apps\\Kestrel", "C:\\Apps\\Kestrel\\\\x"},
        {"C:\\Apps", "C:\\Apps", "C:\\Apps\\x"},
        {"C:\\", "C:\\", "C:\\x"},  // a drive root keeps its backslash
        {"C:\\\\", "C:\\", "C:\\\\x"},
        {"\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share\\x"},
        {"", "", "\\x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutTrailingBackslashes(c.path), c.stripped) << c.path;
        EXPECT_EQ(JoinPath(c.path, "x"), c.joined) << c.path;
    }
}

TEST(Path, AsciiCaseRules) {
    EXPECT_EQ(AsciiLower("UnInstall.EXE"), "uninstall.exe");
    EXPECT_EQ(AsciiLower("\xC3\x84pfel"), "\xC3\x84pfel");  // only ASCII letters
}

TEST(Path, ComparesAsWindowsComparesNames) {
    const struct {
        const char *a, *b;
        bool equal;
    } cases[] = {
        {"ExeShortCut", "EXESHORTCUT", true},
        {"Icon", "Icons", false},
        {"C:\\Программы\\Текст", "c:\\ПРОГРАММЫ\\текст", true},      // Cyrillic
        {"Ελληνικά\\σοφός", "ΕΛΛΗΝΙΚΆ\\ΣΟΦΌΣ", true},                  // Greek, final sigma
        {"café\\Œuvre", "CAFÉ\\œUVRE", true},                          // accented Latin
        {"Tiếng Việt", "TIẾNG VIỆT", true},                               // Vietnamese
        {"メモ帳\\表", "メモ帳\\表", true},                             // no case in CJK
        {"メモ帳", "メモ帖", false},
        {"\xF0\x9F\x98\x80.txt", "\xF0\x9F\x98\x80.TXT", true},         // beyond U+FFFF
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", false},
        {"ı", "I", false},  // dotless i: Windows keeps them apart
        {"µ", "Μ", false},  // micro sign and capital mu
        {"ß", "SS", false},
        {"caf\xE9", "CAF\xC9", false},  // not UTF-8: bytes compared as they are
        {"caf\xE9", "CAF\xE9", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(FoldedCase(c.a).size(), std::string(c.a).size()) << c.a;
    }
}

TEST(Format, SubstitutesInOrder) {
    EXPECT_EQ(Format("Cannot create file \"%s\". %s", "C:\\a.txt", "Access denied."),
              "Cannot create file \"C:\\a.txt\". Access denied.");
    EXPECT_EQ(Format("%s%%", "45"), "45%");
    EXPECT_EQ(Format("no args %s %s", "one"), "no args one %s");
}

TEST(FileEntry, SplitsAsTheInstallationRunReadsIt) {
    const struct { const char* entry; const char* path; const char* size; } cases[] = {
        {"<help\\realtime.htm><694>", "help\\realtime.htm", "694"},
        {"<a.txt><0>", "a.txt", "0"},
        {"<no size>", "no size", ""},
        {"<a><12>junk>", "a", "12>junk"},
        {"><5>", "", "5"},
        {"<noclose", "noclose", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const auto split = payload::SplitFileEntry(c.entry);
        EXPECT_EQ(split.relativePath, c.path) << c.entry;
        EXPECT_EQ(split.sizeText, c.size) << c.entry;
    }
    EXPECT_EQ(payload::FileEntryKey(17), "f17");
}

}  // namespace
}  // namespace velmoran

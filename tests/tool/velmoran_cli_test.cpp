// The velmoran command as a user runs it: build, list, verify, extract.

#include <gtest/gtest.h>

#include <random>

#include "cli_runner.h"

namespace velmoran::testing {
namespace {

namespace fs = std::filesystem;

// The bundled sample with a stand-in main program, and the real stub.
class SampleProject : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(VELMORAN_SAMPLE_DIR, scratch_ / "sample", fs::copy_options::recursive);
        WriteFile(scratch_ / "sample/app/Kestrel.exe", "MZ stand-in for the sample program");
        ASSERT_TRUE(fs::exists(VELMORAN_REAL_STUB)) << "the Windows stub is built by the win64 build (make test does both)";
        fs::copy_file(VELMORAN_REAL_STUB, scratch_ / "stub.exe");
    }
    std::string Build(const std::string& out, const std::string& extra = "") {
        const CommandResult r = RunVelmoran("build " + Q(Project()) + " -o " + Q(scratch_ / out) + " --stub " +
                                            Q(scratch_ / "stub.exe") + " " + extra);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return ReadFile(scratch_ / out);
    }
    fs::path Project() const { return scratch_ / "sample/kestrel.ini"; }
    // The sample's project with one more line in its [Application] group.
    void UseApplicationLine(const std::string& line) {
        std::string text = ReadFile(fs::path(VELMORAN_SAMPLE_DIR) / "kestrel.ini");
        text.insert(text.find("[Shortcuts]"), line + "\n");
        WriteFile(Project(), text);
    }
    void ExpectRefused(const std::string& arguments, const std::string& expectedMessage) {
        const CommandResult r = RunVelmoran(arguments);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find(expectedMessage), std::string::npos) << r.output;
        // Nothing is left behind: no output and no temporary file.
        for (const auto& entry : fs::directory_iterator(scratch_.Path()))
            EXPECT_EQ(entry.path().filename().string().find("out.exe"), std::string::npos) << entry.path();
    }
    std::string BuildArgs(const std::string& extra = "") {
        return "build " + Q(Project()) + " -o " + Q(scratch_ / "out.exe") + " --stub " + Q(scratch_ / "stub.exe") + extra;
    }
    ScratchFolder scratch_;
};

TEST_F(SampleProject, BuildListVerifyExtractEveryVariant) {
    for (const char* variant : {"", "--scramble", "--compression lzma", "--compression lzma --scramble --level 3"}) {
        SCOPED_TRACE(variant);
        Build("setup.exe", variant);
        const CommandResult list = RunVelmoran("list " + Q(scratch_ / "setup.exe"));
        EXPECT_EQ(list.exitCode, 0);
        for (const char* expected : {"AppName=Kestrel Notes", "ExeName=Kestrel.exe", "ShortcutName1=User Guide",
                                     "ShortcutPath2=readme.txt", "ShortcutName9=", "Files: 3,", "docs\\guide.txt"})
            EXPECT_NE(list.output.find(expected), std::string::npos) << expected << "\n" << list.output;

        const bool solid = std::string(variant).find("lzma") != std::string::npos;
        EXPECT_NE(list.output.find(solid ? "Compression: lzma2" : "Compression: zlib"), std::string::npos) << list.output;
        EXPECT_EQ(list.output.find("Compression=lzma2") != std::string::npos, solid) << list.output;

        const CommandResult verify = RunVelmoran("verify " + Q(scratch_ / "setup.exe"));
        EXPECT_EQ(verify.exitCode, 0) << verify.output;

        fs::remove_all(scratch_ / "out");
        const CommandResult extract = RunVelmoran("extract " + Q(scratch_ / "setup.exe") + " " + Q(scratch_ / "out"));
        ASSERT_EQ(extract.exitCode, 0) << extract.output;
        for (const char* file : {"Kestrel.exe", "readme.txt", "docs/guide.txt"})
            EXPECT_EQ(ReadFile(scratch_ / "out" / file), ReadFile(scratch_ / "sample/app" / file)) << file;
    }
}

TEST_F(SampleProject, OutputIsDeterministicAcrossRunsAndThreadCounts) {
    const std::string first = Build("a.exe", "-j 1");
    EXPECT_EQ(Build("b.exe", "-j 2"), first);
    EXPECT_EQ(Build("c.exe", "-j 2"), first);
    EXPECT_NE(Build("d.exe", "--level 1"), "");
    EXPECT_EQ(Build("e.exe", "--scramble -j 1"), Build("f.exe", "--scramble -j 2"));
    EXPECT_EQ(Build("g.exe", "--compression lzma -j 1"), Build("h.exe", "--compression lzma -j 2"));
}

TEST_F(SampleProject, CompressionComesFromTheProjectUnlessTheCommandLineSays) {
    UseApplicationLine("Compression=lzma");
    EXPECT_NE(Build("solid.exe").find("Compression=lzma2"), std::string::npos);
    EXPECT_EQ(Build("zlib.exe", "--compression zlib").find("Compression="), std::string::npos);
    UseApplicationLine("Compression=bzip2");
    ExpectRefused(BuildArgs(), "Compression \"bzip2\": zlib or lzma");
}

TEST_F(SampleProject, UninstallerCopyIsListedAndVerified) {
    for (const char* variant : {"", "--scramble"}) {
        SCOPED_TRACE(variant);
        const std::string installer = Build("setup.exe", variant);
        const CommandResult list = RunVelmoran("list " + Q(scratch_ / "setup.exe"));
        const auto at = list.output.find("file data at ");
        ASSERT_NE(at, std::string::npos) << list.output;
        const std::size_t fileDataStart = std::stoul(list.output.substr(at + 13));
        ASSERT_LT(fileDataStart, installer.size());
        for (const char* name : {"uninstall.exe", "renamed copy.exe"}) {
            WriteFile(scratch_ / "copy" / name, installer.substr(0, fileDataStart));
            const CommandResult verify = RunVelmoran("verify " + Q(scratch_ / "copy" / name));
            // A scrambled copy's checksum cannot be checked: sound, but said apart.
            EXPECT_EQ(verify.exitCode, *variant ? 3 : 0) << verify.output;
            EXPECT_NE(verify.output.find("uninstaller copy of 3 files"), std::string::npos) << verify.output;
        }
        const CommandResult extract = RunVelmoran("extract " + Q(scratch_ / "copy/uninstall.exe") + " " + Q(scratch_ / "x"));
        EXPECT_FALSE(fs::exists(scratch_ / "x"));
        EXPECT_EQ(extract.exitCode, 1);
        EXPECT_NE(extract.output.find("carries no file data"), std::string::npos) << extract.output;
    }
}

TEST_F(SampleProject, RefusesBadInputNamingTheFileAndLeavesNoOutput) {
    ExpectRefused("build " + Q(scratch_ / "missing.ini") + " -o " + Q(scratch_ / "out.exe"), "missing.ini");

    WriteFile(scratch_ / "marked.exe", "MZ....d>a>t>a>s>t>a>r>t....");
    ExpectRefused("build " + Q(Project()) + " -o " + Q(scratch_ / "out.exe") + " --stub " + Q(scratch_ / "marked.exe"),
                  "holds a complete payload start marker");
    WriteFile(scratch_ / "text.exe", "not a program at all");
    ExpectRefused("build " + Q(Project()) + " -o " + Q(scratch_ / "out.exe") + " --stub " + Q(scratch_ / "text.exe"),
                  "text.exe\": not a Windows program");

    const std::string project = ReadFile(Project());
    const auto withProject = [&](const std::string& from, const std::string& to) {
        std::string changed = project;
        changed.replace(changed.find(from), from.size(), to);
        WriteFile(Project(), changed);
    };
    withProject("Splash=splash.jpg", "Splash=about.rtf");
    ExpectRefused(BuildArgs(), "about.rtf\": not a JPEG picture");
    withProject("Icon=icon.jpg", "Icon=splash.jpg");
    ExpectRefused(BuildArgs(), "is 128 x 296 pixels; the icon must be 32 x 32");
    // A picture bomb: a few bytes of JPEG declaring a bitmap of gigabytes.
    std::string bomb = ReadFile(scratch_ / "sample/splash.jpg");
    const auto frame = bomb.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    bomb.replace(frame + 5, 4, "\x4E\x20\x4E\x20");  // 20000 x 20000
    WriteFile(scratch_ / "sample/bomb.jpg", bomb);
    withProject("Splash=splash.jpg", "Splash=bomb.jpg");
    ExpectRefused(BuildArgs(), "is 20000 x 20000 pixels; the installer shows pictures up to 4096 x 4096");
    withProject("Name=Kestrel Notes", "Name=Kestrel Notes\nWebsite=http://kestrel.example");
    ExpectRefused(BuildArgs(), "Website \"http://kestrel.example\": an https:// address");
    withProject("About=about.rtf", "About=nowhere.rtf");
    ExpectRefused(BuildArgs(), "nowhere.rtf\": not found");
    withProject("Source=app", "Source=no-such-folder");
    ExpectRefused(BuildArgs(), "no-such-folder\": not found");
    withProject("MainProgram=Kestrel.exe", "MainProgram=Missing.exe");
    ExpectRefused(BuildArgs(), "MainProgram \"Missing.exe\": not among the files");
    withProject("Name=Kestrel Notes", "Name=Kestrel: Notes");
    ExpectRefused(BuildArgs(), "Windows does not allow ':'");
    withProject("Name=Kestrel Notes", "Name=Kestrel Caf\xE9");  // code page 1252
    ExpectRefused(BuildArgs(), "not UTF-8 text (save the project file as UTF-8)");
    withProject("User Guide=docs\\guide.txt", "User Guide=docs\\<guide>.txt");
    ExpectRefused(BuildArgs(), "which the installer's file table cannot carry");
    WriteFile(Project(), project);

    WriteFile(scratch_ / "sample/app/bad<name>.txt", "x");
    ExpectRefused(BuildArgs(), "bad<name>.txt\": it holds '<'");
    fs::remove(scratch_ / "sample/app/bad<name>.txt");
    WriteFile(scratch_ / "sample/app/line\nbreak.txt", "x");
    ExpectRefused(BuildArgs(), "it holds a line break");
    fs::remove(scratch_ / "sample/app/line\nbreak.txt");
    WriteFile(scratch_ / "sample/app/caf\xE9.txt", "x");
    ExpectRefused(BuildArgs(), "caf\\xE9.txt\": it is not UTF-8 text");
    fs::remove(scratch_ / "sample/app/caf\xE9.txt");
    for (const char* device : {"aux.txt", "COM0", "lpt\xC2\xB9.log", "CONIN$"}) {  // lpt¹ in UTF-8
        WriteFile(scratch_ / "sample/app" / device, "x");
        ExpectRefused(BuildArgs(), "Windows reserves that name for a device");
        fs::remove(scratch_ / "sample/app" / device);
    }
    // Twins in letter case, accented letters too (café.txt and CAFÉ.TXT), as Windows sees them.
    for (const auto& [first, second] : {std::pair{"", "README.TXT"}, {"caf\xC3\xA9.txt", "CAF\xC3\x89.TXT"},
                                        {"\xC5\x93uvre.txt", "\xC5\x92UVRE.txt"}}) {
        if (*first) WriteFile(scratch_ / "sample/app" / first, "x");
        WriteFile(scratch_ / "sample/app" / second, "x");
        ExpectRefused(BuildArgs(), "differ only in letter case");
        if (*first) fs::remove(scratch_ / "sample/app" / first);
        fs::remove(scratch_ / "sample/app" / second);
    }

    // Sizes beyond the signed 32-bit range, as sparse files: refused before any compression.
    WriteFile(scratch_ / "sample/app/huge.bin", "");
    fs::resize_file(scratch_ / "sample/app/huge.bin", 2147483648ull);
    ExpectRefused(BuildArgs(), "huge.bin\": larger than an installer can carry");
    fs::resize_file(scratch_ / "sample/app/huge.bin", 1100000000ull);
    WriteFile(scratch_ / "sample/app/huge2.bin", "");
    fs::resize_file(scratch_ / "sample/app/huge2.bin", 1100000000ull);
    ExpectRefused(BuildArgs(), "more than an installer can carry");
}

TEST_F(SampleProject, UsageErrorsAndHelp) {
    const CommandResult help = RunVelmoran("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* expected : {"velmoran build PROJECT -o OUT", "--scramble", "--compression zlib|lzma", "--level 1-12",
                                 "-j N", "list", "verify", "extract"})
        EXPECT_NE(help.output.find(expected), std::string::npos) << expected;
    EXPECT_EQ(RunVelmoran("").exitCode, 2);
    EXPECT_EQ(RunVelmoran("frobnicate").exitCode, 2);
    EXPECT_EQ(RunVelmoran("build " + Q(Project())).exitCode, 2);
    for (const char* wrong : {" --level 13", " --level 0", " --compression zstd", " --compression"})
        EXPECT_EQ(RunVelmoran(BuildArgs(wrong)).exitCode, 2) << wrong;
    EXPECT_EQ(RunVelmoran(BuildArgs(" -j 0")).exitCode, 2);
    EXPECT_EQ(RunVelmoran("extract only-one-argument").exitCode, 2);
}

TEST_F(SampleProject, VerifyFindsDamage) {
    for (const char* compression : {"zlib", "lzma"}) {
        std::string damaged = Build("setup.exe", std::string("--compression ") + compression);
        damaged[damaged.size() - 30] ^= 0x55;  // inside the last file's data
        WriteFile(scratch_ / "damaged.exe", damaged);
        const CommandResult verify = RunVelmoran("verify " + Q(scratch_ / "damaged.exe"));
        EXPECT_EQ(verify.exitCode, 1) << compression;
        EXPECT_NE(verify.output.find("damaged.exe\": file 3 \"readme.txt\""), std::string::npos) << verify.output;
    }
    const std::string installer = Build("setup.exe");

    WriteFile(scratch_ / "truncated.exe", installer.substr(0, installer.size() / 2));
    EXPECT_EQ(RunVelmoran("verify " + Q(scratch_ / "truncated.exe")).exitCode, 1);
    WriteFile(scratch_ / "nothing.exe", "MZ");
    const CommandResult none = RunVelmoran("verify " + Q(scratch_ / "nothing.exe"));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("Can't find control information"), std::string::npos) << none.output;
}

// What a newcomer meets first: each message says what is wrong and where.
TEST_F(SampleProject, FirstUseMistakesAreExplained) {
    // The tool alone in a folder, with neither a stub beside it nor a share folder.
    fs::copy_file(VELMORAN_TOOL, scratch_ / "velmoran");
    const std::string alone = Q(scratch_ / "velmoran");
    fs::remove(scratch_ / "sample/about.rtf");
    fs::remove(scratch_ / "sample/licence.rtf");
    WriteFile(scratch_ / "folder.exe/x", "");
    const struct { std::string command; std::vector<std::string> says; } cases[] = {
        {"verify " + Q(scratch_ / "nothere.exe"), {"nothere.exe\": not found"}},
        {"list " + Q(scratch_ / "nothere.exe"), {"nothere.exe\": not found"}},
        {"extract " + Q(scratch_ / "nothere.exe") + " " + Q(scratch_ / "x"), {"nothere.exe\": not found"}},
        {"verify " + Q(scratch_ / "folder.exe"), {"folder.exe\": a folder, not an installer"}},
        {"build " + Q(Project()) + " -o " + Q(scratch_ / "out.exe"),
         {"3 inputs of", "stub not found", (scratch_ / "velmoran-stub.exe").string(),
          (scratch_.Path().parent_path() / "share/velmoran/velmoran-stub.exe").string(), "about.rtf\": not found",
          "licence.rtf\": not found"}},
    };
    for (const auto& c : cases) {
        const CommandResult r = RunCommand("env -u VELMORAN_STUB " + alone + " " + c.command);
        EXPECT_EQ(r.exitCode, 1) << c.command << "\n" << r.output;
        for (const std::string& text : c.says) EXPECT_NE(r.output.find(text), std::string::npos) << text << "\n" << r.output;
        EXPECT_EQ(r.output.find("damaged installer"), std::string::npos) << r.output;
    }
    WriteFile(Project(), "[Application]\nName=\n");
    const CommandResult keys = RunVelmoran("build " + Q(Project()) + " -o " + Q(scratch_ / "out.exe"));
    EXPECT_NE(keys.output.find("needs a value for 'name', 'mainprogram', 'mainshortcut', 'targetfolder', 'source', "
                               "'about', 'licence'"), std::string::npos) << keys.output;

    const CommandResult version = RunVelmoran("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("velmoran " VELMORAN_VERSION, 0), 0u) << version.output;
    EXPECT_EQ(RunVelmoran("-V").output, version.output);
    EXPECT_EQ(RunVelmoran("--help").output.rfind(version.output.substr(0, version.output.size() - 1) + ":", 0), 0u);
}

TEST_F(SampleProject, StubIsFoundInAnInstalledTree) {
    fs::create_directories(scratch_ / "root/bin");
    fs::create_directories(scratch_ / "root/share/velmoran");
    fs::copy_file(VELMORAN_TOOL, scratch_ / "root/bin/velmoran");
    fs::copy_file(scratch_ / "stub.exe", scratch_ / "root/share/velmoran/velmoran-stub.exe");
    const CommandResult r = RunCommand("env -u VELMORAN_STUB " + Q(scratch_ / "root/bin/velmoran") + " build " +
                                       Q(Project()) + " -o " + Q(scratch_ / "out.exe"));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(ReadFile(scratch_ / "out.exe"), Build("named.exe"));  // the same stub as named with --stub
}

TEST_F(SampleProject, LinksAreFollowedOnlyInsideTheSourceTree) {
    const fs::path app = scratch_ / "sample/app";
    fs::create_symlink("readme.txt", app / "readme-link.txt");
    fs::create_directory_symlink("docs", app / "docs-link");
    Build("setup.exe");
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "setup.exe"));
    for (const char* entry : {"readme-link.txt", "docs-link\\guide.txt"})
        EXPECT_NE(list.output.find(entry), std::string::npos) << list.output;

    WriteFile(scratch_ / "secret.txt", "outside");
    fs::create_symlink(scratch_ / "secret.txt", app / "outside.txt");
    ExpectRefused(BuildArgs(), "outside.txt\": a link to");
    fs::remove(app / "outside.txt");
    fs::create_directory_symlink("..", app / "docs/up");
    ExpectRefused(BuildArgs(), "a link back into a folder that contains it");
    fs::remove(app / "docs/up");
    fs::create_symlink("nowhere", app / "dangling");
    ExpectRefused(BuildArgs(), "dangling\": a link whose target cannot be found");
}

TEST_F(SampleProject, NoLinkPlantedInTheWayIsFollowed) {
    Build("setup.exe");
    // A link already inside the extraction folder.
    fs::create_directories(scratch_ / "elsewhere");
    fs::create_directories(scratch_ / "out");
    fs::create_directory_symlink(scratch_ / "elsewhere", scratch_ / "out/docs");
    const CommandResult extract = RunVelmoran("extract " + Q(scratch_ / "setup.exe") + " " + Q(scratch_ / "out"));
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_NE(extract.output.find("through the link"), std::string::npos) << extract.output;
    EXPECT_TRUE(fs::is_empty(scratch_ / "elsewhere"));

}

TEST_F(SampleProject, VerifyNeverCallsABadChecksumSound) {
    std::string installer = Build("setup.exe", "--scramble");
    installer[installer.size() - 30] ^= 0x55;
    for (const char* name : {"damaged.exe", "uninstall.exe"}) {
        WriteFile(scratch_ / name, installer);
        const CommandResult verify = RunVelmoran("verify " + Q(scratch_ / name));
        EXPECT_EQ(verify.exitCode, 1) << name;
        EXPECT_NE(verify.output.find("Checksum error"), std::string::npos) << verify.output;
    }
}

// The identity the uninstall entry shows travels in the header.
TEST_F(SampleProject, IdentityKeysReachTheHeader) {
    std::string project = ReadFile(Project());
    project.replace(project.find("Name=Kestrel Notes"), 18,
                    "Name=Kestrel Notes\nVersion=2.4.1\nPublisher=Kestrel Software\nSupportUrl=https://kestrel.example/help");
    WriteFile(Project(), project);
    Build("setup.exe");
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "setup.exe"));
    for (const char* line : {"  Version=2.4.1\n", "  Publisher=Kestrel Software\n", "  SupportUrl=https://kestrel.example/help\n"})
        EXPECT_NE(list.output.find(line), std::string::npos) << line << list.output;
    EXPECT_EQ(list.output.find("Website="), std::string::npos);
}

TEST_F(SampleProject, RegistrationsReachTheHeaderAndNameTheirLineWhenWrong) {
    const std::string sections = "\n[FileTypes]\n.knote=Kestrel note|docs\\guide.txt\n[LinkProtocols]\nkestrel=Kestrel link\n"
                                 "[Environment]\nPath=docs\nKESTREL_HOME=%InstallFolder%|replace\n[AppPaths]\n"
                                 "kestrel.exe=Kestrel.exe\n[Registry]\nSoftware\\Kestrel\\FirstRun=dword:1\n";
    UseApplicationLine("DesktopShortcut=ask");
    const std::string project = ReadFile(Project());
    WriteFile(Project(), project + sections);
    Build("setup.exe");
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "setup.exe"));
    for (const char* line : {"  file type .knote \"Kestrel note\", icon docs\\guide.txt\n", "  link protocol kestrel: \"Kestrel link\"\n",
                             "  PATH: <install folder>\\docs\n", "  variable KESTREL_HOME=%InstallFolder% (replacing another value)\n",
                             "  App Paths kestrel.exe: Kestrel.exe\n", "  registry value Software\\Kestrel\\FirstRun = dword:1\n",
                             "  desktop shortcut: asked\n"})
        EXPECT_NE(list.output.find(line), std::string::npos) << line << list.output;
    WriteFile(Project(), project + sections + "[Unknown]\n");
    ExpectRefused(BuildArgs(), "kestrel.ini:30: unknown section [Unknown]");
    std::string missing = project + sections;
    missing.replace(missing.find("Path=docs"), 9, "Path=bin");
    WriteFile(Project(), missing);
    ExpectRefused(BuildArgs(), "kestrel.ini:24: Path \"bin\": not among the folders");
}

// The signing command runs on the finished installer, before it has its name;
// a failing one leaves nothing and never shows the command (it holds secrets).
TEST_F(SampleProject, TheSigningCommandSignsTheInstallerOrLeavesNothing) {
    Build("copied.exe", "--sign 'cp {in} {out} && printf SIGNED >> {out}'");
    const std::string signedBytes = ReadFile(scratch_ / "copied.exe");
    EXPECT_EQ(signedBytes.substr(signedBytes.size() - 6), "SIGNED");
    EXPECT_EQ(RunVelmoran("verify " + Q(scratch_ / "copied.exe")).exitCode, 0);
    setenv("VELMORAN_SIGN", "printf X >> {file}", 1);
    const std::string inPlace = Build("in-place.exe");
    unsetenv("VELMORAN_SIGN");
    EXPECT_EQ(inPlace.back(), 'X');
    const struct { const char* command; const char* says; } refused[] = {
        {"'true secret-PASS; echo bad key {file}; exit 3'", "the signing command ended with exit code 3, saying:"},
        {"'signtool sign'", "names no {file}, nor {in} and {out}"},
        {"'true {in} {out}'", "wrote no signed file at {out}"},
    };
    for (const auto& c : refused) {
        ExpectRefused(BuildArgs(std::string(" --sign ") + c.command), c.says);
        EXPECT_EQ(RunVelmoran(BuildArgs(std::string(" --sign ") + c.command)).output.find("secret-PASS"), std::string::npos);
    }
}

// Payload text reaches the terminal with its control characters escaped.
TEST_F(SampleProject, ListAndErrorsEscapeControlCharacters) {
    std::string installer = Build("setup.exe");
    const auto header = installer.find("d>a>t>a>s>t>a>r>t");
    const auto name = installer.find("AppName=", header);
    const std::string original = installer;
    installer.replace(name + 8, 1, "\xC2\x9B");  // the C1 control CSI in place of the "K"
    const auto count = installer.find("Filecount=", header);
    installer.replace(count + 10, 1, "\xC2\x9B");
    WriteFile(scratch_ / "hostile.exe", installer);
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "hostile.exe"));
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.output.find("\\x9B"), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find("\x9B"), std::string::npos);
    // A header marked UTF-8 that is not is damaged, not shown.
    installer = original;
    installer.replace(name + 8, 1, "\x9B");
    WriteFile(scratch_ / "hostile.exe", installer);
    EXPECT_NE(RunVelmoran("list " + Q(scratch_ / "hostile.exe")).output.find("damaged installer"), std::string::npos);
}

// Installers from before the UTF-8 header: their texts in code page 1252.
TEST_F(SampleProject, ListShowsAnUnmarkedInstallersNamesInUtf8) {
    std::string installer = Build("setup.exe");
    const auto header = installer.find("d>a>t>a>s>t>a>r>t");
    installer.erase(installer.find("Charset=UTF-8\r\n", header), 15);
    installer.replace(installer.find("AppName=Kestrel", header), 15, "AppName=Caf\xE9");
    WriteFile(scratch_ / "legacy.exe", installer);
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "legacy.exe"));
    EXPECT_EQ(list.exitCode, 0) << list.output;
    EXPECT_NE(list.output.find("AppName=Caf\xC3\xA9 Notes"), std::string::npos) << list.output;
}

TEST_F(SampleProject, OversizedPictureIsNotInflated) {
    std::string installer = Build("setup.exe");
    const std::string splash = "Splash=";
    const auto at = installer.find(splash, installer.find("d>a>t>a>s>t>a>r>t"));
    const auto end = installer.find('\r', at);
    installer.replace(at, end - at, splash + "1073741824");
    WriteFile(scratch_ / "bomb.exe", installer);
    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "bomb.exe"));
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.output.find("more than the installer shows (16 MiB)"), std::string::npos) << list.output;
}

// Random trees: names with spaces and in several scripts, nested folders,
// empty and incompressible files; extract gives every byte back, under the
// same names.
TEST(VelmoranCli, RandomTreesRoundTrip) {
    std::mt19937 rng(7);
    for (int round = 0; round < 4; ++round) {
        ScratchFolder scratch;
        const fs::path app = scratch / "tree";
        const char* names[] = {"a.txt", "Read me.txt", "caf\xC3\xA9.dat", "Текст", "表.bin", "σοφός 😀"};
        const int count = 1 + static_cast<int>(rng() % 25);
        for (int i = 0; i < count; ++i) {
            fs::path p = app;
            for (unsigned depth = rng() % 3; depth > 0; --depth) p /= "dir" + std::to_string(rng() % 3) + "メモ";
            p /= std::to_string(i) + names[rng() % 6];
            std::string content(rng() % 200000, '\0');
            const bool text = rng() % 2;
            for (char& c : content) c = text ? "lorem ipsum\n"[rng() % 12] : static_cast<char>(rng());
            WriteFile(p, content);
        }
        WriteFile(app / "main.exe", "MZ");
        WriteFile(scratch / "about.rtf", "{\\rtf1 about}");
        WriteFile(scratch / "licence.rtf", "{\\rtf1 licence}");
        fs::copy_file(VELMORAN_REAL_STUB, scratch / "stub.exe");
        WriteFile(scratch / "p.ini", "[Application]\nName=Дерево\nMainProgram=main.exe\nMainShortcut=Дерево\n"
                                      "TargetFolder=%ProgramFiles%\\Дерево\nSource=tree\nAbout=about.rtf\nLicense=licence.rtf\n");
        const CommandResult build = RunVelmoran("build " + Q(scratch / "p.ini") + " -o " + Q(scratch / "t.exe") +
                                                " --stub " + Q(scratch / "stub.exe") + (round % 2 ? " --scramble" : ""));
        ASSERT_EQ(build.exitCode, 0) << build.output;
        ASSERT_EQ(RunVelmoran("verify " + Q(scratch / "t.exe")).exitCode, 0);
        EXPECT_NE(RunVelmoran("list " + Q(scratch / "t.exe")).output.find("AppName=Дерево"), std::string::npos);
        const CommandResult extract = RunVelmoran("extract " + Q(scratch / "t.exe") + " " + Q(scratch / "out"));
        ASSERT_EQ(extract.exitCode, 0) << extract.output;
        std::size_t compared = 0;
        for (const auto& entry : fs::recursive_directory_iterator(app)) {
            if (!entry.is_regular_file()) continue;
            EXPECT_EQ(ReadFile(scratch / "out" / fs::relative(entry.path(), app)), ReadFile(entry.path())) << entry.path();
            ++compared;
        }
        std::size_t extracted = 0;
        for (const auto& entry : fs::recursive_directory_iterator(scratch / "out")) extracted += entry.is_regular_file();
        EXPECT_EQ(extracted, compared);
    }
}

}  // namespace
}  // namespace velmoran::testing

// Pieces of the builder that the command-line tests cannot reach directly.

#include <gtest/gtest.h>

#include "app_tree.h"
#include "cli_runner.h"
#include "code_page.h"
#include "common/failure.h"
#include "common/windows_names.h"
#include "jpeg_probe.h"
#include "parallel_compressor.h"
#include "pe_resources.h"
#include "project_registrations.h"
#include "payload/compress.h"
#include "safe_files.h"

namespace velmoran::testing {
namespace {

namespace fs = std::filesystem;
using namespace velmoran::builder;

TEST(NameAcceptance, EveryScriptWindowsTakesAndNothingElse) {
    const std::string emoji = "\xF0\x9F\x98\x80";  // beyond U+FFFF: two UTF-16 units
    std::string longest, tooLong;
    for (int i = 0; i < 127; ++i) longest += emoji;
    longest += "x";
    tooLong = longest + "y";
    for (const std::string& name : {std::string("Текстовый редактор"), std::string("Ελληνικά.txt"), std::string("メモ帳"),
                                    std::string("Café Ω"), std::string("日本語\xE8\xA1\xA8"), emoji + ".png", longest,
                                    std::string("COM10"), std::string("nul-free")})
        EXPECT_EQ(FileNameText(name, "file"), name) << name;
    const std::pair<std::string, const char*> refused[] = {
        {"tab\there", "control character"},
        {"a<b", "'<'"},
        {"a>b", "'>'"},
        {"a:b", "':'"},
        {"a\"b", "'\"'"},
        {"a/b", "'/'"},
        {"a\\b", "'\\'"},
        {"a|b", "'|'"},
        {"a?b", "'?'"},
        {"a*b", "'*'"},
        {"CON", "device"},
        {"lpt1.txt", "device"},
        {"COM\xC2\xB9", "device"},             // COM with a superscript one
        {"\xED\xA0\x80.txt", "not UTF-8"},     // an unpaired surrogate
        {"\xC0\xAF", "not UTF-8"},              // '/' spelt over-long
        {"caf\xE9", "not UTF-8"},                // code page 1252
        {"\xE2\x82", "not UTF-8"},              // cut short
        {tooLong, "255 characters"},
        {"name.", "end with"},
    };
    for (const auto& [name, reason] : refused) {
        try {
            FileNameText(name, "file");
            ADD_FAILURE() << name << " accepted";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(reason), std::string::npos) << failure.what();
        }
    }
    EXPECT_EQ(CodePageToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(SafeFiles, ANewFileIsNeverCreatedThroughAPlantedLink) {
    ScratchFolder scratch;
    WriteFile(scratch / "victim.txt", "keep");
    fs::create_symlink(scratch / "victim.txt", scratch / "planted");
    fs::create_symlink(scratch / "missing.txt", scratch / "dangling");
    for (const char* name : {"planted", "dangling", "victim.txt"})
        EXPECT_EQ(CreateNewFile(scratch / name), nullptr) << name;
    EXPECT_EQ(ReadFile(scratch / "victim.txt"), "keep");
    EXPECT_FALSE(fs::exists(scratch / "missing.txt"));
    std::FILE* fresh = CreateNewFile(scratch / "fresh");
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(FlushToDisk(fresh));
    std::fclose(fresh);
}

TEST(JpegProbe, ReadsFrameSizeOrRefuses) {
    const std::string splash = ReadFile(fs::path(VELMORAN_SAMPLE_DIR) / "splash.jpg");
    const auto size = ProbeJpeg(Bytes(splash.begin(), splash.end()));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 128);
    EXPECT_EQ(size->height, 296);
    EXPECT_FALSE(ProbeJpeg(Bytes{0xFF, 0xD8, 0xFF}));
    EXPECT_FALSE(ProbeJpeg(Bytes{'G', 'I', 'F', '8', '9', 'a'}));
    // A segment whose length runs past the end.
    EXPECT_FALSE(ProbeJpeg(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x10, 0x00, 'J'}));
}

TEST(SafeRelativePath, RefusesPathsThatLeave) {
    for (const char* inside : {"a.txt", "dir\\a.txt", "a..b\\c", ".hidden", "dir/a"})
        EXPECT_TRUE(IsSafeRelativePath(inside)) << inside;
    for (const char* outside : {"", "\\Windows\\x.dll", "/etc/x", "C:\\x", "C:x", "..\\x", "dir\\..\\..\\x", "dir/../x",
                                "..", "a\\...\\b", "a\\.. \\b", "file.txt:stream"})
        EXPECT_FALSE(IsSafeRelativePath(outside)) << outside;
}

// A known answer: the value the system's own CheckSumMappedFile (imagehlp,
// under Wine 8.0) gives for these 1,001 bytes, an odd length included.
TEST(PeChecksum, AgreesWithTheSystemsChecksum) {
    Bytes file(1001);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7 + 3);
    const std::pair<std::size_t, uint8_t> headers[] = {{0, 'M'},   {1, 'Z'},     {0x3C, 0x40}, {0x3D, 0}, {0x3E, 0},
                                                       {0x3F, 0},  {0x40, 'P'},  {0x41, 'E'},  {0x42, 0}, {0x43, 0},
                                                       {0x44, 0x64}, {0x45, 0x86}, {0x54, 0xF0}, {0x55, 0}, {0x58, 0x0B},
                                                       {0x59, 0x02}};
    for (const auto& [at, byte] : headers) file[at] = byte;
    EXPECT_EQ(PeChecksum(file, 0x58 + 64), 0xB7A2u);
}

TEST(ParallelCompressor, StreamsMatchOneShotCompressionWhetherKeptOrSpilled) {
    ScratchFolder scratch;
    std::vector<SourceFile> files;
    for (int i = 0; i < 7; ++i) {
        std::string content(50000 * i, 'a');
        for (std::size_t k = 0; k < content.size(); k += 7) content[k] = static_cast<char>(k * 31);
        WriteFile(scratch / std::to_string(i), content);
        files.push_back({scratch / std::to_string(i), std::to_string(i), content.size()});
    }
    for (const std::size_t spill : {std::size_t(100), std::size_t(16u << 20)}) {
        CompressorSettings settings;
        settings.threads = 3;
        settings.level = 6;
        settings.spillThreshold = spill;
        std::size_t expectedIndex = 0;
        CompressInOrder(files, settings, [&](std::size_t index, CompressedStream& stream) {
            EXPECT_EQ(index, expectedIndex++);
            MemorySink sink;
            stream.WriteTo(sink);
            const std::string content = ReadFile(files[index].path);
            EXPECT_EQ(sink.bytes, payload::Compress(Bytes(content.begin(), content.end()), 6));
        });
        EXPECT_EQ(expectedIndex, files.size());
    }
}

TEST(ParallelCompressor, FailuresStopThePipelineAndNameTheFile) {
    ScratchFolder scratch;
    WriteFile(scratch / "ok", "fine");
    std::vector<SourceFile> files = {{scratch / "ok", "ok", 4}, {scratch / "gone", "gone", 4}, {scratch / "ok", "ok2", 4}};
    CompressorSettings settings;
    settings.threads = 2;
    try {
        CompressInOrder(files, settings, [](std::size_t, CompressedStream&) {});
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("gone\": cannot be opened"), std::string::npos) << failure.what();
    }
    files = {{scratch / "ok", "ok", 5}};
    EXPECT_THROW(CompressInOrder(files, settings, [](std::size_t, CompressedStream&) {}), Failure);
    files = {{scratch / "ok", "ok", 4}};
    EXPECT_THROW(CompressInOrder(files, settings, [](std::size_t, CompressedStream&) { throw Failure("disk full"); }),
                 Failure);
}

TEST(RegistrationSections, RefuseWhatWindowsWouldMisreadOrWhatIsNotTheApplications) {
    const struct { const char* section; const char* key; const char* value; const char* says; } cases[] = {
        {"filetypes", "knote", "Note", "an extension with its dot"},
        {"filetypes", ".tar.gz", "Archive", "an extension with its dot"},
        {"filetypes", ".knote", "", "needs the name Explorer shows"},
        {"filetypes", ".kbook", "Book|..\\book.ico", "without \"..\""},
        {"linkprotocols", "kes trel", "Link", "a scheme of two or more"},
        {"linkprotocols", "c", "Link", "a scheme of two or more"},
        {"linkprotocols", "HTTPS", "Link", "no browser or Windows itself handles"},
        {"linkprotocols", "ms-settings", "Link", "no browser or Windows itself handles"},
        {"environment", "Path", "C:\\Tools", "a path relative to the Source folder"},
        {"environment", "ComSpec", "x", "Windows itself sets it"},
        {"environment", "A=B", "x", "letters, digits"},
        {"environment", "KESTREL_HOME", "|replace", "needs a value"},
        {"apppaths", "kestrel", "Kestrel.exe", "ending in .exe"},
        {"apppaths", "kestrel.exe", "", "needs the installed program"},
        {"registry", "System\\CurrentControlSet\\X", "1", "not below Software\\"},
        {"registry", "Software\\Classes\\.txt\\X", "1", "through [FileTypes]"},
        {"registry", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other\\X", "1", "uninstall entry"},
        {"registry", "Software\\Kestrel\\\\X", "1", "a key name in it is empty"},
        {"registry", "Software\\Kestrel\\X", "dword:4294967296", "is no DWORD"},
        {"registry", "Software\\Kestrel\\X", "dword:ten", "is no DWORD"},
    };
    for (const auto& c : cases) {
        RegistrationSections sections;
        try {
            sections.Take(c.section, 3, c.key, c.value);
            ADD_FAILURE() << c.key << "=" << c.value << " was taken";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << failure.what();
        }
    }
    // A second line for the same thing, in any letter case.
    RegistrationSections sections;
    sections.Take("linkprotocols", 1, "kestrel", "Link");
    sections.Take("registry", 2, "Software\\Kestrel\\FirstRun", "dword:0x10");
    EXPECT_EQ(sections.registrations.registryValues.at(0).data, "16");
    EXPECT_THROW(sections.Take("linkprotocols", 3, "Kestrel", "Link"), Failure);
    EXPECT_THROW(sections.Take("registry", 4, "software\\kestrel\\firstrun", "x"), Failure);
}

}  // namespace
}  // namespace velmoran::testing

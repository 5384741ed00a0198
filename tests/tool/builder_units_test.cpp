// Pieces of the builder that the command-line tests cannot reach directly.

#include <gtest/gtest.h>

#include "app_tree.h"
#include "cli_runner.h"
#include "code_page.h"
#include "common/failure.h"
#include "common/windows_names.h"
#include "jpeg_probe.h"
#include "parallel_compressor.h"
#include "payload/compress.h"
#include "safe_files.h"

namespace velmoran::testing {
namespace {

namespace fs = std::filesystem;
using namespace velmoran::builder;

TEST(CodePage, ConvertsWesternTextAndRefusesTheRest) {
    EXPECT_EQ(Utf8ToCodePage("caf\xC3\xA9 \xE2\x82\xAC"), std::string("caf\xE9 \x80"));
    EXPECT_EQ(Utf8ToCodePage("plain"), std::string("plain"));
    EXPECT_FALSE(Utf8ToCodePage("\xE2\x98\x83"));   // snowman
    EXPECT_FALSE(Utf8ToCodePage("\xC3"));           // cut short
    EXPECT_FALSE(Utf8ToCodePage("\xFF"));           // not UTF-8
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

}  // namespace
}  // namespace velmoran::testing

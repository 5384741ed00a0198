// The writer's output against layouts spelled out here, and read back.

#include "payload/payload_writer.h"

#include <gtest/gtest.h>

#include "fixture_bytes.h"
#include "payload/compress.h"
#include "payload/manifest.h"
#include "payload/payload_reader.h"

namespace velmoran::testing {
namespace {

using payload::InstallerParts;

InstallerParts SmallParts() {
    InstallerParts parts;
    parts.programImage = B("STUB");
    parts.headerLines = {"AppName=A", "InfoAbout=1", "InfoInstall=1"};
    parts.about = B("a");
    parts.licence = B("l");
    parts.fileStreams = {StoredHi()};
    return parts;
}

TEST(PayloadWriter, PlainLayoutByteForByte) {
    MemorySink out;
    payload::WriteInstaller(out, SmallParts(), false);
    const Bytes expected = Cat({B("STUBd>a>t>a>s>t>a>r>t\r\nAppName=A\r\nInfoAbout=1\r\nInfoInstall=1\r\n"
                                  "d>a>t>a>e>n>d\r\nal"),
                                StoredHi()});
    EXPECT_EQ(out.bytes, expected);
}

TEST(PayloadWriter, ScrambledLayoutKeepsMarkerPlainAndBalancesChecksum) {
    MemorySink out;
    payload::WriteInstaller(out, SmallParts(), true);
    const std::string marker = "d>a>t>a>c>r>y>p>t";
    Bytes expectedPlainBody = Cat({B("\r\nAppName=A\r\nInfoAbout=1\r\nInfoInstall=1\r\nd>a>t>a>e>n>d\r\nal"), StoredHi()});
    // Zero bytes up to a multiple of 8, the last one balancing the checksum.
    const uint8_t balance = XorOf(expectedPlainBody, 0);
    std::size_t padding = (8 - (4 + marker.size() + expectedPlainBody.size()) % 8) % 8;
    if (balance != 0 && padding == 0) padding = 8;
    expectedPlainBody.insert(expectedPlainBody.end(), padding, 0);
    if (padding > 0) expectedPlainBody.back() = balance;

    ASSERT_EQ(out.bytes.size() % 8, 0u);
    ASSERT_EQ(out.bytes.size(), 4 + marker.size() + expectedPlainBody.size());
    EXPECT_EQ(Bytes(out.bytes.begin(), out.bytes.begin() + 4 + marker.size()), B("STUB" + marker));
    Bytes body(out.bytes.begin() + 4 + marker.size(), out.bytes.end());
    XorWithKey(body, 0);
    EXPECT_EQ(body, expectedPlainBody);
    EXPECT_EQ(XorOf(body, 0), 0);
}

TEST(PayloadWriter, RefusesProgramImageHoldingAStartMarker) {
    for (const char* image : {"xxd>a>t>a>s>t>a>r>tyy", "d>a>t>a>c>r>y>p>t"}) {
        InstallerParts parts = SmallParts();
        parts.programImage = B(image);
        MemorySink out;
        EXPECT_THROW(payload::WriteInstaller(out, parts, false), Failure) << image;
        EXPECT_TRUE(out.bytes.empty());
    }
}

TEST(Manifest, HeaderLinesCarryNineShortcutSlotsAndFileEntries) {
    payload::Manifest m;
    m.appName = "Tallowby";
    m.exeName = "Tallowby.exe";
    m.exeShortcut = "Tallowby";
    m.targetFolder = "%ProgramFiles%\\Tallowby";
    m.shortcuts = {{"Help", "Help\\Tallowby.chm"}};
    m.iconSize = 1192;
    m.aboutSize = 240;
    m.licenceSize = 877;
    m.files = {{"readme.txt", 1398}, {"examples\\images\\backing.jpg", 7110}};
    const auto lines = payload::HeaderLines(m);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 11);
    EXPECT_EQ(head, (std::vector<std::string>{"[Settings]", "Splash=", "Icon=1192", "Filecount=2", "Filebytes=8508",
                                              "ExeName=Tallowby.exe", "ExeShortcut=Tallowby", "ShortcutName1=Help",
                                              "ShortcutPath1=Help\\Tallowby.chm", "ShortcutName2=", "ShortcutPath2="}));
    EXPECT_EQ(lines[7 + 17], "ShortcutPath9=");
    const std::vector<std::string> tail(lines.end() - 7, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"TargetFolder=%ProgramFiles%\\Tallowby", "AppName=Tallowby", "InfoAbout=240",
                                              "InfoInstall=877", "[Files]", "f1=<readme.txt><1398>",
                                              "f2=<examples\\images\\backing.jpg><7110>"}));
    m.shortcuts.resize(11, {"X", "x.txt"});
    EXPECT_EQ(payload::HeaderLines(m).size(), lines.size() + 4);
}

TEST(Compress, MakesCompleteZlibStreamsTheReaderTakes) {
    for (const Bytes& content : {Bytes(), B("hello hello hello hello"), Bytes(200000, 'q')}) {
        const Bytes stream = payload::Compress(content, 9);
        ASSERT_GE(stream.size(), 6u);
        EXPECT_EQ(stream[0], 0x78);
        EXPECT_EQ(((stream[0] << 8) | stream[1]) % 31, 0);

        MemorySource source(Cat({B("d>a>t>a>s>t>a>r>t\r\nd>a>t>a>e>n>d\r\n"), stream}));
        payload::PayloadReader reader;
        reader.Open(source, "setup.exe");
        reader.SeekItemArea();
        MemorySink sink;
        reader.InflateItem(static_cast<int64_t>(content.size()), sink);
        EXPECT_EQ(sink.bytes, content);
        EXPECT_EQ(reader.Position(), reader.ItemAreaStart() + stream.size());
    }
}

}  // namespace
}  // namespace velmoran::testing

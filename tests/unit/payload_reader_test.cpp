// The reader against payloads spelled out byte by byte in this file.

#include "payload/payload_reader.h"

#include <gtest/gtest.h>

#include "fixture_bytes.h"
#include "solid_fixture.h"

namespace velmoran::testing {
namespace {

using payload::OpenFailure;
using payload::OpenFailureKind;
using payload::PayloadReader;

const std::string kPlain = "d>a>t>a>s>t>a>r>t";
const std::string kScrambled = "d>a>t>a>c>r>y>p>t";
const std::string kEnd = "d>a>t>a>e>n>d";

// Header with a splash (stored "Hi"), no icon, about "AB", licence "XYZ", and
// two files: stored "Hi" and an empty file.
// 16 bytes standing for the program image, a NUL among them.
Bytes Stub() { return Cat({Bytes{'M', 'Z', 0x90, 0x00}, B("stub-image12")}); }

std::string SampleHeader() {
    return "\r\n[Settings]\r\nSplash=2\r\nIcon=\r\nFilecount=2\r\nFilebytes=2\r\n"
           "ExeName=app.exe\r\nExeShortcut=App\r\nShortcutName1=\r\nShortcutPath1=\r\n"
           "TargetFolder=%ProgramFiles%\\App\r\nAppName=App\r\nInfoAbout=2\r\nInfoInstall=3\r\n"
           "[Files]\r\nf1=<app.exe><2>\r\nf2=<doc\\empty.txt><0>\r\n" + kEnd + "\r\n";
}

Bytes SampleItems() { return Cat({StoredHi(), B("AB"), B("XYZ"), StoredHi(), StoredEmpty()}); }

Bytes SamplePlain() { return Cat({Stub(), B(kPlain), B(SampleHeader()), SampleItems()}); }

// The same payload scrambled; a balancing byte is added at the end so the
// checksum comes out 0.
Bytes SampleScrambled(bool balanced = true) {
    Bytes file = Cat({Stub(), B(kScrambled), B(SampleHeader()), SampleItems()});
    const std::size_t body = 16 + kScrambled.size();
    if (balanced && XorOf(file, body) != 0) file.push_back(XorOf(file, body));
    if (!balanced && XorOf(file, body) == 0) file.push_back(0x5A);
    XorWithKey(file, body);
    return file;
}

OpenFailureKind OpenKind(const Bytes& image, const std::string& name = "C:\\setup.exe") {
    MemorySource source(image);
    PayloadReader reader;
    try {
        reader.Open(source, name);
    } catch (const OpenFailure& failure) {
        return failure.Kind();
    }
    ADD_FAILURE() << "Open succeeded";
    return OpenFailureKind::General;
}

TEST(PayloadReader, OpensPlainPayloadAndReadsItemsAtExactOffsets) {
    const Bytes file = SamplePlain();
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "C:\\setup.exe");

    EXPECT_FALSE(reader.Scrambled());
    EXPECT_EQ(reader.MarkerOffset(), 16u);
    const std::size_t itemArea = 16 + kPlain.size() + SampleHeader().size();
    EXPECT_EQ(reader.ItemAreaStart(), itemArea);
    EXPECT_EQ(reader.Settings().FirstLine(), kPlain);
    EXPECT_EQ(reader.Settings().LastLine(), kEnd);
    EXPECT_EQ(reader.Value("AppName"), "App");
    EXPECT_EQ(reader.Value("Icon"), "");
    EXPECT_EQ(reader.Value("f2"), "<doc\\empty.txt><0>");

    reader.SeekItemArea();
    EXPECT_EQ(reader.Position(), itemArea);
    MemorySink splash, about, licence, file1, file2;
    reader.InflateItem(2, splash);
    EXPECT_EQ(reader.Position(), itemArea + 13);
    reader.CopyRawItem(2, about);
    EXPECT_EQ(reader.Position(), itemArea + 15);
    reader.CopyRawItem(3, licence);
    EXPECT_EQ(reader.Position(), itemArea + 18);
    reader.RecordFileDataStart();
    EXPECT_EQ(reader.FileDataStart(), itemArea + 18);
    reader.InflateItem(2, file1);
    reader.InflateItem(0, file2);
    EXPECT_EQ(reader.Position(), file.size());

    EXPECT_EQ(splash.bytes, B("Hi"));
    EXPECT_EQ(about.bytes, B("AB"));
    EXPECT_EQ(licence.bytes, B("XYZ"));
    EXPECT_EQ(file1.bytes, B("Hi"));
    EXPECT_TRUE(file2.bytes.empty());
}

TEST(PayloadReader, HeaderTextRules) {
    // A key before [Settings], CR-only line ends, a TAB and an LF inside values,
    // a lower-case name, and a duplicate key whose first line wins.
    const Bytes file = Cat({B("xx"), B(kPlain),
                            B("\rAppName=Fi\trst\r\n[Settings]\rappname=Second\rInfo\nAbout=4\r"
                              "ExeShortcut=Main\rExeShortcut=Other\rNoEquals\r=empty name\r" + kEnd + "\r\n")});
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "setup.exe");
    EXPECT_EQ(reader.Value("APPNAME"), "First");
    EXPECT_EQ(reader.Value("infoAbout"), "4");
    EXPECT_EQ(reader.Value("ExeShortCut"), "Main");
    EXPECT_EQ(reader.Value("NoEquals"), "");
    EXPECT_EQ(reader.Value(""), "empty name");
    EXPECT_EQ(reader.Value("Missing"), "");
    EXPECT_EQ(reader.ItemAreaStart(), file.size());
}

TEST(PayloadReader, EndMarkerInsideLongerLineEndsHeaderAndTwoBytesAreSkipped) {
    // Whatever the two bytes after the marker are, the item area starts after them.
    const Bytes file = Cat({B(kPlain), B("\r\nA=1\r\nnoise" + kEnd + "tail"), B("Z")});
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "setup.exe");
    EXPECT_EQ(reader.Settings().LastLine(), "noise" + kEnd);
    const std::size_t markerEnd = kPlain.size() + 7 + 5 + kEnd.size();
    EXPECT_EQ(reader.ItemAreaStart(), markerEnd + 2);
    reader.SeekItemArea();
    MemorySink rest;
    reader.CopyRawItem(3, rest);
    EXPECT_EQ(rest.bytes, B("ilZ"));
}

TEST(PayloadReader, PlainMarkerWinsEvenAfterScrambledOne) {
    const Bytes file = Cat({B("junk" + kScrambled + "junk"), B(kPlain), B("\r\nAppName=P\r\n" + kEnd + "\r\n")});
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "setup.exe");
    EXPECT_FALSE(reader.Scrambled());
    EXPECT_EQ(reader.MarkerOffset(), 4 + kScrambled.size() + 4);
    EXPECT_EQ(reader.Value("AppName"), "P");
}

TEST(PayloadReader, OpenFailureKinds) {
    EXPECT_EQ(OpenKind(B("no marker here d>a>t>a>s>t>a>r")), OpenFailureKind::MarkerMissing);
    EXPECT_EQ(OpenKind(Bytes()), OpenFailureKind::MarkerMissing);
    EXPECT_EQ(OpenKind(B(kPlain + "\r\nA=1\r\n")), OpenFailureKind::HeaderUnterminated);
    // A CR inside the end marker breaks it.
    EXPECT_EQ(OpenKind(B(kPlain + "\r\nd>a>t>a>\re>n>d\r\n")), OpenFailureKind::HeaderUnterminated);
    EXPECT_EQ(OpenKind(SampleScrambled(false)), OpenFailureKind::ChecksumMismatch);
}

TEST(PayloadReader, FailureMessages) {
    using payload::OpenFailureMessage;
    EXPECT_STREQ(OpenFailureMessage(OpenFailureKind::MarkerMissing), "Can't find control information (damaged installer?)");
    EXPECT_STREQ(OpenFailureMessage(OpenFailureKind::HeaderUnterminated), "Control information not terminated (damaged installer?)");
    EXPECT_STREQ(OpenFailureMessage(OpenFailureKind::ChecksumMismatch), "Checksum error (damaged installer?)");
    EXPECT_STREQ(OpenFailureMessage(OpenFailureKind::General), "Failed to initialise (damaged installer?)");
}

TEST(PayloadReader, ScrambledPayloadIsUnscrambledInPlace) {
    const Bytes stored = SampleScrambled();
    MemorySource source(stored);
    PayloadReader reader;
    reader.Open(source, "C:\\Downloads\\setup.exe");
    EXPECT_TRUE(reader.Scrambled());
    EXPECT_EQ(reader.Value("AppName"), "App");
    EXPECT_EQ(reader.Settings().FirstLine(), kScrambled);
    reader.SeekItemArea();
    MemorySink splash;
    reader.InflateItem(2, splash);
    EXPECT_EQ(splash.bytes, B("Hi"));

    // Reloading gives back the bytes as stored, at position 0.
    reader.ReloadImage();
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_EQ(reader.ReadStored(0, reader.FileSize()), stored);
}

TEST(PayloadReader, UninstallerCopyIsExemptFromChecksumInAnyLetterCase) {
    const Bytes bad = SampleScrambled(false);
    for (const char* name : {"uninstall.exe", "C:\\Program Files\\App\\UNINSTALL.EXE", "D:Uninstall.Exe"}) {
        MemorySource source(bad);
        PayloadReader reader;
        EXPECT_NO_THROW(reader.Open(source, name)) << name;
        EXPECT_EQ(reader.Value("AppName"), "App") << name;
    }
    EXPECT_EQ(OpenKind(bad, "C:\\uninstall.exe\\setup.exe"), OpenFailureKind::ChecksumMismatch);
    EXPECT_EQ(OpenKind(bad, "myuninstall.exe"), OpenFailureKind::ChecksumMismatch);
}

class FailingSource : public ByteSource {
public:
    FailingSource(bool failOpen, Bytes partial) : failOpen_(failOpen), partial_(std::move(partial)) {}
    void Open() override {
        if (failOpen_) throw Failure("Cannot open file");
    }
    void ReadAll(Bytes& into) override {
        into = partial_;
        throw Failure("Read fault");
    }
    void Close() override {}

private:
    bool failOpen_;
    Bytes partial_;
};

TEST(PayloadReader, SourceFailures) {
    PayloadReader reader;
    FailingSource cannotOpen(true, Bytes());
    try {
        reader.Open(cannotOpen, "setup.exe");
        FAIL() << "Open succeeded";
    } catch (const OpenFailure& failure) {
        EXPECT_EQ(failure.Kind(), OpenFailureKind::General);
    }

    // A read failure is reported, and opening goes on with what was read.
    std::string reported;
    FailingSource partial(false, B(kPlain + "\r\nAppName=Half\r\n" + kEnd + "\r\n"));
    reader.Open(partial, "setup.exe", [&](const std::string& m) { reported = m; });
    EXPECT_EQ(reported, "Read fault");
    EXPECT_EQ(reader.Value("AppName"), "Half");

    FailingSource nothing(false, Bytes());
    reported.clear();
    try {
        reader.Open(nothing, "setup.exe", [&](const std::string& m) { reported = m; });
        FAIL() << "Open succeeded";
    } catch (const OpenFailure& failure) {
        EXPECT_EQ(failure.Kind(), OpenFailureKind::MarkerMissing);
    }
    EXPECT_EQ(reported, "Read fault");
}

// Opens `items` as the item area of a minimal payload, positioned there.
struct ItemArea {
    explicit ItemArea(const Bytes& items)
        : source(Cat({B(kPlain + "\r\n" + kEnd + "\r\n"), items})) {
        reader.Open(source, "setup.exe");
        reader.SeekItemArea();
    }
    MemorySource source;
    PayloadReader reader;
};

std::string InflateMessage(const Bytes& items, int64_t size, MemorySink& sink) {
    ItemArea area(items);
    try {
        area.reader.InflateItem(size, sink);
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(PayloadReader, InflateItemFailures) {
    MemorySink sink;
    Bytes corrupt = StoredHi();
    corrupt[5] = 0x00;  // NLEN no longer complements LEN
    EXPECT_EQ(InflateMessage(corrupt, 2, sink), "Error");
    Bytes badAdler = StoredHi();
    badAdler.back() ^= 1;
    EXPECT_EQ(InflateMessage(badAdler, 2, sink), "Error");

    Bytes cut = StoredHi();
    cut.resize(cut.size() - 3);
    EXPECT_EQ(InflateMessage(cut, 2, sink), "Compressed item is cut short (damaged installer?)");
    EXPECT_EQ(InflateMessage(Bytes(), 0, sink), "Compressed item is cut short (damaged installer?)");
    EXPECT_EQ(InflateMessage(StoredHi(), 3, sink), "Compressed item is smaller than its listed size (damaged installer?)");
    EXPECT_EQ(InflateMessage(StoredHi(), -1, sink), "Error");

    MemorySink capped;
    EXPECT_EQ(InflateMessage(StoredHi(), 1, capped), "Compressed item is larger than its listed size (damaged installer?)");
    EXPECT_LE(capped.bytes.size(), 1u);
}

TEST(PayloadReader, CopyRawItemNeedsEnoughBytes) {
    ItemArea area(B("ABC"));
    MemorySink sink;
    EXPECT_THROW(area.reader.CopyRawItem(4, sink), Failure);
    EXPECT_THROW(area.reader.CopyRawItem(-1, sink), Failure);
    area.reader.CopyRawItem(3, sink);
    EXPECT_EQ(sink.bytes, B("ABC"));
    try {
        area.reader.CopyRawItem(1, sink);
        FAIL() << "read past the end";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Stream read error");
    }
    area.reader.CopyRawItem(0, sink);
    EXPECT_EQ(sink.bytes, B("ABC"));
}

TEST(PayloadReader, IconWithoutSplashIsReadFromItemAreaStart) {
    const Bytes file = Cat({B(kPlain + "\r\nSplash=\r\nIcon=2\r\n" + kEnd + "\r\n"), StoredHi()});
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "setup.exe");
    reader.SeekItemArea();
    MemorySink icon;
    reader.InflateItem(2, icon);
    EXPECT_EQ(icon.bytes, B("Hi"));
}

TEST(PayloadReader, ItemAreaBeyondEndOfImageFailsCleanly) {
    // The end marker is the file's last byte: the item area starts past the end.
    MemorySource source(B(kPlain + "\r\n" + kEnd));
    PayloadReader reader;
    reader.Open(source, "setup.exe");
    reader.SeekItemArea();
    MemorySink sink;
    EXPECT_THROW(reader.CopyRawItem(1, sink), Failure);
    EXPECT_THROW(reader.InflateItem(0, sink), Failure);
    EXPECT_TRUE(sink.bytes.empty());
}

// Reads `sizes` from solid file data standing at the item area, then finishes;
// the first failure's text, or "no failure".
std::string SolidMessage(const Bytes& data, const std::vector<int64_t>& sizes, std::size_t listed = 2,
                         const std::string& compression = "lzma2") {
    MemorySource source(Cat({B(kPlain + "\r\nCompression=" + compression + "\r\nFilecount=" + std::to_string(listed) +
                               "\r\nFilebytes=3015\r\n" + kEnd + "\r\n"), data}));
    PayloadReader reader;
    try {
        reader.Open(source, "setup.exe");
        reader.SeekItemArea();
        MemorySink sink;
        for (const int64_t size : sizes) reader.ReadFile(size, sink);
        reader.FinishFiles();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

TEST(PayloadReader, SolidStreamFailures) {
    const Bytes first(3000, 'a'), second = B("the second file");
    const Bytes good = SolidFileData({first, second});
    const int64_t a = 3000, b = 15;
    Bytes badChecksum = good, badProperty = good, cut = good, garbled = good, oneListed = good;
    badChecksum[5] ^= 1;          // the second file's Adler-32
    badProperty[0] = 41;          // no such dictionary size
    cut.resize(cut.size() - 4);   // the stream's last bytes
    garbled[9] = 0x03;            // the first chunk's control byte: not one LZMA2 has
    oneListed.erase(oneListed.begin() + 5, oneListed.begin() + 9);  // one file listed, two stored
    const struct {
        const char* what;
        Bytes data;
        std::vector<int64_t> sizes;
        std::size_t listed;
        std::string expected;
    } cases[] = {
        {"sound", good, {a, b}, 2, "no failure"},
        {"checksum", badChecksum, {a, b}, 2, "Error"},
        {"property", badProperty, {a}, 2, "Error"},
        {"cut short", cut, {a, b}, 2, "Compressed item is cut short (damaged installer?)"},
        {"not LZMA2", garbled, {a}, 2, "Error"},
        {"listed larger", good, {a, b + 1}, 2, "Compressed item is smaller than its listed size (damaged installer?)"},
        {"data after the files", oneListed, {a}, 1, "Compressed data is larger than its listed files (damaged installer?)"},
        {"negative size", good, {-1}, 2, "Error"},
        {"table cut short", Bytes(good.begin(), good.begin() + 6), {a}, 2, "Compressed item is cut short (damaged installer?)"},
    };
    for (const auto& c : cases) EXPECT_EQ(SolidMessage(c.data, c.sizes, c.listed), c.expected) << c.what;
    // A compression this reader does not know is a damaged installer, not garbage installed.
    EXPECT_EQ(SolidMessage(good, {a, b}, 2, "zstd"), "Failed to initialise (damaged installer?)");
}

// The typed header opens whatever its numbers say; a number that is none
// fails where it is used, and the file list ends at the first empty entry.
TEST(PayloadReader, ManifestIsLenientLikeTheRuns) {
    std::string header = SampleHeader();
    const auto replace = [&header](const std::string& from, const std::string& to) {
        header.replace(header.find(from), from.size(), to);
    };
    replace("Filecount=2", "Filecount=5");
    replace("InfoInstall=3", "InfoInstall=three");
    replace("ShortcutName1=", "ShortcutName1=Guide\r\nShortcutName2=Web");
    const Bytes file = Cat({Stub(), B(kPlain), B(header), SampleItems()});
    MemorySource source(file);
    PayloadReader reader;
    reader.Open(source, "C:\\setup.exe");
    const payload::HeaderManifest& manifest = reader.Manifest();
    EXPECT_EQ(manifest.appName, "App");
    EXPECT_EQ(manifest.leadingItemSizes[payload::kAboutItem].Value(), 2);
    try {
        manifest.leadingItemSizes[payload::kLicenceItem].Value();
        ADD_FAILURE() << "a size that is no number was taken";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "'three' is not a valid integer value");
    }
    ASSERT_EQ(manifest.shortcuts.size(), 2u);  // up to the first empty name
    EXPECT_EQ(manifest.shortcuts[1].name, "Web");
    ASSERT_EQ(manifest.files.size(), 3u);  // f1, f2 and the missing f3 that ends them
    EXPECT_EQ(manifest.files[1].path, "doc\\empty.txt");
    EXPECT_TRUE(manifest.files[1].listed);
    EXPECT_FALSE(manifest.files[2].listed);
    EXPECT_THROW(manifest.files[2].size.Value(), Failure);
}

}  // namespace
}  // namespace velmoran::testing

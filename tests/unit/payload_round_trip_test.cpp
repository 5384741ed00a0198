// Property: whatever item set the writer is given, the reader gives it back.

#include <gtest/gtest.h>

#include <random>

#include "fixture_bytes.h"
#include "payload/compress.h"
#include "payload/manifest.h"
#include "payload/payload_reader.h"
#include "payload/payload_writer.h"
#include "solid_fixture.h"

namespace velmoran::testing {
namespace {

using payload::Manifest;
using payload::PayloadReader;

struct Application {
    Manifest manifest;
    Bytes splash, icon, about, licence;
    std::vector<Bytes> files;
};

Bytes RandomBytes(std::mt19937& rng, std::size_t maxSize, bool textLike) {
    std::uniform_int_distribution<std::size_t> sizeDist(0, maxSize);
    Bytes out(sizeDist(rng));
    for (uint8_t& b : out) b = textLike ? static_cast<uint8_t>("abc de\r\n"[rng() % 8]) : static_cast<uint8_t>(rng());
    return out;
}

Application RandomApplication(std::mt19937& rng) {
    Application app;
    app.manifest.appName = "App" + std::to_string(rng() % 1000);
    app.manifest.exeName = "bin\\app.exe";
    app.manifest.targetFolder = "%ProgramFiles%\\" + app.manifest.appName;
    if (rng() % 2) app.splash = RandomBytes(rng, 3000, false);
    if (rng() % 2) app.icon = RandomBytes(rng, 500, false);
    app.manifest.splashSize = app.splash.empty() && rng() % 2 ? -1 : static_cast<int64_t>(app.splash.size());
    app.manifest.iconSize = app.icon.empty() && rng() % 2 ? -1 : static_cast<int64_t>(app.icon.size());
    // Texts may contain anything, the markers included: nothing searches there.
    app.about = Cat({B("{\\rtf1 about d>a>t>a>e>n>d}"), RandomBytes(rng, 100, true)});
    app.licence = RandomBytes(rng, 2000, true);
    app.manifest.aboutSize = static_cast<int64_t>(app.about.size());
    app.manifest.licenceSize = static_cast<int64_t>(app.licence.size());
    const std::size_t count = rng() % 12;
    for (std::size_t i = 0; i < count; ++i) {
        app.files.push_back(RandomBytes(rng, 70000, rng() % 2 == 0));
        app.manifest.files.push_back({"dir" + std::to_string(i % 3) + "\\file" + std::to_string(i) + ".bin",
                                      static_cast<int64_t>(app.files.back().size())});
    }
    return app;
}

Bytes Build(const Application& app, bool scrambled, int level, bool solid) {
    payload::InstallerParts parts;
    parts.programImage = Cat({Bytes{'M', 'Z', 0, 0}, B("d>a>t>a>s>t>a>r  not a marker")});
    Manifest manifest = app.manifest;
    manifest.solid = solid;
    parts.headerLines = payload::HeaderLines(manifest);
    if (app.manifest.splashSize >= 0) parts.splashStream = payload::Compress(app.splash, level);
    if (app.manifest.iconSize >= 0) parts.iconStream = payload::Compress(app.icon, level);
    parts.about = app.about;
    parts.licence = app.licence;
    if (solid) {
        // Small pieces, so that files straddle them.
        parts.fileStreams.push_back(SolidFileData(app.files, 50000));
    } else {
        for (const Bytes& f : app.files) parts.fileStreams.push_back(payload::Compress(f, level));
    }
    MemorySink out;
    payload::WriteInstaller(out, parts, scrambled);
    return out.bytes;
}

// Reads every item the way start-up and the installation run do.
void ExpectReadsBack(const Application& app, const Bytes& installer, const std::string& name) {
    MemorySource source(installer);
    PayloadReader reader;
    reader.Open(source, name);
    reader.SeekItemArea();
    MemorySink splash, icon, about, licence;
    MemorySink* sinks[] = {&splash, &icon, &about, &licence};
    for (std::size_t i = 0; i < std::size(payload::kLeadingItems); ++i) reader.ReadLeadingItem(payload::kLeadingItems[i], *sinks[i]);
    EXPECT_EQ(splash.bytes, app.splash);
    EXPECT_EQ(icon.bytes, app.icon);
    EXPECT_EQ(about.bytes, app.about);
    EXPECT_EQ(licence.bytes, app.licence);
    reader.RecordFileDataStart();
    if (name != "uninstall.exe") {
        ASSERT_EQ(reader.Value("Filecount"), std::to_string(app.files.size()));
        for (std::size_t i = 0; i < app.files.size(); ++i) {
            MemorySink file;
            reader.ReadFile(static_cast<int64_t>(app.files[i].size()), file);
            EXPECT_EQ(file.bytes, app.files[i]) << "file " << i;
        }
        reader.FinishFiles();
    }
    EXPECT_EQ(reader.Value("AppName"), app.manifest.appName);
}

TEST(PayloadRoundTrip, RandomApplicationsEveryVariant) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 40; ++round) {
        const Application app = RandomApplication(rng);
        const bool scrambled = round % 2 == 1;
        const Bytes installer = Build(app, scrambled, 1 + round % 12, round % 4 >= 2);
        ExpectReadsBack(app, installer, "C:\\setup.exe");

        // The uninstaller copy is the prefix up to the file-data start.
        MemorySource source(installer);
        PayloadReader reader;
        reader.Open(source, "setup.exe");
        reader.SeekItemArea();
        MemorySink ignore;
        for (const payload::LeadingItem& item : payload::kLeadingItems) reader.ReadLeadingItem(item, ignore);
        const Bytes uninstaller(installer.begin(), installer.begin() + static_cast<long>(reader.Position()));
        ExpectReadsBack(app, uninstaller, "uninstall.exe");
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace velmoran::testing

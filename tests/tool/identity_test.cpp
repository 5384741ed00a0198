// The installer's identity for Explorer: the builder rewrites the real stub's
// resources with the project's icon and version.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "common/little_endian.h"
#include "identity_resources.h"
#include "pe_resources.h"

namespace velmoran::testing {
namespace {

namespace fs = std::filesystem;
using namespace velmoran::builder;

uint32_t Field32(const std::string& file, std::size_t at) { return Load32(reinterpret_cast<const uint8_t*>(&file[at])); }

class Identity : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(VELMORAN_REAL_STUB)) << "the Windows stub is built by the win64 build (make test does both)";
        fs::copy(VELMORAN_SAMPLE_DIR, scratch_ / "sample", fs::copy_options::recursive);
        WriteFile(scratch_ / "sample/app/Kestrel.exe", "MZ stand-in");
        // A small icon of our own: 16 and 32 pixel bitmaps and a 256 pixel PNG, as the stub's.
        const std::string ico = ReadFile(fs::path(VELMORAN_SAMPLE_DIR) / "../src/app/installer.ico");
        WriteFile(scratch_ / "sample/setup.ico", ico);
        std::string project = ReadFile(scratch_ / "sample/kestrel.ini");
        project.insert(project.find("[Shortcuts]"),
                       "SetupIcon=setup.ico\nVersion=2.4.1.7\nPublisher=Kestrel Software\nCopyright=\xC2\xA9 2026 Kestrel\n\n");
        WriteFile(scratch_ / "sample/kestrel.ini", project);
    }
    CommandResult Build(const std::string& out, const std::string& stub = VELMORAN_REAL_STUB) {
        return RunVelmoran("build " + Q(scratch_ / "sample/kestrel.ini") + " -o " + Q(scratch_ / out) + " --stub " + Q(stub));
    }
    ScratchFolder scratch_;
};

TEST_F(Identity, IconAndVersionAreWrittenIntoTheStub) {
    ASSERT_EQ(Build("a.exe").exitCode, 0) << Build("a.exe").output;
    ASSERT_EQ(Build("b.exe").exitCode, 0);
    const std::string installer = ReadFile(scratch_ / "a.exe");
    EXPECT_EQ(installer, ReadFile(scratch_ / "b.exe"));  // deterministic

    const CommandResult list = RunVelmoran("list " + Q(scratch_ / "a.exe"));
    for (const char* expected : {"Icon: 16x16 32x32 48x48 256x256", "ProductName=Kestrel Notes",
                                 "FileDescription=Kestrel Notes Setup", "FileVersion=2.4.1.7", "ProductVersion=2.4.1.7",
                                 "CompanyName=Kestrel Software", "LegalCopyright=\xC2\xA9 2026 Kestrel"})
        EXPECT_NE(list.output.find(expected), std::string::npos) << expected << "\n" << list.output;

    // An independent reader: icoutils' wrestool gives back the icon file's images unchanged.
    const CommandResult extracted = RunCommand("wrestool -x -t14 " + Q(scratch_ / "a.exe") + " > " + Q(scratch_ / "out.ico"));
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    const std::string ico = ReadFile(scratch_ / "sample/setup.ico");
    EXPECT_EQ(ReadFile(scratch_ / "out.ico").substr(0, ico.size()), ico);
    const CommandResult listed = RunCommand("wrestool -l " + Q(scratch_ / "a.exe"));
    for (const char* resource : {"--type=3 --name=4", "--type=14 --name=1", "--type=16 --name=1", "--type=24 --name=1"})
        EXPECT_NE(listed.output.find(resource), std::string::npos) << resource << "\n" << listed.output;

    // The headers agree with the new section: image size and checksum.
    const std::size_t stubSize = installer.find("d>a>t>a>s>t>a>r>t");
    const Bytes stub(installer.begin(), installer.begin() + static_cast<long>(stubSize));
    const std::size_t optional = Field32(installer, 0x3C) + 24;
    EXPECT_EQ(Field32(installer, optional + 64), PeChecksum(stub, optional + 64));
    const PeResources reread(stub);  // throws if the section and headers disagree
    EXPECT_EQ(reread.Find(kResourceVersion, 1)->data, MakeVersionInfo({"Kestrel Notes", "Kestrel Notes Setup", "2.4.1.7",
                                                                        "Kestrel Software", "\xC2\xA9 2026 Kestrel"}));
    EXPECT_NE(reread.Find(kResourceManifest, 1), nullptr);  // the manifest stays
}

// Scope=user: the manifest asks for the user's own rights, the header says so.
TEST_F(Identity, PerUserInstallersAskForNoElevation) {
    const auto manifestOf = [this](const std::string& out) {
        const std::string installer = ReadFile(scratch_ / out);
        const std::string stub = installer.substr(0, installer.find("d>a>t>a>s>t>a>r>t"));
        const PeResources resources(Bytes(stub.begin(), stub.end()));
        const Bytes& text = resources.Find(kResourceManifest, 1)->data;
        return std::string(text.begin(), text.end());
    };
    ASSERT_EQ(Build("machine.exe").exitCode, 0);
    EXPECT_NE(manifestOf("machine.exe").find("level=\"requireAdministrator\""), std::string::npos);
    // Its ANSI calls in UTF-8, the code page of the header the builder writes.
    EXPECT_NE(manifestOf("machine.exe").find(">UTF-8</activeCodePage>"), std::string::npos);
    EXPECT_NE(ReadFile(scratch_ / "machine.exe").find("\r\nCharset=UTF-8\r\n"), std::string::npos);
    std::string project = ReadFile(scratch_ / "sample/kestrel.ini");
    project.insert(project.find("[Shortcuts]"), "Scope=User\n");
    WriteFile(scratch_ / "sample/kestrel.ini", project);
    ASSERT_EQ(Build("user.exe").exitCode, 0) << Build("user.exe").output;
    EXPECT_NE(manifestOf("user.exe").find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(manifestOf("user.exe").find("requireAdministrator"), std::string::npos);
    EXPECT_NE(ReadFile(scratch_ / "user.exe").find("\r\nScope=user\r\n"), std::string::npos);

    project.replace(project.find("Scope=User"), 10, "Scope=everyone");
    WriteFile(scratch_ / "sample/kestrel.ini", project);
    const CommandResult refused = Build("bad.exe");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("Scope \"everyone\": machine or user"), std::string::npos) << refused.output;
}

TEST_F(Identity, BadIconsVersionsAndStubsAreRefused) {
    const std::string stub = ReadFile(VELMORAN_REAL_STUB);
    const std::string ico = ReadFile(scratch_ / "sample/setup.ico");
    const std::string project = ReadFile(scratch_ / "sample/kestrel.ini");
    const auto refused = [&](const std::string& says, const std::string& withStub = VELMORAN_REAL_STUB) {
        const CommandResult r = Build("out.exe", withStub);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find(says), std::string::npos) << says << "\n" << r.output;
        EXPECT_FALSE(fs::exists(scratch_ / "out.exe"));
    };
    WriteFile(scratch_ / "sample/setup.ico", "not an icon at all");
    refused("setup.ico\": not an icon file (.ico)");
    WriteFile(scratch_ / "sample/setup.ico", ico.substr(0, 300));
    refused("setup.ico\": image 1 lies outside the file");
    std::string crafted = ico;
    crafted.replace(6 + 16 + 8, 8, ico.substr(6 + 8, 8));  // image 2 at image 1's place
    WriteFile(scratch_ / "sample/setup.ico", crafted);
    refused("setup.ico\": two of the icon file's images overlap");
    crafted = ico;
    crafted[4] = 65;
    WriteFile(scratch_ / "sample/setup.ico", crafted + std::string(65 * 16, '\0'));
    refused("setup.ico\": the icon file holds 65 images; an installer's icon takes at most 64");
    WriteFile(scratch_ / "sample/setup.ico", ico);

    // The resource directory moved to the start of the first section, the code.
    Bytes moved(stub.begin(), stub.end());
    const std::size_t header = Field32(stub, 0x3C), optional = header + 24;
    const std::size_t firstSection = optional + Load16(&moved[header + 20]);
    Store32(moved, optional + 112 + 8 * 2, Field32(stub, firstSection + 12));
    WriteFile(scratch_ / "moved.exe", std::string(moved.begin(), moved.end()));
    refused("its resource section is not its last section", (scratch_ / "moved.exe").string());
    WriteFile(scratch_ / "signed.exe", stub + "trailing");
    refused("it has data after its last section", (scratch_ / "signed.exe").string());
    // A type entry pointing back at the root: directories reached twice would
    // multiply the entries without end.
    Bytes looped(stub.begin(), stub.end());
    const uint32_t resourceRva = Field32(stub, optional + 112 + 8 * 2);
    const std::size_t sections = Load16(&moved[header + 6]);
    std::size_t resourceSection = firstSection;
    while (resourceSection < firstSection + 40 * sections && Field32(stub, resourceSection + 12) != resourceRva)
        resourceSection += 40;
    ASSERT_LT(resourceSection, firstSection + 40 * sections);
    Store32(looped, Field32(stub, resourceSection + 20) + 16 + 4, 0x80000000u);
    WriteFile(scratch_ / "looped.exe", std::string(looped.begin(), looped.end()));
    refused("its resource tree reaches a directory twice", (scratch_ / "looped.exe").string());

    std::string longPublisher = project;
    longPublisher.replace(longPublisher.find("Kestrel Software"), 16, std::string(1025, 'x'));
    WriteFile(scratch_ / "sample/kestrel.ini", longPublisher);
    refused("Publisher is 1025 characters long; the installer's version information takes at most 1024");

    std::string badVersion = project;
    badVersion.replace(badVersion.find("2.4.1.7"), 7, "2.4.x");
    WriteFile(scratch_ / "sample/kestrel.ini", badVersion);
    refused("Version \"2.4.x\": one to four numbers from 0 to 65535");
}

}  // namespace
}  // namespace velmoran::testing

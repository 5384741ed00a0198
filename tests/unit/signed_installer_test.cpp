// Installers with a code signature: the certificate table a signing tool
// appends after the payload, and the uninstaller copy cut before it.

#include <gtest/gtest.h>

#include "common/little_endian.h"
#include "installer_rig.h"
#include "payload/pe_layout.h"
#include "payload/payload_reader.h"

namespace velmoran::testing {
namespace {

constexpr std::size_t kPeHeader = 0x40, kOptional = kPeHeader + 24, kSecurityEntry = kOptional + 112 + 8 * 4;

// The headers of a 64-bit program, as far as a signature concerns them.
Bytes PeStub() {
    Bytes stub(0x200, 0);
    stub[0] = 'M', stub[1] = 'Z';
    Store32(stub, 0x3C, kPeHeader);
    Store32(stub, kPeHeader, 0x00004550);
    stub[kOptional] = 0x0B, stub[kOptional + 1] = 0x02;
    Store32(stub, kOptional + 64, 0x12345678);  // a checksum
    Store32(stub, kOptional + 108, 16);         // data directories
    return stub;
}

// What a signing tool does: the table after the file (a multiple of 8 long),
// the security directory entry pointing at it.
Bytes Signed(Bytes installer) {
    while (installer.size() % 8) installer.push_back(0);
    const std::size_t table = installer.size();
    for (int i = 0; i < 1000; ++i) installer.push_back(static_cast<uint8_t>(i * 7));
    Store32(installer, kSecurityEntry, static_cast<uint32_t>(table));
    Store32(installer, kSecurityEntry + 4, 1000);
    return installer;
}

TEST(SignedInstaller, ScrambledChecksumStopsWhereTheCertificateTableBegins) {
    TestApp app;
    app.programImage = PeStub();
    app.scrambled = true;
    const Bytes installer = Signed(app.Build());
    EXPECT_EQ(payload::SignedContentEnd(installer.data(), installer.size(), installer.size()), installer.size() - 1000);
    MemorySource source(installer);
    payload::PayloadReader reader;
    EXPECT_NO_THROW(reader.Open(source, "C:\\setup.exe"));

    // A table that does not end the file is no signature: the whole file counts.
    Bytes notAtEnd = installer;
    notAtEnd.push_back(0x5A);
    EXPECT_EQ(payload::SignedContentEnd(notAtEnd.data(), notAtEnd.size(), notAtEnd.size()), notAtEnd.size());
    MemorySource damaged(notAtEnd);
    EXPECT_THROW(reader.Open(damaged, "C:\\setup.exe"), payload::OpenFailure);
}

TEST(SignedInstaller, InstallsAndTheUninstallerCopyIsUnsigned) {
    for (const bool scrambled : {false, true}) {
        TestApp app;
        app.programImage = PeStub();
        app.scrambled = scrambled;
        const Bytes installer = Signed(app.Build());
        Rig rig(installer);
        rig.Start();
        rig.Click(&ui::Install::btnGoInstallClick);
        ASSERT_TRUE(rig.view.failures.empty()) << rig.view.failures[0];
        const std::string copy = rig.files.Content("C:\\Program Files\\Kestrel\\uninstall.exe");
        ASSERT_EQ(copy.size(), rig.State().payload.FileDataStart());
        Bytes expected(installer.begin(), installer.begin() + static_cast<long>(copy.size()));
        Store32(expected, kSecurityEntry, 0);
        Store32(expected, kSecurityEntry + 4, 0);
        Store32(expected, kOptional + 64, 0);
        EXPECT_EQ(Bytes(copy.begin(), copy.end()), expected) << scrambled;
    }
}

// Bytes put inside the certificate table keep the signature valid (the table is
// not hashed): a payload there must never be taken for the vendor's.
TEST(SignedInstaller, APayloadInsideTheCertificateTableIsIgnored) {
    TestApp attacker;
    attacker.files = {{"Kestrel.exe", "MZ the attacker's program"}};
    const Bytes injected = attacker.Build();  // program image, then a plain payload
    for (const bool scrambled : {false, true}) {
        TestApp vendor;
        vendor.programImage = PeStub();
        vendor.scrambled = scrambled;
        Bytes installer = Signed(vendor.Build());
        installer.insert(installer.end(), injected.begin(), injected.end());
        Store32(installer, kSecurityEntry + 4, static_cast<uint32_t>(1000 + injected.size()));
        Rig rig(installer);
        rig.Start();
        rig.Click(&ui::Install::btnGoInstallClick);
        ASSERT_TRUE(rig.view.failures.empty()) << rig.view.failures[0];
        EXPECT_EQ(rig.files.Content("C:\\Program Files\\Kestrel\\Kestrel.exe"), "MZ kestrel program") << scrambled;
        EXPECT_EQ(rig.State().payload.Scrambled(), scrambled);
    }
}

// An item that would run into the table is the reader's failure, not a read of it.
TEST(SignedInstaller, AnItemRunningIntoTheCertificateTableIsDamage) {
    TestApp app;
    app.programImage = PeStub();
    Bytes installer = Signed(app.Build());
    const std::size_t table = Load32(installer.data() + kSecurityEntry);
    // The table moves back over the last file's stream, the signature still ending the file.
    const std::size_t cut = table - 16;
    Store32(installer, kSecurityEntry, static_cast<uint32_t>(cut));
    Store32(installer, kSecurityEntry + 4, static_cast<uint32_t>(installer.size() - cut));
    Rig rig(installer);
    rig.Start();
    rig.Click(&ui::Install::btnGoInstallClick);
    ASSERT_EQ(rig.view.failures.size(), 1u);
    EXPECT_NE(rig.view.failures[0].find("damaged installer"), std::string::npos) << rig.view.failures[0];
}

TEST(SignedInstaller, HostileHeadersAreReadSafely) {
    for (const uint32_t lfanew : {0u, 0x1F0u, 0xFFFFFFF0u}) {
        Bytes stub = PeStub();
        Store32(stub, 0x3C, lfanew);
        EXPECT_EQ(payload::SignedContentEnd(stub.data(), stub.size(), stub.size()), stub.size()) << lfanew;
    }
    Bytes overflow = PeStub();
    Store32(overflow, kSecurityEntry, 0xFFFFFF00u);
    Store32(overflow, kSecurityEntry + 4, 0x200u);  // wraps round to the file's end in 32 bits
    EXPECT_EQ(payload::SignedContentEnd(overflow.data(), overflow.size(), overflow.size()), overflow.size());
}

}  // namespace
}  // namespace velmoran::testing

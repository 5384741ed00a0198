#include "platform/special_folders.h"

#include <gtest/gtest.h>

#include "common/failure.h"
#include "fake_registry.h"

namespace velmoran::testing {
namespace {

using platform::Hive;
const std::string kShell = platform::kShellFoldersKey;
const std::string kVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

TEST(SpecialFolders, FallbackOrder) {
    // Each row adds nothing but the next fallback; the highest present wins.
    struct Source {
        Hive hive;
        const char* name;
    };
    const Source programs[] = {{Hive::LocalMachine, "Common Programs"}, {Hive::CurrentUser, "Common Programs"},
                               {Hive::LocalMachine, "Programs"}, {Hive::CurrentUser, "Programs"}};
    const Source desktops[] = {{Hive::LocalMachine, "Common Desktop"}, {Hive::CurrentUser, "Common Desktop"},
                               {Hive::LocalMachine, "Desktop"}, {Hive::CurrentUser, "Desktop"}};
    for (int winner = 0; winner < 4; ++winner) {
        FakeRegistry registry;
        for (int i = winner; i < 4; ++i) {
            registry.Set(programs[i].hive, kShell, programs[i].name, "P" + std::to_string(i));
            registry.Set(desktops[i].hive, kShell, desktops[i].name, "D" + std::to_string(i));
        }
        const auto folders = platform::LookUpSpecialFolders(registry);
        EXPECT_EQ(folders.programs, "P" + std::to_string(winner));
        EXPECT_EQ(folders.desktop, "D" + std::to_string(winner));
    }
    FakeRegistry empty;
    const auto none = platform::LookUpSpecialFolders(empty);
    EXPECT_EQ(none.programs, "");
    EXPECT_EQ(none.desktop, "");
    EXPECT_EQ(none.programFiles, "C:\\Program Files");
}

TEST(SpecialFolders, EmptyMachineValueFallsBackAndReadOnlyUserStillReadsProgramFiles) {
    FakeRegistry registry;
    registry.Set(Hive::LocalMachine, kShell, "Common Programs", "");
    registry.Set(Hive::CurrentUser, kShell, "Common Programs", "C:\\User Programs");
    registry.Set(Hive::LocalMachine, kShell, "Common Desktop", "C:\\Users\\Public\\Desktop");
    registry.Set(Hive::LocalMachine, kVersion, "ProgramFilesDir", "D:\\Apps");
    registry.SetMachineWritable(false);
    const auto folders = platform::LookUpSpecialFolders(registry);
    EXPECT_EQ(folders.programs, "C:\\User Programs");
    EXPECT_EQ(folders.desktop, "");  // the machine value needs full access
    EXPECT_EQ(folders.programFiles, "D:\\Apps");
}

TEST(SpecialFolders, ValueCutAtNulAndExpandableStringsRead) {
    FakeRegistry registry;
    registry.Set(Hive::LocalMachine, kShell, "Common Programs", std::string("C:\\Menu\0junk", 12));
    registry.Set(Hive::CurrentUser, kShell, "Desktop", "%USERPROFILE%\\Desktop", FakeRegistry::Type::ExpandString);
    const auto folders = platform::LookUpSpecialFolders(registry);
    EXPECT_EQ(folders.programs, "C:\\Menu");
    EXPECT_EQ(folders.desktop, "%USERPROFILE%\\Desktop");
}

TEST(SpecialFolders, WrongTypeFails) {
    FakeRegistry registry;
    registry.Set(Hive::CurrentUser, kShell, "Programs", "1", FakeRegistry::Type::DWord);
    try {
        platform::LookUpSpecialFolders(registry);
        FAIL() << "accepted a DWORD";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Invalid data type for 'Programs'");
    }
}

TEST(UninstallEntry, WriteAndDeleteUnderTheMachineHive) {
    FakeRegistry registry;
    const std::string key = std::string(platform::kUninstallKeyPrefix) + "Vendor\\App";
    platform::WriteMachineValue(registry, key, "DisplayName", "Vendor\\App");
    registry.Set(Hive::LocalMachine, key + "\\Deeper\\Still", "x", "y");
    EXPECT_EQ(registry.Get(Hive::LocalMachine, key, "DisplayName"), "Vendor\\App");
    platform::DeleteMachineKey(registry, key);
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, key));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, key + "\\Deeper"));
    EXPECT_TRUE(registry.KeyExists(Hive::LocalMachine, std::string(platform::kUninstallKeyPrefix) + "Vendor"));

    registry.SetMachineWritable(false);
    try {
        platform::WriteMachineValue(registry, key, "UninstallString", "C:\\App\\uninstall.exe uninstall");
        FAIL() << "wrote without access";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Failed to set data for 'UninstallString'");
    }
}

}  // namespace
}  // namespace velmoran::testing

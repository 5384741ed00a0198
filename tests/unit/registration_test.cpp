// File types, link protocols, PATH, variables, App Paths and registry values:
// written in the installation's hive, recorded, and undone exactly.

#include <gtest/gtest.h>

#include "common/failure.h"
#include "fake_registry.h"
#include "installer_rig.h"
#include "payload/registrations.h"
#include "setup/path_list.h"
#include "setup/registration_run.h"
#include "setup/setup_log.h"

namespace velmoran::setup {
namespace {

using platform::Hive;
using testing::FakeRegistry;

struct Silent : UnattendedReport {
    void Record(const std::string& step) override { steps += step + "\n"; }
    std::string steps;
};

TEST(PathList, AddsAndRemovesOnlyItsOwnEntry) {
    const std::string ours = "C:\\Apps\\Kestrel\\bin";
    const std::string longPath = std::string(4000, 'x') + ";C:\\Tools";
    struct Case {
        std::string before;
        std::string added;  // "" when not added
        std::string later;  // PATH when the uninstall comes
        std::string after;
    } cases[] = {
        {"", ours, ours, ""},
        {"%SystemRoot%\\system32;%SystemRoot%", "%SystemRoot%\\system32;%SystemRoot%;" + ours,
         "%SystemRoot%\\system32;%SystemRoot%;" + ours, "%SystemRoot%\\system32;%SystemRoot%"},
        {"C:\\A;c:\\apps\\kestrel\\BIN\\", "", "", ""},  // already there: neither added nor removed
        {"C:\\A;", "C:\\A;" + ours, "C:\\A;" + ours + ";C:\\Other", "C:\\A;C:\\Other"},  // someone added after ours
        {"C:\\A", "C:\\A;" + ours, ours + "\\;C:\\A", "C:\\A"},  // moved to the front, with a backslash
        {longPath, longPath + ";" + ours, longPath + ";" + ours, longPath},
    };
    for (const Case& c : cases) {
        const auto added = PathWith(c.before, ours);
        EXPECT_EQ(added.value_or(""), c.added) << c.before.substr(0, 40);
        if (c.added.empty()) continue;
        EXPECT_EQ(PathWithout(c.later, ours).value_or("<none>"), c.after) << c.later.substr(0, 40);
    }
    EXPECT_FALSE(PathWithout("C:\\A;C:\\B", ours));
}

TEST(RegistrationLog, RoundTripsEveryCharacterAndDropsBrokenLines) {
    std::vector<RegistrationRecord> records = {
        RegistrationRecord::KeyMade(Hive::CurrentUser, "Software\\Classes\\.knote"),
        RegistrationRecord::ValueWritten(Hive::LocalMachine, "Software\\K\tx", "na\\me",
                                         {1, std::string("a\tb\r\nc\0d", 9)}, platform::NumberValue(7)),
        RegistrationRecord::PathAdded(Hive::LocalMachine, "C:\\Apps\\K\\bin", true),
    };
    const auto read = ParseRegistrationLog(FormatRegistrationLog(records));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].written, records[1].written);
    EXPECT_EQ(read[1].replaced, records[1].replaced);
    EXPECT_EQ(read[1].key, records[1].key);
    EXPECT_EQ(read[2].name, "created");
    const std::string damaged = "Velmoran registration log 1\r\nvalue\tHKLM\tSoftware\\K\tn\t1:x\\q\t-\r\nkey\tHKXX\tA\r\n"
                                "value\tHKCU\tSoftware\\\\K\tn\t1:x\t-\r\n";
    EXPECT_EQ(ParseRegistrationLog(damaged).size(), 1u);
    EXPECT_TRUE(ParseRegistrationLog("key\tHKLM\tSoftware\\A\r\n").empty());  // no first line: not a log
}

payload::Registrations Kestrel() {
    payload::Registrations r;
    r.fileTypes = {{".knote", "", "Kestrel note"}, {".kbook", "docs\\book.ico", "Kestrel notebook"}};
    r.linkProtocols = {{"kestrel", "Kestrel Notes link"}};
    r.pathEntry = "bin";
    r.variables = {{"KESTREL_HOME", "%InstallFolder%"}};
    r.appPaths = {{"kestrel.exe", "Kestrel.exe"}};
    r.registryValues = {{"Software\\Kestrel\\Notes", "DataFolder", false, "%InstallFolder%\\data"},
                        {"Software\\Kestrel\\Notes", "FirstRun", true, "1"}};
    return r;
}

struct Rig {
    explicit Rig(Hive hive) {
        place.hive = hive;
        place.appName = "Kestrel Notes";
        place.installFolder = "C:\\Apps\\Kestrel";
        place.mainProgram = "C:\\Apps\\Kestrel\\Kestrel.exe";
        registry.Set(hive, EnvironmentKey(hive), "Path", "%SystemRoot%\\system32", FakeRegistry::Type::ExpandString);
        registry.Set(hive, "Software\\Classes\\.knote", "", "OtherApp.Note");  // the user's choice
        // Keys every Windows has.
        registry.Set(hive, std::string(kAppPathsKey) + "\\notepad.exe", "", "C:\\Windows\\notepad.exe");
        registry.Set(hive, kRegisteredApplicationsKey, "Paint", "Software\\Paint\\Capabilities");
    }
    std::vector<RegistrationRecord> Install(const payload::Registrations& declared,
                                            const std::vector<RegistrationRecord>& previous = {}) {
        return WriteRegistrations(PlanRegistrations(declared, place), place, previous, registry, report);
    }
    void Uninstall(const std::vector<RegistrationRecord>& records, const payload::Registrations& declared) {
        UndoRegistrations(records, {}, RegistrationPolicy(place, declared, registry), registry, report);
    }
    RegistrationPlace place;
    FakeRegistry registry;
    Silent report;
};

TEST(Registrations, WrittenInTheirHiveAndUndoneExactly) {
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        Rig rig(hive);
        const Hive other = hive == Hive::LocalMachine ? Hive::CurrentUser : Hive::LocalMachine;
        const std::string before = rig.registry.Snapshot();
        const auto records = rig.Install(Kestrel());
        FakeRegistry& r = rig.registry;
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\Velmoran.KestrelNotes.knote\\shell\\open\\command", ""),
                  "\"C:\\Apps\\Kestrel\\Kestrel.exe\" \"%1\"");
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\.knote", ""), "OtherApp.Note");  // never the user's choice
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\.kbook", ""), "Velmoran.KestrelNotes.kbook");
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\.knote\\OpenWithProgids", "Velmoran.KestrelNotes.knote"), "");
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\Velmoran.KestrelNotes.kbook\\DefaultIcon", ""),
                  "C:\\Apps\\Kestrel\\docs\\book.ico,0");
        EXPECT_EQ(r.Get(hive, "Software\\Classes\\kestrel", "URL Protocol"), "");
        EXPECT_EQ(r.Get(hive, "Software\\RegisteredApplications", "Velmoran.KestrelNotes"),
                  "Software\\Velmoran\\KestrelNotes\\Capabilities");
        EXPECT_EQ(r.Get(hive, "Software\\Velmoran\\KestrelNotes\\Capabilities\\URLAssociations", "kestrel"),
                  "Velmoran.KestrelNotes.url-kestrel");
        EXPECT_EQ(r.Get(hive, std::string(kAppPathsKey) + "\\kestrel.exe", ""), "C:\\Apps\\Kestrel\\Kestrel.exe");
        EXPECT_EQ(r.Get(hive, EnvironmentKey(hive), "Path"), "%SystemRoot%\\system32;C:\\Apps\\Kestrel\\bin");
        EXPECT_EQ(r.Get(hive, EnvironmentKey(hive), "KESTREL_HOME"), "C:\\Apps\\Kestrel");
        EXPECT_EQ(r.Get(hive, "Software\\Kestrel\\Notes", "FirstRun"), "1");
        EXPECT_FALSE(r.KeyExists(other, "Software\\Classes\\kestrel"));

        const auto reread = ParseRegistrationLog(FormatRegistrationLog(records));
        rig.Uninstall(reread, Kestrel());
        EXPECT_EQ(r.Snapshot(), before) << (hive == Hive::LocalMachine ? "machine" : "user");
    }
}

TEST(Registrations, ValuesOthersChangedSinceStay) {
    Rig rig(Hive::LocalMachine);
    payload::Registrations declared = Kestrel();
    declared.variables.push_back({"KESTREL_MODE", "fast", true});
    rig.registry.Set(Hive::LocalMachine, EnvironmentKey(Hive::LocalMachine), "KESTREL_MODE", "slow");
    rig.registry.Set(Hive::LocalMachine, EnvironmentKey(Hive::LocalMachine), "KESTREL_HOME", "D:\\Mine");
    const auto records = rig.Install(declared);
    const char* env = EnvironmentKey(Hive::LocalMachine);
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, env, "KESTREL_HOME"), "D:\\Mine");  // not |replace
    EXPECT_NE(rig.report.steps.find("Not overwritten"), std::string::npos);
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, env, "KESTREL_MODE"), "fast");
    rig.registry.Set(Hive::LocalMachine, "Software\\Kestrel\\Notes", "DataFolder", "E:\\Moved");
    rig.registry.Set(Hive::LocalMachine, env, "Path", "C:\\Apps\\Kestrel\\bin;C:\\New;%SystemRoot%\\system32",
                     FakeRegistry::Type::ExpandString);
    rig.Uninstall(records, declared);
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, env, "KESTREL_MODE"), "slow");  // written back
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, env, "KESTREL_HOME"), "D:\\Mine");
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, "Software\\Kestrel\\Notes", "DataFolder"), "E:\\Moved");
    EXPECT_EQ(rig.registry.Get(Hive::LocalMachine, env, "Path"), "C:\\New;%SystemRoot%\\system32");
    EXPECT_NE(rig.report.steps.find("Changed since the installation"), std::string::npos);
}

TEST(Registrations, AnUpgradeRemovesWhatOnlyTheOldVersionDeclared) {
    Rig rig(Hive::CurrentUser);
    const std::string before = rig.registry.Snapshot();
    payload::Registrations first = Kestrel();
    first.linkProtocols.clear();
    const auto old = rig.Install(first);
    payload::Registrations second = Kestrel();
    second.fileTypes.pop_back();  // .kbook dropped, kestrel: added
    const auto now = rig.Install(second, old);
    UndoRegistrations(old, now, RegistrationPolicy(rig.place, second, rig.registry), rig.registry, rig.report);
    EXPECT_FALSE(rig.registry.KeyExists(Hive::CurrentUser, "Software\\Classes\\Velmoran.KestrelNotes.kbook"));
    EXPECT_FALSE(rig.registry.KeyExists(Hive::CurrentUser, "Software\\Classes\\.kbook"));
    EXPECT_TRUE(rig.registry.KeyExists(Hive::CurrentUser, "Software\\Classes\\kestrel\\shell\\open\\command"));
    EXPECT_EQ(rig.registry.Get(Hive::CurrentUser, EnvironmentKey(Hive::CurrentUser), "Path"),
              "%SystemRoot%\\system32;C:\\Apps\\Kestrel\\bin");
    rig.Uninstall(now, second);
    EXPECT_EQ(rig.registry.Snapshot(), before);
}

TEST(Registrations, LinesNamingWhatIsNotOursAreRefused) {
    Rig rig(Hive::LocalMachine);
    FakeRegistry& r = rig.registry;
    r.Set(Hive::LocalMachine, "Software\\Classes\\Velmoran.KestrelNotesPro.knote", "", "sibling");
    r.Set(Hive::LocalMachine, "Software\\Classes\\Word.Document", "", "Word");
    r.Set(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\X", "ImagePath", "x.sys");
    r.Set(Hive::LocalMachine, "Software\\Classes\\http\\shell\\open\\command", "", "\"C:\\Browser\\b.exe\" \"%1\"");
    r.Set(Hive::LocalMachine, std::string(kAppPathsKey) + "\\other.exe", "", "C:\\Other\\other.exe");
    r.Set(Hive::CurrentUser, "Software\\Kestrel\\Notes", "FirstRun", "1", FakeRegistry::Type::DWord);
    r.Set(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil", "x");
    r.Set(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", "DisplayName", "Other");
    r.Set(Hive::LocalMachine, kMachineEnvironmentKey, "ComSpec", "C:\\Windows\\system32\\cmd.exe");
    const std::string before = r.Snapshot();
    const auto value = [](Hive hive, const char* key, const char* name, const std::string& data) {
        return RegistrationRecord::ValueWritten(hive, key, name, platform::StringValue(data));
    };
    const std::vector<RegistrationRecord> forged = {
        value(Hive::LocalMachine, "Software\\Classes\\Velmoran.KestrelNotesPro.knote", "", "sibling"),
        value(Hive::LocalMachine, "Software\\Classes\\Word.Document", "", "Word"),
        value(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\X", "ImagePath", "x.sys"),
        value(Hive::LocalMachine, "Software\\Classes\\http\\shell\\open\\command", "", "\"C:\\Browser\\b.exe\" \"%1\""),
        value(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\other.exe", "",
              "C:\\Other\\other.exe"),
        RegistrationRecord::ValueWritten(Hive::CurrentUser, "Software\\Kestrel\\Notes", "FirstRun",
                                         platform::NumberValue(1)),  // the other hive
        RegistrationRecord::PathAdded(Hive::LocalMachine, "C:\\Windows\\system32", false),
        RegistrationRecord::KeyMade(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\X"),
        value(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", "DisplayName",
              "Other"),
        value(Hive::LocalMachine, kMachineEnvironmentKey, "ComSpec", "C:\\Windows\\system32\\cmd.exe"),
        // An undeclared value that "replaced" something: removed at most, never written back.
        RegistrationRecord::ValueWritten(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                         "Evil", platform::StringValue("x"), platform::StringValue("C:\\payload.exe")),
    };
    rig.Uninstall(forged, Kestrel());
    const std::string after = r.Snapshot();
    EXPECT_EQ(r.Get(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil"), "<missing>");
    r.Set(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil", "x");
    EXPECT_EQ(r.Snapshot(), before) << after;
}

TEST(Registrations, AFailedWriteUndoesTheRestAndNamesTheKey) {
    Rig rig(Hive::LocalMachine);
    const std::string before = rig.registry.Snapshot();
    rig.registry.FailWritesBelow(kAppPathsKey);
    try {
        rig.Install(Kestrel());
        FAIL() << "the write should fail";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("App Paths\\kestrel.exe"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(rig.registry.Snapshot(), before);
}

}  // namespace
}  // namespace velmoran::setup

namespace velmoran::testing {
namespace {

TEST(RegistrationRun, AnInstallationRegistersAndItsUninstallRemovesItAll) {
    TestApp app;
    app.manifest.registrations.fileTypes = {{".knote", "", "Kestrel note"}};
    app.manifest.registrations.pathEntry = "docs";
    QuietRig rig(app.Build());
    ASSERT_EQ(rig.Run(), 0);
    const std::string logPath = kQuietFolder + "\\Kestrel.rlg";
    EXPECT_TRUE(rig.files.FileExists(logPath));
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, "Software\\Classes\\.knote", ""), "Velmoran.Kestrel.knote");
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, setup::kMachineEnvironmentKey, "Path"),
              kQuietFolder + "\\docs");
    EXPECT_EQ(rig.shell.associationNotices, 1);
    EXPECT_EQ(rig.shell.environmentNotices, 1);
    EXPECT_TRUE(rig.Logged("Software\\Classes\\.knote (default) = Velmoran.Kestrel.knote"));
    // The uninstall entry stays as the uninstall leaves it; everything registered goes.
    ASSERT_EQ(rig.Uninstall(), 0);
    EXPECT_FALSE(rig.files.FileExists(logPath));
    EXPECT_EQ(rig.shell.associationNotices, 2);
    const std::string after = rig.registry.Snapshot();
    EXPECT_EQ(after.find("knote"), std::string::npos) << after;
    EXPECT_EQ(after.find("Velmoran"), std::string::npos) << after;
    EXPECT_EQ(after.find("registeredapplications"), std::string::npos) << after;  // made by this installation
    EXPECT_EQ(rig.registry.Get(platform::Hive::LocalMachine, setup::kMachineEnvironmentKey, "Path"), "<missing>");
}

}  // namespace
}  // namespace velmoran::testing

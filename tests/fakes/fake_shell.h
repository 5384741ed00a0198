#pragma once
// Records shortcuts and launches. A shortcut's content names its description,
// target and working folder, one per line.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "common/path.h"
#include "common/utf8.h"
#include "platform/code_page.h"
#include "platform/running_programs.h"
#include "platform/shell.h"

namespace velmoran::testing {

class FakeShell : public platform::Shell {
public:
    explicit FakeShell(FakeFileSystem& files) : files_(files) {}

    struct Shortcut {
        std::string description, target, workingFolder;
    };
    struct Launched {
        std::string file, parameters;
        platform::ShowCommand show;
        std::string workingFolder;
        bool asUser = false;  // started through the desktop's shell
    };

    Bytes ShortcutContent(const std::string& description, const std::string& target) override;
    bool Launch(const std::string& file, const std::string& parameters, platform::ShowCommand show,
                const std::string& workingFolder) override;

    // Recorded among the launches, shown Normal, with `asUser` set; false
    // (nothing started) when `noDesktopShell`.
    void SetChildEnvironment(const std::string& name, const std::string& value) override { environment[name] = value; }
    std::map<std::string, std::string> environment;
    bool LaunchAsSignedInUser(const std::string& file) override {
        if (noDesktopShell) return false;
        launches_.push_back({file, "", platform::ShowCommand::Normal, FolderPart(file), true});
        return true;
    }
    bool noDesktopShell = false;
    bool RunsAsSystem() override { return asSystem; }
    void NotifyAssociationsChanged() override { ++associationNotices; }
    void BroadcastEnvironmentChange() override { ++environmentNotices; }
    int associationNotices = 0, environmentNotices = 0;
    bool asSystem = false;
    // Claimed by another process when the name is in `claimedElsewhere`.
    bool ClaimSingleRun(const std::string& appName) override { return claimedElsewhere.count(appName) == 0; }
    std::set<std::string> claimedElsewhere;

    void FailShortcutObject(bool fail) { failObject_ = fail; }
    const std::vector<Shortcut>& Shortcuts() const { return shortcuts_; }
    const std::vector<Launched>& Launches() const { return launches_; }

private:
    FakeFileSystem& files_;
    bool failObject_ = false;
    std::vector<Shortcut> shortcuts_;
    std::vector<Launched> launches_;
};

// Programs that hold files: `holders` maps a file (as given) to the program
// holding it. Closing succeeds unless `refuseToClose`.
class FakeRunningPrograms : public platform::RunningPrograms {
public:
    std::vector<std::string> Holding(const std::vector<std::string>& files) override {
        asked = files;
        std::vector<std::string> names;
        for (const std::string& file : files)
            if (const auto holder = holders.find(file); holder != holders.end()) names.push_back(holder->second);
        return names;
    }
    bool Close() override {
        closed = !refuseToClose;
        return closed;
    }
    void Restart() override { restarted = true; }

    std::map<std::string, std::string> holders;
    std::vector<std::string> asked;
    bool refuseToClose = false, closed = false, restarted = false;
};

// A process whose ANSI calls take UTF-8 unless `utf8` is cleared (Windows
// before 1903); the legacy code page is Latin-1 unless `legacy` says otherwise.
class FakeCodePage : public platform::CodePage {
public:
    bool AnsiIsUtf8() override { return utf8; }
    std::string FromLegacy(const std::string& text) override {
        if (!utf8) return text;
        if (legacy) return legacy(text);
        std::string out;
        for (const char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
        return out;
    }

    bool utf8 = true;
    std::function<std::string(const std::string&)> legacy;
};

}  // namespace velmoran::testing

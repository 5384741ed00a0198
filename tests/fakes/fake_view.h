#pragma once
// A window without a screen: records what the handlers show, answers message
// boxes from a script, and raises the list and edit events the real window
// would, with the folder controls checked against the fake file system.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "ui/gauge_model.h"
#include "ui/install.h"
#include "ui/view.h"

namespace velmoran::testing {

class FakeView : public ui::View {
public:
    struct Box {
        ui::MessageKind kind;
        std::string text;
        ui::MessageButtons buttons;
    };

    explicit FakeView(FakeFileSystem& files) : files_(&files) {}
    void Attach(ui::Install& install) { install_ = &install; }

    // Scripted answers, taken in order; Yes (or OK) when the script is empty.
    void Answer(ui::MessageResult result) { answers_.push_back(result); }
    // Runs at every message pump, with the pump's number from 1.
    void OnPump(std::function<void(int)> action) { onPump_ = std::move(action); }
    // Runs at every gauge repaint (once per step of a run).

    ui::Page page = ui::Page::Intro;
    std::vector<ui::Page> pagesShown;
    std::map<ui::Label, std::string> labels;
    std::vector<Box> boxes;
    std::vector<std::string> failures;
    Bytes splash, icon;
    std::map<ui::RichBox, std::string> richTexts;
    std::map<ui::RichBox, bool> richAsRtf;
    std::string listFolder;
    std::string folderName;
    bool choosePanel = false;
    bool runProgram = true;
    bool desktopShortcutShown = false, desktopShortcut = true;
    bool uninstallExitEnabled = true;
    bool terminated = false;
    int pumps = 0;
    int gaugeRepaints = 0;
    std::map<ui::Gauge, ui::GaugeModel> gauges;

    void ShowPage(ui::Page p) override { page = p; pagesShown.push_back(p); }
    void SetLabel(ui::Label label, const std::string& text) override { labels[label] = text; }
    std::string LabelText(ui::Label label) override { return labels[label]; }
    void SetGaugeMax(ui::Gauge gauge, int maximum) override { gauges[gauge].SetMax(maximum); }
    void SetGaugeProgress(ui::Gauge gauge, long long progress) override { gauges[gauge].SetProgress(progress); }
    long long GaugeProgress(ui::Gauge gauge) override { return gauges[gauge].Progress(); }
    void RepaintGauge(ui::Gauge) override { ++gaugeRepaints; }
    void SetSplash(const Bytes& jpeg) override { splash = Decode(jpeg); }
    void SetIcon(const Bytes& jpeg) override { icon = Decode(jpeg); }
    void LoadRichText(ui::RichBox box, const Bytes& text) override;
    void PointDirectoryList(const std::string& folder) override;
    std::string DirectoryListFolder() override { return listFolder; }
    void SetFolderName(const std::string& name) override;
    std::string FolderName() override { return folderName; }
    void ShowChoosePanel() override { choosePanel = true; }
    bool ChoosePanelVisible() override { return choosePanel; }
    bool RunProgramChecked() override { return runProgram; }
    void ShowDesktopShortcutChoice() override { desktopShortcutShown = true; }
    bool DesktopShortcutChecked() override { return desktopShortcut; }
    void EnableUninstallExit(bool enabled) override { uninstallExitEnabled = enabled; }
    ui::MessageResult ShowMessage(ui::MessageKind kind, const std::string& text, ui::MessageButtons buttons) override;
    void ShowFailure(const std::string& message) override { failures.push_back(message); }
    void ProcessMessages() override;
    void Terminate() override { terminated = true; }

    // The user's actions on the folder page.
    void TypeFolderName(const std::string& name) { SetFolderName(name); }
    void OpenFolderInList(const std::string& folder) { PointDirectoryList(folder); }

private:
    static Bytes Decode(const Bytes& jpeg);

    FakeFileSystem* files_;
    ui::Install* install_ = nullptr;
    std::deque<ui::MessageResult> answers_;
    std::function<void(int)> onPump_;
};

}  // namespace velmoran::testing

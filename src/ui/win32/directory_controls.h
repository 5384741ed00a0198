#pragma once
// The drive box and the directory list, working as a pair. The list shows the
// drive's root, each ancestor of its folder, the folder itself (selected) and
// its sub-folders sorted by name. Pointing it at a folder also makes that the
// process's current folder.

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

class DirectoryControls {
public:
    void Attach(HWND drives, HWND list) {
        drives_ = drives;
        list_ = list;
    }
    void FillDrives();
    // The process's current folder, with its drive selected.
    void ShowCurrentFolder();

    // True when the list moved. The empty text and the folder already shown do
    // nothing; a folder that cannot be entered throws Failure("I/O error N").
    bool SetDirectory(const std::string& folder);
    const std::string& Directory() const { return current_; }

    // Double-click or Enter: the selected row becomes the list's folder.
    bool OpenSelected();
    // The drive box's selection changed: move to that drive's current folder.
    // A drive that is not ready throws Failure("I/O error 21") and stays put.
    bool ChooseDrive();

    void DrawRow(const DRAWITEMSTRUCT& item, int dpi);

private:
    struct Row {
        std::string path;
        int level;
        bool open;
    };
    void Rebuild();
    void SelectDriveOf(const std::string& folder);

    HWND drives_ = nullptr;
    HWND list_ = nullptr;
    std::string current_;
    std::vector<Row> rows_;
};

}  // namespace velmoran::ui::win32

#include "ui/win32/directory_controls.h"

#include <algorithm>

#include "common/failure.h"
#include "common/path.h"
#include "platform/win32/handles.h"
#include "ui/dpi_scale.h"
#include "ui/win32/gdi.h"

namespace velmoran::ui::win32 {
namespace {

Failure IoError(DWORD code) { return Failure("I/O error " + std::to_string(code)); }

std::string FullPath(const std::string& folder) {
    char buffer[kMaxPathBytes];
    const DWORD length = GetFullPathNameA(folder.c_str(), sizeof buffer, buffer, nullptr);
    return WithoutTrailingBackslashes(length > 0 && length < sizeof buffer ? std::string(buffer, length) : folder);
}

bool DriveReady(char letter) {
    const char root[] = {letter, ':', '\\', 0};
    // Removable drives without a medium would ask the user to insert one.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ready = GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    SetErrorMode(previous);
    return ready != 0;
}

std::vector<std::string> SubFolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const std::string pattern = JoinPath(folder, "*");
    platform::win32::FindHandle find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find.Valid()) return names;
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    return names;
}

void DrawFolderIcon(HDC dc, int x, int y, bool open, int dpi) {
    const auto at = [dpi](int value) { return Scaled(value, dpi); };
    Brush yellow(CreateSolidBrush(open ? RGB(255, 230, 140) : RGB(240, 200, 80)));
    Pen outline(CreatePen(PS_SOLID, 1, RGB(130, 100, 20)));
    Selection brush(dc, yellow.Get());
    Selection pen(dc, outline.Get());
    Rectangle(dc, x, y + at(1), x + at(7), y + at(4));
    Rectangle(dc, x, y + at(3), x + at(15), y + at(13));
}

}  // namespace

void DirectoryControls::FillDrives() {
    SendMessageA(drives_, CB_RESETCONTENT, 0, 0);
    const DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(mask & (1u << (letter - 'A')))) continue;
        const char item[] = {static_cast<char>(letter + ('a' - 'A')), ':', 0};
        SendMessageA(drives_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
}

void DirectoryControls::SelectDriveOf(const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':') return;
    const char item[] = {static_cast<char>(AsciiLower(folder.substr(0, 1))[0]), ':', 0};
    SendMessageA(drives_, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
}

void DirectoryControls::ShowCurrentFolder() {
    char buffer[kMaxPathBytes];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return;
    current_ = FullPath(std::string(buffer, length));
    Rebuild();
    SelectDriveOf(current_);
}

bool DirectoryControls::SetDirectory(const std::string& folder) {
    if (folder.empty()) return false;
    const std::string full = FullPath(folder);
    if (EqualsIgnoreCase(full, current_)) return false;
    if (full.size() >= 2 && full[1] == ':' && !DriveReady(full[0])) throw IoError(ERROR_NOT_READY);
    if (!SetCurrentDirectoryA(full.c_str())) throw IoError(GetLastError());
    current_ = full;
    Rebuild();
    SelectDriveOf(current_);
    return true;
}

void DirectoryControls::Rebuild() {
    rows_.clear();
    const std::string root = current_.substr(0, std::min<std::size_t>(3, current_.size()));
    rows_.push_back({root, 0, true});
    std::string path = root;
    int level = 0;
    for (std::size_t start = 3; start < current_.size();) {
        const std::size_t end = std::min(current_.find('\\', start), current_.size());
        path = JoinPath(path, current_.substr(start, end - start));
        rows_.push_back({path, ++level, true});
        start = end + 1;
    }
    const int selected = static_cast<int>(rows_.size()) - 1;
    for (const std::string& name : SubFolders(current_))
        rows_.push_back({JoinPath(current_, name), level + 1, false});

    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const Row& row : rows_) {
        const std::string name = row.level == 0 ? row.path : FileNamePart(row.path);
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

bool DirectoryControls::OpenSelected() {
    const LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return false;
    return SetDirectory(rows_[static_cast<std::size_t>(index)].path);
}

bool DirectoryControls::ChooseDrive() {
    char item[8] = {};
    const LRESULT index = SendMessageA(drives_, CB_GETCURSEL, 0, 0);
    if (index < 0 || SendMessageA(drives_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) > 6) return false;
    SendMessageA(drives_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item));
    const char letter = static_cast<char>(item[0] - ('a' - 'A'));
    if (!DriveReady(letter)) {
        SelectDriveOf(current_);
        throw IoError(ERROR_NOT_READY);
    }
    const char drive[] = {letter, ':', 0};
    return SetDirectory(FullPath(drive));
}

void DirectoryControls::DrawRow(const DRAWITEMSTRUCT& item, int dpi) {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.size()) return;
    const Row& row = rows_[item.itemID];
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int x = item.rcItem.left + Scaled(2 + row.level * 8, dpi);
    DrawFolderIcon(dc, x, item.rcItem.top + Scaled(1, dpi), row.open, dpi);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left = x + Scaled(19, dpi);
    const std::string name = row.level == 0 ? row.path : FileNamePart(row.path);
    DrawTextA(dc, name.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace velmoran::ui::win32

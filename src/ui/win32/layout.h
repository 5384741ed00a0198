#pragma once
// The wizard window's controls and bevels as data: the table reads like the
// layout it produces. Coordinates are (left, top, width, height) relative to
// the parent; parent 0 is the form itself.

namespace velmoran::ui::win32 {

enum class Kind { Panel, Page, Picture, Label, SpeedButton, FlatButton, RichEdit, Edit, CheckBox, Gauge, DriveBox, DirectoryList };

enum Flags : unsigned {
    kNone = 0,
    kBold = 1 << 0,
    kWrap = 1 << 1,
    kDisabled = 1 << 2,
    kHidden = 1 << 3,
    kBlack = 1 << 4,
    kLoweredFrame = 1 << 5,
    kBorder = 1 << 6,
    kVerticalScroll = 1 << 7,
    kStretch = 1 << 8,
    kChecked = 1 << 9,
};

struct ControlSpec {
    int id;
    int parent;
    Kind kind;
    int x, y, width, height;
    const char* text;
    unsigned flags;
    int glyph;         // speed buttons: index into the glyph list
    const char* hint;  // speed buttons: tool-tip
};

struct BevelSpecRow {
    int parent;
    int x, y, width, height;
    bool raised;
};

// The buttons a page's keys press: Enter its action (0 where it has none, as
// while the installation runs), Esc and Alt+F4 its way out. One row a page, in
// the order of the pages.
struct PageKeys {
    int page;
    int enter;
    int escape;
};
extern const PageKeys kPageKeys[];

extern const ControlSpec kControls[];
extern const int kControlCount;
extern const BevelSpecRow kBevels[];
extern const int kBevelCount;

inline constexpr int kFormWidth = 596;
inline constexpr int kFormHeight = 317;

}  // namespace velmoran::ui::win32

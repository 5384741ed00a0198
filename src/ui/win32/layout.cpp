#include "ui/win32/layout.h"

#include "ui/win32/control_ids.h"
#include "ui/win32/glyph_ids.h"

namespace velmoran::ui::win32 {

// The page stack is a 480 x 334 page control at (-2, -32) inside Panel1, so
// that its tab strip and frame are clipped away. A sheet's client area starts
// 4 pixels in from the control's left edge (2 frame + 2 margin) and 26 down
// from its top (a 22-pixel tab row at 8-point MS Sans Serif, 2 frame, 2
// margin), and ends 4 pixels short of its right and bottom edges. Each page
// therefore sits at (-2 + 4, -32 + 26) = (2, -6) in Panel1, 472 x 304.
constexpr int kPageX = 2, kPageY = -6, kPageWidth = 472, kPageHeight = 304;
constexpr int kActionX = 344, kExitX = 392, kButtonY = 216, kButtonSize = 38;

const char kFooter[] = "Velmoran Installation System by Quenwick";

const ControlSpec kControls[] = {
    {idImgSplash, 0, Kind::Picture, 11, 11, 128, 296, "", kStretch, 0, nullptr},
    {idLabTitle, 0, Kind::Label, 186, 10, 401, 13, "Software Title", kBold, 0, nullptr},
    {idLabCompany, 0, Kind::Label, 186, 30, 401, 13, "by Quenwick", kNone, 0, nullptr},
    {idPanel1, 0, Kind::Panel, 146, 58, 444, 249, "", kNone, 0, nullptr},
    {idPanIcon, 0, Kind::Panel, 146, 10, 34, 34, "", kBlack | kLoweredFrame, 0, nullptr},
    {idImgIcon, idPanIcon, Kind::Picture, 1, 1, 32, 32, "", kBlack, 0, nullptr},

    {idTabIntro, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "Intro", kNone, 0, nullptr},
    {idPanel2, idTabIntro, Kind::Panel, 16, 24, 409, 105, "", kDisabled, 0, nullptr},
    {idRichAbout, idPanel2, Kind::RichEdit, 0, 0, 409, 105, "", kNone, 0, nullptr},
    {idLabWelcome, idTabIntro, Kind::Label, 16, 150, 409, 43, "", kWrap, 0, nullptr},
    {idLabel11, idTabIntro, Kind::Label, 16, 226, 249, 13, kFooter, kDisabled, 0, nullptr},
    {idBtnShowLicense, idTabIntro, Kind::SpeedButton, kActionX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphNext, "Next"},
    {idBtnExit, idTabIntro, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphExit, "Exit"},

    {idTabLicense, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "License", kHidden, 0, nullptr},
    {idLabel8, idTabLicense, Kind::Label, 16, 22, 409, 35,
     "This software is protected under copyright law and international treaties.  Please read the following license "
     "agreement and only proceed if you accept it :",
     kWrap, 0, nullptr},
    {idRichLicense, idTabLicense, Kind::RichEdit, 16, 64, 401, 121, "", kBorder | kVerticalScroll, 0, nullptr},
    {idBtnAccept, idTabLicense, Kind::SpeedButton, kActionX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphNext, "Accept"},
    {idBtnExit2, idTabLicense, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphExit, "Exit"},

    {idTabFolder, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "Folder", kHidden, 0, nullptr},
    {idLabel4, idTabFolder, Kind::Label, 16, 22, 257, 59,
     "The software will be installed to the folder shown below.  If you want to install the software to a different "
     "folder please click the 'Choose...' button.",
     kWrap, 0, nullptr},
    {idBtnChoose, idTabFolder, Kind::FlatButton, 288, 32, 129, 25, "Choose...", kNone, 0, nullptr},
    {idPanChoose, idTabFolder, Kind::Panel, 280, 24, 145, 169, "", kHidden, 0, nullptr},
    {idDriveComboBox1, idPanChoose, Kind::DriveBox, 0, 0, 145, 200, "", kNone, 0, nullptr},
    {idDirectoryListBox1, idPanChoose, Kind::DirectoryList, 0, 24, 145, 119, "", kNone, 0, nullptr},
    {idEdtFolder, idPanChoose, Kind::Edit, 0, 148, 145, 21, "", kNone, 0, nullptr},
    {idLabel1, idTabFolder, Kind::Label, 16, 174, 257, 27, "Click the blue arrow button to begin installation...", kWrap, 0, nullptr},
    // Shown for DesktopShortcut=ask, in the space between the two texts.
    {idChkDesktopShortcut, idTabFolder, Kind::CheckBox, 16, 140, 257, 17, "Create a desktop shortcut", kChecked | kHidden, 0, nullptr},
    {idLabInstallTo, idTabFolder, Kind::Label, 16, 228, 321, 13, "", kNone, 0, nullptr},
    {idBtnGoInstall, idTabFolder, Kind::SpeedButton, kActionX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphGo, "Install Now"},
    {idBtnExit3, idTabFolder, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphExit, "Exit"},

    {idTabInstalling, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "Installing", kHidden, 0, nullptr},
    {idLabel5, idTabInstalling, Kind::Label, 16, 22, 257, 163, "Installing...", kWrap, 0, nullptr},
    {idLabInstallingFile, idTabInstalling, Kind::Label, 16, 222, 321, 13, "Installing : ", kNone, 0, nullptr},
    {idMtrProgress, idTabInstalling, Kind::Gauge, 395, 13, 32, 180, "", kNone, 0, nullptr},
    {idBtnExit4, idTabInstalling, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphExit, "Cancel & Exit"},

    {idTabInstalled, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "Complete", kHidden, 0, nullptr},
    {idLabel7, idTabInstalled, Kind::Label, 16, 22, 257, 59, "Installation Complete.", kWrap, 0, nullptr},
    {idGauge1, idTabInstalled, Kind::Gauge, 395, 13, 32, 180, "", kNone, 0, nullptr},
    {idChkRunProgram, idTabInstalled, Kind::CheckBox, 160, 96, 145, 17, "Run Program", kChecked, 0, nullptr},
    {idBtnComplete, idTabInstalled, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphOk, "OK"},

    {idTabUninstall, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "Uninstall", kHidden, 0, nullptr},
    {idLabUninstall, idTabUninstall, Kind::Label, 16, 22, 345, 91, "", kWrap, 0, nullptr},
    {idBtnUninstall, idTabUninstall, Kind::SpeedButton, kActionX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphGo, "Uninstall"},
    {idBtnCancel, idTabUninstall, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphExit, "Exit"},
    {idLabel2, idTabUninstall, Kind::Label, 16, 224, 249, 13, kFooter, kDisabled, 0, nullptr},

    {idTabUninstalled, idPanel1, Kind::Page, kPageX, kPageY, kPageWidth, kPageHeight, "tabUninstalled", kHidden, 0, nullptr},
    {idLabUninstall2, idTabUninstalled, Kind::Label, 16, 22, 361, 35, "", kWrap, 0, nullptr},
    {idLabTraces, idTabUninstalled, Kind::Label, 16, 78, 361, 59, "", kWrap, 0, nullptr},
    {idMtrUninstall, idTabUninstalled, Kind::Gauge, 395, 16, 32, 173, "", kNone, 0, nullptr},
    {idBtnUninstallExit, idTabUninstalled, Kind::SpeedButton, kExitX, kButtonY, kButtonSize, kButtonSize, "", kNone, kGlyphOk, "OK"},
};
const int kControlCount = sizeof kControls / sizeof kControls[0];

const PageKeys kPageKeys[] = {
    {idTabIntro, idBtnShowLicense, idBtnExit},         {idTabLicense, idBtnAccept, idBtnExit2},
    {idTabFolder, idBtnGoInstall, idBtnExit3},         {idTabInstalling, 0, idBtnExit4},
    {idTabInstalled, idBtnComplete, idBtnComplete},    {idTabUninstall, idBtnUninstall, idBtnCancel},
    {idTabUninstalled, idBtnUninstallExit, idBtnUninstallExit},
};

const BevelSpecRow kBevels[] = {
    {0, 1, 1, 595, 316, true},    // Bevel11 and Bevel10: the double raised frame
    {0, 1, 1, 594, 315, true},
    {0, 10, 10, 130, 298, false}, // Bevel1: the splash picture's frame
    {0, 186, 26, 399, 2, true},   // Bevel3: the rule under the title
    {idTabIntro, 0, 203, 438, 2, false},       // Bevel2
    {idTabLicense, 0, 203, 438, 2, false},     // Bevel4
    {idTabFolder, 0, 203, 438, 2, false},      // Bevel5
    {idTabFolder, 280, 24, 145, 41, false},    // Bevel12, framing the Choose button
    {idTabInstalling, 0, 203, 438, 2, false},  // Bevel6
    {idTabInstalled, 0, 203, 438, 2, false},   // Bevel7
    {idTabUninstall, 0, 203, 438, 2, false},   // Bevel8
    {idTabUninstalled, 0, 203, 438, 2, false}, // Bevel9
};
const int kBevelCount = sizeof kBevels / sizeof kBevels[0];

}  // namespace velmoran::ui::win32

#pragma once
// Control identifiers of the wizard window and its message boxes, shared with
// the GUI test driver so it can find every control by the name the window uses.

namespace velmoran::ui::win32 {

enum ControlId : int {
    idPanel1 = 100,
    idTabIntro, idTabLicense, idTabFolder, idTabInstalling, idTabInstalled, idTabUninstall, idTabUninstalled,
    idImgSplash, idLabTitle, idLabCompany, idPanIcon, idImgIcon,
    idPanel2, idRichAbout, idLabWelcome, idLabel11, idBtnShowLicense, idBtnExit,
    idLabel8, idRichLicense, idBtnAccept, idBtnExit2,
    idLabel4, idBtnChoose, idPanChoose, idDriveComboBox1, idDirectoryListBox1, idEdtFolder, idLabel1,
    idLabInstallTo, idBtnGoInstall, idBtnExit3,
    idLabel5, idLabInstallingFile, idMtrProgress, idBtnExit4,
    idLabel7, idGauge1, idChkRunProgram, idBtnComplete,
    idLabUninstall, idBtnUninstall, idBtnCancel, idLabel2,
    idLabUninstall2, idLabTraces, idMtrUninstall, idBtnUninstallExit,
    idChkDesktopShortcut,
    idControlsEnd,  // one past the last control of the window
    idBoxText = 200,
    idBoxIcon,
};

struct ControlName {
    const char* name;
    int id;
};

inline constexpr ControlName kControlNames[] = {
    {"Panel1", idPanel1}, {"tabIntro", idTabIntro}, {"tabLicense", idTabLicense}, {"tabFolder", idTabFolder},
    {"tabInstalling", idTabInstalling}, {"tabInstalled", idTabInstalled}, {"tabUninstall", idTabUninstall},
    {"tabUninstalled", idTabUninstalled}, {"imgSplash", idImgSplash}, {"labTitle", idLabTitle},
    {"labCompany", idLabCompany}, {"panIcon", idPanIcon}, {"imgIcon", idImgIcon}, {"Panel2", idPanel2},
    {"richAbout", idRichAbout}, {"labWelcome", idLabWelcome}, {"Label11", idLabel11},
    {"btnShowLicense", idBtnShowLicense}, {"btnExit", idBtnExit}, {"Label8", idLabel8},
    {"richLicense", idRichLicense}, {"btnAccept", idBtnAccept}, {"btnExit2", idBtnExit2}, {"Label4", idLabel4},
    {"btnChoose", idBtnChoose}, {"panChoose", idPanChoose}, {"DriveComboBox1", idDriveComboBox1},
    {"DirectoryListBox1", idDirectoryListBox1}, {"edtFolder", idEdtFolder}, {"Label1", idLabel1},
    {"labInstallTo", idLabInstallTo}, {"btnGoInstall", idBtnGoInstall}, {"btnExit3", idBtnExit3},
    {"Label5", idLabel5}, {"labInstallingFile", idLabInstallingFile}, {"mtrProgress", idMtrProgress},
    {"btnExit4", idBtnExit4}, {"Label7", idLabel7}, {"Gauge1", idGauge1}, {"chkRunProgram", idChkRunProgram},
    {"btnComplete", idBtnComplete}, {"labUninstall", idLabUninstall}, {"btnUninstall", idBtnUninstall},
    {"btnCancel", idBtnCancel}, {"Label2", idLabel2}, {"labUninstall2", idLabUninstall2},
    {"labTraces", idLabTraces}, {"mtrUninstall", idMtrUninstall}, {"btnUninstallExit", idBtnUninstallExit},
    {"chkDesktopShortcut", idChkDesktopShortcut},
};

// Window classes and the gauge's queries, for the driver.
inline constexpr char kFormClass[] = "TfrmInstall";
inline constexpr char kApplicationClass[] = "TApplication";
inline constexpr unsigned kGaugeGetPercent = 0x0400 + 1;  // WM_USER + 1

}  // namespace velmoran::ui::win32

// The system services against the real API, in the test prefix under wine64.
// Every test removes what it wrote.

#include <gtest/gtest.h>

#include <aclapi.h>
#include <objidl.h>
#include <sddl.h>
#include <shlobj.h>

#include <chrono>
#include <thread>

#include "common/failure.h"
#include "common/path.h"
#include "common/unicode_case.h"
#include "platform/special_folders.h"
#include "platform/win32/folder_rights.h"
#include "platform/win32/handles.h"
#include "platform/win32/own_file_source.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"

namespace velmoran::testing {
namespace {

using namespace velmoran::platform;
using namespace velmoran::platform::win32;

const std::string kTestKey = "SOFTWARE\\Velmoran Tests";

std::string TempFolder(const std::string& name) {
    char buffer[MAX_PATH];
    GetTempPathA(sizeof buffer, buffer);
    std::string folder = std::string(buffer) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (find.Valid()) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find.Get(), &entry));
    }
    RemoveDirectoryA(folder.c_str());
}

class Win32Registry_ : public ::testing::Test {
protected:
    void TearDown() override {
        registry.DeleteKeyTree(Hive::LocalMachine, kTestKey);
        registry.DeleteKeyTree(Hive::CurrentUser, kTestKey);
        registry.DeleteKeyTree(Hive::LocalMachine, std::string(kUninstallKeyPrefix) + "Velmoran Vendor");
    }
    Win32Registry registry;
};

TEST_F(Win32Registry_, WriteReadAndDeleteInBothHives) {
    WriteMachineValue(registry, kTestKey + "\\App", "DisplayName", "Velmoran Test App");
    EXPECT_EQ(registry.ReadString(Hive::LocalMachine, kTestKey + "\\App", "DisplayName", KeyAccess::Full), "Velmoran Test App");
    EXPECT_EQ(registry.ReadString(Hive::LocalMachine, kTestKey + "\\App", "DisplayName", KeyAccess::Read), "Velmoran Test App");
    EXPECT_EQ(ReadShellValue(registry, kTestKey + "\\App", "DisplayName"), "Velmoran Test App");

    // Only under the user hive: the machine read comes back empty and the user's is taken.
    ASSERT_TRUE(registry.WriteString(Hive::CurrentUser, kTestKey, "Programs", "C:\\users\\me\\Programs"));
    EXPECT_EQ(ReadShellValue(registry, kTestKey, "Programs"), "C:\\users\\me\\Programs");
    EXPECT_EQ(ReadShellValueReadOnly(registry, kTestKey, "Programs"), "C:\\users\\me\\Programs");
    EXPECT_EQ(ReadShellValue(registry, kTestKey, "Missing"), "");
    EXPECT_EQ(ReadShellValue(registry, kTestKey + "\\No Such Key", "Programs"), "");

    // REG_SZ is written with its NUL: the stored size is the text plus one.
    RegistryKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kTestKey + "\\App").c_str(), 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExA(key.Get(), "DisplayName", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof("Velmoran Test App"));

    registry.WriteString(Hive::LocalMachine, kTestKey + "\\App\\Deeper\\Deepest", "x", "y");
    DeleteMachineKey(registry, kTestKey + "\\App");
    EXPECT_EQ(registry.ReadString(Hive::LocalMachine, kTestKey + "\\App", "DisplayName", KeyAccess::Read), "");
    RegistryKey gone;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kTestKey + "\\App").c_str(), 0, KEY_READ, gone.Receive()), ERROR_SUCCESS);
}

TEST_F(Win32Registry_, ValueCutAtNulAndWrongTypeRefused) {
    RegistryKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
    const char twoStrings[] = "first\0second";
    RegSetValueExA(key.Get(), "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(twoStrings), sizeof twoStrings);
    const DWORD number = 7;
    RegSetValueExA(key.Get(), "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExA(key.Get(), "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%\\x"), 9);

    EXPECT_EQ(ReadShellValue(registry, kTestKey, "Text"), "first");
    EXPECT_EQ(ReadShellValue(registry, kTestKey, "Expand"), "%TEMP%\\x");
    try {
        ReadShellValue(registry, kTestKey, "Number");
        FAIL() << "read a DWORD as text";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Invalid data type for 'Number'");
    }
}

TEST_F(Win32Registry_, ApplicationNameWithBackslashMakesNestedUninstallKey) {
    const std::string key = std::string(kUninstallKeyPrefix) + "Velmoran Vendor\\Tool";
    WriteMachineValue(registry, key, "DisplayName", "Velmoran Vendor\\Tool");
    WriteMachineValue(registry, key, "UninstallString", "C:\\Tool\\uninstall.exe uninstall");
    EXPECT_EQ(ReadShellValueReadOnly(registry, key, "UninstallString"), "C:\\Tool\\uninstall.exe uninstall");
    DeleteMachineKey(registry, key);
    EXPECT_EQ(ReadShellValueReadOnly(registry, key, "DisplayName"), "");
}

TEST(Win32SpecialFolders, WineDefaultsAreFound) {
    Win32Registry registry;
    const SpecialFolders folders = LookUpSpecialFolders(registry);
    EXPECT_FALSE(folders.programs.empty());
    EXPECT_FALSE(folders.desktop.empty());
    EXPECT_EQ(folders.programFiles, "C:\\Program Files");
}

struct LinkContents {
    std::string path, description, workingFolder;
};

LinkContents ReadLink(const std::string& linkPath) {
    ComPtr<IShellLinkA> link;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.ReceiveVoid())));
    ComPtr<IPersistFile> file;
    EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    EXPECT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ))) << linkPath;
    char buffer[MAX_PATH] = {};
    LinkContents contents;
    link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.path = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, MAX_PATH);
    contents.description = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, MAX_PATH);
    contents.workingFolder = buffer;
    return contents;
}

TEST(Win32Shell_, ShortcutReadsBackWithPathDescriptionAndWorkingFolder) {
    const std::string folder = TempFolder("velmoran-links");
    const std::string target = folder + "\\App\\app.exe";
    CreateDirectoryA((folder + "\\App").c_str(), nullptr);
    CloseHandle(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Win32Shell shell;
    Win32FileSystem files;
    const std::string finalFolder = files.FinalFolderPath(folder, LinkAtFolder::Refuse);
    const auto save = [&](const std::string& description, const std::string& link, const std::string& linkTarget) {
        const Bytes content = shell.ShortcutContent(description, linkTarget);
        ASSERT_FALSE(content.empty());
        files.CreateFileWithin(link, finalFolder)->Write(content.data(), content.size());
    };
    save("Velmoran App", folder + "\\Velmoran App.lnk", target);
    const LinkContents app = ReadLink(folder + "\\Velmoran App.lnk");
    EXPECT_TRUE(_stricmp(app.path.c_str(), target.c_str()) == 0) << app.path;
    EXPECT_EQ(app.description, "Velmoran App");
    EXPECT_EQ(app.workingFolder, folder + "\\App\\");

    save("Bare", folder + "\\Bare.lnk", "notepad.exe");
    EXPECT_EQ(ReadLink(folder + "\\Bare.lnk").workingFolder, "");
    RemoveTree(folder);
}

TEST(Win32Shell_, LaunchStartsProgramAndReportsMissingOrOverlongFiles) {
    const std::string folder = TempFolder("velmoran-launch");
    const std::string marker = folder + "\\marker.txt";
    const std::string ownPath = OwnProgramPath();
    const std::string writer = ownPath.substr(0, ownPath.find_last_of('\\') + 1) + VELMORAN_MARKER_WRITER;
    Win32Shell shell;
    ASSERT_TRUE(shell.Launch(writer, "\"" + marker + "\"", ShowCommand::Normal, ""));
    bool appeared = false;
    for (int i = 0; i < 200 && !appeared; ++i) {
        appeared = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!appeared) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(appeared);
    EXPECT_FALSE(shell.Launch(folder + "\\no such program.exe", "", ShowCommand::Minimised, ""));
    EXPECT_FALSE(shell.Launch(writer, std::string(1025, 'x'), ShowCommand::Normal, ""));
    EXPECT_FALSE(shell.Launch(std::string(1025, 'x'), "", ShowCommand::Normal, ""));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    RemoveTree(folder);
}

TEST(Win32FileSystem_, CreationFailureCarriesTheSystemText) {
    Win32FileSystem files;
    const std::string path = TempFolder("velmoran-files") + "\\missing folder\\file.txt";
    try {
        files.CreateFileWithin(path, files.FinalFolderPath(TempFolder("velmoran-files"), LinkAtFolder::Refuse));
        FAIL() << "created a file in a missing folder";
    } catch (const Failure& failure) {
        const std::string message = failure.what();
        const std::string prefix = "Cannot create file \"" + path + "\". ";
        EXPECT_EQ(message.compare(0, prefix.size(), prefix), 0) << message;
        EXPECT_GT(message.size(), prefix.size() + 5) << message;
        EXPECT_NE(message.back(), '\n');
    }
    RemoveTree(TempFolder("velmoran-files"));
}

// A file another program holds without delete sharing: not replaceable now
// (FileInUse), not deletable now, and its deletion scheduled for the next
// start of Windows by its final path.
TEST(Win32FileSystem_, FilesInUseAreLeftForTheNextStart) {
    Win32FileSystem files;
    const std::string folder = TempFolder("velmoran-held");
    const std::string path = folder + "\\held.txt";
    files.CreateNewFile(path)->Write(reinterpret_cast<const uint8_t*>("x"), 1);
    const std::string finalFolder = files.FinalFolderPath(folder, LinkAtFolder::Refuse);
    {
        FileHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.Valid());
        EXPECT_THROW(files.CreateFileWithin(path, finalFolder), FileInUse);
        EXPECT_EQ(files.RemoveFileWithin(path, finalFolder), Removal::InUse);
        EXPECT_FALSE(files.DeleteAtRestartWithin(path, files.FinalFolderPath(TempFolder("velmoran-other"), LinkAtFolder::Refuse)));
        EXPECT_TRUE(files.DeleteAtRestartWithin(path, finalFolder));
    }
    const char* sessionKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    char pending[8192] = {};
    DWORD size = sizeof pending;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, sessionKey, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                           pending, &size),
              ERROR_SUCCESS);
    EXPECT_NE(std::string(pending, size).find("velmoran-held\\held.txt"), std::string::npos);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, sessionKey, "PendingFileRenameOperations");
    RemoveTree(folder);
    RemoveTree(TempFolder("velmoran-other"));
}

// The running account's security identifier, as text.
std::string OwnSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    const FileHandle owned(token);
    std::vector<uint8_t> user(256);
    DWORD size = 0;
    char* text = nullptr;
    if (!GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size) ||
        !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text))
        return "unknown";
    const std::string sid = text;
    LocalFree(text);
    return sid;
}

// A folder's own rights, in security descriptor language.
std::string RightsOf(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return "unreadable";
    char* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                         nullptr);
    const std::string rights = text ? text : "unconvertible";
    LocalFree(text);
    LocalFree(descriptor);
    return rights;
}

// The rights an installation gives the folders it makes are read back as
// meant; a folder others may write to is told apart, and no restart operation
// is trusted in it.
TEST(Win32FileSystem_, FolderRightsAndRestartOperations) {
    Win32FileSystem files;
    const std::string root = TempFolder("velmoran-rights");
    const std::string closed = root + "\\closed", open = root + "\\open";
    ASSERT_EQ(files.CreateFolder(closed, FolderRights::AdministratorsOnly), "");
    PSECURITY_DESCRIPTOR meant = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnlyRights, SDDL_REVISION_1, &meant, nullptr));
    char* meantText = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(meant, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &meantText, nullptr);
    const std::string readBack = RightsOf(closed);
    // Wine keeps no descriptor on disk: it reads back the Unix mode it made of
    // this one, which must still give nobody but its owner and the system a right.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        EXPECT_EQ(readBack, "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + OwnSid() + ")");
    else
        EXPECT_EQ(readBack, meantText);
    LocalFree(meantText);
    LocalFree(meant);
    EXPECT_FALSE(files.OthersMayChange(closed));

    // Everyone may modify (on Windows, as below a drive's root Authenticated Users may).
    PSECURITY_DESCRIPTOR everyoneModifies = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;WD)",
                                                                     SDDL_REVISION_1, &everyoneModifies, nullptr));
    ASSERT_TRUE(CreateDirectoryA(open.c_str(), nullptr));
    // Set afterwards: Wine applies its umask to the rights a folder is made with.
    BOOL present = FALSE, defaulted = FALSE;
    PACL everyone = nullptr;
    GetSecurityDescriptorDacl(everyoneModifies, &present, &everyone, &defaulted);
    ASSERT_EQ(SetNamedSecurityInfoA(const_cast<char*>(open.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    everyone, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(everyoneModifies);
    EXPECT_TRUE(files.OthersMayChange(open)) << RightsOf(open);
    EXPECT_TRUE(files.OthersMayChange(root + "\\missing"));

    for (const std::string& folder : {closed, open}) {
        const std::string path = folder + "\\held.dll";
        files.CreateNewFile(path)->Write(reinterpret_cast<const uint8_t*>("x"), 1);
        const std::string finalFolder = files.FinalFolderPath(folder, LinkAtFolder::Refuse);
        EXPECT_EQ(RestartOperationIsSafe(files, path, finalFolder), folder == closed) << folder;
        DeleteFileA(path.c_str());
    }
    RemoveTree(root);
}

// An 8.3 form reads as the long path it stands for, the part still missing included.
TEST(Win32FileSystem_, LongPathsOfShortNames) {
    Win32FileSystem files;
    const std::string folder = TempFolder("velmoran long folder name");
    char shortForm[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(folder.c_str(), shortForm, sizeof shortForm), 0u);
    EXPECT_TRUE(EqualsIgnoreCase(files.LongPath(std::string(shortForm) + "\\not yet\\a.txt"),
                                 files.LongPath(folder) + "\\not yet\\a.txt"))
        << shortForm;
    EXPECT_EQ(files.LongPath("C:\\no~such\\x"), "C:\\no~such\\x");
    RemoveTree(folder);
}

TEST(Win32FileSystem_, FoldersFilesAndListing) {
    Win32FileSystem files;
    const std::string folder = TempFolder("velmoran-fs");
    EXPECT_TRUE(files.FolderExists(folder));
    EXPECT_FALSE(files.FileExists(folder));
    ASSERT_EQ(files.CreateFolder(folder + "\\sub", FolderRights::Inherited), "");
    EXPECT_NE(files.CreateFolder(folder + "\\missing\\deeper", FolderRights::Inherited), "");
    const std::string finalFolder = files.FinalFolderPath(folder, LinkAtFolder::Refuse);
    for (const char* content : {"old", "abc"}) {  // the second replaces the first
        auto file = files.CreateFileWithin(folder + "\\sub\\a.txt", finalFolder);
        file->Write(reinterpret_cast<const uint8_t*>(content), 3);
    }
    EXPECT_TRUE(files.FileExists(folder + "\\sub\\a.txt"));
    EXPECT_TRUE(files.FileExists(folder + "\\SUB\\A.TXT"));
    EXPECT_TRUE(files.FileExists(folder + "\\\\sub\\a.txt"));  // a doubled backslash reads as one
    EXPECT_EQ(files.ReadWholeFile(folder + "\\sub\\a.txt"), (Bytes{'a', 'b', 'c'}));
    EXPECT_THROW(files.ReadWholeFile(folder + "\\sub\\none.txt"), Failure);
    EXPECT_EQ(files.ListFolder(folder + "\\sub\\*.*"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(files.ListFolder(folder + "\\*.*"), std::vector<std::string>{"sub"});

    // Nothing is created, deleted or removed outside the folder it must lie in.
    const std::string subFinal = files.FinalFolderPath(folder + "\\sub", LinkAtFolder::Refuse);
    EXPECT_THROW(files.CreateFileWithin(folder + "\\b.txt", subFinal), Failure);
    EXPECT_FALSE(files.FileExists(folder + "\\b.txt"));
    EXPECT_FALSE(files.RemoveFolderWithin(folder + "\\sub", subFinal + "\\x"));
    EXPECT_EQ(files.RemoveFileWithin(folder + "\\sub\\a.txt", subFinal + "\\x"), Removal::NotRemoved);
    EXPECT_TRUE(files.FileExists(folder + "\\sub\\a.txt"));

    EXPECT_FALSE(files.RemoveFolderWithin(folder + "\\sub", finalFolder));  // not empty
    EXPECT_TRUE(files.FolderExists(folder + "\\sub"));
    EXPECT_EQ(files.FinalFilePath(folder + "\\SUB\\a.txt"), subFinal + "\\a.txt");
    EXPECT_EQ(files.FinalFilePath(folder + "\\sub"), std::nullopt);  // a folder is no file
    SetFileAttributesA((folder + "\\sub\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files.RemoveFileWithin(folder + "\\sub\\a.txt", finalFolder), Removal::NotRemoved);  // not in use
    SetFileAttributesA((folder + "\\sub\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(files.RemoveFileWithin(folder + "\\sub\\a.txt", finalFolder), Removal::Removed);
    EXPECT_EQ(files.RemoveFileWithin(folder + "\\sub\\a.txt", finalFolder), Removal::NotRemoved);
    EXPECT_TRUE(files.RemoveFolderWithin(folder + "\\sub", finalFolder));
    EXPECT_FALSE(files.FolderExists(folder + "\\sub"));
    EXPECT_FALSE(files.CurrentFolder().empty());
    RemoveTree(folder);
}

// Two names this program takes for one, the system takes for one too: a
// boundary check never accepts a path that Windows reads as another.
TEST(CaseFolding, EveryFoldingIsOneTheSystemMakes) {
    int folded = 0;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        const char32_t upper = SimpleUpperCase(c);
        // Wine keeps the final sigma apart from the capital; Windows' table
        // (NTFS's upper-case table) maps it to "Σ" as to "σ".
        if (upper == c || c == 0x3C2) continue;
        ++folded;
        const wchar_t lower = static_cast<wchar_t>(c), capital = static_cast<wchar_t>(upper);
        EXPECT_EQ(CompareStringOrdinal(&lower, 1, &capital, 1, TRUE), CSTR_EQUAL) << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_GT(folded, 800);
}

TEST(OwnFileSource_, ReadsWholeFileWhileOthersMayOpenIt) {
    const std::string folder = TempFolder("velmoran-own");
    const std::string path = folder + "\\own.bin";
    {
        Win32FileSystem files;
        auto file = files.CreateNewFile(path);
        const std::string content(300000, 'q');
        file->Write(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    }
    OwnFileSource source(path);
    source.Open();
    FileHandle other(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(other.Valid());
    Bytes content;
    source.ReadAll(content);
    EXPECT_EQ(content.size(), 300000u);
    source.ReadAll(content);  // a second read starts from the beginning again
    EXPECT_EQ(content.size(), 300000u);
    other.Close();
    source.Close();
    EXPECT_FALSE(OwnProgramPath().empty());
    RemoveTree(folder);
}

}  // namespace
}  // namespace velmoran::testing

#include "platform/win32/folder_rights.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/system_error.h"

namespace velmoran::platform::win32 {

// Windows' own accounts: SYSTEM, Administrators, NT SERVICE\TrustedInstaller;
// then the creator owner, all application packages and all restricted ones.
#define VELMORAN_TRUSTED_INSTALLER "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
const char kAdministratorsOnlyRights[] =
    "D:PAI(A;OICIIO;FA;;;S-1-3-0)(A;OICI;FA;;;S-1-5-18)(A;OICI;FA;;;S-1-5-32-544)"
    "(A;CIIO;FA;;;" VELMORAN_TRUSTED_INSTALLER ")(A;OICI;0x1200a9;;;S-1-5-32-545)"
    "(A;OICI;0x1200a9;;;S-1-15-2-1)(A;OICI;0x1200a9;;;S-1-15-2-2)";

namespace {

// Memory the security functions hand out with LocalAlloc.
struct LocalMemoryTraits {
    using Handle = void*;
    static Handle None() { return nullptr; }
    static void Release(Handle memory) { LocalFree(memory); }
};
using LocalMemory = UniqueHandle<LocalMemoryTraits>;

// Rights that let a user put something into the folder, take it away or
// rename it, or give themselves more.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                      WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The accounts whose rights over a folder do not open it to other users.
class TrustedAccounts {
public:
    TrustedAccounts() {
        for (const char* sid : {"S-1-5-18", "S-1-5-32-544", VELMORAN_TRUSTED_INSTALLER}) {
            PSID converted = nullptr;
            if (ConvertStringSidToSidA(sid, &converted)) owned_.emplace_back(converted);
        }
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            const FileHandle tokenHandle(token);
            DWORD size = 0;
            GetTokenInformation(token, TokenUser, nullptr, 0, &size);
            user_.resize(size);
            if (size == 0 || !GetTokenInformation(token, TokenUser, user_.data(), size, &size)) user_.clear();
        }
    }
    bool Covers(PSID sid) const {
        for (const LocalMemory& trusted : owned_)
            if (EqualSid(sid, trusted.Get())) return true;
        return !user_.empty() && EqualSid(sid, reinterpret_cast<const TOKEN_USER*>(user_.data())->User.Sid);
    }

private:
    std::vector<LocalMemory> owned_;
    std::vector<uint8_t> user_;
};

// CREATOR OWNER, CREATOR GROUP and OWNER RIGHTS stand for the owner of what is
// made below, or of the folder: rights through them are the owner's, judged as such.
bool IsOwnerPlaceholder(PSID sid) {
    const SID_IDENTIFIER_AUTHORITY creator = SECURITY_CREATOR_SID_AUTHORITY;
    const PSID_IDENTIFIER_AUTHORITY authority = GetSidIdentifierAuthority(sid);
    return std::equal(std::begin(creator.Value), std::end(creator.Value), authority->Value);
}

bool AceOpensToOthers(const ACE_HEADER* header, const TrustedAccounts& trusted) {
    switch (header->AceType) {
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
        case SYSTEM_AUDIT_ACE_TYPE:
        case SYSTEM_ALARM_ACE_TYPE:
            // A denial can only take rights away; it is left out, to err on the side of a warning.
            return false;
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
            const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
            const PSID sid = const_cast<DWORD*>(&ace->SidStart);
            if (!(ace->Mask & kChangeRights)) return false;
            return !trusted.Covers(sid) && !IsOwnerPlaceholder(sid);
        }
        default:
            // Kinds a file system does not use: their rights are taken as granted to anyone.
            return (reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & kChangeRights) != 0;
    }
}

}  // namespace

std::string CreateAdministratorsOnlyFolder(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnlyRights, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return SystemErrorText(GetLastError());
    const LocalMemory release(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    return CreateDirectoryA(path.c_str(), &attributes) ? std::string() : SystemErrorText(GetLastError());
}

bool OthersMayChangeFolder(const std::string& folder) {
    const FileHandle entry(CreateFileA(folder.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                       nullptr));
    if (!entry.Valid()) return true;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(entry.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    const LocalMemory release(descriptor);
    const TrustedAccounts trusted;
    // The owner may always change the rights; no list at all lets anyone do anything.
    if (!owner || !trusted.Covers(owner) || !dacl) return true;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace) || AceOpensToOthers(static_cast<const ACE_HEADER*>(ace), trusted)) return true;
    }
    return false;
}

}  // namespace velmoran::platform::win32

#include "inspect_commands.h"

#include <cinttypes>
#include <cstdio>

#include "code_page.h"
#include "common/failure.h"
#include "common/path.h"
#include "common/windows_names.h"
#include "identity_resources.h"
#include "installer_file.h"
#include "jpeg_probe.h"
#include "links.h"
#include "output_file.h"
#include "common/stub_resource_ids.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

bool IsTableLine(std::string_view line) {
    if (line.empty() || line[0] == '[' || line.rfind("d>a>t>a>", 0) == 0) return true;
    // File entries: "f" followed by digits and "=".
    std::size_t i = 1;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    return line[0] == 'f' && i > 1 && i < line.size() && line[i] == '=';
}

const char* Variant(InstallerFile& installer) {
    return installer.Reader().Scrambled() ? "scrambled" : "plain";
}

const char* Compression(InstallerFile& installer) {
    return installer.Reader().Solid() ? "lzma2 (one solid stream)" : "zlib (a stream per file)";
}

// Counts what it is given; verify needs the bytes checked, not kept.
class CountingSink : public ByteSink {
public:
    void Write(const uint8_t*, std::size_t size) override { count += size; }
    uint64_t count = 0;
};

void CheckPicture(InstallerFile& installer, const Bytes& bytes, const char* key, bool icon) {
    if (installer.Reader().Manifest().LeadingItemSize({key, true}).Empty()) return;
    const auto size = ProbeJpeg(bytes);
    if (!size) throw installer.Problem(std::string(key) + " picture is not a JPEG");
    if (icon && (size->width != 32 || size->height != 32)) throw installer.Problem("the icon is not 32 x 32 pixels");
    if (size->width > payload::kMaxPictureSide || size->height > payload::kMaxPictureSide)
        throw installer.Problem(std::string(key) + " picture is larger than 4096 x 4096 pixels; the installer skips it");
}

// Where an entry goes under `folder`: its folders are made as needed, and no
// link found on the way (one planted there, or left by an earlier extraction)
// is followed.
fs::path PlaceWithoutLinks(InstallerFile& installer, const fs::path& folder, const std::string& entry) {
    fs::path target = folder;
    std::string part;
    for (const char c : entry + "\\") {
        if (c != '\\' && c != '/') {
            part += c;
            continue;
        }
        if (part.empty()) continue;
        if (target != folder) fs::create_directory(target);
        target /= fs::u8path(part);
        part.clear();
        if (IsLink(target))
            throw installer.Problem("refusing to write \"" + entry + "\" through the link " + target.u8string());
    }
    return target;
}

// The icon sizes and version strings the program in front of the payload carries.
void PrintIdentity(Bytes stub) {
    if (!PeResources::LooksLikeProgram(stub)) return;
    try {
        const PeResources resources(std::move(stub));
        std::string sizes;
        for (const std::string& size : IconGroupSizes(resources.Entries(), VELMORAN_ICON_GROUP)) sizes += " " + size;
        std::printf("Icon:%s\n", sizes.empty() ? " none" : sizes.c_str());
        if (const Resource* version = resources.Find(kResourceVersion, 1)) {
            std::printf("Version information:\n");
            for (const auto& [name, value] : ReadVersionStrings(version->data))
                std::printf("  %s=%s\n", Printable(name).c_str(), Printable(value).c_str());
        }
    } catch (const Failure& failure) {
        std::printf("Resources: cannot be read (%s)\n", Printable(failure.what()).c_str());
    }
}

// What the installation registers with Windows, as a person reads it.
void PrintRegistrations(const payload::Registrations& r) {
    if (r.Empty()) return;
    std::printf("Registers:\n");
    const auto print = [](const std::string& line) { std::printf("  %s\n", Printable(line).c_str()); };
    for (const payload::FileTypeEntry& type : r.fileTypes)
        print("file type " + type.extension + " \"" + type.name + "\", icon " + (type.icon.empty() ? "of the main program" : type.icon));
    for (const payload::LinkProtocolEntry& protocol : r.linkProtocols)
        print("link protocol " + protocol.scheme + ": \"" + protocol.name + "\"");
    if (!r.pathEntry.empty())
        print("PATH: <install folder>" + (r.pathEntry == "." ? std::string() : "\\" + r.pathEntry));
    for (const payload::VariableEntry& variable : r.variables)
        print("variable " + variable.name + "=" + variable.value + (variable.replace ? " (replacing another value)" : ""));
    for (const payload::AppPathEntry& entry : r.appPaths) print("App Paths " + entry.name + ": " + entry.program);
    for (const payload::RegistryValueEntry& value : r.registryValues)
        print("registry value " + value.key + "\\" + value.name + " = " + (value.number ? "dword:" : "") + value.data);
    if (r.desktopShortcut != payload::DesktopShortcut::Yes)
        print(std::string("desktop shortcut: ") + (r.desktopShortcut == payload::DesktopShortcut::Ask ? "asked" : "none"));
}

}  // namespace

void RunList(const fs::path& path) {
    InstallerFile installer(path);
    payload::PayloadReader& reader = installer.Reader();
    std::printf("%s: %s payload at offset %zu, item area at %zu, file data at %zu%s\n", path.u8string().c_str(),
                Variant(installer), reader.MarkerOffset(), reader.ItemAreaStart(), reader.FileDataStart(),
                installer.IsUninstallerCopy() ? " (uninstaller copy: no file data)" : "");
    std::printf("Compression: %s\n", Compression(installer));
    PrintIdentity(reader.ReadStored(0, reader.MarkerOffset()));
    std::printf("Settings:\n");
    reader.Settings().ForEachLine([](std::string_view line) {
        if (!IsTableLine(line)) std::printf("  %s\n", Printable(std::string(line)).c_str());
    });
    PrintRegistrations(reader.Manifest().registrations);
    std::printf("Files: %zu, %" PRId64 " bytes\n", installer.Files().size(), installer.FileBytes());
    for (const payload::FileEntry& file : installer.Files())
        std::printf("  %12" PRId64 "  %s\n", file.size, Printable(file.path).c_str());
}

int RunVerify(const fs::path& path) {
    InstallerFile installer(path);
    payload::PayloadReader& reader = installer.Reader();
    CheckPicture(installer, installer.Splash(), payload::kSplashKey, false);
    CheckPicture(installer, installer.Icon(), payload::kIconKey, true);

    int64_t total = 0;
    for (const payload::FileEntry& file : installer.Files()) total += file.size;
    if (total != installer.FileBytes())
        throw installer.Problem("Filebytes says " + std::to_string(installer.FileBytes()) + " but the files add up to " +
                                std::to_string(total));
    if (installer.IsUninstallerCopy()) {
        std::printf("%s: OK, %s uninstaller copy of %zu files (no file data)%s\n", path.u8string().c_str(),
                    Variant(installer), installer.Files().size(),
                    reader.ChecksumSound() ? "" : "; checksum not checked: the copy ends where the file data began");
        // Sound as far as could be seen, but not all could: a script must be able to tell.
        return reader.ChecksumSound() ? 0 : kVerifyChecksumNotChecked;
    }
    for (std::size_t i = 0; i < installer.Files().size(); ++i) {
        const payload::FileEntry& file = installer.Files()[i];
        CountingSink sink;
        try {
            reader.ReadFile(file.size, sink);
        } catch (const Failure& failure) {
            throw installer.Problem("file " + std::to_string(i + 1) + " \"" + file.path +
                                    "\": " + failure.what());
        }
    }
    try {
        reader.FinishFiles();
    } catch (const Failure& failure) {
        throw installer.Problem(std::string("solid stream after the last file: ") + failure.what());
    }
    // The reader stops where a code signature's certificate table begins.
    const uint64_t contentEnd = reader.FileSize();
    const uint64_t trailing = contentEnd - reader.Position();
    // A scrambled payload ends on a multiple of 8 bytes, the last one balancing its checksum.
    const std::size_t expectedTrailing = reader.Scrambled() ? 8 : 0;
    std::printf("%s: OK, %s payload, %zu files, %" PRId64 " bytes, %s%s, %s\n", path.u8string().c_str(),
                Variant(installer), installer.Files().size(), total, Compression(installer), reader.Scrambled() ? ", checksum sound" : "",
                contentEnd < reader.StoredSize() ? "signed" : "not signed");
    if (trailing > expectedTrailing)
        std::printf("note: %" PRIu64 " bytes after the last file are never read\n", trailing);
    return 0;
}

void RunExtract(const fs::path& path, const fs::path& folder) {
    InstallerFile installer(path);
    if (installer.IsUninstallerCopy()) throw installer.Problem("an uninstaller copy carries no file data to extract");
    for (const payload::FileEntry& file : installer.Files()) {
        if (!IsSafeRelativePath(file.path))
            throw installer.Problem("refusing the entry \"" + file.path +
                                    "\": it would be written outside the target folder");
    }
    fs::create_directories(folder);
    for (const payload::FileEntry& file : installer.Files()) {
        const fs::path target = PlaceWithoutLinks(installer, folder, file.path);
        OutputFile output(target);
        try {
            installer.Reader().ReadFile(file.size, output);
        } catch (const Failure& failure) {
            throw installer.Problem("file \"" + file.path + "\": " + failure.what());
        }
        output.Commit();
    }
}

}  // namespace velmoran::builder

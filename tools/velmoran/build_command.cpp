#include "build_command.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <thread>

#include "app_tree.h"
#include "identity_resources.h"
#include "stub_location.h"
#include "common/failure.h"
#include "quoted.h"
#include "common/path.h"
#include "jpeg_probe.h"
#include "output_file.h"
#include "parallel_compressor.h"
#include "solid_compressor.h"
#include "payload/compress.h"
#include "payload/manifest.h"
#include "payload/marker_search.h"
#include "payload/payload_reader.h"
#include "payload/payload_writer.h"
#include "pe_resources.h"
#include "progress.h"
#include "code_page.h"
#include "project_file.h"
#include "signing.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

constexpr uint64_t kMaxHeaderNumber = 2147483647u;

// Why an input file cannot be read as one, or "".
std::string InputProblem(const fs::path& path) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) return std::string();
    return fs::exists(path, error) ? "not a plain file" : "not found";
}

Bytes ReadInput(const fs::path& path, const std::string& role) {
    std::error_code error;
    if (const std::string problem = InputProblem(path); !problem.empty())
        throw Failure(role + " " + Quoted(path) + ": " + problem);
    const uint64_t size = fs::file_size(path, error);
    if (error || size > kMaxHeaderNumber)
        throw Failure(role + " " + Quoted(path) + ": larger than an installer can carry (2 GiB - 1 bytes)");
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        throw Failure(role + " " + Quoted(path) + ": cannot be read");
    return bytes;
}

// A picture the installer will decode: must be a JPEG of a size it shows, the icon 32 x 32.
Bytes ReadPicture(const fs::path& path, const std::string& role, bool mustBeIconSized) {
    Bytes bytes = ReadInput(path, role);
    const auto size = ProbeJpeg(bytes);
    if (!size) throw Failure(role + " " + Quoted(path) + ": not a JPEG picture");
    if (static_cast<int64_t>(bytes.size()) > payload::kMaxPictureBytes)
        throw Failure(role + " " + Quoted(path) + ": larger than the installer shows (16 MiB)");
    if (size->width > payload::kMaxPictureSide || size->height > payload::kMaxPictureSide)
        throw Failure(role + " " + Quoted(path) + ": is " + std::to_string(size->width) + " x " +
                      std::to_string(size->height) + " pixels; the installer shows pictures up to 4096 x 4096");
    if (mustBeIconSized && (size->width != 32 || size->height != 32))
        throw Failure(role + " " + Quoted(path) + ": is " + std::to_string(size->width) + " x " +
                      std::to_string(size->height) + " pixels; the icon must be 32 x 32");
    return bytes;
}

Bytes ReadStub(const fs::path& path) {
    Bytes stub = ReadInput(path, "stub");
    if (payload::ContainsStartMarker(stub.data(), stub.size()))
        throw Failure("stub " + Quoted(path) + ": it holds a complete payload start marker, so an installer made "
                      "from it would read the stub instead of its payload");
    if (!PeResources::LooksLikeProgram(stub))
        throw Failure("stub " + Quoted(path) + ": not a Windows program; an installer must start with the stub");
    return stub;
}

// A per-user installer writes only where its user may: its manifest asks for
// the user's own rights ("asInvoker") instead of an administrator's.
void AskForNoElevation(std::vector<Resource>& resources, const fs::path& stubPath) {
    const std::string asked = "level=\"requireAdministrator\"";
    for (Resource& resource : resources) {
        if (!resource.type.name.empty() || resource.type.id != kResourceManifest) continue;
        std::string text(resource.data.begin(), resource.data.end());
        const std::size_t at = text.find(asked);
        if (at == std::string::npos) break;
        text.replace(at, asked.size(), "level=\"asInvoker\"");
        resource.data.assign(text.begin(), text.end());
        return;
    }
    throw Failure("stub " + Quoted(stubPath) + ": no manifest asking for elevation, which Scope=user would change");
}

// The stub with the application's identity for Explorer: its icon (when the
// project names one) and version information naming the application.
Bytes GiveIdentity(Bytes stub, const fs::path& stubPath, const Project& project) {
    std::optional<PeResources> resources;
    try {
        resources.emplace(std::move(stub));
    } catch (const Failure& failure) {
        throw Failure("stub " + Quoted(stubPath) + ": " + failure.what());
    }
    std::vector<Resource>& entries = resources->Entries();
    if (!project.setupIcon.empty()) {
        try {
            ReplaceIcons(entries, ParseIconFile(ReadInput(project.setupIcon, "setup icon")));
        } catch (const Failure& failure) {
            const std::string reason = failure.what();
            throw Failure(reason.rfind("setup icon", 0) == 0 ? reason : "setup icon " + Quoted(project.setupIcon) + ": " + reason);
        }
    }
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const Resource& r) { return r.type.name.empty() && r.type.id == kResourceVersion; }),
                  entries.end());
    if (project.perUser) AskForNoElevation(entries, stubPath);
    const VersionStrings strings{project.name, project.name + " Setup", project.version, project.publisher, project.copyright};
    entries.push_back({ResourceKey{kResourceVersion, {}}, ResourceKey{1, {}}, 0x409, MakeVersionInfo(strings)});
    Bytes rewritten = resources->Write();
    if (payload::ContainsStartMarker(rewritten.data(), rewritten.size()))
        throw Failure("setup icon " + Quoted(project.setupIcon) + ": it holds a payload start marker");
    return rewritten;
}

// Files of a kind side by side compress better in one stream: by extension
// (ignoring case), then by path as scanned. The installation follows this order.
void OrderForSolidCompression(std::vector<SourceFile>& files) {
    std::vector<std::pair<std::string, std::size_t>> order;  // extension, scan position
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& name = files[i].relative;
        const std::size_t dot = name.find_last_of(".\\");
        order.emplace_back(dot == std::string::npos || name[dot] != '.' ? std::string() : AsciiLower(name.substr(dot)), i);
    }
    std::sort(order.begin(), order.end());
    std::vector<SourceFile> ordered;
    ordered.reserve(files.size());
    for (const auto& [extension, index] : order) ordered.push_back(std::move(files[index]));
    files = std::move(ordered);
}

bool ListsFile(const std::vector<SourceFile>& files, const std::string& relative) {
    for (const SourceFile& f : files)
        if (EqualsIgnoreCase(f.relative, relative)) return true;
    return false;
}

bool ListsFolder(const std::vector<SourceFile>& files, const std::string& relative) {
    if (relative == ".") return true;
    for (const SourceFile& f : files)
        if (f.relative.size() > relative.size() && f.relative[relative.size()] == '\\' &&
            EqualsIgnoreCase(f.relative.substr(0, relative.size()), relative))
            return true;
    return false;
}

// What the registrations name must be installed: Windows would be told of a
// program, icon or folder that is not there.
void RequireRegisteredPaths(const Project& project, const std::vector<SourceFile>& files) {
    for (const InstalledReference& reference : project.registeredPaths)
        if (!(reference.folder ? ListsFolder(files, reference.relative) : ListsFile(files, reference.relative)))
            throw Failure(project.file.string() + ":" + std::to_string(reference.line) + ": " + reference.what + " \"" +
                          reference.relative + "\": not among the " + (reference.folder ? "folders" : "files") +
                          " of " + Quoted(project.source));
}

// Everything the header says, checked, in UTF-8.
payload::Manifest ComposeManifest(const Project& project, const std::vector<SourceFile>& files) {
    payload::Manifest m;
    m.utf8 = true;
    m.appName = FileNameText(project.name, "Name");
    m.exeName = HeaderText(project.mainProgram, "MainProgram");
    m.exeShortcut = FileNameText(project.mainShortcut, "MainShortcut");
    m.targetFolder = HeaderText(project.targetFolder, "TargetFolder");
    m.perUser = project.perUser;
    if (!ListsFile(files, m.exeName))
        throw Failure("MainProgram \"" + project.mainProgram + "\": not among the files of " + Quoted(project.source));
    for (const auto& [name, target] : project.shortcuts) {
        payload::ShortcutEntry shortcut{FileNameText(name, "shortcut"), HeaderText(target, "shortcut target")};
        if (shortcut.target.empty()) throw Failure("shortcut \"" + name + "\": no target");
        if (!ListsFile(files, shortcut.target))
            std::fprintf(stderr, "velmoran: warning: shortcut \"%s\" points at \"%s\", which is not among the files\n",
                         name.c_str(), target.c_str());
        m.shortcuts.push_back(shortcut);
    }
    RequireRegisteredPaths(project, files);
    m.registrations = project.registrations;
    m.version = project.version;
    m.publisher = HeaderText(project.publisher, "Publisher");
    m.website = HeaderText(project.website, "Website");
    m.supportUrl = HeaderText(project.supportUrl, "SupportUrl");
    uint64_t total = 0;
    for (const SourceFile& f : files) {
        if (f.size > kMaxHeaderNumber)
            throw Failure("file " + Quoted(f.path) + ": larger than an installer can carry (2 GiB - 1 bytes)");
        total += f.size;
        m.files.push_back({f.relative, static_cast<int64_t>(f.size)});
    }
    if (total > kMaxHeaderNumber)
        throw Failure("source folder " + Quoted(project.source) + ": its files add up to " + std::to_string(total) +
                      " bytes, more than an installer can carry (2 GiB - 1 bytes)");
    return m;
}

// Every input the project names that is not there, in one message, so a
// newcomer fixes them in one go; the stub first.
void RequireInputs(const Project& project, const BuildOptions& options, fs::path& stub) {
    std::vector<std::string> problems;
    try {
        stub = options.stub.empty() ? FindStub(options.argv0) : options.stub;
    } catch (const Failure& failure) {
        problems.push_back(failure.what());
    }
    const std::pair<const fs::path*, const char*> inputs[] = {
        {&stub, "stub"}, {&project.splash, "splash picture"}, {&project.icon, "icon picture"},
        {&project.setupIcon, "setup icon"},
        {&project.about, "about text"}, {&project.licence, "licence text"}};
    for (const auto& [path, role] : inputs)
        if (!path->empty())
            if (const std::string problem = InputProblem(*path); !problem.empty())
                problems.push_back(std::string(role) + " " + Quoted(*path) + ": " + problem);
    if (const std::string problem = SourceFolderProblem(project.source); !problem.empty())
        problems.push_back("source folder " + Quoted(project.source) + ": " + problem);
    if (problems.size() == 1) throw Failure(problems[0]);
    if (problems.empty()) return;
    std::string message = std::to_string(problems.size()) + " inputs of " + Quoted(project.file) + " are missing:";
    for (const std::string& problem : problems) message += "\n  " + problem;
    throw Failure(message);
}

}  // namespace

void RunBuild(const BuildOptions& options) {
    const Project project = ReadProject(options.project);
    fs::path stubPath;
    RequireInputs(project, options, stubPath);
    // Which stub was taken matters when several are installed: a person sees it.
    if (options.stub.empty() && ErrorIsTerminal())
        std::fprintf(stderr, "velmoran: stub %s\n", Printable(stubPath.u8string()).c_str());
    const Bytes stub = GiveIdentity(ReadStub(stubPath), stubPath, project);
    Bytes splash, icon;
    if (!project.splash.empty()) splash = ReadPicture(project.splash, "splash picture", false);
    if (!project.icon.empty()) icon = ReadPicture(project.icon, "icon picture", true);
    const Bytes about = ReadInput(project.about, "about text");
    const Bytes licence = ReadInput(project.licence, "licence text");
    const bool solid = options.compression.empty() ? project.solid : options.compression == "lzma";
    std::vector<SourceFile> files = ScanApplication(project.source);
    if (solid) OrderForSolidCompression(files);

    payload::Manifest manifest = ComposeManifest(project, files);
    manifest.solid = solid;
    manifest.splashSize = project.splash.empty() ? -1 : static_cast<int64_t>(splash.size());
    manifest.iconSize = project.icon.empty() ? -1 : static_cast<int64_t>(icon.size());
    manifest.aboutSize = static_cast<int64_t>(about.size());
    manifest.licenceSize = static_cast<int64_t>(licence.size());

    OutputFile output(options.output);
    payload::PayloadWriter writer(output, options.scramble);
    writer.WriteProgramImage(stub.data(), stub.size());
    writer.WriteHeader(payload::HeaderLines(manifest));
    if (!project.splash.empty()) writer.WriteItem(payload::Compress(splash, options.level));
    if (!project.icon.empty()) writer.WriteItem(payload::Compress(icon, options.level));
    writer.WriteItem(about);
    writer.WriteItem(licence);

    const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    Progress progress("velmoran: packing " + options.output.filename().u8string(),
                      static_cast<uint64_t>(manifest.TotalFileBytes()));
    if (manifest.solid) {
        SolidSettings settings;
        settings.preset = std::min(options.level, 9);
        settings.extreme = options.level >= 10;
        settings.threads = threads;
        WriteSolidFileData(files, settings, writer, [&](uint64_t bytes) { progress.Advance(bytes); });
    } else {
        CompressorSettings settings;
        settings.level = options.level;
        settings.threads = threads;
        CompressInOrder(files, settings, [&](std::size_t index, CompressedStream& stream) {
            stream.WriteTo(writer);
            progress.Advance(files[index].size);
        });
    }
    writer.Finish();
    if (options.signCommand.empty()) {
        output.Commit();
    } else {
        output.Commit([&](const fs::path& complete) { SignFile(options.signCommand, complete, options.output); });
    }
}

}  // namespace velmoran::builder

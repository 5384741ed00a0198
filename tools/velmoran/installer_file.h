#pragma once
// An installer (or uninstaller copy) opened for inspection: the payload read up
// to the file data, the way the stub's start-up reads it, and the file table.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "payload/file_source.h"
#include "payload/manifest.h"
#include "payload/payload_reader.h"

namespace velmoran::builder {

class InstallerFile {
public:
    // Throws Failure naming the file and what is wrong with it.
    explicit InstallerFile(const std::filesystem::path& path);

    payload::PayloadReader& Reader() { return reader_; }
    const std::filesystem::path& Path() const { return path_; }
    // A copy cut at the file-data start: it carries no file data.
    bool IsUninstallerCopy() const { return uninstallerCopy_; }
    const std::vector<payload::FileEntry>& Files() const { return files_; }
    int64_t FileBytes() const { return fileBytes_; }
    const Bytes& Splash() const { return splash_; }
    const Bytes& Icon() const { return icon_; }

    // A Failure whose message names this installer.
    Failure Problem(const std::string& reason) const;

private:
    void Open();
    void ReadLeadingItems();
    void ReadFileTable();

    std::filesystem::path path_;
    payload::StdioFileSource source_;
    payload::PayloadReader reader_;
    Bytes splash_, icon_;
    std::vector<payload::FileEntry> files_;
    int64_t fileBytes_ = 0;
    bool uninstallerCopy_ = false;
};

}  // namespace velmoran::builder

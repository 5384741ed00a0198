#include "installer_file.h"

#include "code_page.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "payload/file_entry.h"
#include "payload/format.h"
#include "payload/leading_items.h"
#include "quoted.h"

namespace velmoran::builder {
namespace {

// The number, or a failure that names its key.
int32_t Number(const payload::HeaderNumber& number, const std::string& key) {
    try {
        return number.Value();
    } catch (const Failure& failure) {
        throw Failure(key + ": " + failure.what());
    }
}

}  // namespace

InstallerFile::InstallerFile(const std::filesystem::path& path) : path_(path), source_(path.string()) {
    try {
        Open();
        ReadLeadingItems();
        ReadFileTable();
    } catch (const Failure& failure) {
        // Bytes that fail the checksum may break anything after it: the checksum is the news.
        if (!reader_.ChecksumSound() && !uninstallerCopy_)
            throw Problem(payload::OpenFailureMessage(payload::OpenFailureKind::ChecksumMismatch));
        throw Problem(failure.what());
    }
}

Failure InstallerFile::Problem(const std::string& reason) const {
    return Failure(Quoted(path_) + ": " + reason);
}

void InstallerFile::Open() {
    // The file itself first: the payload's own start-up texts would only confuse.
    std::error_code error;
    const auto status = std::filesystem::status(path_, error);
    if (!std::filesystem::exists(status)) throw Failure("not found");
    if (std::filesystem::is_directory(status)) throw Failure("a folder, not an installer");
    if (std::FILE* file = std::fopen(path_.string().c_str(), "rb")) {
        std::fclose(file);
    } else {
        throw Failure(std::strerror(errno));
    }
    std::string readProblem;
    const auto note = [&readProblem](const std::string& message) { readProblem = message; };
    try {
        // Opened as the uninstaller would be, whatever the file is called: whether
        // a failed checksum is acceptable is decided below, from the content.
        reader_.Open(source_, payload::kUninstallerName, note);
    } catch (const payload::OpenFailure& failure) {
        if (failure.Kind() == payload::OpenFailureKind::General && !readProblem.empty()) throw Failure(readProblem);
        throw;
    }
    if (!readProblem.empty()) throw Failure(readProblem);
    // Unmarked installers were built by this tool in the Western code page.
    reader_.ConvertLegacyText(CodePageToUtf8);
}

// What the stub would skip, a picture too large to show, is an error here:
// the builder never writes one.
void InstallerFile::ReadLeadingItems() {
    const payload::HeaderManifest& header = reader_.Manifest();
    for (const payload::LeadingItem& item : payload::kLeadingItems) {
        const payload::HeaderNumber& size = header.LeadingItemSize(item);
        if (!item.compressed || size.Empty()) continue;
        if (Number(size, item.key) > payload::kMaxPictureBytes)
            throw Failure(std::string(item.key) + " picture: " + size.Text() +
                          " bytes, more than the installer shows (16 MiB)");
    }
    payload::LeadingItemsRead read = payload::ReadLeadingItems(reader_, payload::OnPictureFailure::Stop);
    if (read.failed)
        throw Failure(std::string(read.failed->key) + (read.failed->compressed ? " picture: " : ": ") + read.failure);
    splash_ = std::move(read.items[payload::kSplashItem]);
    icon_ = std::move(read.items[payload::kIconItem]);
    reader_.RecordFileDataStart();
}

void InstallerFile::ReadFileTable() {
    const payload::HeaderManifest& header = reader_.Manifest();
    const int32_t count = Number(header.fileCount, payload::kFileCountKey);
    if (count < 0) throw Failure("Filecount is negative");
    fileBytes_ = Number(header.fileBytes, payload::kFileBytesKey);
    for (std::size_t i = 0; i < header.files.size(); ++i)
        files_.push_back({header.files[i].path, Number(header.files[i].size, payload::FileEntryKey(static_cast<int>(i + 1)))});
    // An uninstaller copy is cut off where the file data begins, so its
    // checksum does not hold; any other file must pass it.
    uninstallerCopy_ = count > 0 && reader_.FileDataStart() == reader_.FileSize();
    if (!reader_.ChecksumSound() && !uninstallerCopy_)
        throw Failure(payload::OpenFailureMessage(payload::OpenFailureKind::ChecksumMismatch));
}

}  // namespace velmoran::builder

#include "installer_file.h"

#include "code_page.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/header_number.h"
#include "payload/file_entry.h"
#include "payload/format.h"
#include "quoted.h"

namespace velmoran::builder {
namespace {

int32_t Number(const payload::PayloadReader& reader, const std::string& key) {
    try {
        return ParseHeaderNumber(reader.Value(key));
    } catch (const Failure& failure) {
        throw Failure(key + ": " + failure.what());
    }
}

void InflateInto(payload::PayloadReader& reader, const std::string& key, Bytes& into) {
    if (reader.Value(key).empty()) return;
    const int32_t size = Number(reader, key);
    if (size > payload::kMaxPictureBytes)
        throw Failure(key + " picture: " + std::to_string(size) + " bytes, more than the installer shows (16 MiB)");
    MemorySink sink;
    try {
        reader.InflateItem(size, sink);
    } catch (const Failure& failure) {
        throw Failure(key + " picture: " + failure.what());
    }
    into = std::move(sink.bytes);
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

void InstallerFile::ReadLeadingItems() {
    reader_.SeekItemArea();
    InflateInto(reader_, payload::kSplashKey, splash_);
    InflateInto(reader_, payload::kIconKey, icon_);
    MemorySink texts;
    reader_.CopyRawItem(Number(reader_, payload::kAboutKey), texts);
    reader_.CopyRawItem(Number(reader_, payload::kLicenceKey), texts);
    reader_.RecordFileDataStart();
}

void InstallerFile::ReadFileTable() {
    const int32_t count = Number(reader_, payload::kFileCountKey);
    if (count < 0) throw Failure("Filecount is negative");
    fileBytes_ = Number(reader_, payload::kFileBytesKey);
    for (int32_t n = 1; n <= count; ++n) {
        const std::string key = payload::FileEntryKey(n);
        const payload::FileEntryText entry = payload::SplitFileEntry(reader_.Value(key));
        int32_t size;
        try {
            size = ParseHeaderNumber(entry.sizeText);
        } catch (const Failure& failure) {
            throw Failure(key + ": " + failure.what());
        }
        files_.push_back({entry.relativePath, size});
    }
    // An uninstaller copy is cut off where the file data begins, so its
    // checksum does not hold; any other file must pass it.
    uninstallerCopy_ = count > 0 && reader_.FileDataStart() == reader_.FileSize();
    if (!reader_.ChecksumSound() && !uninstallerCopy_)
        throw Failure(payload::OpenFailureMessage(payload::OpenFailureKind::ChecksumMismatch));
}

}  // namespace velmoran::builder

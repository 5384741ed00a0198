#pragma once
// Finds the payload in the program's own file, unscrambles it, parses the header
// and hands out the items one after another from a read position.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/failure.h"
#include "common/byte_io.h"
#include "payload/settings_list.h"

namespace velmoran::payload {

// The largest splash or icon picture inflated: a picture is a few kilobytes, and
// a size beyond this in a damaged header would take that much memory.
inline constexpr int64_t kMaxPictureBytes = 16 * 1024 * 1024;

enum class OpenFailureKind { MarkerMissing, HeaderUnterminated, ChecksumMismatch, General };

// The message start-up shows for each kind.
const char* OpenFailureMessage(OpenFailureKind kind);

class OpenFailure : public Failure {
public:
    explicit OpenFailure(OpenFailureKind kind) : Failure(OpenFailureMessage(kind)), kind_(kind) {}
    OpenFailureKind Kind() const { return kind_; }

private:
    OpenFailureKind kind_;
};

class PayloadReader {
public:
    // Told about a failure while reading the file; opening then goes on with
    // whatever was read.
    using ReadProblemHandler = std::function<void(const std::string& message)>;

    // Reads the whole file from `source` (which must outlive the reader), finds
    // and unscrambles the payload and parses its header. `programPath` names the
    // running file; only its file-name part matters (the checksum exemption of the
    // uninstaller copy). Throws OpenFailure.
    void Open(ByteSource& source, const std::string& programPath,
              const ReadProblemHandler& onReadProblem = ReadProblemHandler());

    std::string Value(const std::string& name) const { return settings_.Value(name); }
    const SettingsList& Settings() const { return settings_; }

    void SeekItemArea() { position_ = itemAreaStart_; }

    // Inflates the zlib stream at the position into `sink`; it must produce exactly
    // `size` bytes. Leaves the position after the stream's trailer. Throws Failure
    // on corrupt data ("Error"), a stream cut off by the end of the file, or one
    // that inflates to a different size; the sink never receives more than `size`.
    void InflateItem(int64_t size, ByteSink& sink);

    // Copies `size` raw bytes from the position into `sink`; throws
    // Failure("Stream read error") when fewer are left.
    void CopyRawItem(int64_t size, ByteSink& sink);

    // Reads the file again as stored (scrambled bytes stay scrambled); position 0.
    void ReloadImage();

    std::size_t Position() const { return position_; }
    void RecordFileDataStart() { fileDataStart_ = position_; }
    std::size_t FileDataStart() const { return fileDataStart_; }
    std::size_t ItemAreaStart() const { return itemAreaStart_; }
    std::size_t MarkerOffset() const { return markerOffset_; }
    bool Scrambled() const { return scrambled_; }
    // False when a scrambled payload's checksum did not come out 0 (and the
    // uninstaller's exemption let it open all the same).
    bool ChecksumSound() const { return checksumSound_; }
    const Bytes& Image() const { return image_; }

    // Releases the own file.
    void CloseFile();

private:
    void ReadImage(const ReadProblemHandler& onReadProblem);
    void FindStartMarker();
    void Unscramble(const std::string& programPath);
    void ParseHeader();

    ByteSource* source_ = nullptr;
    Bytes image_;
    std::size_t position_ = 0;
    bool scrambled_ = false;
    bool checksumSound_ = true;
    std::size_t markerOffset_ = 0;
    std::size_t itemAreaStart_ = 0;
    std::size_t fileDataStart_ = 0;
    SettingsList settings_;
};

}  // namespace velmoran::payload

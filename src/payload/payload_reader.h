#pragma once
// Finds the payload in the program's own file, unscrambles it, parses the header
// and hands out the items one after another from a read position.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/failure.h"
#include "common/byte_io.h"
#include "payload/format.h"
#include "payload/header_manifest.h"
#include "payload/settings_list.h"
#include "payload/solid_decoder.h"

namespace velmoran::payload {

// The largest splash or icon picture inflated: a picture is a few kilobytes, and
// a size beyond this in a damaged header would take that much memory.
inline constexpr int64_t kMaxPictureBytes = 16 * 1024 * 1024;
// The widest or tallest picture decoded: a few hundred bytes of JPEG may declare
// a bitmap of many gigabytes.
inline constexpr int kMaxPictureSide = 4096;

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

    // Finds the payload in `source` (which must outlive the reader), unscrambles
    // it and parses its header. A plain payload is read through a window of the
    // file, so an installer of any size takes little memory; a scrambled one is
    // held whole, unscrambled. `programPath` names the running file; only its
    // file-name part matters (the checksum exemption of the uninstaller copy).
    // Only the signed content is read: a code signature's table ends it.
    // A read failure while opening is told to `onReadProblem` and the file is
    // taken to end there. Throws OpenFailure.
    void Open(ByteSource& source, const std::string& programPath,
              const ReadProblemHandler& onReadProblem = ReadProblemHandler());

    std::string Value(const std::string& name) const { return settings_.Value(name); }
    const SettingsList& Settings() const { return settings_; }
    // The header's values, typed; read again when the texts are converted.
    const HeaderManifest& Manifest() const { return *manifest_; }

    void SeekItemArea() { position_ = itemAreaStart_; }

    // Inflates the zlib stream at the position into `sink`; it must produce exactly
    // `size` bytes. Leaves the position after the stream's trailer. Throws Failure
    // on corrupt data ("Error"), a stream cut off by the end of the file, one
    // that inflates to a different size, or a read error of the file (with the
    // system's reason); the sink never receives more than `size`.
    void InflateItem(int64_t size, ByteSink& sink);

    // Copies `size` raw bytes from the position into `sink`; throws
    // Failure("Stream read error") when fewer are left.
    void CopyRawItem(int64_t size, ByteSink& sink);

    // The leading item at the position into `sink`: a picture inflated (nothing
    // when the header lists none), a text copied. Throws as the two above.
    void ReadLeadingItem(const LeadingItem& item, ByteSink& sink);

    // True when the header says the file data is one solid LZMA2 stream.
    bool Solid() const { return solid_; }

    // True when the header's texts are UTF-8 (Charset=UTF-8, checked while
    // opening: a marked header that is not well-formed UTF-8 is damaged).
    bool Utf8() const { return utf8_; }
    // A header without the mark holds its texts in the code page of the machine
    // that built it; `convert` turns each of its lines into the caller's code
    // page. Does nothing to a UTF-8 header.
    void ConvertLegacyText(const std::function<std::string(const std::string&)>& convert);

    // The next file's bytes into `sink`, from the file-data start in entry
    // order: its own zlib stream (InflateItem), or the next `size` bytes of the
    // solid stream, checked against the file's Adler-32. The solid stream's
    // failures are InflateItem's: "Error" for data that is not LZMA2 or a
    // checksum that does not match, "cut short" at the end of the file.
    void ReadFile(int64_t size, ByteSink& sink);

    // After the last file: throws Failure when the solid stream goes on past
    // the listed files or does not end; nothing to check for zlib streams.
    void FinishFiles();

    // Reads the file again as stored (scrambled bytes stay scrambled); position 0.
    void ReloadImage();

    // The file's bytes [from, to) as stored into `sink` (for a scrambled payload,
    // after ReloadImage; the program image before the marker is always as stored).
    void CopyStored(uint64_t from, uint64_t to, ByteSink& sink);
    Bytes ReadStored(uint64_t from, uint64_t to);
    // Where reading ends: the file's end, or where a code signature's
    // certificate table begins (bytes in the table are nobody's payload).
    uint64_t FileSize() const { return fileSize_; }
    // The whole file, certificate table included.
    uint64_t StoredSize() const { return storedSize_; }

    std::size_t Position() const { return position_; }
    void RecordFileDataStart() { fileDataStart_ = position_; }
    std::size_t FileDataStart() const { return fileDataStart_; }
    std::size_t ItemAreaStart() const { return itemAreaStart_; }
    std::size_t MarkerOffset() const { return markerOffset_; }
    bool Scrambled() const { return scrambled_; }
    // False when a scrambled payload's checksum did not come out 0 (and the
    // uninstaller's exemption let it open all the same).
    bool ChecksumSound() const { return checksumSound_; }

    // Releases the own file.
    void CloseFile();

private:
    // The bytes at `offset`, at least `minimum` of them (fewer only at the end of
    // the file), often more; valid until the next call.
    const uint8_t* Peek(uint64_t offset, std::size_t minimum, std::size_t& available);
    std::size_t ReadFully(uint64_t offset, uint8_t* into, std::size_t count);
    uint64_t FindInFile(const std::string& marker);
    void BoundToSignedContent();
    void FindStartMarker();
    void HoldWholeImage();
    void Unscramble(const std::string& programPath);
    void ParseHeader();
    void ReadManifest();
    void StartSolidStream();
    // Decodes into `into` until it is full; returns false when the stream ended first.
    bool DecodeSolid(uint8_t* into, std::size_t size, uint64_t& decoded);

    ByteSource* source_ = nullptr;
    ReadProblemHandler onReadProblem_;  // set while opening
    uint64_t fileSize_ = 0;
    uint64_t storedSize_ = 0;
    Bytes image_;        // the whole file, held for a scrambled payload only
    Bytes window_;       // part of the file: windowFill_ bytes from windowStart_
    uint64_t windowStart_ = 0;
    std::size_t windowFill_ = 0;
    std::size_t position_ = 0;
    bool scrambled_ = false;
    bool checksumSound_ = true;
    std::size_t markerOffset_ = 0;
    std::size_t itemAreaStart_ = 0;
    std::size_t fileDataStart_ = 0;
    SettingsList settings_;
    std::unique_ptr<const HeaderManifest> manifest_ = std::make_unique<const HeaderManifest>();
    bool solid_ = false;
    bool utf8_ = false;
    std::unique_ptr<SolidDecoder> solidDecoder_;  // from the first file on
    std::vector<uint32_t> fileChecksums_;
    std::size_t nextFile_ = 0;
};

}  // namespace velmoran::payload

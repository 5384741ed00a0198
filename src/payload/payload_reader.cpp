#include "payload/payload_reader.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "common/path.h"
#include "payload/format.h"
#include "payload/marker_search.h"
#include "payload/pe_layout.h"

namespace velmoran::payload {
namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Keeps the zlib state released on every path out of InflateItem.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream) != Z_OK) throw Failure("Error");
    }
    ~Inflater() { inflateEnd(&stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream stream{};
};

}  // namespace

const char* OpenFailureMessage(OpenFailureKind kind) {
    switch (kind) {
        case OpenFailureKind::MarkerMissing:
            return "Can't find control information (damaged installer?)";
        case OpenFailureKind::HeaderUnterminated:
            return "Control information not terminated (damaged installer?)";
        case OpenFailureKind::ChecksumMismatch:
            return "Checksum error (damaged installer?)";
        case OpenFailureKind::General:
            break;
    }
    return "Failed to initialise (damaged installer?)";
}

void PayloadReader::Open(ByteSource& source, const std::string& programPath,
                         const ReadProblemHandler& onReadProblem) {
    source_ = &source;
    settings_.Clear();
    position_ = itemAreaStart_ = fileDataStart_ = markerOffset_ = 0;
    scrambled_ = false;
    checksumSound_ = true;
    try {
        source.Open();
        ReadImage(onReadProblem);
        FindStartMarker();
        if (scrambled_) Unscramble(programPath);
        ParseHeader();
    } catch (const OpenFailure&) {
        throw;
    } catch (...) {
        throw OpenFailure(OpenFailureKind::General);
    }
}

void PayloadReader::ReadImage(const ReadProblemHandler& onReadProblem) {
    try {
        source_->ReadAll(image_);
    } catch (const Failure& failure) {
        if (onReadProblem) onReadProblem(failure.what());
    }
    position_ = 0;
}

void PayloadReader::FindStartMarker() {
    // The plain marker wins wherever the scrambled one stands.
    markerOffset_ = FindFirst(image_.data(), image_.size(), PlainStartMarker());
    if (markerOffset_ == kNotFound) {
        markerOffset_ = FindFirst(image_.data(), image_.size(), ScrambledStartMarker());
        scrambled_ = markerOffset_ != kNotFound;
    }
    if (markerOffset_ == kNotFound) throw OpenFailure(OpenFailureKind::MarkerMissing);
}

void PayloadReader::Unscramble(const std::string& programPath) {
    uint8_t checksum = 0;
    std::size_t keyIndex = 0;
    // A code signature appended after the payload is not part of it.
    const std::size_t end = SignedContentEnd(image_.data(), image_.size());
    for (std::size_t i = markerOffset_ + kStartMarkerLength; i < end; ++i) {
        image_[i] ^= kScrambleKey[keyIndex];
        checksum ^= image_[i];
        if (++keyIndex == kScrambleKeyLength) keyIndex = 0;
    }
    checksumSound_ = checksum == 0;
    if (!checksumSound_ && AsciiLower(FileNamePart(programPath)) != kUninstallerName)
        throw OpenFailure(OpenFailureKind::ChecksumMismatch);
}

void PayloadReader::ParseHeader() {
    const std::string endMarker = EndMarker();
    settings_.Start(std::string(1, static_cast<char>(image_[markerOffset_])));
    for (std::size_t i = markerOffset_ + 1; i < image_.size(); ++i) {
        const uint8_t byte = image_[i];
        if (byte == '\r') {
            settings_.StartLine();
        } else if (byte > 31) {
            settings_.AppendToLastLine(static_cast<char>(byte));
            // Only an appended byte can complete the marker, and a CR inside it
            // breaks it, so the last line is the only place to look.
            if (byte == static_cast<uint8_t>(endMarker.back()) && EndsWith(settings_.LastLine(), endMarker)) {
                itemAreaStart_ = i + 1 + 2;
                settings_.Finish();
                return;
            }
        }
    }
    throw OpenFailure(OpenFailureKind::HeaderUnterminated);
}

void PayloadReader::InflateItem(int64_t size, ByteSink& sink) {
    if (size < 0) throw Failure("Error");
    const std::size_t available = position_ < image_.size() ? image_.size() - position_ : 0;
    Inflater inflater;
    z_stream& zs = inflater.stream;
    zs.next_in = const_cast<Bytef*>(image_.data() + std::min(position_, image_.size()));
    zs.avail_in = static_cast<uInt>(std::min<std::size_t>(available, UINT_MAX));

    uint8_t buffer[64 * 1024];
    uint64_t produced = 0;
    for (;;) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        const int status = inflate(&zs, Z_NO_FLUSH);
        const std::size_t got = sizeof buffer - zs.avail_out;
        if (got > 0) {
            if (produced + got > static_cast<uint64_t>(size))
                throw Failure("Compressed item is larger than its listed size (damaged installer?)");
            sink.Write(buffer, got);
            produced += got;
        }
        if (status == Z_STREAM_END) break;
        if (status == Z_BUF_ERROR && zs.avail_in == 0)
            throw Failure("Compressed item is cut short (damaged installer?)");
        if (status != Z_OK) throw Failure("Error");
    }
    if (produced != static_cast<uint64_t>(size))
        throw Failure("Compressed item is smaller than its listed size (damaged installer?)");
    position_ += zs.total_in;
}

void PayloadReader::CopyRawItem(int64_t size, ByteSink& sink) {
    const std::size_t left = position_ < image_.size() ? image_.size() - position_ : 0;
    if (size < 0 || static_cast<uint64_t>(size) > left) throw Failure("Stream read error");
    sink.Write(image_.data() + position_, static_cast<std::size_t>(size));
    position_ += static_cast<std::size_t>(size);
}

void PayloadReader::ReloadImage() {
    if (!source_) throw Failure("Stream read error");
    // A plain image was never changed in memory: it already holds the bytes as
    // stored, and reading a large installer again would only cost time.
    if (scrambled_) source_->ReadAll(image_);
    position_ = 0;
}

void PayloadReader::CloseFile() {
    if (source_) source_->Close();
}

}  // namespace velmoran::payload

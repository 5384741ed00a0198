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

// How much of the file is held at a time when it is not held whole.
constexpr std::size_t kWindowBytes = 1 << 20;

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
    manifest_ = std::make_unique<const HeaderManifest>();
    position_ = itemAreaStart_ = fileDataStart_ = markerOffset_ = 0;
    storedSize_ = 0;
    scrambled_ = false;
    checksumSound_ = true;
    image_.clear();
    window_.clear();
    solid_ = false;
    utf8_ = false;
    solidDecoder_.reset();
    fileChecksums_.clear();
    nextFile_ = 0;
    windowStart_ = windowFill_ = 0;
    // Read problems are told to the caller only while opening.
    struct Opening {
        ReadProblemHandler& handler;
        ~Opening() { handler = nullptr; }
    } opening{onReadProblem_};
    onReadProblem_ = onReadProblem ? onReadProblem : [](const std::string&) {};
    try {
        source.Open();
        try {
            fileSize_ = source.Size();
        } catch (const Failure& failure) {
            // What could be read stays readable: go on with it.
            onReadProblem_(failure.what());
            fileSize_ = source.Size();
        }
        BoundToSignedContent();
        FindStartMarker();
        if (scrambled_) Unscramble(programPath);
        ParseHeader();
    } catch (const OpenFailure&) {
        throw;
    } catch (...) {
        throw OpenFailure(OpenFailureKind::General);
    }
}

std::size_t PayloadReader::ReadFully(uint64_t offset, uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    try {
        while (done < count) {
            const std::size_t got = source_->ReadAt(offset + done, into + done, count - done);
            if (got == 0) break;
            done += got;
        }
    } catch (const Failure& failure) {
        if (!onReadProblem_) throw;
        // While opening, a read error is told once and the file taken to end there.
        onReadProblem_(failure.what());
        onReadProblem_ = [](const std::string&) {};
        fileSize_ = offset + done;
    }
    return done;
}

const uint8_t* PayloadReader::Peek(uint64_t offset, std::size_t minimum, std::size_t& available) {
    const uint64_t left = offset < fileSize_ ? fileSize_ - offset : 0;
    const std::size_t needed = static_cast<std::size_t>(std::min<uint64_t>(minimum, left));
    if (scrambled_) {  // held whole from the moment it is known
        available = static_cast<std::size_t>(left);
        return image_.data() + std::min<uint64_t>(offset, image_.size());
    }
    const bool buffered = offset >= windowStart_ && offset - windowStart_ <= windowFill_ &&
                          windowFill_ - (offset - windowStart_) >= needed;
    if (!buffered) {
        // A small file is held whole; a large one a window at a time.
        const std::size_t size = std::max(needed, static_cast<std::size_t>(std::min<uint64_t>(kWindowBytes, left)));
        if (window_.size() < size) window_.resize(size);
        windowFill_ = ReadFully(offset, window_.data(), size);
        windowStart_ = offset;
    }
    const std::size_t at = static_cast<std::size_t>(std::min<uint64_t>(offset - windowStart_, windowFill_));
    available = static_cast<std::size_t>(std::min<uint64_t>(windowFill_ - at, left));
    return window_.data() + at;
}

// A code signature's certificate table is not covered by the signature's hash:
// bytes put there keep the signature valid, so nothing past its start is read.
void PayloadReader::BoundToSignedContent() {
    storedSize_ = fileSize_;
    std::size_t available = 0;
    const uint8_t* headers = Peek(0, kPeHeaderBytes, available);
    fileSize_ = SignedContentEnd(headers, std::min(available, kPeHeaderBytes), fileSize_);
    windowFill_ = 0;  // the window may hold bytes of the table
}

uint64_t PayloadReader::FindInFile(const std::string& marker) {
    for (uint64_t offset = 0; offset < fileSize_;) {
        std::size_t available = 0;
        const uint8_t* bytes = Peek(offset, marker.size(), available);
        const std::size_t found = FindFirst(bytes, available, marker);
        if (found != kNotFound) return offset + found;
        if (available < marker.size() || offset + available >= fileSize_) break;
        offset += available - (marker.size() - 1);  // a marker may straddle two windows
    }
    return kNotFound;
}

void PayloadReader::FindStartMarker() {
    // The plain marker wins wherever the scrambled one stands.
    uint64_t found = FindInFile(PlainStartMarker());
    if (found == kNotFound) {
        found = FindInFile(ScrambledStartMarker());
        scrambled_ = found != kNotFound;
    }
    if (found == kNotFound) throw OpenFailure(OpenFailureKind::MarkerMissing);
    markerOffset_ = static_cast<std::size_t>(found);
}

void PayloadReader::HoldWholeImage() {
    image_.resize(static_cast<std::size_t>(fileSize_));
    image_.resize(ReadFully(0, image_.data(), image_.size()));
    fileSize_ = image_.size();
    window_ = Bytes();
    windowFill_ = 0;
}

void PayloadReader::Unscramble(const std::string& programPath) {
    HoldWholeImage();
    uint8_t checksum = 0;
    std::size_t keyIndex = 0;
    for (std::size_t i = markerOffset_ + kStartMarkerLength; i < image_.size(); ++i) {
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
    std::size_t available = 0;
    const uint8_t* bytes = Peek(markerOffset_, 1, available);
    settings_.Start(std::string(1, static_cast<char>(bytes[0])));
    for (uint64_t i = markerOffset_ + 1; i < fileSize_; ++i) {
        if (available <= 1) {
            bytes = Peek(i, 1, available);
            if (available == 0) break;
        } else {
            ++bytes, --available;
        }
        const uint8_t byte = *bytes;
        if (byte == '\r') {
            settings_.StartLine();
        } else if (byte > 31) {
            settings_.AppendToLastLine(static_cast<char>(byte));
            // Only an appended byte can complete the marker, and a CR inside it
            // breaks it, so the last line is the only place to look.
            if (byte == static_cast<uint8_t>(endMarker.back()) && EndsWith(settings_.LastLine(), endMarker)) {
                itemAreaStart_ = static_cast<std::size_t>(i + 1 + 2);
                settings_.Finish();
                // A compression this reader does not know would be installed as garbage.
                const std::string compression = settings_.Value(kCompressionKey);
                solid_ = compression == kCompressionLzma2;
                if (!solid_ && !compression.empty()) throw OpenFailure(OpenFailureKind::General);
                // So would texts in a character set it does not know, and a
                // path that is not well-formed could pass a check as one path
                // and reach the system as another.
                const std::string charset = settings_.Value(kCharsetKey);
                utf8_ = EqualsIgnoreCase(charset, kCharsetUtf8);
                if ((!utf8_ && !charset.empty()) || (utf8_ && !settings_.IsUtf8()))
                    throw OpenFailure(OpenFailureKind::General);
                ReadManifest();
                return;
            }
        }
    }
    throw OpenFailure(OpenFailureKind::HeaderUnterminated);
}

void PayloadReader::InflateItem(int64_t size, ByteSink& sink) {
    if (size < 0) throw Failure("Error");
    Inflater inflater;
    z_stream& zs = inflater.stream;
    uint8_t buffer[64 * 1024];
    uint64_t produced = 0, consumed = 0;
    for (;;) {
        if (zs.avail_in == 0) {
            std::size_t available = 0;
            zs.next_in = const_cast<Bytef*>(Peek(position_ + consumed, 1, available));
            zs.avail_in = static_cast<uInt>(std::min<std::size_t>(available, UINT_MAX));
            consumed += zs.avail_in;
        }
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
        if (status == Z_BUF_ERROR && zs.avail_in == 0 && position_ + consumed >= fileSize_)
            throw Failure("Compressed item is cut short (damaged installer?)");
        if (status != Z_OK && status != Z_BUF_ERROR) throw Failure("Error");
    }
    if (produced != static_cast<uint64_t>(size))
        throw Failure("Compressed item is smaller than its listed size (damaged installer?)");
    position_ += zs.total_in;
}

void PayloadReader::CopyRawItem(int64_t size, ByteSink& sink) {
    const uint64_t left = position_ < fileSize_ ? fileSize_ - position_ : 0;
    if (size < 0 || static_cast<uint64_t>(size) > left) throw Failure("Stream read error");
    CopyStored(position_, position_ + static_cast<uint64_t>(size), sink);
    position_ += static_cast<std::size_t>(size);
}

void PayloadReader::ReadManifest() {
    // Made where it stays: a manifest is never moved.
    manifest_.reset(new HeaderManifest(payload::ReadManifest(settings_)));
}

void PayloadReader::ConvertLegacyText(const std::function<std::string(const std::string&)>& convert) {
    // Only lines with bytes above 0x7F change: an ASCII header stays as read.
    if (utf8_ || settings_.IsAscii()) return;
    settings_.ConvertLines(convert);
    ReadManifest();
}

void PayloadReader::ReadLeadingItem(const LeadingItem& item, ByteSink& sink) {
    const HeaderNumber& size = manifest_->LeadingItemSize(item);
    if (!item.compressed) {
        CopyRawItem(size.Value(), sink);
    } else if (!size.Empty()) {
        InflateItem(size.Value(), sink);
    }
}

void PayloadReader::StartSolidStream() {
    const int32_t count = manifest_->fileCount.Value();
    if (count < 0) throw Failure("Error");
    const uint64_t tableBytes = 1 + 4 * static_cast<uint64_t>(count);
    if (fileSize_ < position_ || fileSize_ - position_ < tableBytes)
        throw Failure("Compressed item is cut short (damaged installer?)");
    const Bytes table = ReadStored(position_, position_ + tableBytes);
    const uint64_t listed = LzmaDictionarySize(table[0]);
    if (listed == 0 || listed > kMaxSolidDictionary) throw Failure("Error");
    // No match reaches further back than the data before it: a dictionary
    // beyond the files' total would only be memory taken for nothing.
    const int32_t fileBytes = manifest_->fileBytes.Value();
    const uint64_t dictionary = std::min<uint64_t>(listed, std::max<int64_t>(4096, fileBytes));
    fileChecksums_.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < fileChecksums_.size(); ++i) {
        const uint8_t* b = &table[1 + 4 * i];
        fileChecksums_[i] = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
    }
    solidDecoder_ = std::make_unique<SolidDecoder>(dictionary);
    position_ += static_cast<std::size_t>(tableBytes);
}

bool PayloadReader::DecodeSolid(uint8_t* into, std::size_t size, uint64_t& decoded) {
    decoded = 0;
    while (decoded < size) {
        std::size_t available = 0;
        const uint8_t* input = Peek(position_, 1, available);
        const SolidDecoder::Step step = solidDecoder_->Decode(input, available, into + decoded, size - decoded);
        position_ += step.consumed;
        decoded += step.produced;
        if (step.ended) return decoded == size;
        if (step.consumed == 0 && step.produced == 0)
            throw Failure("Compressed item is cut short (damaged installer?)");
    }
    return true;
}

void PayloadReader::ReadFile(int64_t size, ByteSink& sink) {
    if (!solid_) return InflateItem(size, sink);
    if (size < 0) throw Failure("Error");
    if (!solidDecoder_) StartSolidStream();
    if (nextFile_ >= fileChecksums_.size()) throw Failure("Error");
    uint8_t buffer[64 * 1024];
    uLong checksum = adler32(0, nullptr, 0);
    for (uint64_t left = static_cast<uint64_t>(size); left > 0;) {
        uint64_t decoded = 0;
        const bool whole = DecodeSolid(buffer, static_cast<std::size_t>(std::min<uint64_t>(sizeof buffer, left)), decoded);
        sink.Write(buffer, static_cast<std::size_t>(decoded));
        checksum = adler32(checksum, buffer, static_cast<uInt>(decoded));
        left -= decoded;
        if (!whole) throw Failure("Compressed item is smaller than its listed size (damaged installer?)");
    }
    if (checksum != fileChecksums_[nextFile_++]) throw Failure("Error");
}

void PayloadReader::FinishFiles() {
    if (!solid_) return;
    if (!solidDecoder_) StartSolidStream();
    uint8_t extra = 0;
    uint64_t decoded = 0;
    if (nextFile_ != fileChecksums_.size() || DecodeSolid(&extra, 1, decoded) || decoded != 0)
        throw Failure("Compressed data is larger than its listed files (damaged installer?)");
}

void PayloadReader::CopyStored(uint64_t from, uint64_t to, ByteSink& sink) {
    while (from < std::min(to, fileSize_)) {
        std::size_t available = 0;
        const uint8_t* bytes = Peek(from, 1, available);
        if (available == 0) throw Failure("Stream read error");
        const std::size_t count = static_cast<std::size_t>(std::min<uint64_t>(available, to - from));
        sink.Write(bytes, count);
        from += count;
    }
}

Bytes PayloadReader::ReadStored(uint64_t from, uint64_t to) {
    MemorySink bytes;
    CopyStored(from, to, bytes);
    return std::move(bytes.bytes);
}

void PayloadReader::ReloadImage() {
    if (!source_) throw Failure("Stream read error");
    // A plain payload is read as stored in any case.
    if (scrambled_) HoldWholeImage();
    position_ = 0;
}

void PayloadReader::CloseFile() {
    if (source_) source_->Close();
}

}  // namespace velmoran::payload

#include "payload/payload_writer.h"

#include "common/failure.h"
#include "payload/format.h"
#include "payload/marker_search.h"

namespace velmoran::payload {

void PayloadWriter::WriteProgramImage(const uint8_t* data, std::size_t size) {
    if (ContainsStartMarker(data, size))
        throw Failure("The program image holds a start marker; the installer would not find its payload");
    out_.Write(data, size);
    written_ += size;
}

void PayloadWriter::WriteHeader(const std::vector<std::string>& lines) {
    const std::string marker = scrambled_ ? ScrambledStartMarker() : PlainStartMarker();
    out_.Write(reinterpret_cast<const uint8_t*>(marker.data()), marker.size());
    written_ += marker.size();
    afterMarker_ = true;

    std::string text = "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    text += EndMarker() + "\r\n";
    WriteScrambled(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void PayloadWriter::WriteItem(const uint8_t* data, std::size_t size) {
    WriteScrambled(data, size);
}

void PayloadWriter::Finish() {
    if (!scrambled_) return;
    std::size_t padding = (8 - written_ % 8) % 8;
    if (checksum_ != 0 && padding == 0) padding = 8;
    if (padding == 0) return;
    Bytes tail(padding, 0);
    tail.back() = checksum_;
    WriteScrambled(tail.data(), tail.size());
}

void PayloadWriter::WriteScrambled(const uint8_t* data, std::size_t size) {
    written_ += size;
    if (!scrambled_) {
        out_.Write(data, size);
        return;
    }
    scratch_.assign(data, data + size);
    for (uint8_t& byte : scratch_) {
        checksum_ ^= byte;
        byte ^= kScrambleKey[keyIndex_];
        if (++keyIndex_ == kScrambleKeyLength) keyIndex_ = 0;
    }
    out_.Write(scratch_.data(), scratch_.size());
}

void WriteInstaller(ByteSink& out, const InstallerParts& parts, bool scrambled) {
    PayloadWriter writer(out, scrambled);
    writer.WriteProgramImage(parts.programImage.data(), parts.programImage.size());
    writer.WriteHeader(parts.headerLines);
    writer.WriteItem(parts.splashStream);
    writer.WriteItem(parts.iconStream);
    writer.WriteItem(parts.about);
    writer.WriteItem(parts.licence);
    for (const Bytes& stream : parts.fileStreams) writer.WriteItem(stream);
    writer.Finish();
}

}  // namespace velmoran::payload

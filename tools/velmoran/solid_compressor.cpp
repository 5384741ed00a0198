#include "solid_compressor.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "common/failure.h"
#include "ordered_work.h"
#include "parallel_compressor.h"
#include "quoted.h"

namespace velmoran::builder {
namespace {

// The files' bytes as one run of data, read a span at a time.
class FileRun {
public:
    explicit FileRun(const std::vector<SourceFile>& files) : files_(files) {
        uint64_t offset = 0;
        for (const SourceFile& file : files) {
            starts_.push_back(offset);
            offset += file.size;
        }
        total_ = offset;
    }

    uint64_t Total() const { return total_; }

    // The bytes [from, to) of the run.
    Bytes Read(uint64_t from, uint64_t to) const {
        Bytes bytes(static_cast<std::size_t>(to - from));
        std::size_t index = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), from) - starts_.begin()) - 1;
        for (uint64_t at = from; at < to; ++index) {
            const SourceFile& file = files_[index];
            const uint64_t offset = at - starts_[index];
            const uint64_t count = std::min(to, starts_[index] + file.size) - at;
            if (count == 0) continue;
            std::ifstream in = OpenSourceFile(file);
            in.seekg(static_cast<std::streamoff>(offset));
            in.read(reinterpret_cast<char*>(bytes.data() + (at - from)), static_cast<std::streamsize>(count));
            if (in.bad()) throw Failure("file " + Quoted(file.path) + ": read error");
            if (static_cast<uint64_t>(in.gcount()) != count) throw ChangedFile(file, offset + in.gcount());
            at += count;
        }
        return bytes;
    }

private:
    const std::vector<SourceFile>& files_;
    std::vector<uint64_t> starts_;
    uint64_t total_ = 0;
};

uLong FileChecksum(const SourceFile& file) {
    std::ifstream in = OpenSourceFile(file);
    std::vector<uint8_t> buffer(1 << 20);
    uLong checksum = adler32(0, nullptr, 0);
    uint64_t total = 0;
    while (in) {
        in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        if (in.bad()) throw Failure("file " + Quoted(file.path) + ": read error");
        const auto got = static_cast<std::size_t>(in.gcount());
        checksum = adler32_z(checksum, buffer.data(), got);
        total += got;
    }
    if (total != file.size) throw ChangedFile(file, total);
    return checksum;
}

void WriteBigEndian(uint32_t value, Bytes& into) {
    for (int shift = 24; shift >= 0; shift -= 8) into.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

uint32_t SolidDictionary(uint64_t totalBytes) {
    return static_cast<uint32_t>(std::clamp<uint64_t>(totalBytes, 4096, kMaxSolidDictionaryBytes));
}

void WriteSolidFileData(const std::vector<SourceFile>& files, const SolidSettings& settings, ByteSink& out,
                        const std::function<void(uint64_t)>& advance) {
    const FileRun run(files);
    payload::Lzma2Settings lzma;
    lzma.dictionary = SolidDictionary(run.Total());
    lzma.preset = settings.preset;
    lzma.extreme = settings.extreme;

    // The checksums come first in the file data, so they are taken first.
    Bytes table{payload::Lzma2DictionaryProperty(lzma.dictionary)};
    OrderedWork<uLong>::Run(
        files.size(), settings.threads,
        [&](std::size_t index) { return std::make_unique<uLong>(FileChecksum(files[index])); },
        [&](std::size_t, uLong& checksum) { WriteBigEndian(static_cast<uint32_t>(checksum), table); });
    out.Write(table.data(), table.size());

    const std::size_t pieces = static_cast<std::size_t>((run.Total() + kSolidPieceBytes - 1) / kSolidPieceBytes);
    // Each encoder takes about 11 times its dictionary (some 750 MB at 64 MiB):
    // no more of them than there are pieces to encode.
    OrderedWork<Bytes>::Run(
        pieces, std::min<unsigned>(settings.threads, static_cast<unsigned>(std::max<std::size_t>(1, pieces))),
        [&](std::size_t piece) {
            const uint64_t start = piece * kSolidPieceBytes;
            const uint64_t end = std::min(run.Total(), start + kSolidPieceBytes);
            const uint64_t lookBack = std::min<uint64_t>({start, kSolidLookBackBytes, lzma.dictionary});
            const Bytes data = run.Read(start - lookBack, end);
            return std::make_unique<Bytes>(payload::EncodeLzma2Piece(data.data() + lookBack, data.size() - lookBack,
                                                                     data.data(), lookBack, lzma));
        },
        [&](std::size_t piece, Bytes& encoded) {
            out.Write(encoded.data(), encoded.size());
            advance(std::min(run.Total(), (piece + 1) * kSolidPieceBytes) - piece * kSolidPieceBytes);
        });
    const uint8_t endOfData = 0x00;
    out.Write(&endOfData, 1);
}

}  // namespace velmoran::builder

#include "parallel_compressor.h"

#include <zlib.h>

#include <cstring>
#include <fstream>

#include "safe_files.h"
#include "common/failure.h"
#include "ordered_work.h"
#include "quoted.h"
#include "payload/compress.h"

namespace velmoran::builder {
CompressedStream::~CompressedStream() {
    if (spill_) std::fclose(spill_);
}

void CompressedStream::Append(const uint8_t* data, std::size_t size, std::size_t spillThreshold) {
    size_ += size;
    if (!spill_ && memory_.size() + size <= spillThreshold) {
        memory_.insert(memory_.end(), data, data + size);
        return;
    }
    if (!spill_) {
        spill_ = AnonymousTemporaryFile();
        if (!spill_) throw Failure(std::string("cannot create a temporary file: ") + std::strerror(errno));
    }
    if (std::fwrite(data, 1, size, spill_) != size)
        throw Failure(std::string("cannot write a temporary file: ") + std::strerror(errno));
}

void CompressedStream::WriteTo(ByteSink& sink) {
    if (!memory_.empty()) sink.Write(memory_.data(), memory_.size());
    if (!spill_) return;
    std::rewind(spill_);
    std::vector<uint8_t> buffer(1 << 20);
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), spill_)) > 0) sink.Write(buffer.data(), got);
    if (std::ferror(spill_)) throw Failure(std::string("cannot read a temporary file: ") + std::strerror(errno));
}

Failure ChangedFile(const SourceFile& file, uint64_t now) {
    return Failure("file " + Quoted(file.path) + ": changed while the installer was being built (was " +
                   std::to_string(file.size) + " bytes, now " + std::to_string(now) + ")");
}

std::ifstream OpenSourceFile(const SourceFile& file) {
    std::ifstream in(file.path, std::ios::binary);
    if (!in) throw Failure("file " + Quoted(file.path) + ": cannot be opened");
    return in;
}

namespace {

// A file too large to hold whole goes through zlib's streaming deflate, at
// most at zlib's own highest level.
std::unique_ptr<CompressedStream> StreamLargeFile(const SourceFile& file, std::ifstream& in, int level,
                                                  std::size_t spillThreshold) {
    auto stream = std::make_unique<CompressedStream>();
    payload::Deflater deflater(std::min(level, 9));
    z_stream& zs = deflater.stream;
    std::vector<uint8_t> input(1 << 20), output(1 << 18);
    uint64_t total = 0;
    int flush = Z_NO_FLUSH;
    do {
        in.read(reinterpret_cast<char*>(input.data()), static_cast<std::streamsize>(input.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (in.bad()) throw Failure("file " + Quoted(file.path) + ": read error");
        total += got;
        flush = in.eof() ? Z_FINISH : Z_NO_FLUSH;
        zs.next_in = input.data();
        zs.avail_in = static_cast<uInt>(got);
        do {
            zs.next_out = output.data();
            zs.avail_out = static_cast<uInt>(output.size());
            deflate(&zs, flush);
            stream->Append(output.data(), output.size() - zs.avail_out, spillThreshold);
        } while (zs.avail_out == 0);
    } while (flush != Z_FINISH);
    if (total != file.size) throw ChangedFile(file, total);
    return stream;
}

}  // namespace

Bytes ReadWholeFile(const SourceFile& file) {
    std::ifstream in = OpenSourceFile(file);
    Bytes data(static_cast<std::size_t>(file.size) + 1);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (in.bad()) throw Failure("file " + Quoted(file.path) + ": read error");
    const auto got = static_cast<uint64_t>(in.gcount());
    if (got != file.size) throw ChangedFile(file, got);
    data.pop_back();
    return data;
}

std::unique_ptr<CompressedStream> CompressFile(const SourceFile& file, int level, std::size_t spillThreshold) {
    if (file.size > kWholeFileLimit) {
        std::ifstream in = OpenSourceFile(file);
        return StreamLargeFile(file, in, level, spillThreshold);
    }
    const Bytes data = ReadWholeFile(file);
    const Bytes compressed = payload::Compress(data, level);
    auto stream = std::make_unique<CompressedStream>();
    stream->Append(compressed.data(), compressed.size(), spillThreshold);
    return stream;
}

void CompressInOrder(const std::vector<SourceFile>& files, const CompressorSettings& settings,
                     const std::function<void(std::size_t, CompressedStream&)>& consume) {
    OrderedWork<CompressedStream>::Run(
        files.size(), settings.threads,
        [&](std::size_t index) { return CompressFile(files[index], settings.level, settings.spillThreshold); },
        consume);
}

}  // namespace velmoran::builder

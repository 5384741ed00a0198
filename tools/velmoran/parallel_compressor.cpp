#include "parallel_compressor.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "safe_files.h"
#include "common/failure.h"
#include "quoted.h"
#include "payload/compress.h"

namespace velmoran::builder {
namespace {

// Shared state of the workers and the consumer.
class Pipeline {
public:
    Pipeline(const std::vector<SourceFile>& files, const CompressorSettings& settings)
        : files_(files), settings_(settings), window_(2 * std::max(1u, settings.threads)) {}

    void Work() {
        for (;;) {
            std::size_t index;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return failed_ || next_ >= files_.size() || next_ < consumed_ + window_; });
                if (failed_ || next_ >= files_.size()) return;
                index = next_++;
            }
            try {
                auto stream = CompressFile(files_[index], settings_.level, settings_.spillThreshold);
                std::lock_guard<std::mutex> lock(mutex_);
                ready_[index] = std::move(stream);
            } catch (...) {
                Fail(std::current_exception());
            }
            changed_.notify_all();
        }
    }

    void Consume(const std::function<void(std::size_t, CompressedStream&)>& consume) {
        for (std::size_t index = 0; index < files_.size(); ++index) {
            std::unique_ptr<CompressedStream> stream;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return failed_ || ready_.count(index) > 0; });
                if (failed_) return;
                stream = std::move(ready_[index]);
                ready_.erase(index);
            }
            try {
                consume(index, *stream);
            } catch (...) {
                Fail(std::current_exception());
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ++consumed_;
            }
            changed_.notify_all();
        }
    }

    void Fail(std::exception_ptr error) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failed_) error_ = error;
            failed_ = true;
        }
        changed_.notify_all();
    }

    void RethrowFailure() const {
        if (error_) std::rethrow_exception(error_);
    }

private:
    const std::vector<SourceFile>& files_;
    const CompressorSettings settings_;
    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t consumed_ = 0;
    bool failed_ = false;
    std::exception_ptr error_;
    std::map<std::size_t, std::unique_ptr<CompressedStream>> ready_;
};

}  // namespace

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

std::unique_ptr<CompressedStream> CompressFile(const SourceFile& file, int level, std::size_t spillThreshold) {
    std::ifstream in(file.path, std::ios::binary);
    if (!in) throw Failure("file " + Quoted(file.path) + ": cannot be opened");
    auto stream = std::make_unique<CompressedStream>();
    payload::Deflater deflater(level);
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
    if (total != file.size)
        throw Failure("file " + Quoted(file.path) + ": changed while the installer was being built (was " +
                      std::to_string(file.size) + " bytes, now " + std::to_string(total) + ")");
    return stream;
}

void CompressInOrder(const std::vector<SourceFile>& files, const CompressorSettings& settings,
                     const std::function<void(std::size_t, CompressedStream&)>& consume) {
    Pipeline pipeline(files, settings);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < std::max(1u, settings.threads); ++i) workers.emplace_back([&] { pipeline.Work(); });
    pipeline.Consume(consume);
    for (std::thread& worker : workers) worker.join();
    pipeline.RethrowFailure();
}

}  // namespace velmoran::builder

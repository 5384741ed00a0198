// Benchmarks of the payload code; figures are printed, nothing is asserted.
//   payload_bench make-tree DIR MEGABYTES   writes a synthetic application
//   payload_bench read INSTALLER            reader against a bare inflate loop
//   payload_bench limits                    header lookups and memory at scale
//   payload_bench comparison-tree DIR t1|t2 writes a tree of the comparison with NSIS

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/header_number.h"
#include "payload/file_entry.h"
#include "payload/file_source.h"
#include "payload/payload_reader.h"

namespace {

namespace fs = std::filesystem;
using namespace velmoran;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void WriteSyntheticFile(const fs::path& path, std::size_t size, bool textLike, std::mt19937_64& rng) {
    static const char* const kWords[] = {"installer ", "window ", "folder ", "the ", "of ", "registry ", "shortcut\r\n",
                                         "payload ", "a ", "stream ", "licence ", "Kestrel ", "and ", "to ", "42 ", "\t"};
    std::string content;
    content.reserve(size);
    while (content.size() < size) {
        if (textLike) {
            content += kWords[rng() % 16];
        } else {
            const uint64_t r = rng();
            content.append(reinterpret_cast<const char*>(&r), 8);
        }
    }
    content.resize(size);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
}

// A few large files and many small ones, half text-like, half incompressible.
int MakeTree(const fs::path& root, std::size_t megabytes) {
    std::mt19937_64 rng(256);
    const std::size_t total = megabytes << 20;
    std::size_t written = 0;
    for (int i = 0; i < 4; ++i, written += 16u << 20)
        WriteSyntheticFile(root / "large" / ("part" + std::to_string(i) + ".dat"), 16u << 20, i % 2 == 0, rng);
    for (int i = 0; written < total; ++i) {
        const std::size_t size = std::min<std::size_t>(4096 + rng() % (640u << 10), total - written);
        WriteSyntheticFile(root / ("dir" + std::to_string(i % 17)) / ("file" + std::to_string(i) + ".bin"), size,
                           rng() % 2 == 0, rng);
        written += size;
    }
    WriteSyntheticFile(root / "Main.exe", 4096, false, rng);
    return 0;
}

// The two trees of the comparison with NSIS. T1: about 186 MiB in about 2,000
// files, a few large ones and many small, text-like and incompressible mixed.
// T2: 20,000 text-like files of 0.5 to 8 KB in 200 folders.
int MakeComparisonTree(const fs::path& root, const std::string& which) {
    std::mt19937_64 rng(which == "t1" ? 186 : 20000);
    if (which == "t1") {
        for (int i = 0; i < 8; ++i)
            WriteSyntheticFile(root / "large" / ("part" + std::to_string(i) + ".dat"), 8u << 20, i % 2 == 0, rng);
        for (int i = 0; i < 2000; ++i)
            WriteSyntheticFile(root / ("dir" + std::to_string(i % 40)) / ("file" + std::to_string(i) + ".bin"),
                               512 + rng() % (122u << 10), rng() % 3 != 0, rng);
    } else {
        for (int i = 0; i < 20000; ++i)
            WriteSyntheticFile(root / ("folder" + std::to_string(i % 200)) / ("item" + std::to_string(i) + ".txt"),
                               512 + rng() % (7680 + 1), true, rng);
    }
    WriteSyntheticFile(root / "Main.exe", 4096, false, rng);
    return 0;
}

// Inflates into one reused buffer, as a program would before writing it out.
class BufferSink : public ByteSink {
public:
    void Write(const uint8_t* data, std::size_t size) override {
        if (used + size > buffer.size()) buffer.resize(used + size);
        std::copy(data, data + size, buffer.begin() + static_cast<long>(used));
        used += size;
    }
    Bytes buffer;
    std::size_t used = 0;
};

struct ReadResult {
    bool solid = false;
    std::size_t fileDataStart = 0;
    std::vector<int64_t> sizes;
};

ReadResult ReadWithReader(const std::string& path) {
    payload::StdioFileSource source(path);
    payload::PayloadReader reader;
    reader.Open(source, path);
    reader.SeekItemArea();
    BufferSink sink;
    for (const payload::LeadingItem& item : payload::kLeadingItems) reader.ReadLeadingItem(item, sink);
    ReadResult result;
    result.solid = reader.Solid();
    result.fileDataStart = reader.Position();
    const int count = ParseHeaderNumber(reader.Value(payload::kFileCountKey));
    for (int n = 1; n <= count; ++n) {
        const int64_t size = ParseHeaderNumber(payload::SplitFileEntry(reader.Value(payload::FileEntryKey(n))).sizeText);
        sink.used = 0;
        sink.buffer.reserve(static_cast<std::size_t>(size));  // exact, not the doubling of growth
        reader.ReadFile(size, sink);
        result.sizes.push_back(size);
    }
    return result;
}

// The same work with nothing but fread and zlib.
void ReadWithBareZlib(const std::string& path, const ReadResult& layout) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    Bytes image(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(image.data(), 1, image.size(), file) != image.size()) std::abort();
    std::fclose(file);
    std::size_t position = layout.fileDataStart;
    Bytes out;
    for (const int64_t size : layout.sizes) {
        out.resize(static_cast<std::size_t>(size) + 1);
        z_stream zs{};
        inflateInit(&zs);
        zs.next_in = image.data() + position;
        zs.avail_in = static_cast<uInt>(image.size() - position);
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        if (inflate(&zs, Z_FINISH) != Z_STREAM_END) std::abort();
        position += zs.total_in;
        inflateEnd(&zs);
    }
}

long PeakKilobytesOfReaderInChild(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        ReadWithReader(path);
        std::_Exit(0);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

int ReadBench(const std::string& path) {
    const double fileMb = static_cast<double>(fs::file_size(path)) / (1 << 20);
    ReadResult layout = ReadWithReader(path);  // warms the page cache
    if (layout.solid) {
        // No bare loop to hold it against: the decoder's own speed is the figure.
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            layout = ReadWithReader(path);
            best = std::min(best, Seconds(start));
        }
        double bytes = 0;
        for (const int64_t size : layout.sizes) bytes += static_cast<double>(size);
        std::printf("reader: open + decode the solid stream: %.3f s, %.0f MB/s of files\n", best, bytes / (1 << 20) / best);
        return 0;
    }
    double readerBest = 1e9, bareBest = 1e9;
    for (int round = 0; round < 3; ++round) {
        auto start = std::chrono::steady_clock::now();
        layout = ReadWithReader(path);
        readerBest = std::min(readerBest, Seconds(start));
        start = std::chrono::steady_clock::now();
        ReadWithBareZlib(path, layout);
        bareBest = std::min(bareBest, Seconds(start));
    }
    const double peakMb = static_cast<double>(PeakKilobytesOfReaderInChild(path)) / 1024;
    std::printf("reader: open + inflate every item: %.3f s; bare zlib loop: %.3f s; ratio %.3f (target <= 1.10)\n",
                readerBest, bareBest, readerBest / bareBest);
    std::printf("reader: peak memory %.1f MB for a %.1f MB plain file, which is read through a window (target <= 32 MB)\n",
                peakMb, fileMb);
    return 0;
}

Bytes HeaderOnly(const std::string& body) {
    const std::string text = "d>a>t>a>s>t>a>r>t\r\n" + body + "d>a>t>a>e>n>d\r\n";
    return Bytes(text.begin(), text.end());
}

// The header limits: many file entries looked up one by one, as the
// installation does, and a header of nothing but line ends.
int LimitsBench() {
    const int count = 100000;
    std::string body = "[Settings]\r\nFilecount=" + std::to_string(count) + "\r\nAppName=Limits\r\n[Files]\r\n";
    for (int n = 1; n <= count; ++n) body += "f" + std::to_string(n) + "=<dir" + std::to_string(n % 200) + "\\file" + std::to_string(n) + ".txt><1>\r\n";
    const Bytes entries = HeaderOnly(body);
    const auto start = std::chrono::steady_clock::now();
    MemorySource source(entries);
    payload::PayloadReader reader;
    reader.Open(source, "setup.exe");
    std::size_t found = 0;
    for (int pass = 0; pass < 2; ++pass)  // the pre-scan of names, then the run itself
        for (int n = 1; n <= ParseHeaderNumber(reader.Value(payload::kFileCountKey)); ++n)
            found += !reader.Value(payload::FileEntryKey(n)).empty();
    const double seconds = Seconds(start);
    std::printf("limits: %d file entries, open plus %zu lookups: %.3f s (target < 0.5 s)\n", count, found, seconds);

    const std::size_t crBytes = 30u << 20;
    MemorySource lineEnds(HeaderOnly(std::string(crBytes, '\r')));
    const auto peakMb = [] {
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_maxrss) / 1024;
    };
    const double before = peakMb();
    payload::PayloadReader parsed;
    parsed.Open(lineEnds, "setup.exe");
    // The image holds the file once; the list may add the header's bytes again and little per line.
    std::printf("limits: a header of 30 MB of CR bytes: open added %.1f MB (target <= image 30 MB + header 30 MB + 4 MB)\n",
                peakMb() - before);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make-tree" && argc == 4) return MakeTree(argv[2], std::strtoul(argv[3], nullptr, 10));
    if (command == "read" && argc == 3) return ReadBench(argv[2]);
    if (command == "limits" && argc == 2) return LimitsBench();
    if (command == "comparison-tree" && argc == 4) return MakeComparisonTree(argv[2], argv[3]);
    std::fprintf(stderr, "usage: payload_bench make-tree DIR MEGABYTES | read INSTALLER | limits | comparison-tree DIR t1|t2\n");
    return 2;
}

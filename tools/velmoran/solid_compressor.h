#pragma once
// Compresses the application's files as one solid LZMA2 stream, the file data
// of a "Compression=lzma2" installer (payload/format.h), on several threads.
// The files' bytes, back to back, are cut into pieces of a fixed size; each
// piece is encoded on its own thread with the bytes just before it as its
// preset dictionary and joined to the stream without a dictionary reset. The
// output depends on the pieces, never on the number of threads.

#include <cstdint>
#include <functional>
#include <vector>

#include "app_tree.h"
#include "common/byte_io.h"
#include "payload/compress.h"

namespace velmoran::builder {

// The size of a piece, and how much of the data before it a piece may refer to.
// Measured on 118 MB of Windows programs: 32 MiB pieces with 8 MiB behind them
// came out 1.5% larger than one stream; these 0.3%, for a tenth more time.
inline constexpr uint64_t kSolidPieceBytes = 64u << 20;
inline constexpr uint64_t kSolidLookBackBytes = 32u << 20;
// The largest dictionary: what xz's strongest preset takes.
inline constexpr uint32_t kMaxSolidDictionaryBytes = 64u << 20;

// The dictionary for `totalBytes` of data: no larger than the data (4 KiB at least).
uint32_t SolidDictionary(uint64_t totalBytes);

struct SolidSettings {
    int preset = 9;
    bool extreme = true;
    unsigned threads = 1;
};

// Writes the solid file data of `files` (in this order) into `out`: the
// dictionary property, every file's Adler-32, the LZMA2 stream. `advance` is
// told the bytes of input done. Throws Failure naming a file that cannot be
// read or changed since the scan.
void WriteSolidFileData(const std::vector<SourceFile>& files, const SolidSettings& settings, ByteSink& out,
                        const std::function<void(uint64_t bytes)>& advance);

}  // namespace velmoran::builder

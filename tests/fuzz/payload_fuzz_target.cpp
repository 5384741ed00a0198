// Opens arbitrary bytes as an installer and reads every item the header names,
// the way start-up and the installation run do. Must never crash, hang or read
// outside the image, whatever the bytes.

#include <cstddef>
#include <cstdint>

#include "common/failure.h"
#include "common/header_number.h"
#include "payload/file_entry.h"
#include "payload/payload_reader.h"

namespace {

using velmoran::Failure;
using velmoran::ParseHeaderNumber;
using namespace velmoran;
using namespace velmoran::payload;

// Counts bytes instead of keeping them, so huge claimed sizes cost no memory.
class CountingSink : public ByteSink {
public:
    void Write(const uint8_t*, std::size_t size) override { count += size; }
    uint64_t count = 0;
};

void InflateIfPresent(PayloadReader& reader, const char* key, CountingSink& sink) {
    const std::string size = reader.Value(key);
    if (size.empty()) return;
    try {
        reader.InflateItem(ParseHeaderNumber(size), sink);
    } catch (const Failure&) {
        // Start-up swallows picture failures and goes on from where it stopped.
    }
}

void ReadEverything(const uint8_t* data, std::size_t size) {
    // The first byte picks the program name, so the checksum exemption is reached too.
    const bool asUninstaller = size > 0 && (data[0] & 1);
    MemorySource source(Bytes(data, data + size));
    PayloadReader reader;
    try {
        reader.Open(source, asUninstaller ? "C:\\App\\UNINSTALL.EXE" : "C:\\setup.exe");
        reader.SeekItemArea();
        CountingSink sink;
        for (const LeadingItem& item : kLeadingItems) {
            if (item.compressed) {
                InflateIfPresent(reader, item.key, sink);
            } else {
                reader.ReadLeadingItem(item, sink);
            }
        }
        reader.RecordFileDataStart();
        const int32_t count = ParseHeaderNumber(reader.Value(payload::kFileCountKey));
        for (int32_t n = 1; n <= count && n <= 4096; ++n) {
            const FileEntryText entry = SplitFileEntry(reader.Value(FileEntryKey(n)));
            reader.ReadFile(ParseHeaderNumber(entry.sizeText), sink);
        }
        reader.FinishFiles();
        reader.ReloadImage();
    } catch (const Failure&) {
        // Every refusal is a Failure; anything else escapes and is a finding.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ReadEverything(data, size);
    return 0;
}

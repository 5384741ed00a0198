// Reads arbitrary bytes the way the builder reads the files a user hands it: a
// stub's resource section, a setup icon, version information. Must never
// crash, hang or take memory beyond the input's size, whatever the bytes.
// The first byte picks the reader; the rest is its input (for the resource
// reader, the content of a program's one and last section).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/failure.h"
#include "common/little_endian.h"
#include "identity_resources.h"
#include "pe_resources.h"

namespace {

using namespace velmoran;
using namespace velmoran::builder;

void Require(bool condition) {
    if (!condition) std::abort();
}

constexpr std::size_t kHeaders = 0x200, kOptional = 0x40 + 24;
constexpr uint32_t kSectionRva = 0x1000;

// The smallest 64-bit program whose one section holds `section` as its resources.
Bytes ProgramAround(const Bytes& section) {
    Bytes program(kHeaders + section.size(), 0);
    std::copy(section.begin(), section.end(), program.begin() + kHeaders);
    program[0] = 'M', program[1] = 'Z';
    Store32(program, 0x3C, 0x40);
    Store32(program, 0x40, 0x00004550);
    Store16(program, 0x40 + 4, 0x8664);
    Store16(program, 0x40 + 6, 1);       // sections
    Store16(program, 0x40 + 20, 240);    // optional header size
    Store16(program, kOptional, 0x20B);
    Store32(program, kOptional + 32, 0x1000);  // section alignment
    Store32(program, kOptional + 36, 0x200);   // file alignment
    Store32(program, kOptional + 108, 16);     // data directories
    Store32(program, kOptional + 112 + 16, kSectionRva);
    Store32(program, kOptional + 112 + 20, static_cast<uint32_t>(section.size()));
    const std::size_t header = kOptional + 240;
    Store32(program, header + 8, static_cast<uint32_t>(section.size()));
    Store32(program, header + 12, kSectionRva);
    Store32(program, header + 16, static_cast<uint32_t>(section.size()));
    Store32(program, header + 20, kHeaders);
    return program;
}

void ReadResources(const Bytes& section) {
    const PeResources resources(ProgramAround(section));
    std::size_t total = 0;
    for (const Resource& entry : resources.Entries()) total += entry.data.size();
    Require(total <= section.size());
    resources.Write();
}

void ReadIcon(const Bytes& ico) {
    std::size_t total = 0;
    for (const IconImage& image : ParseIconFile(ico)) total += image.data.size();
    Require(total <= ico.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Bytes input(data + 1, data + size);
    try {
        switch (data[0] % 3) {
            case 0: ReadResources(input); break;
            case 1: ReadIcon(input); break;
            default: ReadVersionStrings(input); break;
        }
    } catch (const Failure&) {
        // A refusal with a reason is the expected outcome for most inputs.
    }
    return 0;
}

#pragma once
// The resource section of a Windows program, read into a plain list and written
// back whole: how the builder gives each installer its application's icon and
// version. Only a program whose resource section is its last section can be
// rewritten (nothing else moves); the stub is linked that way.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/byte_io.h"

namespace velmoran::builder {

inline constexpr uint16_t kResourceIcon = 3, kResourceGroupIcon = 14, kResourceVersion = 16, kResourceManifest = 24;

// A type or name: a number, or a UTF-16 name when `name` is not empty.
struct ResourceKey {
    uint16_t id = 0;
    std::u16string name;
    bool operator==(const ResourceKey& other) const { return id == other.id && name == other.name; }
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    uint16_t language = 0;
    Bytes data;
};

class PeResources {
public:
    // Reads the program's resources. Throws Failure with the reason when the
    // bytes are not a program this can rewrite.
    explicit PeResources(Bytes program);

    // True when the bytes begin like a Windows program (MZ and PE headers).
    static bool LooksLikeProgram(const Bytes& bytes);

    std::vector<Resource>& Entries() { return entries_; }
    const std::vector<Resource>& Entries() const { return entries_; }
    const Resource* Find(uint16_t type, uint16_t name) const;

    // The program with its resource section rebuilt from Entries(), the section
    // table, image size, resource directory and PE checksum brought up to date.
    Bytes Write() const;

private:
    void ReadTree(std::size_t directoryOffset, int level, Resource path);

    Bytes program_;
    std::size_t optionalHeader_ = 0, sectionHeader_ = 0, dataDirectories_ = 0;  // file offsets
    uint16_t sectionCount_ = 0;
    uint32_t sectionRva_ = 0, sectionFileOffset_ = 0, sectionSize_ = 0;
    std::vector<Resource> entries_;
    std::set<std::size_t> visited_;  // directories read, by offset
    uint64_t dataBytes_ = 0;
};

// The standard PE image checksum of `file`, whose checksum field is at `checksumField`.
uint32_t PeChecksum(const Bytes& file, std::size_t checksumField);

}  // namespace velmoran::builder

#include "pe_resources.h"

#include <algorithm>
#include <map>

#include "common/failure.h"
#include "common/little_endian.h"
#include "payload/pe_layout.h"

namespace velmoran::builder {
namespace {

// Numbers read from the program, whose offsets come from the program itself.
uint16_t Get16(const Bytes& b, std::size_t at) {
    if (at + 2 > b.size()) throw Failure("its headers are cut short");
    return Load16(&b[at]);
}
uint32_t Get32(const Bytes& b, std::size_t at) {
    if (at + 4 > b.size()) throw Failure("its headers are cut short");
    return Load32(&b[at]);
}
uint32_t AlignUp(uint32_t value, uint32_t alignment) { return alignment ? (value + alignment - 1) / alignment * alignment : value; }

constexpr uint32_t kResourceDirectory = 2;
constexpr std::size_t kSectionHeaderSize = 40;

// Offsets in the optional header shared by PE32 and PE32+ (data directories differ).
constexpr std::size_t kSectionAlignment = 32, kFileAlignment = 36, kSizeOfImage = 56, kCheckSum = 64;

}  // namespace

bool PeResources::LooksLikeProgram(const Bytes& bytes) {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
    const std::size_t pe = Load32(bytes.data() + 0x3C);
    return pe + 4 <= bytes.size() && bytes[pe] == 'P' && bytes[pe + 1] == 'E' && bytes[pe + 2] == 0 && bytes[pe + 3] == 0;
}

PeResources::PeResources(Bytes program) : program_(std::move(program)) {
    if (!LooksLikeProgram(program_)) throw Failure("not a Windows program");
    const auto headers = payload::ReadPeHeaders(program_.data(), program_.size());
    if (!headers) throw Failure("its headers are cut short");
    const uint16_t sections = sectionCount_ = headers->sectionCount;
    optionalHeader_ = headers->optionalHeader;
    sectionHeader_ = headers->sectionTable;
    dataDirectories_ = headers->dataDirectories;
    if (headers->magic != 0x10B && headers->magic != 0x20B) throw Failure("not a Windows program (unknown optional header)");
    const uint32_t resourceRva = Get32(program_, dataDirectories_ + 8 * kResourceDirectory);
    if (sections == 0 || resourceRva == 0) throw Failure("it has no resources to rewrite");

    // The resource section must be the last, both in the file and in memory.
    const std::size_t last = sectionHeader_ + (sections - 1u) * kSectionHeaderSize;
    for (uint16_t i = 0; i < sections; ++i) {
        const std::size_t header = sectionHeader_ + i * kSectionHeaderSize;
        const uint32_t rva = Get32(program_, header + 12), rawSize = Get32(program_, header + 16),
                       raw = Get32(program_, header + 20);
        const bool holdsResources = resourceRva >= rva && resourceRva < rva + std::max(rawSize, Get32(program_, header + 8));
        if (holdsResources && header != last)
            throw Failure("its resource section is not its last section, so it cannot be rebuilt in place");
        if (header == last) {
            if (!holdsResources) throw Failure("its resource section is not its last section, so it cannot be rebuilt in place");
            if (raw + static_cast<uint64_t>(rawSize) > program_.size()) throw Failure("its resource section is cut short");
            if (raw + static_cast<uint64_t>(rawSize) < program_.size())
                throw Failure("it has data after its last section (is it signed, or an installer already?)");
            sectionRva_ = rva;
            sectionFileOffset_ = raw;
            sectionSize_ = rawSize;
        }
    }
    if (resourceRva != sectionRva_) throw Failure("its resource directory does not open its section");
    ReadTree(0, 0, Resource{});
}

// Three levels: type, name, language; then a data entry. The tree comes from a
// file anybody may hand the tool: each directory is read once (directories
// reached twice could multiply the entries without end), every entry lies in
// the section, and all the data together fits in it.
void PeResources::ReadTree(std::size_t directoryOffset, int level, Resource path) {
    if (level > 2) throw Failure("its resource tree is deeper than three levels");
    if (!visited_.insert(directoryOffset).second) throw Failure("its resource tree reaches a directory twice");
    const std::size_t directory = sectionFileOffset_ + directoryOffset;
    const std::size_t count = static_cast<std::size_t>(Get16(program_, directory + 12)) + Get16(program_, directory + 14);
    if (directoryOffset + 16 + 8 * static_cast<uint64_t>(count) > sectionSize_)
        throw Failure("its resource directory runs past its section");
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = directory + 16 + i * 8;
        const uint32_t nameField = Get32(program_, entry), target = Get32(program_, entry + 4);
        ResourceKey key;
        if (nameField & 0x80000000u) {
            const std::size_t at = sectionFileOffset_ + (nameField & 0x7FFFFFFFu);
            const uint16_t length = Get16(program_, at);
            if ((nameField & 0x7FFFFFFFu) + 2 + 2ull * length > sectionSize_) throw Failure("a resource name runs past its section");
            for (uint16_t c = 0; c < length; ++c) key.name += static_cast<char16_t>(Get16(program_, at + 2 + 2u * c));
        } else {
            key.id = static_cast<uint16_t>(nameField);
        }
        Resource next = path;
        if (level == 0) next.type = key;
        if (level == 1) next.name = key;
        if (level == 2) next.language = key.id;
        if (target & 0x80000000u) {
            if (level == 2) throw Failure("its resource tree is deeper than three levels");
            ReadTree(target & 0x7FFFFFFFu, level + 1, next);
            continue;
        }
        if (level != 2) throw Failure("its resource tree is not type, name, language");
        const std::size_t data = sectionFileOffset_ + target;
        const uint32_t rva = Get32(program_, data), size = Get32(program_, data + 4);
        const uint64_t at = static_cast<uint64_t>(rva) - sectionRva_ + sectionFileOffset_;
        if (rva < sectionRva_ || at + size > static_cast<uint64_t>(sectionFileOffset_) + sectionSize_)
            throw Failure("a resource lies outside its section");
        dataBytes_ += size;
        if (dataBytes_ > sectionSize_) throw Failure("its resources add up to more than their section holds");
        next.data.assign(program_.begin() + static_cast<long>(at), program_.begin() + static_cast<long>(at + size));
        entries_.push_back(std::move(next));
    }
}

const Resource* PeResources::Find(uint16_t type, uint16_t name) const {
    for (const Resource& entry : entries_)
        if (entry.type.name.empty() && entry.type.id == type && entry.name.name.empty() && entry.name.id == name) return &entry;
    return nullptr;
}

namespace {

// Windows' order: named entries first (by name), then numbered ones (by number).
bool KeyBefore(const ResourceKey& a, const ResourceKey& b) {
    if (a.name.empty() != b.name.empty()) return !a.name.empty();
    return a.name.empty() ? a.id < b.id : a.name < b.name;
}

// Lays out the tree as Windows reads it: the directories, then the names, the
// data entries and the data, each aligned.
class TreeWriter {
public:
    explicit TreeWriter(std::vector<const Resource*> entries) : entries_(std::move(entries)) {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Resource* a, const Resource* b) {
            if (!(a->type == b->type)) return KeyBefore(a->type, b->type);
            if (!(a->name == b->name)) return KeyBefore(a->name, b->name);
            return a->language < b->language;
        });
    }

    Bytes Write(uint32_t sectionRva) {
        // The sizes first: directories, then the names, data entries, data.
        std::size_t directories = 0;
        ForEachDirectory([&](std::size_t children) { directories += 16 + 8 * children; });
        std::size_t names = 0;
        for (const ResourceKey* key : NamedKeys()) names += 2 + 2 * key->name.size();
        const std::size_t dataEntries = AlignUp(static_cast<uint32_t>(directories + names), 4);
        std::size_t dataStart = AlignUp(static_cast<uint32_t>(dataEntries + 16 * entries_.size()), 8);

        Bytes out(dataStart, 0);
        std::map<const std::u16string*, uint32_t> nameOffsets;
        std::size_t nameAt = directories;
        for (const ResourceKey* key : NamedKeys()) {
            nameOffsets[&key->name] = static_cast<uint32_t>(nameAt);
            Store16(out, nameAt, static_cast<uint32_t>(key->name.size()));
            for (std::size_t c = 0; c < key->name.size(); ++c) Store16(out, nameAt + 2 + 2 * c, key->name[c]);
            nameAt += 2 + 2 * key->name.size();
        }
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const std::size_t entry = dataEntries + 16 * i;
            Store32(out, entry, static_cast<uint32_t>(sectionRva + out.size()));
            Store32(out, entry + 4, static_cast<uint32_t>(entries_[i]->data.size()));
            out.insert(out.end(), entries_[i]->data.begin(), entries_[i]->data.end());
            out.resize(AlignUp(static_cast<uint32_t>(out.size()), 8), 0);
        }

        // The directories, breadth by level: root, types, names.
        std::size_t next = 0;
        const auto directory = [&](std::size_t children) {
            const std::size_t at = next;
            next += 16 + 8 * children;
            return at;
        };
        const auto keyField = [&](const ResourceKey& key) {
            return key.name.empty() ? key.id : 0x80000000u | nameOffsets.at(&key.name);
        };
        const auto header = [&](std::size_t at, const std::vector<const ResourceKey*>& keys) {
            uint16_t named = 0;
            for (const ResourceKey* key : keys) named += !key->name.empty();
            Store16(out, at + 12, named);
            Store16(out, at + 14, static_cast<uint32_t>(keys.size() - named));
        };
        const auto typeOf = [](const Resource* r) { return &r->type; };
        const auto nameOf = [](const Resource* r) { return &r->name; };
        const auto types = Groups(0, entries_.size(), typeOf);
        const std::size_t root = directory(types.size());
        header(root, Keys(types, typeOf));
        std::vector<std::size_t> typeDirs;
        for (std::size_t t = 0; t < types.size(); ++t) {
            typeDirs.push_back(directory(Groups(types[t].first, types[t].second, nameOf).size()));
        }
        for (std::size_t t = 0; t < types.size(); ++t) {
            Store32(out, root + 16 + 8 * t, keyField(entries_[types[t].first]->type));
            Store32(out, root + 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(typeDirs[t]));
            const auto namesOfType = Groups(types[t].first, types[t].second, nameOf);
            header(typeDirs[t], Keys(namesOfType, nameOf));
            for (std::size_t n = 0; n < namesOfType.size(); ++n) {
                const auto [first, last] = namesOfType[n];
                const std::size_t languages = directory(last - first);
                Store32(out, typeDirs[t] + 16 + 8 * n, keyField(entries_[first]->name));
                Store32(out, typeDirs[t] + 16 + 8 * n + 4, 0x80000000u | static_cast<uint32_t>(languages));
                Store16(out, languages + 14, static_cast<uint32_t>(last - first));
                for (std::size_t l = first; l < last; ++l) {
                    Store32(out, languages + 16 + 8 * (l - first), entries_[l]->language);
                    Store32(out, languages + 16 + 8 * (l - first) + 4, static_cast<uint32_t>(dataEntries + 16 * l));
                }
            }
        }
        return out;
    }

private:
    using Range = std::pair<std::size_t, std::size_t>;

    template <typename KeyOf>
    std::vector<Range> Groups(std::size_t first, std::size_t last, KeyOf keyOf) const {
        std::vector<Range> groups;
        for (std::size_t i = first; i < last; ++i) {
            if (groups.empty() || !(*keyOf(entries_[i]) == *keyOf(entries_[groups.back().first])))
                groups.push_back({i, i});
            groups.back().second = i + 1;
        }
        return groups;
    }

    template <typename KeyOf>
    std::vector<const ResourceKey*> Keys(const std::vector<Range>& groups, KeyOf keyOf) const {
        std::vector<const ResourceKey*> keys;
        for (const Range& group : groups) keys.push_back(keyOf(entries_[group.first]));
        return keys;
    }

    template <typename Visit>
    void ForEachDirectory(Visit visit) const {
        const auto types = Groups(0, entries_.size(), [](const Resource* r) { return &r->type; });
        visit(types.size());
        for (const Range& type : types) {
            const auto names = Groups(type.first, type.second, [](const Resource* r) { return &r->name; });
            visit(names.size());
            for (const Range& name : names) visit(name.second - name.first);
        }
    }

    // Every key that is a name, once per place it is written.
    std::vector<const ResourceKey*> NamedKeys() const {
        std::vector<const ResourceKey*> keys;
        for (const Range& type : Groups(0, entries_.size(), [](const Resource* r) { return &r->type; })) {
            if (!entries_[type.first]->type.name.empty()) keys.push_back(&entries_[type.first]->type);
            for (const Range& name : Groups(type.first, type.second, [](const Resource* r) { return &r->name; }))
                if (!entries_[name.first]->name.name.empty()) keys.push_back(&entries_[name.first]->name);
        }
        return keys;
    }

    std::vector<const Resource*> entries_;
};

}  // namespace

Bytes PeResources::Write() const {
    std::vector<const Resource*> entries;
    for (const Resource& entry : entries_) entries.push_back(&entry);
    const Bytes section = TreeWriter(entries).Write(sectionRva_);

    Bytes out(program_.begin(), program_.begin() + sectionFileOffset_);
    const uint32_t fileAlignment = Get32(program_, optionalHeader_ + kFileAlignment);
    const uint32_t sectionAlignment = Get32(program_, optionalHeader_ + kSectionAlignment);
    out.insert(out.end(), section.begin(), section.end());
    out.resize(sectionFileOffset_ + AlignUp(static_cast<uint32_t>(section.size()), fileAlignment), 0);

    const std::size_t last = sectionHeader_ + (sectionCount_ - 1u) * kSectionHeaderSize;
    Store32(out, last + 8, static_cast<uint32_t>(section.size()));                        // VirtualSize
    Store32(out, last + 16, static_cast<uint32_t>(out.size() - sectionFileOffset_));      // SizeOfRawData
    Store32(out, optionalHeader_ + kSizeOfImage, AlignUp(sectionRva_ + static_cast<uint32_t>(section.size()), sectionAlignment));
    Store32(out, dataDirectories_ + 8 * kResourceDirectory + 4, static_cast<uint32_t>(section.size()));
    Store32(out, optionalHeader_ + kCheckSum, PeChecksum(out, optionalHeader_ + kCheckSum));
    return out;
}

uint32_t PeChecksum(const Bytes& file, std::size_t checksumField) {
    uint64_t sum = 0;
    for (std::size_t i = 0; i < file.size(); i += 2) {
        if (i == checksumField || i == checksumField + 2) continue;
        sum += file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size());
}

}  // namespace velmoran::builder

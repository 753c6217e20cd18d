#include "excel/cfb_reader.h"

#include <algorithm>
#include <cstring>

namespace korvanta::excel::detail {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntryBytes = 128;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

} // namespace

std::span<const std::uint8_t> CompoundFileReader::Sector(std::uint32_t index) const
{
    if (index >= sectorCount_) return {};
    const std::size_t size = std::size_t{1} << sectorShift_;
    const std::size_t offset = (static_cast<std::size_t>(index) + 1) << sectorShift_;
    // The last sector of a file cut short is read as far as it goes.
    return file_.subspan(offset, std::min(size, file_.size() - offset));
}

bool CompoundFileReader::Chain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::size_t limit,
                               std::vector<std::uint32_t>& sectors) const
{
    sectors.clear();
    // A chain can never be longer than the table, so the bound also ends loops.
    limit = std::min(limit, table.size());
    for (std::uint32_t cur = start; cur != kEndOfChain && sectors.size() < limit;) {
        if (cur >= table.size()) return false;
        sectors.push_back(cur);
        cur = table[cur];
    }
    return true;
}

CompoundFileReader::Status CompoundFileReader::Open(std::span<const std::uint8_t> file)
{
    file_ = file;
    if (file.size() < 512 || std::memcmp(file.data(), kCfbSignature, sizeof kCfbSignature) != 0) return Status::Corrupt;
    const std::uint8_t* h = file.data();
    if (Le16(h + 28) != 0xFFFE) return Status::Corrupt;
    sectorShift_ = Le16(h + 30);
    miniShift_ = Le16(h + 32);
    if ((sectorShift_ != 9 && sectorShift_ != 12) || miniShift_ != 6) return Status::Corrupt;
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    if (file.size() <= sectorSize) return Status::Corrupt;
    sectorCount_ = (file.size() - sectorSize + sectorSize - 1) / sectorSize;
    const std::size_t perSector = sectorSize / 4;

    const std::uint32_t fatCount = Le32(h + 44);
    const std::uint32_t firstDir = Le32(h + 48);
    miniCutoff_ = Le32(h + 56);
    const std::uint32_t firstMiniFat = Le32(h + 60);
    const std::uint32_t firstDifat = Le32(h + 68);
    if (fatCount > sectorCount_) return Status::Corrupt;

    // The FAT's own sectors: 109 listed in the header, the rest in DIFAT sectors.
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatCount);
    for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(Le32(h + 76 + 4 * i));
    std::uint32_t difat = firstDifat;
    for (std::size_t hops = 0; fatSectors.size() < fatCount; ++hops) {
        if (difat == kEndOfChain || difat == kFreeSect || hops >= sectorCount_) return Status::Corrupt;
        const auto s = Sector(difat);
        if (s.size() != sectorSize) return Status::Corrupt;
        for (std::size_t i = 0; i + 1 < perSector && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(Le32(s.data() + 4 * i));
        difat = Le32(s.data() + 4 * (perSector - 1));
    }
    fat_.clear();
    fat_.reserve(fatSectors.size() * perSector);
    for (std::uint32_t index : fatSectors) {
        const auto s = Sector(index);
        if (s.size() != sectorSize) return Status::Corrupt;
        for (std::size_t i = 0; i < perSector; ++i) fat_.push_back(Le32(s.data() + 4 * i));
    }

    std::vector<std::uint32_t> sectors;
    if (!Chain(fat_, firstDir, sectorCount_, sectors) || sectors.empty()) return Status::Corrupt;
    entries_.clear();
    for (std::uint32_t index : sectors) {
        const auto s = Sector(index);
        if (s.size() != sectorSize) return Status::Corrupt;
        for (std::size_t off = 0; off + kEntryBytes <= s.size(); off += kEntryBytes) {
            const std::uint8_t* e = s.data() + off;
            Entry entry;
            const std::size_t nameBytes = std::min<std::size_t>(Le16(e + 64), 64);
            for (std::size_t i = 0; i + 2 < nameBytes; i += 2) entry.name.push_back(static_cast<char16_t>(Le16(e + i)));
            entry.type = e[66];
            entry.left = Le32(e + 68);
            entry.right = Le32(e + 72);
            entry.child = Le32(e + 76);
            entry.start = Le32(e + 116);
            // Version 3 files may leave garbage in the high half of the size.
            entry.size = sectorShift_ == 9 ? Le32(e + 120) : Le64(e + 120);
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != kTypeRoot) return Status::Corrupt;

    // The mini FAT and mini stream are only needed for streams below the
    // cutoff; a broken one fails just those reads.
    miniFat_.clear();
    miniStream_.clear();
    if (firstMiniFat != kEndOfChain && Chain(fat_, firstMiniFat, sectorCount_, sectors)) {
        for (std::uint32_t index : sectors) {
            const auto s = Sector(index);
            for (std::size_t i = 0; i + 4 <= s.size(); i += 4) miniFat_.push_back(Le32(s.data() + i));
        }
        Bytes storage;
        std::span<const std::uint8_t> view;
        if (ReadChain(entries_[0].start, entries_[0].size, storage, view)) miniStream_.assign(view.begin(), view.end());
    }
    return Status::Ok;
}

bool CompoundFileReader::ReadChain(std::uint32_t start, std::uint64_t size, Bytes& storage,
                                   std::span<const std::uint8_t>& out) const
{
    storage.clear();
    out = {};
    if (size > file_.size()) return false;
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    const auto bytes = static_cast<std::size_t>(size);
    const std::size_t needed = (bytes + sectorSize - 1) / sectorSize;
    std::vector<std::uint32_t> sectors;
    if (!Chain(fat_, start, needed, sectors) || sectors.size() < needed) return false;
    if (needed == 0) return true;

    bool consecutive = true;
    for (std::size_t i = 1; i < sectors.size() && consecutive; ++i) consecutive = sectors[i] == sectors[0] + i;
    const std::size_t offset = (static_cast<std::size_t>(sectors[0]) + 1) << sectorShift_;
    if (consecutive && sectors[0] < sectorCount_ && offset + bytes <= file_.size()) {
        out = file_.subspan(offset, bytes);
        return true;
    }
    storage.reserve(bytes);
    for (std::uint32_t index : sectors) {
        const auto s = Sector(index);
        const std::size_t want = std::min(sectorSize, bytes - storage.size());
        if (s.size() < want) return false;
        storage.insert(storage.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(want));
    }
    out = storage;
    return true;
}

std::optional<std::uint32_t> CompoundFileReader::FindStream(std::u16string_view name) const
{
    std::vector<bool> seen(entries_.size());
    std::vector<std::uint32_t> pending{entries_.empty() ? kNoStream : entries_[0].child};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entries_.size() || seen[id]) continue;
        seen[id] = true;
        const Entry& e = entries_[id];
        if (e.type == kTypeStream && SameName(e.name, name)) return id;
        pending.push_back(e.left);
        pending.push_back(e.right);
    }
    return std::nullopt;
}

CompoundFileReader::Status CompoundFileReader::ReadStream(std::uint32_t entry, Bytes& storage,
                                                          std::span<const std::uint8_t>& out) const
{
    storage.clear();
    out = {};
    if (entry >= entries_.size()) return Status::Corrupt;
    const Entry& e = entries_[entry];
    if (e.size >= miniCutoff_) return ReadChain(e.start, e.size, storage, out) ? Status::Ok : Status::Corrupt;

    const std::size_t miniSize = std::size_t{1} << miniShift_;
    const std::size_t needed = static_cast<std::size_t>((e.size + miniSize - 1) / miniSize);
    std::vector<std::uint32_t> sectors;
    if (!Chain(miniFat_, e.start, needed, sectors) || sectors.size() < needed) return Status::Corrupt;
    storage.reserve(static_cast<std::size_t>(e.size));
    for (std::uint32_t index : sectors) {
        const std::size_t offset = static_cast<std::size_t>(index) * miniSize;
        const std::size_t take = std::min<std::size_t>(miniSize, static_cast<std::size_t>(e.size) - storage.size());
        if (offset + take > miniStream_.size()) return Status::Corrupt;
        storage.insert(storage.end(), miniStream_.begin() + static_cast<std::ptrdiff_t>(offset),
                       miniStream_.begin() + static_cast<std::ptrdiff_t>(offset + take));
    }
    out = storage;
    return Status::Ok;
}

} // namespace korvanta::excel::detail

#include "excel/cfb_writer.h"

#include "excel/cfb_reader.h"

#include <algorithm>

namespace korvanta::excel::detail {

namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kPerSector = kSector / 4;
constexpr std::size_t kHeaderDifat = 109;
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;

void PutEntry(Bytes& out, std::u16string_view name, std::uint8_t type, std::uint32_t child, std::uint32_t start,
              std::uint32_t size)
{
    const std::size_t at = out.size();
    out.resize(at + 128, 0);
    for (std::size_t i = 0; i < name.size(); ++i) Set16(out, at + 2 * i, name[i]);
    Set16(out, at + 64, name.empty() ? 0 : static_cast<unsigned>(2 * (name.size() + 1)));
    out[at + 66] = type;
    out[at + 67] = type == 0 ? 0 : 1; // black: a one-node tree needs no balancing
    Set32(out, at + 68, kFree);       // left sibling
    Set32(out, at + 72, kFree);       // right sibling
    Set32(out, at + 76, child);
    Set32(out, at + 116, start);
    Set32(out, at + 120, size);
}

} // namespace

Bytes BuildCompoundFile(std::u16string_view streamName, Bytes stream)
{
    if (stream.size() < kMiniCutoff) stream.resize(kMiniCutoff, 0);
    const std::size_t streamSectors = (stream.size() + kSector - 1) / kSector;

    // Grow the FAT (and the DIFAT that lists FAT sectors past 109) until it
    // covers every sector, its own included.
    std::size_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        const std::size_t total = streamSectors + 1 + fatSectors + difatSectors;
        const std::size_t needFat = (total + kPerSector - 1) / kPerSector;
        const std::size_t needDifat =
            needFat > kHeaderDifat ? (needFat - kHeaderDifat + kPerSector - 2) / (kPerSector - 1) : 0;
        if (needFat <= fatSectors && needDifat <= difatSectors) break;
        fatSectors = std::max(fatSectors, needFat);
        difatSectors = std::max(difatSectors, needDifat);
    }
    const auto dirSector = static_cast<std::uint32_t>(streamSectors);
    const std::uint32_t firstFat = dirSector + 1;
    const auto firstDifat = static_cast<std::uint32_t>(firstFat + fatSectors);
    const std::size_t totalSectors = firstDifat + difatSectors;

    Bytes out(kCfbSignature, kCfbSignature + 8);
    out.reserve(kSector * (totalSectors + 1));
    out.resize(24, 0);  // CLSID
    Put16(out, 0x003E); // minor version
    Put16(out, 0x0003); // major version 3
    Put16(out, 0xFFFE); // little-endian
    Put16(out, 9);      // 512-byte sectors
    Put16(out, 6);      // 64-byte mini sectors
    out.resize(out.size() + 6, 0);
    Put32(out, 0); // directory sectors: 0 in version 3
    Put32(out, static_cast<std::uint32_t>(fatSectors));
    Put32(out, dirSector);
    Put32(out, 0); // transaction signature
    Put32(out, kMiniCutoff);
    Put32(out, kEndOfChain); // no mini FAT
    Put32(out, 0);
    Put32(out, difatSectors ? firstDifat : kEndOfChain);
    Put32(out, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < kHeaderDifat; ++i)
        Put32(out, i < fatSectors ? static_cast<std::uint32_t>(firstFat + i) : kFree);

    out.insert(out.end(), stream.begin(), stream.end());
    out.resize(kSector * (1 + streamSectors), 0);

    PutEntry(out, u"Root Entry", 5, 1, kEndOfChain, 0);
    PutEntry(out, streamName, 2, kFree, 0, static_cast<std::uint32_t>(stream.size()));
    PutEntry(out, {}, 0, kFree, 0, 0);
    PutEntry(out, {}, 0, kFree, 0, 0);

    std::vector<std::uint32_t> fat(fatSectors * kPerSector, kFree);
    for (std::size_t i = 0; i < streamSectors; ++i)
        fat[i] = i + 1 < streamSectors ? static_cast<std::uint32_t>(i + 1) : kEndOfChain;
    fat[dirSector] = kEndOfChain;
    for (std::size_t i = 0; i < fatSectors; ++i) fat[firstFat + i] = kFatSect;
    for (std::size_t i = 0; i < difatSectors; ++i) fat[firstDifat + i] = kDifSect;
    for (std::uint32_t entry : fat) Put32(out, entry);

    for (std::size_t d = 0; d < difatSectors; ++d) {
        for (std::size_t i = 0; i + 1 < kPerSector; ++i) {
            const std::size_t fatIndex = kHeaderDifat + d * (kPerSector - 1) + i;
            Put32(out, fatIndex < fatSectors ? static_cast<std::uint32_t>(firstFat + fatIndex) : kFree);
        }
        Put32(out, d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : kEndOfChain);
    }
    return out;
}

} // namespace korvanta::excel::detail

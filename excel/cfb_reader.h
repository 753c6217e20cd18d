// Reader of the Compound File Binary container that holds a .xls workbook
// (and an encrypted .xlsx). It reads from a buffer holding the whole file and
// checks every sector number, chain and size against it, so a hostile file
// ends in Corrupt rather than a crash or an endless loop.
#pragma once

#include "excel/bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::excel::detail {

inline constexpr std::uint8_t kCfbSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class CompoundFileReader {
public:
    enum class Status { Ok, Corrupt };

    // The buffer must outlive the reader.
    Status Open(std::span<const std::uint8_t> file);

    // A stream directly below the root storage, by name (ASCII case ignored,
    // as the container compares names).
    std::optional<std::uint32_t> FindStream(std::u16string_view name) const;

    // A stream's bytes, in out; Corrupt when its chain is broken or shorter
    // than its size. A stream stored in consecutive sectors (as writers
    // usually store it) is a view into the file; any other is copied into
    // storage, which out then views.
    Status ReadStream(std::uint32_t entry, Bytes& storage, std::span<const std::uint8_t>& out) const;

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    bool Chain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::size_t limit,
               std::vector<std::uint32_t>& sectors) const;
    bool ReadChain(std::uint32_t start, std::uint64_t size, Bytes& storage, std::span<const std::uint8_t>& out) const;
    std::span<const std::uint8_t> Sector(std::uint32_t index) const;

    std::span<const std::uint8_t> file_;
    std::uint32_t sectorShift_ = 9;
    std::uint32_t miniShift_ = 6;
    std::uint32_t miniCutoff_ = 4096;
    std::size_t sectorCount_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    Bytes miniStream_;
};

} // namespace korvanta::excel::detail

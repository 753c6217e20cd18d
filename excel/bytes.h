// Little-endian integers and doubles in byte buffers, as both binary formats
// (the compound file and BIFF8) store them. Readers check bounds before
// calling these; writers append.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvanta::excel::detail {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Le64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
inline double LeDouble(const std::uint8_t* p) { return std::bit_cast<double>(Le64(p)); }

inline void Put8(Bytes& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }
inline void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}
inline void PutDouble(Bytes& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Put32(out, static_cast<std::uint32_t>(bits));
    Put32(out, static_cast<std::uint32_t>(bits >> 32));
}
inline void Set16(Bytes& out, std::size_t at, unsigned value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void Set32(Bytes& out, std::size_t at, std::uint32_t value)
{
    Set16(out, at, value & 0xFFFFu);
    Set16(out, at + 2, value >> 16);
}

} // namespace korvanta::excel::detail

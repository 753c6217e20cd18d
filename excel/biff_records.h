// Record ids and fixed values of the BIFF8 workbook stream (.xls) that the
// import reads: one list for the sheet listing and the cell reader.
#pragma once

#include "excel/bytes.h"

#include <cstdint>

namespace korvanta::excel::detail::biff {

enum RecordId : std::uint16_t {
    kBof2 = 0x0009, // beginning of a BIFF2 stream
    kFormula = 0x0006,
    kEof = 0x000A,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kDimension = 0x0200,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kBof3 = 0x0209,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof4 = 0x0409,
    kBof = 0x0809,
};

inline constexpr std::uint16_t kBiff8 = 0x0600;
inline constexpr std::uint16_t kBiff5 = 0x0500;
inline constexpr std::uint16_t kGlobals = 0x0005;
inline constexpr std::uint16_t kWorksheet = 0x0010;
inline constexpr std::uint8_t kWorksheetType = 0x00; // BOUNDSHEET's sheet type

// A BOF record of any BIFF version at p (at least four bytes): how a bare
// BIFF stream, without a compound file around it, begins.
inline bool IsBofHeader(const std::uint8_t* p)
{
    const std::uint16_t id = Le16(p);
    const std::uint16_t length = Le16(p + 2);
    return (id == kBof2 || id == kBof3 || id == kBof4 || id == kBof) && length >= 4 && length <= 20;
}

} // namespace korvanta::excel::detail::biff

// One cell of the data grid as the tests see it: empty, a number, or text
// that is not a number (a lone "-" while the user is typing, "1..2" pasted).
#pragma once

#include "exact.h"
#include "numbertext.h"

#include <span>
#include <string_view>

namespace korvanta::stats {

struct CellValue {
    enum class Kind : unsigned char { Empty, NotANumber, Number };
    Kind kind = Kind::Empty;
    // The value at the precision it was typed with; the tests compute with it.
    ExactDecimal exact;
    // The value rounded to four places, halves to even (ranks and ties of the
    // detailed results are decided there).
    Fixed4 value;
    // The nearest double, converted once when the cell is read (plots).
    double number = 0.0;

    bool IsNumber() const { return kind == Kind::Number; }
};

// Converts a cell text once, when it is stored; the tests walk the converted
// values. A text that is not empty and does not convert is NotANumber.
CellValue ReadCell(std::string_view text);

using Column = std::span<const CellValue>;

} // namespace korvanta::stats

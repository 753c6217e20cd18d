// One cell of the data grid as the tests see it: empty, a number, or text
// that is not a number (a lone "-" while the user is typing, "1..2" pasted).
#pragma once

#include "numbertext.h"

#include <span>
#include <string_view>

namespace korvanta::stats {

struct CellValue {
    enum class Kind : unsigned char { Empty, NotANumber, Number };
    Kind kind = Kind::Empty;
    Fixed4 value;
    // value.toDouble(), converted once when the cell is read: the tests add
    // up squares of every row in double precision on every keystroke.
    double number = 0.0;

    bool isNumber() const { return kind == Kind::Number; }
};

// Converts a cell text once, when it is stored; the tests walk the converted
// values. A text that is not empty and does not convert is NotANumber.
CellValue ReadCell(std::string_view text);

using Column = std::span<const CellValue>;

} // namespace korvanta::stats

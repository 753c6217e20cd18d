#include "stats/cellvalue.h"

namespace korvanta::stats {

CellValue ReadCell(std::string_view text) {
    CellValue cell;
    if (text.empty()) return cell;
    if (const auto value = ParseFixed4(text)) {
        cell.kind = CellValue::Kind::Number;
        cell.value = *value;
        cell.number = value->toDouble();
    } else {
        cell.kind = CellValue::Kind::NotANumber;
    }
    return cell;
}

} // namespace korvanta::stats

#include "stats/cellvalue.h"

namespace korvanta::stats {

CellValue ReadCell(std::string_view text)
{
    CellValue cell;
    if (text.empty()) return cell;
    const auto exact = ParseExact(text);
    const auto value = ParseFixed4(text);
    const auto number = ParseDouble(text);
    if (exact && value && number) {
        cell.kind = CellValue::Kind::Number;
        cell.exact = *exact;
        cell.value = *value;
        cell.number = *number;
    } else {
        cell.kind = CellValue::Kind::NotANumber;
    }
    return cell;
}

} // namespace korvanta::stats

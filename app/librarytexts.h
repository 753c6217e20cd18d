// Texts made by the Qt-free libraries (the statistics' verdict words, the
// workbook readers' and writers' messages), shown in the interface's
// language. The libraries keep their Chinese texts; the window translates
// them here, at the edge, and judges nothing by the translated words.
#pragma once

#include "excel/workbook.h"

#include <QString>

#include <string_view>

namespace korvanta::ui {

// A library's text in the interface language; a text without a translation
// (a figure, "P < 0.05") as it is.
QString LibraryText(std::string_view text);

// The message of a failed read or write, for a box titled "提示".
QString ReadErrorText(excel::ReadError error);
QString WriteResultText(const excel::WriteResult& result);

} // namespace korvanta::ui

// The words of the Qt-free libraries' messages and verdicts, in the
// interface's language. The libraries answer with codes and their fields;
// each code is worded here once, in a switch that names every code, and the
// window judges nothing by the words.
#pragma once

#include "delimited/delimitedtext.h"
#include "excel/workbook.h"
#include "stats/verdict.h"

#include <QString>

namespace korvanta::ui {

// The message of a failed read or write, for a box titled "提示"; empty for
// None.
QString ReadErrorText(excel::ReadError error);
QString WriteErrorText(excel::WriteError error);
// Why a text (a file or a paste) could not be taken in, and where; the
// caller adds what was not done. Empty for None.
QString TextFaultText(const delimited::TextFault& fault);
// A failed read: a text file's own reason when it has one, else the
// reader's message.
QString ReadResultText(const excel::ReadResult& result);
// A failed write; a text too long for a cell is named by its place.
QString WriteResultText(const excel::WriteResult& result);

// A test's verdict: the significance band as it is, or its words; empty for
// None. The heading shown before every verdict.
QString VerdictText(stats::Verdict verdict);
QString VerdictHeading();

} // namespace korvanta::ui

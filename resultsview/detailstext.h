// The words and numbers of the "详细结果" window: the detailed figures of a
// test laid out as headed lines of label and value, and the short
// journal-style sentence the copy button leads with. Kept apart from the
// widget so the texts can be checked without a window.
#pragma once

#include "stats/detailed.h"

#include <QString>

#include <vector>

namespace korvanta::ui::details {

struct Line {
    enum class Kind { Heading, Figure, Note };
    Kind kind = Kind::Figure;
    QString label;
    QString value;
};

struct Report {
    QString title; // the test's name
    std::vector<Line> lines;
    QString sentence; // "t = 2.236，ν = 18，P = 0.038；均数差 −2.00（95%CI：−3.88 ~ −0.12）"
};

// The names the user gave the two groups (the grid's two columns) in the
// details window; an empty name keeps the usual wording ("X1 − X2", "第1列").
struct GroupNames {
    QString first;
    QString second;
    bool Given() const { return !first.isEmpty() || !second.isEmpty(); }
};

// The default names, as the grid's column headings read.
QString DefaultGroupName(int group);
// A name as shown: the given one, or the default.
QString GroupName(const GroupNames& names, int group);

// The report of the test.
Report BuildReport(stats::TestMode mode, const stats::DetailsInput& input, const GroupNames& names = {});

// The report as plain text: the title, then one line per heading, figure
// ("label<TAB>value") and note.
QString PlainTable(const Report& report);

// Display forms, with the minus sign U+2212.
// P: "< 0.001" below 0.001, otherwise three decimals; the words when absent.
QString PValue(const stats::Figure& p);
// "P < 0.001" or "P = 0.038".
QString PPhrase(const stats::Figure& p);
// An estimate with as many decimals as its size needs: two from 1 upward,
// three significant digits below (at most six decimals).
int DecimalsFor(double estimate);
QString Number(double value, int decimals);
// Why a figure has no value, in words: "无法计算（有零格）".
QString WhyText(stats::Why why);

} // namespace korvanta::ui::details

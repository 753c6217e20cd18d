// The words of the section "样本量与检验效能": the size needed, the power of
// the present data and the method, as the panel shows them and as lines for
// the copy and the report; and the power curve's plot data. Kept apart from
// the widget so the texts can be checked without a window.
#pragma once

#include "resultsview/detailstext.h"
#include "resultsview/plotdata.h"
#include "stats/power.h"

#include <QString>

#include <utility>
#include <vector>

namespace korvanta::ui::power {

struct Texts {
    QString required;          // "每组 64 例，共 128 例" or why none can be given
    QString requiredCorrected; // four-fold tables: with Fleiss' correction
    QString achieved;          // "0.185（现有每组 10 例）"
    QString method;            // the method in a few words
};

// present: the data's sizes (the effect's n1 and n2).
Texts Describe(stats::power::Test test, const stats::power::Plan& plan, const stats::power::Effect& present);

// The section as headed lines: the level, the target, the effect as the
// user sees it (caption and text), the size, the power and the method.
std::vector<details::Line> Lines(stats::power::Test test, const stats::power::Plan& plan,
                                 const stats::power::Effect& present,
                                 const std::vector<std::pair<QString, QString>>& effect);

// The power curve; nothing when the plan has none.
plot::PlotData Curve(stats::power::Test test, const stats::power::Plan& plan, const stats::power::Effect& present);

} // namespace korvanta::ui::power

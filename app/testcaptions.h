// What the window calls each of the five tests.
#pragma once

#include "stats/testmode.h"

#include <QString>

namespace korvanta::ui {

using stats::TestMode;

// The test button's caption, e.g. "配对资料t检验".
QString TestCaption(TestMode mode);
// Label1's caption while the test is selected: the caption, with the entry
// hint of the tests on raw data.
QString TestHint(TestMode mode);

} // namespace korvanta::ui

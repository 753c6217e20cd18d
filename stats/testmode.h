// The five tests a user can pick. The current one is held as this value;
// Label1 shows its caption with the entry hint of the tests on raw data.
#pragma once

#include <QString>

namespace korvanta::ui {

enum class TestMode { TwoSample = 0, PairedT = 1, Correlation = 2, FourFold = 3, PairedChiSquare = 4 };

inline constexpr int kTestCount = 5;

inline TestMode testModeFromIndex(int index) { return static_cast<TestMode>(index); }
inline int testModeIndex(TestMode mode) { return static_cast<int>(mode); }

// The tests on the 2x2 table rather than on the grid's columns.
inline bool usesTable(TestMode mode) { return mode == TestMode::FourFold || mode == TestMode::PairedChiSquare; }

// The test button's caption, e.g. "配对资料t检验".
QString testCaption(TestMode mode);
// Label1's caption while the test is selected.
QString testHint(TestMode mode);

} // namespace korvanta::ui

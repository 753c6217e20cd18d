// The five tests, by the data they read: three on two columns of values, two
// on a 2x2 table of counts. Every layer that switches on the test takes this.
#pragma once

namespace korvanta::stats {

enum class TestMode { TwoSample = 0, PairedT = 1, Correlation = 2, FourFold = 3, PairedChiSquare = 4 };

inline constexpr int kTestCount = 5;

// The test at a position 0..kTestCount-1 (the order of the test buttons), and
// a test's position.
inline TestMode TestModeFromIndex(int index) { return static_cast<TestMode>(index); }
inline int TestModeIndex(TestMode mode) { return static_cast<int>(mode); }

// The tests on the 2x2 table rather than on the grid's columns.
inline bool UsesTable(TestMode mode) { return mode == TestMode::FourFold || mode == TestMode::PairedChiSquare; }

} // namespace korvanta::stats

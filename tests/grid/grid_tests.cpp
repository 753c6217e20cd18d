// The grid's model without widgets: cell cleaning, the store and its scroll
// window, and keyboard navigation decisions.
#include "grid/cellcleaning.h"
#include "grid/gridstore.h"
#include "grid/gridwindow.h"
#include "grid/navigation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace korvanta::grid {
namespace {

struct CleaningCase {
    const char* typed;
    const char* kept;
};

class CellCleaning : public ::testing::TestWithParam<CleaningCase> {};

TEST_P(CellCleaning, KeepsWhatCanEndANumber) { EXPECT_EQ(CleanCellText(GetParam().typed), GetParam().kept); }

INSTANTIATE_TEST_SUITE_P(
    Typed, CellCleaning,
    ::testing::Values(CleaningCase{"12.5", "12.5"}, CleaningCase{"12a", "12"}, CleaningCase{"12 ", "12"},
                      CleaningCase{"12+", "12"}, CleaningCase{"12,", "12"}, CleaningCase{"12/", "12"},
                      CleaningCase{"12:", "12"}, CleaningCase{"12中", "12"}, CleaningCase{"1２", "12"},
                      CleaningCase{"１２．５", "12.5"}, CleaningCase{"－３", "-3"}, CleaningCase{"＋", ""},
                      CleaningCase{"１＋", "1"}, CleaningCase{"０。５", "0.5"}, CleaningCase{"１２－", "12-"},
                      CleaningCase{"＋７", "+7"}, CleaningCase{"１２，", "12"}, CleaningCase{"\xEF\xBC", ""},
                      CleaningCase{"3。", "3."}, CleaningCase{"1。5", "1.5"}, CleaningCase{"5-", "5-"},
                      CleaningCase{"-", "-"}, CleaningCase{".", "."}, CleaningCase{"abc", ""},
                      CleaningCase{"1a2", "1a2"}, CleaningCase{"12 a,/", "12"}, CleaningCase{"", ""},
                      CleaningCase{"7\xff", "7"}, CleaningCase{"\xe4\xb8", ""}, CleaningCase{"9\xe2\x80", "9"},
                      CleaningCase{"1e5", "1e5"}, CleaningCase{"1e", "1"}));

// A window of plain strings. As in the real panel, showing an item only
// shows it; typing cleans the text and stores it explicitly.
class FakeWindow : public GridView {
public:
    explicit FakeWindow(GridStore& store) : store_(store) {}

    void AssignCell(Column column, int row, const std::string& text) override
    {
        std::string& cell = cells[column == Column::First ? 0 : 1][static_cast<std::size_t>(row)];
        if (cell == text) return;
        cell = text;
        ++changes;
    }
    void AssignRowNumber(int row, const std::string& text) override { numbers[static_cast<std::size_t>(row)] = text; }
    void ShowScrollState(int value, int maximum, bool enabled) override
    {
        shownValue = value;
        shownMaximum = maximum;
        shownEnabled = enabled;
    }
    void Type(Column column, int row, const std::string& text)
    {
        AssignCell(column, row, text);
        StoreCell(store_, column, row, CleanCellText(text));
    }

    std::array<std::array<std::string, kVisibleRows>, 2> cells;
    std::array<std::string, kVisibleRows> numbers;
    int shownValue = -1, shownMaximum = -1;
    bool shownEnabled = true;
    int changes = 0;

private:
    GridStore& store_;
};

class GridWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGrid(store, window); }

    GridStore store;
    FakeWindow window{store};
};

TEST_F(GridWindowTest, FreshGridShowsNineEmptyRowsThatCannotScroll)
{
    EXPECT_EQ(store.RowCount(), 9);
    EXPECT_EQ(store.Count(Column::Second), 9);
    EXPECT_EQ(window.numbers.front(), "1");
    EXPECT_EQ(window.numbers.back(), "9");
    EXPECT_EQ(window.shownMaximum, 0);
    EXPECT_FALSE(window.shownEnabled);
}

TEST_F(GridWindowTest, AppendAtTheEndMovesTheWindowOntoTheNewRow)
{
    window.Type(Column::First, 0, "4");
    ASSERT_TRUE(AppendRow(store, window));
    EXPECT_EQ(store.RowCount(), 10);
    EXPECT_EQ(store.Maximum(), 1);
    EXPECT_EQ(store.Offset(), 1);
    EXPECT_TRUE(window.shownEnabled);
    EXPECT_EQ(window.numbers.front(), "2");
    EXPECT_EQ(window.numbers.back(), "10");
    EXPECT_EQ(window.cells[0].back(), "");

    ScrollTo(store, window, 0);
    EXPECT_EQ(window.cells[0].front(), "4");
    EXPECT_EQ(window.numbers.front(), "1");
}

TEST_F(GridWindowTest, TypingAfterScrollingStoresAtOffsetPlusRow)
{
    for (int k = 0; k < 6; ++k) AppendRow(store, window);
    ScrollTo(store, window, 3);
    ASSERT_EQ(window.numbers.back(), "12");
    window.Type(Column::Second, 8, "7.5");
    EXPECT_EQ(store.Item(Column::Second, 11), "7.5");
    EXPECT_EQ(store.Item(Column::First, 11), "");
}

TEST_F(GridWindowTest, RefreshShowsTheStoreWithoutWritingBack)
{
    store.SetItem(Column::First, 0, "12a"); // as an import may leave it
    RefreshGrid(store, window);
    EXPECT_EQ(window.cells[0][0], "12a");
    EXPECT_EQ(store.Item(Column::First, 0), "12a");
    // A refresh leaves nothing behind that would stop the next edit.
    window.Type(Column::First, 1, "5b");
    EXPECT_EQ(store.Item(Column::First, 1), "5");
}

TEST_F(GridWindowTest, ScrollingNeverLeavesTheStore)
{
    AppendRow(store, window);
    ScrollDown(store, window);
    EXPECT_EQ(store.Offset(), 1);
    ScrollTo(store, window, 50);
    EXPECT_EQ(store.Offset(), 1);
    ScrollUp(store, window);
    ScrollUp(store, window);
    EXPECT_EQ(store.Offset(), 0);
}

TEST_F(GridWindowTest, ResetAfterScrollingEmptiesEverything)
{
    window.Type(Column::First, 2, "3");
    for (int k = 0; k < 3; ++k) AppendRow(store, window);
    ResetGrid(store, window);
    EXPECT_EQ(store.RowCount(), 9);
    EXPECT_EQ(store.Offset(), 0);
    EXPECT_EQ(store.Maximum(), 0);
    EXPECT_FALSE(store.ScrollEnabled());
    for (const auto& column : window.cells)
        for (const auto& cell : column) EXPECT_EQ(cell, "");
    EXPECT_EQ(store.Item(Column::First, 2), "");
}

TEST_F(GridWindowTest, AppendsStopAtTheLastRowWithoutOverwriting)
{
    store.PadTo(kMaxRows - 1);
    store.SetMaximum(store.RowCount() - kVisibleRows);
    store.SetOffset(store.Maximum());
    store.SetItem(Column::First, kMaxRows - 2, "41");
    EXPECT_TRUE(AppendRow(store, window));
    EXPECT_EQ(store.RowCount(), kMaxRows);
    EXPECT_FALSE(AppendRow(store, window));
    EXPECT_EQ(store.RowCount(), kMaxRows);
    EXPECT_EQ(store.Offset(), kMaxRows - kVisibleRows);
    EXPECT_EQ(store.Item(Column::First, kMaxRows - 2), "41");
    EXPECT_FALSE(store.SetItem(Column::First, kMaxRows, "1"));
}

TEST(GridStoreTest, ValueTypedBelowAShortImportIsKept)
{
    GridStore store;
    store.Replace({"1", "2", "3"}, {"4", "5", "6"});
    ASSERT_TRUE(store.SetItem(Column::First, 6, "9"));
    EXPECT_EQ(store.Count(Column::First), 7);
    EXPECT_EQ(store.Count(Column::Second), 7);
    EXPECT_EQ(store.Item(Column::First, 6), "9");
    EXPECT_TRUE(store.Values(Column::First)[6].IsNumber());
    EXPECT_EQ(store.Values(Column::Second)[6].kind, stats::CellValue::Kind::Empty);
}

TEST(GridStoreTest, ConvertedValuesFollowTheirTexts)
{
    GridStore store;
    store.Replace({"1.5", "-", "", "abc"}, {});
    using Kind = stats::CellValue::Kind;
    const auto values = store.Values(Column::First);
    EXPECT_EQ(values[0].kind, Kind::Number);
    EXPECT_EQ(values[0].value.Units(), 15000);
    EXPECT_EQ(values[1].kind, Kind::NotANumber);
    EXPECT_EQ(values[2].kind, Kind::Empty);
    EXPECT_EQ(values[3].kind, Kind::NotANumber);
    store.SetItem(Column::First, 1, "-2");
    EXPECT_EQ(store.Values(Column::First)[1].value.Units(), -20000);
}

struct NavigationCase {
    const char* what;
    GridKey key;
    CellKind cell;
    int row, offset, maximum;
    NavigationStep::Kind expected;
    int target;
};

class Navigation : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(Navigation, DecidesByRowAndScrollState)
{
    const NavigationCase& c = GetParam();
    const NavigationStep step = Navigate(c.key, c.cell, c.row, c.offset, c.maximum);
    EXPECT_EQ(step.kind, c.expected) << c.what;
    if (c.expected == NavigationStep::Kind::MoveFocus) {
        EXPECT_EQ(step.targetRow, c.target) << c.what;
    }
    EXPECT_EQ(step.consumeKey, c.key == GridKey::Enter && c.cell == CellKind::Data) << c.what;
}

using K = NavigationStep::Kind;
INSTANTIATE_TEST_SUITE_P(
    Keys, Navigation,
    ::testing::Values(
        NavigationCase{"enter mid-column", GridKey::Enter, CellKind::Data, 3, 0, 0, K::MoveFocus, 4},
        NavigationCase{"enter at the bottom of a fresh grid", GridKey::Enter, CellKind::Data, 8, 0, 0, K::Append, -1},
        NavigationCase{"down at the bottom at the end", GridKey::Down, CellKind::Data, 8, 6, 6, K::Append, -1},
        NavigationCase{"enter at the bottom with rows below", GridKey::Enter, CellKind::Data, 8, 0, 6, K::ScrollDown,
                       -1},
        NavigationCase{"up at the top while scrolled", GridKey::Up, CellKind::Data, 0, 3, 6, K::ScrollUp, -1},
        NavigationCase{"up at the top of the store", GridKey::Up, CellKind::Data, 0, 0, 6, K::Nothing, -1},
        NavigationCase{"up mid-column", GridKey::Up, CellKind::Data, 5, 0, 0, K::MoveFocus, 4},
        NavigationCase{"row number down on a fresh grid", GridKey::Down, CellKind::RowNumber, 2, 0, 0, K::Nothing, -1},
        NavigationCase{"row number down with rows below", GridKey::Down, CellKind::RowNumber, 2, 0, 3, K::MoveFocus, 3},
        NavigationCase{"row number down at the bottom", GridKey::Down, CellKind::RowNumber, 8, 1, 3, K::ScrollDown, -1},
        NavigationCase{"row number down at the end never appends", GridKey::Down, CellKind::RowNumber, 8, 3, 3,
                       K::Nothing, -1},
        NavigationCase{"row number enter does nothing", GridKey::Enter, CellKind::RowNumber, 4, 0, 3, K::Nothing, -1},
        NavigationCase{"row number up while scrolled", GridKey::Up, CellKind::RowNumber, 0, 2, 3, K::ScrollUp, -1}));

struct PageCase {
    const char* what;
    PageKey key;
    int row, offset, maximum, lastRow;
    int expectedOffset, expectedFocusRow;
};

class Paging : public ::testing::TestWithParam<PageCase> {};

TEST_P(Paging, MovesTheWindowAndKeepsTheFocusInTheStore)
{
    const PageCase& c = GetParam();
    const PageStep step = Page(c.key, c.row, c.offset, c.maximum, c.lastRow);
    EXPECT_EQ(step.offset, c.expectedOffset) << c.what;
    EXPECT_EQ(step.focusRow, c.expectedFocusRow) << c.what;
}

// 100 rows: maximum 91, last row 99. 32,767 rows: maximum 32758.
INSTANTIATE_TEST_SUITE_P(
    Keys, Paging,
    ::testing::Values(PageCase{"page down mid-store keeps the row", PageKey::PageDown, 4, 10, 91, 99, 19, 4},
                      PageCase{"page down near the end stops at the last row", PageKey::PageDown, 2, 85, 91, 99, 91, 5},
                      PageCase{"page down at the end goes to the last row", PageKey::PageDown, 0, 91, 91, 99, 91, 8},
                      PageCase{"page down on a fresh grid goes to the bottom", PageKey::PageDown, 3, 0, 0, 8, 0, 8},
                      PageCase{"page down after a short import stops at its last row", PageKey::PageDown, 0, 0, 0, 4, 0,
                               4},
                      PageCase{"page up mid-store keeps the row", PageKey::PageUp, 6, 30, 91, 99, 21, 6},
                      PageCase{"page up near the start stops at row 1", PageKey::PageUp, 7, 4, 91, 99, 0, 2},
                      PageCase{"page up at the start goes to row 1", PageKey::PageUp, 5, 0, 91, 99, 0, 0},
                      PageCase{"ctrl+home from deep in the store", PageKey::FirstRow, 6, 32000, 32758, 32766, 0, 0},
                      PageCase{"ctrl+end from the top of a full store", PageKey::LastRow, 2, 0, 32758, 32766, 32758, 8},
                      PageCase{"ctrl+end on a fresh grid", PageKey::LastRow, 0, 0, 0, 8, 0, 8},
                      PageCase{"ctrl+end after a short import", PageKey::LastRow, 7, 0, 0, 2, 0, 2}));

struct WheelCase {
    const char* what;
    int offset, maximum, rows, expected;
};

class Wheel : public ::testing::TestWithParam<WheelCase> {};

TEST_P(Wheel, StaysWithinTheStore)
{
    const WheelCase& c = GetParam();
    EXPECT_EQ(WheelOffset(c.offset, c.maximum, c.rows), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Notches, Wheel,
                         ::testing::Values(WheelCase{"three rows down", 0, 91, 3, 3},
                                           WheelCase{"three rows up", 10, 91, -3, 7},
                                           WheelCase{"down past the end stops at the maximum", 90, 91, 6, 91},
                                           WheelCase{"up past the start stops at row 1", 2, 91, -3, 0},
                                           WheelCase{"nothing to scroll on a fresh grid", 0, 0, 3, 0}));

} // namespace
} // namespace korvanta::grid

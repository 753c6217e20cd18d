// How a pasted block lands in the grid's store, and what Ctrl+C copies.
#include "grid/pasteblock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvanta::grid {
namespace {

using delimited::ParseDelimitedText;

// ----- A block into the store -----

GridStore StoreWith(const std::vector<std::string>& first, const std::vector<std::string>& second)
{
    GridStore store;
    store.Replace(first, second);
    store.PadTo(kVisibleRows);
    return store;
}

std::vector<std::string> Items(const GridStore& store, Column column)
{
    const auto items = store.Items(column);
    return {items.begin(), items.end()};
}

TEST(PasteBlock, OneColumnGoesDownItsOwnColumnOnlyAndGrowsTheStore)
{
    GridStore store = StoreWith({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, {});
    const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText("10\n11\n12\n"), Column::Second, 7);
    EXPECT_EQ(outcome.problem, PasteProblem::None);
    EXPECT_EQ(outcome.rows, 3);
    EXPECT_FALSE(outcome.firstChanged);
    EXPECT_TRUE(outcome.secondChanged);
    EXPECT_EQ(Items(store, Column::First), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", ""}));
    EXPECT_EQ(Items(store, Column::Second), (std::vector<std::string>{"", "", "", "", "", "", "", "10", "11", "12"}));
}

TEST(PasteBlock, TwoColumnsFillBothFromTheRowOfTheFirstColumn)
{
    GridStore store = StoreWith({"a"}, {"b"});
    const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText("1\t2\n3\n"), Column::First, 1);
    EXPECT_TRUE(outcome.firstChanged && outcome.secondChanged);
    EXPECT_EQ(store.Item(Column::First, 0), "a");
    EXPECT_EQ(store.Item(Column::First, 1), "1");
    EXPECT_EQ(store.Item(Column::Second, 1), "2");
    EXPECT_EQ(store.Item(Column::First, 2), "3");
    // A short row blanks the other column's cell, as in a spreadsheet.
    EXPECT_EQ(store.Item(Column::Second, 2), "");
}

TEST(PasteBlock, FieldsAreCleanedAsTypedCellsAre)
{
    GridStore store = StoreWith({}, {});
    PasteBlock(store, ParseDelimitedText("7\n12kg\n1a2\n3。\n"), Column::First, 0);
    EXPECT_EQ(store.Item(Column::First, 1), "12");
    EXPECT_EQ(store.Item(Column::First, 2), "1a2");
    EXPECT_EQ(store.Item(Column::First, 3), "3.");
}

TEST(PasteBlock, RefusedBlocksChangeNothing)
{
    struct Case {
        const char* text;
        int row;
        PasteProblem problem;
        Column column = Column::First;
    };
    const std::string tenRows = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    const Case cases[] = {
        {"1\t2\t3\n", 0, PasteProblem::TooManyColumns},
        {"x\ty\n", 0, PasteProblem::NoData},
        {"\n\n", 0, PasteProblem::NoData},
        {tenRows.c_str(), kMaxRows - 9, PasteProblem::TooManyRows},
        // The second column has nothing right of it for a block's second
        // column; the first column is not the user's target.
        {"1\t2\n3\t4\n", 0, PasteProblem::NoSecondColumn, Column::Second},
    };
    for (const Case& c : cases) {
        GridStore store = StoreWith({"5", "6"}, {"7", "8"});
        const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText(c.text), c.column, c.row);
        EXPECT_EQ(outcome.problem, c.problem) << c.text;
        EXPECT_EQ(store.RowCount(), kVisibleRows) << c.text;
        EXPECT_EQ(Items(store, Column::First)[0], "5") << c.text;
        EXPECT_EQ(Items(store, Column::Second)[0], "7") << c.text;
    }
}

TEST(PasteBlock, ABlockReachingTheLastRowExactlyFits)
{
    GridStore store = StoreWith({}, {});
    const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText("1\n2\n3\n"), Column::First, kMaxRows - 3);
    EXPECT_EQ(outcome.problem, PasteProblem::None);
    EXPECT_EQ(store.RowCount(), kMaxRows);
    EXPECT_EQ(store.Item(Column::First, kMaxRows - 1), "3");
}

// ----- Ctrl+C -----

TEST(CopyText, BothColumnsTabSeparatedUpToTheLastRowWithData)
{
    EXPECT_EQ(CopyText(StoreWith({}, {})), "");
    EXPECT_EQ(CopyText(StoreWith({"1", "", "3"}, {"4", "5"})), "1\t4\n\t5\n3\t\n");
    // A text holding a tab or a line end is quoted, so it pastes back whole.
    EXPECT_EQ(CopyText(StoreWith({"a\tb"}, {"say \"x\""})), "\"a\tb\"\t\"say \"\"x\"\"\"\n");
}

TEST(CopyText, PastesBackAsTheSameColumns)
{
    const GridStore source = StoreWith({"1.5", "", "-2", "7"}, {"3", "4", "", "8"});
    GridStore target = StoreWith({}, {});
    PasteBlock(target, ParseDelimitedText(CopyText(source)), Column::First, 0);
    for (Column column : {Column::First, Column::Second})
        for (int row = 0; row < 4; ++row) EXPECT_EQ(target.Item(column, row), source.Item(column, row)) << row;
}

} // namespace
} // namespace korvanta::grid

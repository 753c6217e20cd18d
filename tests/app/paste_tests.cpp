// The paste rules on their own: how copied text splits into rows and fields,
// how a block lands in the grid's store, and what Ctrl+C copies.
#include "grid/pasteblock.h"
#include "grid/pastetext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvanta::grid {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct ParseCase {
    const char* name;
    std::string text;
    Separator separator;
    bool header;
    Rows rows;
    int columns;
};

const ParseCase kParseCases[] = {
    // Copied from a spreadsheet: tabs, CR LF, a heading row.
    {"spreadsheet block", "组1\t组2\r\n1\t2\r\n3\t4\r\n", Separator::Tab, true, {{"1", "2"}, {"3", "4"}}, 2},
    {"one column", "1.5\n2\n-3\n", Separator::None, false, {{"1.5"}, {"2"}, {"-3"}}, 1},
    {"blank inside a column", "1\n\n3\n", Separator::None, false, {{"1"}, {""}, {"3"}}, 1},
    {"blank cell of two columns", "1\t\n\t4\n", Separator::Tab, false, {{"1", ""}, {"", "4"}}, 2},
    {"empty rows at the end dropped", "1\t2\n\t\n\n", Separator::Tab, false, {{"1", "2"}}, 2},
    {"ragged rows", "1\t2\n3\n4\t5\t\n", Separator::Tab, false, {{"1", "2"}, {"3"}, {"4", "5", ""}}, 2},
    {"no line end at the end", "7\t8", Separator::Tab, false, {{"7", "8"}}, 2},
    {"lone CR line ends", "1\r2\r", Separator::None, false, {{"1"}, {"2"}}, 1},
    {"empty text", "", Separator::None, false, {}, 0},
    // Decimal commas become points wherever the comma does not separate.
    {"decimal commas, semicolons", "1,5;2,25\n3;4,0\n", Separator::Semicolon, false, {{"1.5", "2.25"}, {"3", "4.0"}}, 2},
    {"decimal commas, tabs", "-1,5\t,5\n", Separator::Tab, false, {{"-1.5", ".5"}}, 2},
    {"decimal commas, spaces", "1,5 2,5\n", Separator::Spaces, false, {{"1.5", "2.5"}}, 2},
    {"not decimal commas", "1;1,2,3;1.000,5;a,b\n", Separator::Semicolon, false, {{"1", "1,2,3", "1.000,5", "a,b"}}, 4},
    {"comma and space after it", "1, 2\n3, 4\n", Separator::Comma, false, {{"1", "2"}, {"3", "4"}}, 2},
    {"comma separates", "x,y\n1.5,2\n", Separator::Comma, true, {{"1.5", "2"}}, 2},
    {"a comma is never decimal where it separates", "1,5\n", Separator::Comma, false, {{"1", "5"}}, 2},
    // Quotes.
    {"quoted separator and quote", "\"a,b\",1\n\"say \"\"hi\"\"\",2\n", Separator::Comma, false, {{"a,b", "1"}, {"say \"hi\"", "2"}}, 2},
    {"quoted line end", "\"1\n2\"\t3\n", Separator::Tab, false, {{"1\n2", "3"}}, 2},
    {"quoted spaces kept", "\" 1 \",2\n", Separator::Comma, false, {{" 1 ", "2"}}, 2},
    // Spaces.
    {"runs of spaces", "  1   2  \n3 4\n", Separator::Spaces, false, {{"1", "2"}, {"3", "4"}}, 2},
    {"fields trimmed", " 1 \t 2 \n", Separator::Tab, false, {{"1", "2"}}, 2},
    // The header rule.
    {"header alone", "身高\t体重\n", Separator::Tab, true, {}, 0},
    {"text and number is data", "1\tabc\n", Separator::Tab, false, {{"1", "abc"}}, 2},
    {"blank first row is data", "\t\n1\t2\n", Separator::Tab, false, {{"", ""}, {"1", "2"}}, 2},
    {"header with a blank", "x\t\n1\t2\n", Separator::Tab, true, {{"1", "2"}}, 2},
    {"byte order mark", "\xEF\xBB\xBF" "a\n1\n", Separator::None, true, {{"1"}}, 1},
    {"only the first row can be a header", "1\nabc\n", Separator::None, false, {{"1"}, {"abc"}}, 1},
};

class ParseDelimited : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDelimited, SplitsAsTheRulesSay)
{
    const ParseCase& c = GetParam();
    const DelimitedText parsed = ParseDelimitedText(c.text);
    EXPECT_EQ(parsed.separator, c.separator);
    EXPECT_EQ(parsed.headerSkipped, c.header);
    EXPECT_EQ(parsed.rows, c.rows);
    EXPECT_EQ(parsed.columns, c.columns);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDelimited, ::testing::ValuesIn(kParseCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

// ----- A block into the store -----

GridStore StoreWith(const std::vector<std::string>& first, const std::vector<std::string>& second)
{
    GridStore store;
    store.replace(first, second);
    store.padTo(kVisibleRows);
    return store;
}

std::vector<std::string> Items(const GridStore& store, Column column)
{
    const auto items = store.items(column);
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

TEST(PasteBlock, TwoColumnsFillBothFromTheRowWhicheverColumnHasTheFocus)
{
    GridStore store = StoreWith({"a"}, {"b"});
    const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText("1\t2\n3\n"), Column::Second, 1);
    EXPECT_TRUE(outcome.firstChanged && outcome.secondChanged);
    EXPECT_EQ(store.item(Column::First, 0), "a");
    EXPECT_EQ(store.item(Column::First, 1), "1");
    EXPECT_EQ(store.item(Column::Second, 1), "2");
    EXPECT_EQ(store.item(Column::First, 2), "3");
    // A short row blanks the other column's cell, as in a spreadsheet.
    EXPECT_EQ(store.item(Column::Second, 2), "");
}

TEST(PasteBlock, FieldsAreCleanedAsTypedCellsAre)
{
    GridStore store = StoreWith({}, {});
    PasteBlock(store, ParseDelimitedText("7\n12kg\n1a2\n3。\n"), Column::First, 0);
    EXPECT_EQ(store.item(Column::First, 1), "12");
    EXPECT_EQ(store.item(Column::First, 2), "1a2");
    EXPECT_EQ(store.item(Column::First, 3), "3.");
}

TEST(PasteBlock, RefusedBlocksChangeNothing)
{
    struct Case {
        const char* text;
        int row;
        PasteProblem problem;
    };
    const std::string tenRows = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    const Case cases[] = {
        {"1\t2\t3\n", 0, PasteProblem::TooManyColumns},
        {"x\ty\n", 0, PasteProblem::NoData},
        {"\n\n", 0, PasteProblem::NoData},
        {tenRows.c_str(), kMaxRows - 9, PasteProblem::TooManyRows},
    };
    for (const Case& c : cases) {
        GridStore store = StoreWith({"5", "6"}, {"7", "8"});
        const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText(c.text), Column::First, c.row);
        EXPECT_EQ(outcome.problem, c.problem) << c.text;
        EXPECT_EQ(store.rowCount(), kVisibleRows) << c.text;
        EXPECT_EQ(Items(store, Column::First)[0], "5") << c.text;
    }
}

TEST(PasteBlock, ABlockReachingTheLastRowExactlyFits)
{
    GridStore store = StoreWith({}, {});
    const PasteOutcome outcome = PasteBlock(store, ParseDelimitedText("1\n2\n3\n"), Column::First, kMaxRows - 3);
    EXPECT_EQ(outcome.problem, PasteProblem::None);
    EXPECT_EQ(store.rowCount(), kMaxRows);
    EXPECT_EQ(store.item(Column::First, kMaxRows - 1), "3");
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
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(target.item(column, row), source.item(column, row)) << row;
}

} // namespace
} // namespace korvanta::grid

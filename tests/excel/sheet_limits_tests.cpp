// The import's limits, counted as cells arrive: each one refuses the sheet
// with its own error before more memory is spent, and a sheet just inside
// them is read whole.
#include "excel/sheet_builder.h"

#include <gtest/gtest.h>

#include <functional>

namespace korvanta::excel::detail {
namespace {

TEST(SheetLimits, EachLimitStopsTheSheetWithItsError)
{
    const std::string longText(kMaxCellChars, 'x');
    const struct {
        const char* what;
        std::function<bool(SheetBuilder&)> fill; // false once refused
        ReadError error;
    } cases[] = {
        {"the last row a heading and the grid hold",
         [](SheetBuilder& s) { return s.Set(kMaxImportRows - 1, 0, Cell::MakeNumber(1)); }, ReadError::None},
        {"one row more", [](SheetBuilder& s) { return s.Touch(kMaxImportRows); }, ReadError::TooManyRows},
        {"a formatted blank past the rows", [](SheetBuilder& s) { return s.Set(kMaxImportRows, 0, Cell{}); },
         ReadError::TooManyRows},
        {"the last column", [](SheetBuilder& s) { return s.Set(0, kMaxImportColumns - 1, Cell::MakeNumber(1)); },
         ReadError::None},
        {"one column more", [](SheetBuilder& s) { return s.SetShared(0, kMaxImportColumns, 0); },
         ReadError::TooManyColumns},
        {"a repeated cell running past the columns",
         [](SheetBuilder& s) { return s.SetRepeated(0, 0, kMaxImportColumns + 1, Cell::MakeBool(true)); },
         ReadError::TooManyColumns},
        {"an uncalculated formula past the columns",
         [](SheetBuilder& s) { return s.SetUncalculated(0, kMaxImportColumns); }, ReadError::TooManyColumns},
        {"cells past the cell limit",
         [](SheetBuilder& s) {
             for (std::size_t r = 0; r < kMaxImportRows; ++r)
                 if (!s.SetRepeated(r, 0, kMaxImportColumns, Cell::MakeNumber(1))) return false;
             return true;
         },
         ReadError::TooLarge},
        {"texts past the text limit",
         [&](SheetBuilder& s) {
             for (std::size_t r = 0; r < kMaxImportRows; ++r)
                 if (!s.SetRepeated(r, 0, 2, Cell::MakeText(longText))) return false;
             return true;
         },
         ReadError::TooLarge},
    };
    for (const auto& c : cases) {
        SheetBuilder sheet;
        EXPECT_EQ(c.fill(sheet), c.error == ReadError::None) << c.what;
        EXPECT_EQ(sheet.Error(), c.error) << c.what;
    }
}

// One shared text copied into many cells is counted before it is copied.
TEST(SheetLimits, SharedTextCopiesAreCountedBeforeTheyAreMade)
{
    const std::vector<std::string> texts = {std::string(kMaxCellChars * 3, 'y')};
    const struct {
        std::size_t rows;
        bool fits;
    } cases[] = {{100, true}, {kMaxImportTextBytes / texts[0].size() + 1, false}};
    for (const auto& c : cases) {
        SheetBuilder sheet;
        for (std::size_t r = 0; r < c.rows; ++r) ASSERT_TRUE(sheet.SetShared(r, 0, 0));
        const auto needed = sheet.NeededShared();
        EXPECT_EQ(sheet.ResolveShared(needed, texts), c.fits) << c.rows;
        if (c.fits)
            EXPECT_EQ(sheet.Take().rows.back()[0].text.size(), texts[0].size());
        else
            EXPECT_EQ(sheet.Error(), ReadError::TooLarge);
    }
}

// Cells set out of order, replaced, or with gaps come out in their rows,
// each row as wide as its last cell.
TEST(SheetLimits, CellsComeOutInTheirPlaces)
{
    SheetBuilder sheet;
    ASSERT_TRUE(sheet.Set(2, 3, Cell::MakeNumber(4)));
    ASSERT_TRUE(sheet.Set(0, 1, Cell::MakeText("a")));
    ASSERT_TRUE(sheet.Set(0, 1, Cell::MakeText("b"))); // replaces "a"
    ASSERT_TRUE(sheet.Touch(4));
    ASSERT_TRUE(sheet.SetUncalculated(3, 0));
    const ReadResult read = sheet.Take();
    ASSERT_EQ(read.rows.size(), 5u);
    EXPECT_EQ(read.rows[0], Row(Cell{}, Cell::MakeText("b")));
    EXPECT_EQ(read.rows[1], Row{});
    EXPECT_EQ(read.rows[2].cells.size(), 4u);
    EXPECT_EQ(read.rows[2][3], Cell::MakeNumber(4));
    EXPECT_EQ(read.uncalculated, (std::vector<CellPosition>{{3, 0}}));
}

} // namespace
} // namespace korvanta::excel::detail

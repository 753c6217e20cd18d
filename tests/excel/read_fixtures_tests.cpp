// Workbooks written by LibreOffice, openpyxl, xlwt and xlsxwriter, read
// through ReadFirstSheet and compared cell by cell.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvanta::excel::test {
namespace {

// LibreOffice's .xls and .xlsx of one source: headings, a blank, formulas
// with cached number, error, text and boolean results, Chinese text, a date,
// and row 10 used only by column C.
const Table kMixed = {
    {"s:组别", "s:数值"},
    {"n:1.5", "n:2"},
    {"", "n:3"},
    {"n:4", "e:#DIV/0!"},
    {"b:TRUE", "b:FALSE"},
    {"s:中文文本", "s:mixed ASCII"},
    {"e:#N/A", "s:1.5x"},
    {"n:-0.25", "n:1e-10"},
    {"s:2023-03-15", "n:123456789012345"},
    {"", ""},
    {"b:TRUE", "s:  spaced  "},
};

// Data only in rows 5 to 8: the rows above still come back, empty.
const Table kFromRow5 = {
    {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"n:10", "n:20"}, {"s:x", ""}, {"", "n:30.5"}, {"n:40", "s:y"},
};

// openpyxl: inline strings, absolute part names, a formula never
// calculated (no cached value), an ISO date cell.
const Table kOpenpyxl = {
    {"s:名称", "s:值"}, {"n:1", "n:2.5"}, {"", "b:TRUE"}, {"s:2023-03-15 12:00", "s:文本"},
    {"", ""},           {"", ""},         {"", "s:last"},
};

// xlsxwriter in constant-memory mode (inline strings); a formatted blank
// cell in row 12 extends the used range as Excel counts it.
const Table kInline = [] {
    Table t = {
        {"s:标题", "n:42"},
        {"b:TRUE", "e:#DIV/0!"},
        {"n:84", "s:ab"},
        {"s:line1\nline2", ""},
    };
    t.resize(12, {"", ""});
    return t;
}();

const Table kChartSheetFirst = {{"n:1", "n:10"}, {"n:2", "n:20"}, {"n:3", "n:30"}};

// No cell or row references; rich text runs, a phonetic run that is not
// part of the text, _xHHHH_ escapes and preserved spaces.
const Table kEdited = {
    {"s:plain", "n:1"},
    {"s:Hello 世界", ""},
    {"s:日本", "n:3"},
    {"s: a\rb _x0041_ ", ""},
};

struct FixtureCase {
    const char* file;
    const Table* expected;
};

class FixtureRead : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureRead, GivesEveryCellOfColumnsAAndB)
{
    const auto result = ReadFirstSheet(Fixture(GetParam().file));
    ASSERT_TRUE(result.Ok()) << static_cast<int>(result.error);
    EXPECT_EQ(Describe(result.rows), *GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureRead,
                         ::testing::Values(FixtureCase{"lo_mixed.xls", &kMixed}, FixtureCase{"lo_mixed.xlsx", &kMixed},
                                           FixtureCase{"lo_from_row5.xls", &kFromRow5},
                                           FixtureCase{"lo_from_row5.xlsx", &kFromRow5},
                                           FixtureCase{"openpyxl_mixed.xlsx", &kOpenpyxl},
                                           FixtureCase{"xlsxwriter_inline.xlsx", &kInline},
                                           FixtureCase{"xlsxwriter_chartsheet_first.xlsx", &kChartSheetFirst},
                                           FixtureCase{"edited_no_refs.xlsx", &kEdited}),
                         [](const auto& paramInfo) {
                             std::string name = paramInfo.param.file;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(FixtureReadLarge, ThirtyTwoThousandRowsInBothFormats)
{
    for (const char* file : {"lo_rows32767.xls", "lo_rows32767.xlsx"}) {
        SCOPED_TRACE(file);
        const auto result = ReadFirstSheet(Fixture(file));
        ASSERT_TRUE(result.Ok()) << static_cast<int>(result.error);
        ASSERT_EQ(result.rows.size(), 32767u);
        EXPECT_EQ(result.rows[0], (Row{Cell::MakeText("X"), Cell::MakeText("Y")}));
        for (std::size_t i = 1; i < result.rows.size(); ++i) {
            const Row expected{Cell::MakeNumber(static_cast<double>(i)),
                               Cell::MakeNumber(static_cast<double>(i) / 4.0)};
            if (result.rows[i] != expected) FAIL() << "row " << i + 1 << ": " << Describe(result.rows[i][0]);
        }
    }
}

// xlwt: shared strings running over CONTINUE records in both character
// widths, rich text, a boolean, an error constant, and a second sheet.
TEST(FixtureReadXlwt, LongSharedStringsAcrossContinueRecords)
{
    const auto result = ReadFirstSheet(Fixture("xlwt_strings.xls"));
    ASSERT_TRUE(result.Ok()) << static_cast<int>(result.error);
    ASSERT_EQ(result.rows.size(), 400u);
    std::string chinese;
    for (int i = 0; i < 5000; ++i) chinese += "中";
    const Table head = {
        {"s:标题", "n:3.25"},
        {"s:" + chinese, "s:" + std::string(9000, 'a')},
        {"s:rich text", "b:TRUE"},
        {"e:#DIV/0!", "n:-7"},
    };
    EXPECT_EQ(Describe({result.rows.begin(), result.rows.begin() + 4}), head);
    for (std::size_t r = 4; r < 400; ++r) {
        const Row expected{Cell::MakeText("行" + std::to_string(r)), Cell::MakeNumber(static_cast<double>(r) * 1.5)};
        if (result.rows[r] != expected) FAIL() << "row " << r + 1;
    }
}

TEST(FixtureReadRefused, GivesTheReasonAndItsMessage)
{
    const struct {
        const char* file;
        ReadError error;
    } cases[] = {
        {"lo_password.xls", ReadError::Encrypted},
        {"made_encrypted.xlsx", ReadError::Encrypted},
        {"made_excel95.xls", ReadError::OldFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto result = ReadFirstSheet(Fixture(c.file));
        EXPECT_EQ(result.error, c.error);
        EXPECT_TRUE(result.rows.empty());
    }
}

TEST(FixtureReadByContent, AWorkbookUnderTheOtherExtensionReadsTheSame)
{
    ScratchDir dir;
    std::filesystem::copy_file(Fixture("lo_mixed.xlsx"), dir / "really_xlsx.xls");
    std::filesystem::copy_file(Fixture("lo_mixed.xls"), dir / "really_xls.XLSX");
    for (const char* name : {"really_xlsx.xls", "really_xls.XLSX"}) {
        const auto result = ReadFirstSheet(dir / name);
        ASSERT_TRUE(result.Ok()) << name << ": " << static_cast<int>(result.error);
        EXPECT_EQ(Describe(result.rows), kMixed) << name;
    }
}

TEST(ImportTextOfCells, FollowsTheGridRules)
{
    const NumberFormatter format = [](double v) { return "<" + std::to_string(static_cast<int>(v)) + ">"; };
    const struct {
        Cell cell;
        const char* text;
    } cases[] = {
        {Cell{}, ""},
        {Cell::MakeNumber(12), "<12>"},
        {Cell::MakeText("abc 中"), "abc 中"},
        {Cell::MakeText(""), ""},
        {Cell::MakeBool(true), "TRUE"},
        {Cell::MakeBool(false), "FALSE"},
        {Cell::MakeError("#DIV/0!"), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ImportText(c.cell, format), c.text) << Describe(c.cell);
}

} // namespace
} // namespace korvanta::excel::test

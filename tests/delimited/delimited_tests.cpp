// Delimited text: how copied or file text splits into rows and fields, which
// separator it uses, and how the numbers in it are read.
#include "delimited/commanumbers.h"
#include "delimited/delimitedtext.h"
#include "delimited/textfile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace korvanta::delimited {
namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string TestName(std::string name)
{
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

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
    {"decimal commas, semicolons",
     "1,5;2,25\n3;4,0\n",
     Separator::Semicolon,
     false,
     {{"1.5", "2.25"}, {"3", "4.0"}},
     2},
    {"decimal commas, tabs", "-1,5\t,5\n", Separator::Tab, false, {{"-1.5", ".5"}}, 2},
    {"decimal commas, spaces", "1,5 2,5\n", Separator::Spaces, false, {{"1.5", "2.5"}}, 2},
    {"not decimal commas", "1;1,2,3;1.000,5;a,b\n", Separator::Semicolon, false, {{"1", "1,2,3", "1.000,5", "a,b"}}, 4},
    {"comma and space after it", "1, 2\n3, 4\n", Separator::Comma, false, {{"1", "2"}, {"3", "4"}}, 2},
    {"comma separates", "x,y\n1.5,2\n", Separator::Comma, true, {{"1.5", "2"}}, 2},
    {"a comma is never decimal where it separates", "1,5\n", Separator::Comma, false, {{"1", "5"}}, 2},
    // Quotes.
    {"quoted separator and quote",
     "\"a,b\",1\n\"say \"\"hi\"\"\",2\n",
     Separator::Comma,
     false,
     {{"a,b", "1"}, {"say \"hi\"", "2"}},
     2},
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
    {"byte order mark",
     "\xEF\xBB\xBF"
     "a\n1\n",
     Separator::None,
     true,
     {{"1"}},
     1},
    {"only the first row can be a header", "1\nabc\n", Separator::None, false, {{"1"}, {"abc"}}, 1},

    // A stray separator inside one field cannot change the separator.
    {"semicolon in a note",
     "组1,组2,备注\n141,130,\n150,142,约 150; 复查\n138,125,\n",
     Separator::Comma,
     true,
     {{"141", "130", ""}, {"150", "142", "约 150; 复查"}, {"138", "125", ""}},
     3},
    {"semicolon in a note, no header",
     "141,130\n150,142;复查\n138,125\n",
     Separator::Comma,
     false,
     {{"141", "130"}, {"150", "142;复查"}, {"138", "125"}},
     2},
    {"tab in a note",
     "141,130,a\n150,142,b\tc\n138,125,d\n",
     Separator::Comma,
     false,
     {{"141", "130", "a"}, {"150", "142", "b\tc"}, {"138", "125", "d"}},
     3},
    {"quoted semicolons and tabs",
     "1,\"a;b\"\n2,\"c\td;e\"\n3,f\n",
     Separator::Comma,
     false,
     {{"1", "a;b"}, {"2", "c\td;e"}, {"3", "f"}},
     2},
    {"comma in a tab-separated note",
     "1\t2\ta, b\n3\t4\tc\n",
     Separator::Tab,
     false,
     {{"1", "2", "a, b"}, {"3", "4", "c"}},
     3},
    {"comma in a semicolon-separated note",
     "1;2;a, b\n3;4;c\n5;6;d\n",
     Separator::Semicolon,
     false,
     {{"1", "2", "a, b"}, {"3", "4", "c"}, {"5", "6", "d"}},
     3},
    {"semicolons split as well as commas",
     "1,5;2,25\n3,5;4,25\n",
     Separator::Semicolon,
     false,
     {{"1.5", "2.25"}, {"3.5", "4.25"}},
     2},
    {"three-digit values are two columns",
     "141,130\n150,142\n",
     Separator::Comma,
     false,
     {{"141", "130"}, {"150", "142"}},
     2},
    {"three-digit values under a heading", "a,b\n141,130\n", Separator::Comma, true, {{"141", "130"}}, 2},
    {"one grouped number", "215,000\r\n", Separator::None, false, {{"215000"}}, 1},
    {"one decimal-comma pair separates", "1,25\n", Separator::Comma, false, {{"1", "25"}}, 2},
    {"ragged grouped column with text", "1,234\nn/a\n12\n", Separator::None, false, {{"1234"}, {"n/a"}, {"12"}}, 1},

    // Group separators.
    {"grouped numbers in tabs",
     "1,234.5\t215,000\n3\t1,234,567\n",
     Separator::Tab,
     false,
     {{"1234.5", "215000"}, {"3", "1234567"}},
     2},
    {"grouped numbers down one column",
     "980\n1,234\n215,000\n1,234,567\n",
     Separator::None,
     false,
     {{"980"}, {"1234"}, {"215000"}, {"1234567"}},
     1},
    {"quoted grouped numbers in a csv",
     "x,y\n\"1,234.5\",2\n\"215,000\",3\n",
     Separator::Comma,
     true,
     {{"1234.5", "2"}, {"215000", "3"}},
     2},
    {"grouped numbers between spaces",
     "1,234.5 2,000\n3 4\n",
     Separator::Spaces,
     false,
     {{"1234.5", "2000"}, {"3", "4"}},
     2},
    {"decimal comma beside a group-shaped one",
     "1,500;2,25\n2,25;1,500\n",
     Separator::Semicolon,
     false,
     {{"1.500", "2.25"}, {"2.25", "1.500"}},
     2},

    // Full-width digits, point and signs.
    {"full-width numbers", "１２．５\t－３\n＋４\t０。５\n", Separator::Tab, false, {{"12.5", "-3"}, {"+4", "0.5"}}, 2},
    {"full-width heading stays text", "第一组\t第二组\n１\t２\n", Separator::Tab, true, {{"1", "2"}}, 2},
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

INSTANTIATE_TEST_SUITE_P(Cases, ParseDelimited, ::testing::ValuesIn(kParseCases),
                         [](const auto& paramInfo) { return TestName(paramInfo.param.name); });

// ----- Commas inside numbers -----

TEST(CommaNumbers, ShapesOfGroupedAndDecimalCommaNumbers)
{
    struct Case {
        const char* text;
        bool grouped;
        bool decimal;
    };
    const Case cases[] = {
        {"1,234", true, true},      {"215,000", true, true},   {"1,234.5", true, false},  {"1,234,567", true, false},
        {"-1,234", true, true},     {"3,5", false, true},      {"12,75", false, true},    {",5", false, true},
        {"-,5", false, true},       {"1234,567", false, true}, {"1,2345", false, true},   {"1,23", false, true},
        {"1,234,56", false, false}, {"1,2,3", false, false},   {"1.000,5", false, false}, {"1,", false, false},
        {",", false, false},        {"a,b", false, false},     {"1,234.", true, false},   {"1,234.5.6", false, false},
        {"1 234", false, false},    {"", false, false},        {"1234", false, false},    {"1,234e5", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsGroupedNumber(c.text), c.grouped) << c.text;
        EXPECT_EQ(IsDecimalCommaNumber(c.text), c.decimal) << c.text;
    }
}

struct ColumnCase {
    const char* name;
    std::vector<std::string> column;
    std::vector<std::string> read;
    int unread;
};

const ColumnCase kColumnCases[] = {
    {"grouped", {"1,234.5", "215,000", "1,234,567", "7"}, {"1234.5", "215000", "1234567", "7"}, 0},
    {"ambiguous alone is grouped", {"1,234"}, {"1234"}, 0},
    {"ambiguous ones grouped together", {"215,000", "1,500", "-2,000"}, {"215000", "1500", "-2000"}, 0},
    {"decimal commas", {"3,5", "12,75", ",5"}, {"3.5", "12.75", ".5"}, 0},
    {"decimal column reads ambiguous as decimal", {"1,500", "2,25"}, {"1.500", "2.25"}, 0},
    {"mixed column leaves ambiguous as written", {"1,234.5", "3,5", "2,500"}, {"1234.5", "3.5", "2,500"}, 1},
    {"text with commas untouched", {"a,b", "1,2,3", "1.000,5", "1,234"}, {"a,b", "1,2,3", "1.000,5", "1234"}, 0},
    {"full-width made ASCII first", {"１，２３４", "１２．５", "３,５"}, {"1，234", "12.5", "3.5"}, 0},
    {"no commas", {"1", "", "x"}, {"1", "", "x"}, 0},
};

class ReadColumn : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ReadColumn, DecidesTheColumnAsAWhole)
{
    const ColumnCase& c = GetParam();
    std::vector<std::string> column = c.column;
    EXPECT_EQ(ReadNumberColumn(column), c.unread);
    EXPECT_EQ(column, c.read);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadColumn, ::testing::ValuesIn(kColumnCases),
                         [](const auto& paramInfo) { return TestName(paramInfo.param.name); });

TEST(ParseDelimitedText, CountsNumbersLeftWithTheirCommas)
{
    const DelimitedText parsed = ParseDelimitedText("1,234.5\t1\n3,5\t2\n2,500\t3\n");
    EXPECT_EQ(parsed.unreadCommaNumbers, 1);
    EXPECT_EQ(parsed.rows[2][0], "2,500");
}

// ----- Text files -----

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::optional<std::string> text;
};

const DecodeCase kDecodeCases[] = {
    {"utf8",
     "\xE7\xBB\x84"
     "1\n",
     "\xE7\xBB\x84"
     "1\n"},
    {"utf16 little endian",
     std::string("\xFF\xFE"
                 "1\0\t\0\x44\x7E\n\0",
                 10),
     "1\t\xE7\xB9\x84\n"},
    {"utf16 big endian",
     std::string("\xFE\xFF\0"
                 "1\0\t\x7E\x44\0\n",
                 10),
     "1\t\xE7\xB9\x84\n"},
    {"utf16 odd last byte dropped",
     std::string("\xFF\xFE"
                 "1\0"
                 "2",
                 5),
     "1"},
    {"gb18030",
     "\xD7\xE9"
     "1\n",
     "\xE7\xBB\x84"
     "1\n"},
    {"gb18030 cut short", "1\xD7", std::nullopt},
};

TEST(DecodeText, ReadsEachEncodingByItsMarkOrValidity)
{
    for (const DecodeCase& c : kDecodeCases) EXPECT_EQ(DecodeText(c.bytes), c.text) << c.name;
}

} // namespace
} // namespace korvanta::delimited

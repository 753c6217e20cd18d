// The import pipeline over whole files: clinic sheets as LibreOffice and
// openpyxl write them (headings, ID columns, dates, times, formulas with and
// without results), any sheet by index from one opened file, the limits,
// and what the writers write read back unchanged.
#include "excel/date_text.h"
#include "excel/sheets.h"
#include "excel/workbook.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace korvanta::excel {
namespace {

using test::Describe;
using test::Fixture;
using test::RunPython;
using test::ScratchDir;

// Column `column` of every row, described.
std::vector<std::string> ColumnOf(const ReadResult& sheet, std::size_t column)
{
    std::vector<std::string> out;
    for (const Row& row : sheet.rows) out.push_back(Describe(row[column]));
    return out;
}

TEST(ClinicSheets, EveryColumnDatesAsTextAndFormulasWithOrWithoutResults)
{
    const std::vector<std::string> ids = {"s:编号", "n:1", "n:2", "n:3",  "n:4",  "n:5",  "n:6",
                                          "n:7",    "n:8", "n:9", "n:10", "n:11", "n:12", "s:平均"};
    const struct {
        const char* file;
        std::size_t uncalculated; // the AVERAGE row without results
    } cases[] = {
        {"openpyxl_clinic.xlsx", 2},
        {"lo_clinic.xlsx", 0},
        {"lo_clinic.xls", 0},
        {"lo_clinic.ods", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DataFile file(Fixture(c.file));
        ASSERT_TRUE(file.Ok()) << static_cast<int>(file.Error());
        ASSERT_EQ(file.SheetNames(), std::vector<std::string>{"数据"});
        const ReadResult sheet = file.ReadSheet(0);
        ASSERT_TRUE(sheet.Ok()) << static_cast<int>(sheet.error);
        ASSERT_EQ(sheet.rows.size(), 14u);
        EXPECT_EQ(ColumnOf(sheet, 0), ids);
        EXPECT_EQ(Describe(sheet.rows[1][1]), "n:141");
        EXPECT_EQ(Describe(sheet.rows[12][2]), "n:133");
        // Dates and times are what the cells show, not day counts.
        EXPECT_EQ(Describe(sheet.rows[1][3]), "s:2023-03-15");
        EXPECT_EQ(Describe(sheet.rows[12][3]), "s:2023-03-26");
        EXPECT_EQ(Describe(sheet.rows[1][4]), "s:08:30");
        EXPECT_EQ(Describe(sheet.rows[12][4]), "s:08:41");
        EXPECT_EQ(sheet.uncalculated.size(), c.uncalculated);
        if (c.uncalculated == 0) {
            // The mean of the twelve, as stored (some writers keep 15 digits).
            EXPECT_EQ(sheet.rows[13][1].kind, Cell::Kind::Number);
            EXPECT_NEAR(sheet.rows[13][1].number, 1718.0 / 12, 1e-9);
        } else {
            EXPECT_EQ(sheet.uncalculated[0], (CellPosition{13, 1}));
            EXPECT_EQ(Describe(sheet.rows[13][1]), "");
        }
        // What an import takes: the IDs and the after-treatment column below
        // their heading, within a grid of 13 rows and refused by one of 12;
        // of the two AVERAGE formulas without results only column C's counts.
        const NumberFormatter whole = [](double value) { return "n:" + std::to_string(std::lround(value)); };
        for (const std::size_t maxRows : {std::size_t{13}, std::size_t{12}}) {
            const TakenColumns taken = TakeColumns(sheet, {0, 2, true, maxRows}, whole);
            EXPECT_EQ(taken.rows, 13u);
            EXPECT_EQ(taken.tooManyRows, maxRows == 12);
            if (taken.tooManyRows) {
                EXPECT_TRUE(taken.first.empty() && taken.second.empty());
                continue;
            }
            EXPECT_EQ(taken.firstHeading, "编号");
            EXPECT_EQ(taken.secondHeading, "治疗后");
            EXPECT_EQ(taken.first, (std::vector<std::string>{"n:1", "n:2", "n:3", "n:4", "n:5", "n:6", "n:7", "n:8",
                                                             "n:9", "n:10", "n:11", "n:12", "平均"}));
            ASSERT_EQ(taken.second.size(), 13u);
            EXPECT_EQ(taken.second[0], "n:132");
            EXPECT_EQ(taken.second[11], "n:133");
            EXPECT_EQ(taken.uncalculated, c.uncalculated / 2);
        }
    }
}

// Every cell of every row, described.
test::Table AllOf(const ReadResult& sheet, std::size_t columns)
{
    test::Table table;
    for (const Row& row : sheet.rows) {
        table.emplace_back();
        for (std::size_t c = 0; c < columns; ++c) table.back().push_back(Describe(row[c]));
    }
    return table;
}

// One clinic table as the packages' own writers wrote it
// (tools/make_stat_fixtures.sh): the values exactly, a user-missing 999 and
// a system-missing value empty and counted, dates as the text they show,
// labels and value labels in the file's encoding.
TEST(StatisticsFiles, EveryVariableAsItsWriterWroteIt)
{
    if (!ReadsStatisticsFiles()) GTEST_SKIP() << "built without ReadStat";
    const test::Table spss = {{"n:1", "n:120.5", "n:1", "s:2023-03-15", "s:复查"},
                              {"n:2", "", "n:2", "s:2023-03-16", "s:约 150; 复查"},
                              {"n:3", "", "n:1", "s:2023-03-17", ""},
                              {"n:4", "n:142", "n:2", "", "s:abc"}};
    const test::Table portable = {{"n:1", "n:120.5", "n:1", "s:2023-03-15", "s:recheck"},
                                  {"n:2", "", "n:2", "s:2023-03-16", "s:about 150; recheck"},
                                  {"n:3", "", "n:1", "s:2023-03-17", ""},
                                  {"n:4", "n:142", "n:2", "", "s:abc"}};
    // R's data frame: foreign stores the dates as plain day counts, the
    // others with a date format; the blank note (" ") reads empty.
    const auto r = [](const char* d1, const char* d2, const char* d3, const char* n1, const char* n2) {
        return test::Table{{"n:1", "n:120.5", "n:1", d1, n1},
                           {"n:2", "n:135", "n:2", d2, n2},
                           {"n:3", "", "n:1", d3, ""},
                           {"n:4", "n:142", "n:2", "", "s:abc"}};
    };
    const std::vector<std::pair<Cell, std::string>> chinese = {{Cell::MakeNumber(1), "男"},
                                                               {Cell::MakeNumber(2), "女"}};
    const std::vector<std::pair<Cell, std::string>> english = {{Cell::MakeNumber(1), "male"},
                                                               {Cell::MakeNumber(2), "female"}};
    const std::vector<std::pair<Cell, std::string>> none;
    const struct {
        const char* file;
        FileFormat format;
        test::Table cells;
        const char* label;   // of sbp
        std::size_t missing; // of sbp
        bool userMissing;    // 999 among them
        const std::vector<std::pair<Cell, std::string>>* sexLabels;
        bool visitIsDate;
    } cases[] = {
        {"pspp_clinic.sav", FileFormat::Sav, spss, "收缩压 (mmHg)", 2, true, &chinese, true},
        {"pspp_clinic.zsav", FileFormat::Sav, spss, "收缩压 (mmHg)", 2, true, &chinese, true},
        {"pspp_gbk.sav", FileFormat::Sav, spss, "收缩压 (mmHg)", 2, true, &chinese, true},
        {"pspp_clinic.por", FileFormat::Por, portable, "systolic (mmHg)", 2, true, &english, true},
        {"foreign_clinic.dta", FileFormat::Dta, r("n:23084", "n:23085", "n:23086", "s:ok", "s:recheck"),
         "systolic (mmHg)", 1, false, &english, false},
        {"readstata13_clinic.dta", FileFormat::Dta,
         r("s:2023-03-15", "s:2023-03-16", "s:2023-03-17", "s:复查", "s:约 150; 复查"), "收缩压 (mmHg)", 1, false,
         &chinese, true},
        {"haven_clinic.xpt", FileFormat::Xpt, r("s:2023-03-15", "s:2023-03-16", "s:2023-03-17", "s:ok", "s:recheck"),
         "systolic (mmHg)", 1, false, &none, true},
        {"haven_clinic.sas7bdat", FileFormat::Sas,
         r("s:2023-03-15", "s:2023-03-16", "s:2023-03-17", "s:ok", "s:recheck"), "systolic (mmHg)", 1, false, &none,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DataFile file(Fixture(c.file));
        ASSERT_TRUE(file.Ok()) << static_cast<int>(file.Error());
        EXPECT_EQ(file.Format(), c.format);
        EXPECT_TRUE(IsStatisticsFormat(file.Format()));
        ASSERT_EQ(file.SheetNames().size(), 1u);
        const ReadResult sheet = file.ReadSheet(0);
        ASSERT_TRUE(sheet.Ok()) << static_cast<int>(sheet.error);
        EXPECT_EQ(AllOf(sheet, 5), c.cells);
        ASSERT_EQ(sheet.variables.size(), 5u);
        // A portable file keeps names in capitals.
        EXPECT_EQ(sheet.variables[0].name, c.format == FileFormat::Por ? "ID" : "id");
        EXPECT_EQ(sheet.variables[1].label, c.label);
        EXPECT_EQ(sheet.variables[1].missing, c.missing);
        EXPECT_EQ(sheet.variables[1].userMissing,
                  c.userMissing ? std::vector<Cell>{Cell::MakeNumber(999)} : std::vector<Cell>{});
        EXPECT_EQ(sheet.variables[2].valueLabels, *c.sexLabels);
        EXPECT_EQ(sheet.variables[3].date, c.visitIsDate);
        EXPECT_EQ(sheet.variables[3].missing, 1u);
        EXPECT_TRUE(sheet.variables[4].text);
        EXPECT_FALSE(sheet.variables[1].text);
    }
}

TEST(SheetsByIndex, ListedAndReadFromOneOpenedFile)
{
    const std::vector<std::string> names = {"身高", "第二组", "空表"};
    for (const char* name : {"lo_sheets.xls", "lo_sheets.xlsx", "lo_sheets.ods", "hostile/workbook_behind_dots.xlsx"}) {
        SCOPED_TRACE(name);
        const DataFile file(Fixture(name));
        ASSERT_TRUE(file.Ok()) << static_cast<int>(file.Error());
        EXPECT_EQ(ListSheets(Fixture(name)).names, file.SheetNames());
        const ReadResult second = file.ReadSheet(1);
        ASSERT_TRUE(second.Ok()) << static_cast<int>(second.error);
        if (std::string_view(name).starts_with("hostile")) {
            EXPECT_EQ(file.SheetNames(), (std::vector<std::string>{"一", "二"}));
            EXPECT_EQ(Describe(second.rows), (test::Table{{"n:3", "n:4"}}));
            EXPECT_EQ(file.ReadSheet(2).error, ReadError::NoWorksheet);
            continue;
        }
        EXPECT_EQ(file.SheetNames(), names);
        EXPECT_EQ(Describe(second.rows), (test::Table{{"n:1", "n:4"}, {"n:2", "n:5"}, {"n:3", "n:6"}}));
        // The first sheet after the second: nothing of the file changed.
        EXPECT_EQ(file.ReadSheet(0).rows.size(), ReadSheet(Fixture(name), 0).rows.size());
        EXPECT_EQ(file.ReadSheet(3).error, ReadError::NoWorksheet);
    }
}

// Format codes judged by openpyxl's is_date_format, an independent reader.
TEST(DateFormats, CodesAgreeWithOpenpyxl)
{
    const std::vector<std::string> codes = {"General",
                                            "0",
                                            "0.00",
                                            "yyyy-mm-dd",
                                            "m/d/yy",
                                            "d-mmm",
                                            "mmm-yy",
                                            "h:mm",
                                            "hh:mm:ss",
                                            "[h]:mm:ss",
                                            "mm:ss",
                                            "yyyy\"年\"m\"月\"d\"日\"",
                                            "0.00E+00",
                                            "#,##0.00_);[Red](#,##0.00)",
                                            "[$-409]mmmm d, yyyy",
                                            "\"days\" 0",
                                            "@",
                                            "0%",
                                            "\\d0",
                                            "h:mm AM/PM",
                                            "[Red]0.00",
                                            "yyyy-mm-dd hh:mm",
                                            "\"hms\"0"};
    std::string script = "import sys\nfrom openpyxl.styles.numbers import is_date_format\n"
                         "for code in sys.argv[1:]:\n    print('1' if is_date_format(code) else '0')\n";
    const auto python = RunPython(script, codes);
    ASSERT_EQ(python.status, 0);
    std::istringstream lines(python.output);
    for (const std::string& code : codes) {
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(detail::FormatCodeDateStyle(code) != detail::DateStyle::None, line == "1") << code;
    }
}

// Day counts as Python's datetime counts them from 1899-12-30 (from March
// 1900 on, where Excel's and the calendar's counts agree).
TEST(DateFormats, SerialsAgreeWithPythonsCalendar)
{
    const std::vector<std::string> serials = {"61",           "45000",        "45000.5", "2958465.25",
                                              "36526.999988", "0.3541666667", "60.75"};
    std::string script = "import sys, datetime\n"
                         "for s in sys.argv[1:]:\n"
                         "    v = float(s)\n"
                         "    t = datetime.datetime(1899, 12, 30) + datetime.timedelta(seconds=round(v * 86400))\n"
                         "    print(t.strftime('%Y-%m-%d') + (' ' + t.strftime('%H:%M') if t.second == 0 else ' ' + "
                         "t.strftime('%H:%M:%S')) "
                         "if t.hour or t.minute or t.second else t.strftime('%Y-%m-%d'))\n";
    const auto python = RunPython(script, serials);
    ASSERT_EQ(python.status, 0);
    std::istringstream lines(python.output);
    for (const std::string& serial : serials) {
        std::string line;
        std::getline(lines, line);
        const auto text = detail::SerialDateText(std::stod(serial), false, detail::DateStyle::DateTime);
        if (std::stod(serial) < 61) {
            // Excel's 29 February 1900 and what comes before it differ from the calendar.
            EXPECT_FALSE(text.has_value() && *text == line) << serial;
        } else {
            EXPECT_EQ(text.value_or("none"), line) << serial;
        }
    }
    // The 1904 system, times alone, and counts no calendar holds.
    EXPECT_EQ(detail::SerialDateText(0, true, detail::DateStyle::Date), "1904-01-01");
    EXPECT_EQ(detail::SerialDateText(1.25, false, detail::DateStyle::Time), "06:00");
    EXPECT_EQ(detail::SerialDateText(-1, false, detail::DateStyle::Date), std::nullopt);
    EXPECT_EQ(detail::SerialDateText(1e12, false, detail::DateStyle::Date), std::nullopt);
    EXPECT_EQ(detail::IsoDateText("2023-03-15T08:30:00"), "2023-03-15 08:30");
    EXPECT_EQ(detail::IsoDurationText("PT08H30M00S"), "08:30");
    EXPECT_EQ(detail::IsoDateText("2023-13-01"), std::nullopt);
    // Past 9999-12-31 once rounded (Python's datetime overflows there too),
    // and a second no clock shows: they stay as written.
    EXPECT_EQ(detail::SerialDateText(2958465.99999999, false, detail::DateStyle::DateTime), std::nullopt);
    EXPECT_EQ(detail::IsoDateText("2023-03-15T23:59:60"), std::nullopt);
}

// What each writer writes, the import reads back as the same texts.
TEST(RoundTrips, WhatWeExportWeImportUnchanged)
{
    const std::vector<std::string> first = {"1.5",  "",           "-2",  "1E-10", "123456789012345",
                                            "组一", "2023-03-15", "0.1", "1e300"};
    const std::vector<std::string> second = {"2", "3", "", "  spaced  ", "TRUE", "#N/A", "45000", "", "-0.25"};
    const struct {
        const char* name;
        WriteResult (*write)(const std::filesystem::path&, const std::vector<std::string>&,
                             const std::vector<std::string>&);
    } writers[] = {{"t.xls", WriteXls}, {"t.xlsx", WriteXlsx}, {"t.csv", WriteCsv}};
    const NumberFormatter shortest = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", v);
        return std::string(text);
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.name);
        ScratchDir dir;
        ASSERT_TRUE(w.write(dir / w.name, first, second).Ok());
        const ReadResult read = ReadSheet(dir / w.name, 0);
        ASSERT_TRUE(read.Ok()) << static_cast<int>(read.error);
        ASSERT_EQ(read.rows.size(), first.size());
        for (std::size_t r = 0; r < first.size(); ++r) {
            const std::string* texts[2] = {&first[r], &second[r]};
            for (std::size_t c = 0; c < 2; ++c) {
                const Cell& cell = read.rows[r][c];
                double value = 0;
                if (IsNumberText(*texts[c], &value) && cell.kind == Cell::Kind::Number)
                    EXPECT_EQ(cell.number, value) << "row " << r + 1;
                else
                    EXPECT_EQ(ImportText(cell, shortest), *texts[c]) << "row " << r + 1 << " column " << c + 1;
            }
        }
    }
}

} // namespace
} // namespace korvanta::excel

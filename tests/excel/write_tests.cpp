// Exports read back by independent readers (xlrd, openpyxl, FreeXL, and
// LibreOffice for .ods) and by our own reader, and the promise that a failed
// export leaves an existing file as it was.
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

// FreeXL is Debian's; the full-disk and memory caps need setrlimit.
#ifndef _WIN32
#include <freexl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "excel/export.h"
#include "excel/sheets.h"
#include "stats/cellvalue.h"
#include "stats/numbertext.h"

namespace korvanta::excel::test {
namespace {

using Columns = std::pair<std::vector<std::string>, std::vector<std::string>>;
using Writer = WriteResult (*)(const std::filesystem::path&, const std::vector<std::string>&,
                               const std::vector<std::string>&);

const char* const kXlrdScript = R"(
import json, struct, sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
def show(c):
    if c.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK): return ""
    if c.ctype == xlrd.XL_CELL_TEXT: return "s:" + c.value
    if c.ctype == xlrd.XL_CELL_NUMBER: return "n:" + struct.pack("<d", c.value).hex()
    return "?%d" % c.ctype
rows = [[show(sheet.cell(r, c)) if c < sheet.ncols else "" for c in range(2)] for r in range(sheet.nrows)]
while rows and rows[-1] == ["", ""]: rows.pop()
for row in rows: print(json.dumps(row, ensure_ascii=False))
)";

const char* const kOpenpyxlScript = R"(
import json, struct, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
def show(v):
    if v is None: return ""
    if isinstance(v, bool): return "b:" + str(v)
    if isinstance(v, (int, float)): return "n:" + struct.pack("<d", float(v)).hex()
    if isinstance(v, str): return "s:" + v
    return "?" + type(v).__name__
rows = [[show(v) for v in (list(r) + [None, None])[:2]] for r in sheet.iter_rows(values_only=True)]
while rows and rows[-1] == ["", ""]: rows.pop()
for row in rows: print(json.dumps(row, ensure_ascii=False))
)";

// LibreOffice opens the .ods and saves it as .xlsx for openpyxl.
const char* const kOdsScript = R"(
import json, os, struct, subprocess, sys, tempfile, openpyxl
out = tempfile.mkdtemp()
subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + out + "/profile",
                "--convert-to", "xlsx", "--outdir", out, sys.argv[1]], check=True, capture_output=True, timeout=280)
name = os.path.splitext(os.path.basename(sys.argv[1]))[0] + ".xlsx"
sheet = openpyxl.load_workbook(os.path.join(out, name), read_only=True).worksheets[0]
def show(v):
    if v is None: return ""
    if isinstance(v, (int, float)): return "n:" + struct.pack("<d", float(v)).hex()
    if isinstance(v, str): return "s:" + v
    return "?" + type(v).__name__
rows = [[show(v) for v in (list(r) + [None, None])[:2]] for r in sheet.iter_rows(values_only=True)]
while rows and rows[-1] == ["", ""]: rows.pop()
for row in rows: print(json.dumps(row, ensure_ascii=False))
)";

// The lines the read-back scripts should print for two exported columns.
std::string ExpectedLines(const Columns& columns)
{
    const auto& [a, b] = columns;
    std::vector<std::string> lines;
    for (std::size_t r = 0; r < std::max(a.size(), b.size()); ++r)
        lines.push_back(JsonRow(ExportedCell(r < a.size() ? a[r] : ""), ExportedCell(r < b.size() ? b[r] : "")));
    while (!lines.empty() && lines.back() == JsonRow("", "")) lines.pop_back();
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
}

// What our reader should give: row count up to the last non-empty text.
Table ExpectedCells(const Columns& columns)
{
    const auto& [a, b] = columns;
    Table t;
    for (std::size_t r = 0; r < std::max(a.size(), b.size()); ++r) {
        std::vector<std::string> row;
        for (const auto* column : {&a, &b}) {
            const std::string text = r < column->size() ? (*column)[r] : "";
            double v = 0;
            Cell cell = text.empty() ? Cell{} : IsNumberText(text, &v) ? Cell::MakeNumber(v) : Cell::MakeText(text);
            row.push_back(Describe(cell));
        }
        t.push_back(row);
    }
    while (!t.empty() && t.back() == std::vector<std::string>{"", ""}) t.pop_back();
    return t;
}

#ifndef _WIN32
// FreeXL's view of column A and B, in the same notation as ExpectedCells.
Table ReadWithFreeXl(const std::filesystem::path& path)
{
    const void* handle = nullptr;
    Table t;
    if (freexl_open(path.c_str(), &handle) != FREEXL_OK) return {{"freexl_open failed"}};
    unsigned rows = 0;
    unsigned short columns = 0;
    freexl_select_active_worksheet(handle, 0);
    freexl_worksheet_dimensions(handle, &rows, &columns);
    for (unsigned r = 0; r < rows; ++r) {
        std::vector<std::string> row;
        for (unsigned short c = 0; c < 2; ++c) {
            FreeXL_CellValue v;
            if (c >= columns || freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
                row.push_back("");
            } else if (v.type == FREEXL_CELL_INT) {
                row.push_back(Describe(Cell::MakeNumber(v.value.int_value)));
            } else if (v.type == FREEXL_CELL_DOUBLE) {
                row.push_back(Describe(Cell::MakeNumber(v.value.double_value)));
            } else if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT) {
                row.push_back(Describe(Cell::MakeText(v.value.text_value)));
            } else {
                row.push_back(v.type == FREEXL_CELL_NULL ? "" : "?");
            }
        }
        t.push_back(row);
    }
    freexl_close(handle);
    while (!t.empty() && t.back() == std::vector<std::string>{"", ""}) t.pop_back();
    return t;
}
#endif

Columns MixedColumns()
{
    return {{"组别", "1.5", "", "abc", ".5", "-3e2", "1,000", " 7", "TRUE", "007", "+2", "1e400", "5.", "x\ty\"z\\"},
            {"数值", "2", "-0.001", "中文 text"}};
}

Columns LongTextColumns()
{
    std::string chinese, emoji;
    for (int i = 0; i < 9000; ++i) chinese += "统";
    for (int i = 0; i < 5000; ++i) emoji += "a😀"; // surrogate pairs across record boundaries
    return {{std::string(20000, 'L'), chinese, emoji, "short"}, {emoji, "1", chinese}};
}

Columns ManyRows(std::size_t rows)
{
    Columns c;
    for (std::size_t i = 1; i <= rows; ++i) {
        c.first.push_back(std::to_string(i));
        c.second.push_back(i % 3 == 0 ? "组" + std::to_string(i % 100) : std::to_string(static_cast<double>(i) * 0.25));
    }
    return c;
}

struct FormatCase {
    const char* extension;
    Writer write;
    const char* readerScript;
};

class ExportRoundTrip : public ::testing::TestWithParam<FormatCase> {
protected:
    // FreeXL 1.0.6 gives up on any shared string spanning more than two
    // records, whoever wrote it (xlwt's too), so long texts skip it.
    void Check(const Columns& columns, bool withFreeXl = true)
    {
        ScratchDir dir;
        const auto path = dir / (std::string("out.") + GetParam().extension);
        const auto written = GetParam().write(path, columns.first, columns.second);
        ASSERT_TRUE(written.Ok()) << static_cast<int>(written.error) << " " << written.detail;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{path.filename().string()});

        const auto python = RunPython(GetParam().readerScript, {path.string()});
        EXPECT_EQ(python.status, 0);
        EXPECT_EQ(python.output, ExpectedLines(columns));

        const auto ours = ReadFirstSheet(path);
        ASSERT_TRUE(ours.Ok()) << static_cast<int>(ours.error);
        EXPECT_EQ(Describe(ours.rows), ExpectedCells(columns));
#ifndef _WIN32
        if (withFreeXl && std::string(GetParam().extension) == "xls") {
            EXPECT_EQ(ReadWithFreeXl(path), ExpectedCells(columns));
        }
#else
        (void)withFreeXl;
#endif
    }
};

TEST_P(ExportRoundTrip, NumbersTextsAndGapsOfColumnsOfDifferentLengths) { Check(MixedColumns()); }
TEST_P(ExportRoundTrip, EmptyListsGiveAnEmptySheet) { Check({}); }
TEST_P(ExportRoundTrip, TwelveAndTenItems)
{
    Columns c;
    for (int i = 1; i <= 12; ++i) c.first.push_back(std::to_string(i));
    for (int i = 1; i <= 10; ++i) c.second.push_back(std::to_string(i * 10));
    Check(c);
}
TEST_P(ExportRoundTrip, LongTextsInBothCharacterWidths) { Check(LongTextColumns(), false); }
TEST_P(ExportRoundTrip, ThirtyTwoThousandRows) { Check(ManyRows(32767)); }

WriteResult WriteOds(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2)
{
    return ExportColumns(path, ExportFormat::Ods, {column1, column2});
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportRoundTrip,
                         ::testing::Values(FormatCase{"xls", &WriteXls, kXlrdScript},
                                           FormatCase{"xlsx", &WriteXlsx, kOpenpyxlScript},
                                           FormatCase{"ods", &WriteOds, kOdsScript}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.extension); });

// 65,536 rows of distinct texts make a file of about 9 MB, past the 109
// FAT sectors the container header lists itself, so DIFAT sectors are
// written too.
TEST(ExportLimits, XlsHoldsExactly65536Rows)
{
    ScratchDir dir;
    Columns full;
    for (int i = 0; i < 65536; ++i) {
        full.first.push_back(std::to_string(i) + std::string(100, 'x'));
        full.second.push_back(std::to_string(i * 0.5));
    }
    ASSERT_TRUE(WriteXls(dir / "full.xls", full.first, full.second).Ok());
    EXPECT_GT(std::filesystem::file_size(dir / "full.xls"), 109u * 128 * 512);
    const auto python = RunPython(kXlrdScript, {(dir / "full.xls").string()});
    EXPECT_EQ(python.status, 0);
    EXPECT_TRUE(python.output == ExpectedLines(full)) << "xlrd disagrees";
    // The import stops at the grid's rows, before reading the rest.
    EXPECT_EQ(ReadFirstSheet(dir / "full.xls").error, ReadError::TooManyRows);

    const std::vector<std::string> over(65537, "1");
    const auto refused = WriteXls(dir / "over.xls", {}, over);
    EXPECT_EQ(refused.error, WriteError::TooManyRows);
    EXPECT_FALSE(std::filesystem::exists(dir / "over.xls"));
    EXPECT_TRUE(WriteXlsx(dir / "over.xlsx", {}, over).Ok());
}

TEST(ExportLimits, RefusesTextsNoWorkbookCanHold)
{
    ScratchDir dir;
    const struct {
        std::string text;
        WriteError error;
    } cases[] = {
        {std::string(32768, 'x'), WriteError::TextTooLong},
        {std::string("ab\xC3", 3), WriteError::InvalidText},
        {std::string("\xED\xA0\x80", 3), WriteError::InvalidText}, // an encoded surrogate
    };
    for (const auto& c : cases) {
        for (Writer write : {&WriteXls, &WriteXlsx}) {
            const auto r = write(dir / "t", {"1", c.text}, {});
            EXPECT_EQ(r.error, c.error);
            EXPECT_TRUE(dir.Files().empty());
        }
    }
    EXPECT_TRUE(WriteXls(dir / "max.xls", {std::string(32767, 'x')}, {}).Ok());
}

class ExportKeepsExistingFile : public ::testing::TestWithParam<FormatCase> {};

#ifndef _WIN32
TEST_P(ExportKeepsExistingFile, WhenTheWriteFails)
{
    ScratchDir dir;
    const auto target = dir / (std::string("data.") + GetParam().extension);
    WriteFile(target, "previous export");
    // The file-size limit makes a write fail part-way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto columns = ManyRows(20000);
    const auto result = GetParam().write(target, columns.first, columns.second);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.error, WriteError::WriteFailed) << result.detail;
    EXPECT_EQ(ReadFile(target), "previous export");
    EXPECT_EQ(dir.Files(), std::vector<std::string>{target.filename().string()});
}
#endif

TEST_P(ExportKeepsExistingFile, WhenTheTargetIsAFolder)
{
    ScratchDir dir;
    const auto target = dir / "a folder";
    std::filesystem::create_directories(target / "inside");
    const auto result = GetParam().write(target, {"1"}, {"2"});
    EXPECT_EQ(result.error, WriteError::IsFolder);
    EXPECT_TRUE(std::filesystem::is_directory(target / "inside"));
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"a folder"});
}

TEST_P(ExportKeepsExistingFile, AndReplacesItOnSuccess)
{
    ScratchDir dir;
    const auto target = dir / (std::string("data.") + GetParam().extension);
    WriteFile(target, "previous export");
    ASSERT_TRUE(GetParam().write(target, {"7"}, {}).Ok());
    const auto result = ReadFirstSheet(target);
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(Describe(result.rows), (Table{{"n:7", ""}}));
    EXPECT_EQ(dir.Files(), std::vector<std::string>{target.filename().string()});
}

TEST_P(ExportKeepsExistingFile, AndReportsAMissingFolder)
{
    ScratchDir dir;
    const auto result = GetParam().write(dir / "no such folder" / "x", {"1"}, {});
    EXPECT_EQ(result.error, WriteError::FolderMissing);
    EXPECT_FALSE(result.detail.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportKeepsExistingFile,
                         ::testing::Values(FormatCase{"xls", &WriteXls, nullptr},
                                           FormatCase{"xlsx", &WriteXlsx, nullptr}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.extension); });

// A .csv export reads back row for row, a heading row too; texts alone
// make a file the import refuses as prose, which is no failed write.
TEST(CsvExport, ReadsBackEveryRowItWrote)
{
    const excel::Columns cases[] = {
        {{"治疗组", "1.5", "2"}, {"对照组", "3", ""}},
        {{"组1", "x"}, {"y"}},
        {{"1"}, {}},
    };
    for (const excel::Columns& columns : cases) {
        ScratchDir dir;
        const WriteResult written = ExportColumns(dir / "out.csv", ExportFormat::Csv, columns);
        EXPECT_TRUE(written.Ok()) << columns[0][0] << ": " << static_cast<int>(written.error) << " " << written.detail;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"out.csv"});
    }
}

// Rounded as Python's float() rounds: the nearest double, ties to even,
// subnormals kept, a result below the smallest subnormal stored as zero and
// one past the largest double refused, however the exponent is written.
TEST(NumberText, StrictFormOnly)
{
    const struct {
        const char* text;
        bool number;
        double value;
    } cases[] = {
        {"0", true, 0},
        {"-12", true, -12},
        {"+2", true, 2},
        {"1.5", true, 1.5},
        {".5", true, 0.5},
        {"-.5", true, -0.5},
        {"5.", true, 5},
        {"1e3", true, 1000},
        {"2.5E-2", true, 0.025},
        {"007", true, 7},
        {"1e-400", true, 0},
        {"", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {"e5", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1,000", false, 0},
        {"1e400", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"0x10", false, 0},
        {"1.2.3", false, 0},
        {"--1", false, 0},
        {"１", false, 0},
        {"9007199254740993", true, 9007199254740992.0},
        {"2.2250738585072011e-308", true, 2.2250738585072009e-308},
        {"4.9e-324", true, 4.9406564584124654e-324},
        {"2.4e-324", true, 0},
        {"-1e-400", true, 0},
        {"+1e-400", true, 0},
        {"1000e-327", true, 0},
        {"0.0001e-99999999999999999999", true, 0},
        {"1.7976931348623157e308", true, 1.7976931348623157e308},
        {"1.7976931348623159e308", false, 0},
        {"0.001e312", false, 0},
        {"1e99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(IsNumberText(c.text, &v), c.number) << '"' << c.text << '"';
        if (c.number) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

const char* const kCsvScript = R"(
import csv, json, sys
for r in csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")):
    print(json.dumps([("s:" + v if v else "") for v in (r + ["", ""])[:2]], ensure_ascii=False))
)";

// A number text whose digits a number cell would not give back (past the
// 15 significant digits every reader shows, or below the doubles' full
// precision) is written as the text typed, and the rest as numbers: read
// back so by xlrd, openpyxl, Python's csv module and LibreOffice, and taken by the grid
// as the same values, so an import of the export has the same n.
TEST(ExportKeepsNumberTexts, AsNumbersOnlyWhereTheNumberShowsTheSameDigits)
{
    const struct {
        const char* text;
        bool number; // in a workbook
    } cases[] = {
        {"922337203685477.5807", false},
        {"-922337203685477.5808", false},
        {"1.0000000000000001", false},
        {"0.1234567890123456789", false},
        {"1234567890123456", false},
        {"0.30000000000000004", false},
        {"1.7976931348623157e308", false},
        {"1e-320", false}, // a subnormal double holds 1e-320 as 9.99988671826831E-321
        {"0.1", true},
        {"123456789012345", true},
        {"-0.00000000000001", true},
        {"1.50", true},
        {"0.1000000000000000000", true},
        {"1e20", true},
        {"-2.5E-3", true},
        {"+5", true},
        {"9.99999999999999e307", true},
        {"1e-300", true},
    };
    std::vector<std::string> texts;
    for (const auto& c : cases) texts.emplace_back(c.text);
    const struct {
        ExportFormat format;
        const char* name;
        const char* script;
    } formats[] = {
        {ExportFormat::Xls, "out.xls", kXlrdScript},
        {ExportFormat::Xlsx, "out.xlsx", kOpenpyxlScript},
        {ExportFormat::Csv, "out.csv", kCsvScript},
        {ExportFormat::Ods, "out.ods", kOdsScript},
    };
    const NumberFormatter general = [](double v) { return stats::GeneralNumberText(v); };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.name);
        ScratchDir dir;
        const WriteResult written = ExportColumns(dir / f.name, f.format, {texts});
        ASSERT_TRUE(written.Ok()) << static_cast<int>(written.error) << " " << written.detail;
        std::string expected;
        for (const auto& c : cases)
            expected +=
                JsonRow(c.number && f.format != ExportFormat::Csv ? ExportedCell(c.text) : "s:" + std::string(c.text),
                        "") +
                "\n";
        const auto python = RunPython(f.script, {(dir / f.name).string()});
        EXPECT_EQ(python.status, 0);
        EXPECT_EQ(python.output, expected);

        const ReadResult back = ReadSheet(dir / f.name, 0);
        ASSERT_TRUE(back.Ok()) << static_cast<int>(back.error);
        ASSERT_EQ(back.rows.size(), std::size(cases));
        for (std::size_t r = 0; r < std::size(cases); ++r) {
            const stats::CellValue typed = stats::ReadCell(cases[r].text);
            const stats::CellValue imported = stats::ReadCell(ImportText(back.rows[r][0], general));
            EXPECT_EQ(imported.kind, typed.kind) << cases[r].text;
            EXPECT_TRUE(imported.exact == typed.exact) << cases[r].text;
        }
    }
}

// With the address space capped just above what the process uses, the
// copy an export makes of its data cannot be had: the export says so
// instead of ending the program, in every format, and writes nothing.
// (AddressSanitizer reserves more address space than any such cap.)
#if !defined(__SANITIZE_ADDRESS__) && !defined(_WIN32)
// Ends the process: status 0 when the export under the cap says it ran out
// of memory and left nothing in its folder.
[[noreturn]] void ExportUnderTightCap(ExportFormat format)
{
    const excel::Columns columns(2, std::vector<std::string>(2000, std::string(8000, 'm')));
    bool refused = false;
    {
        ScratchDir dir;
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit cap{pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + (8u << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &cap);
        const WriteResult r = ExportColumns(dir / "big", format, columns);
        refused = r.error == WriteError::OutOfMemory && dir.Files().empty();
    }
    ::_exit(refused ? 0 : 1);
}

TEST(ExportLimits, TooLittleMemoryIsReportedNotFatal)
{
    // Each export in a process of its own, started afresh: memory that
    // earlier tests freed and the allocator kept would pass for room under
    // the cap.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const ExportFormat format : {ExportFormat::Xls, ExportFormat::Xlsx, ExportFormat::Csv})
        EXPECT_EXIT(ExportUnderTightCap(format), ::testing::ExitedWithCode(0), "") << static_cast<int>(format);
}
#endif

} // namespace
} // namespace korvanta::excel::test

namespace korvanta::excel::test {
namespace {

// PSPP's own reading of a .sav we wrote: the cases as values and as value
// labels (CSV), the variables' labels, and the weight it applies.
const char* const kPsppScript = R"(
import os, subprocess, sys, tempfile
work = tempfile.mkdtemp()
syntax = os.path.join(work, "read.sps")
with open(syntax, "w", encoding="utf-8") as f:
    f.write("SET LOCALE='UTF-8'.\n")
    f.write("GET FILE='%s'.\n" % sys.argv[1])
    f.write("SAVE TRANSLATE /OUTFILE='%s/values.csv' /TYPE=CSV /FIELDNAMES /CELLS=VALUES /REPLACE.\n" % work)
    f.write("SAVE TRANSLATE /OUTFILE='%s/labels.csv' /TYPE=CSV /FIELDNAMES /CELLS=LABELS /REPLACE.\n" % work)
    f.write("DISPLAY LABELS.\n")
    f.write("SHOW WEIGHT.\n")
run = subprocess.run(["pspp", "-O", "format=csv", "-o", os.path.join(work, "out.csv"), syntax],
                     capture_output=True, text=True)
if run.returncode != 0:
    print(run.stdout, run.stderr)
    sys.exit(1)
for name in ("values.csv", "labels.csv", "out.csv"):
    with open(os.path.join(work, name), encoding="utf-8") as f:
        print(f.read().replace("\r\n", "\n"), end="")
)";

bool HavePspp() { return ::access("/usr/bin/pspp", X_OK) == 0; }

TEST(StatisticsExport, WhatPsppAndOurReaderReadBack)
{
    if (!ReadsStatisticsFiles()) GTEST_SKIP() << "built without ReadStat";
    // The grid's two groups, named as typed, of unequal lengths with a gap
    // and a text; and a 2x2 table as weighted cases.
    const Dataset groups = {{{"group1", "治疗组 A", {}, {"120.5", "", "-3", "1e-3", "0.1"}},
                             {"group2", "对照组", {}, {"7", "约 150", "", "x"}}},
                            std::nullopt};
    const Dataset table = {{{"row", "组别", {{1, "试验组"}, {2, "对照组"}}, {"1", "1", "2", "2"}},
                            {"column", "结果", {{1, "（+）"}, {2, "（-）"}}, {"1", "2", "1", "2"}},
                            {"count", "例数", {}, {"12", "8", "", "15"}}},
                           2};
    const struct {
        const Dataset* dataset;
        const char* pspp; // values, labels, then the dictionary PSPP lists
        std::vector<const char*> psppHas;
    } cases[] = {
        // PSPP writes a system-missing value as a space.
        {&groups,
         "group1,group2\n120.5,7\n ,约 150\n-3,\n0.001,x\n0.1,\n",
         {"group1,1,治疗组 A", "group2,2,对照组", "WEIGHT is OFF"}},
        {&table,
         "row,column,count\n1,1,12\n1,2,8\n2,1, \n2,2,15\n",
         {"row,column,count\n试验组,（+）,12\n试验组,（-）,8\n对照组,（+）, \n对照组,（-）,15\n", "row,1,组别",
          "column,2,结果", "count,3,例数", "WEIGHT is count"}},
    };
    for (const auto& c : cases) {
        for (const ExportFormat format : {ExportFormat::Sav, ExportFormat::Dta}) {
            SCOPED_TRACE(format == ExportFormat::Sav ? "sav" : "dta");
            ScratchDir dir;
            const auto path = dir / (format == ExportFormat::Sav ? "out.sav" : "out.dta");
            const WriteResult written = ExportDataset(path, format, *c.dataset);
            ASSERT_TRUE(written.Ok()) << static_cast<int>(written.error) << " " << written.detail;
            EXPECT_EQ(dir.Files(), std::vector<std::string>{path.filename().string()});
            // Our reader: every value as written, the names and labels.
            const DataFile file(path);
            const ReadResult read = file.ReadSheet(0);
            ASSERT_TRUE(read.Ok()) << static_cast<int>(read.error);
            ASSERT_EQ(read.variables.size(), c.dataset->variables.size());
            for (std::size_t v = 0; v < read.variables.size(); ++v) {
                EXPECT_EQ(read.variables[v].name, c.dataset->variables[v].name);
                EXPECT_EQ(read.variables[v].label, c.dataset->variables[v].label);
            }
            if (format != ExportFormat::Sav || !HavePspp()) continue;
            const ProcessResult pspp = RunPython(kPsppScript, {path.string()});
            ASSERT_EQ(pspp.status, 0) << pspp.output;
            EXPECT_TRUE(pspp.output.starts_with(c.pspp)) << pspp.output;
            for (const char* has : c.psppHas)
                EXPECT_NE(pspp.output.find(has), std::string::npos) << has << "\n" << pspp.output;
        }
    }
}

} // namespace
} // namespace korvanta::excel::test

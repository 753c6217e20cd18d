// Import from .ods, any sheet of .xls/.xlsx/.ods, and .csv/.txt text, on
// files LibreOffice made (tools/make_io_fixtures.sh); the .csv export read
// back by Python's csv module.
#include "delimited/delimitedtext.h"
#include "excel/library_paths.h"
#include "excel/sheets.h"
#include "stats/numbertext.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace korvanta::excel {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::pair<std::string, std::string>>;

fs::path Data(const char* name) { return fs::path(KORVANTA_TEST_DATA) / name; }

Texts AsTexts(const ReadResult& read)
{
    const NumberFormatter general = [](double v) { return stats::GeneralNumberText(v); };
    Texts texts;
    for (const Row& row : read.rows) texts.emplace_back(ImportText(row[0], general), ImportText(row[1], general));
    return texts;
}

// Sheet 身高 as every workbook format reads it: a date as its serial number,
// a formula by its value, TRUE written by Calc as 1, the error cell empty,
// a row used only in column D.
const Texts kFirstSheet = {{"身高", "体重"}, {"170.5", "65"}, {"168", ""}, {"171.5", "1"}, {"2024-03-01", "两个  空格"},
                           {"", ""},         {"172", "70"},   {"", "80"},  {"5", "5"},     {"5", "5"},
                           {"1.5", "-2.25"}, {"", ""}};
const Texts kSecondSheet = {{"1", "4"}, {"2", "5"}, {"3", "6"}};

class Workbooks : public ::testing::TestWithParam<const char*> {};

TEST_P(Workbooks, EverySheetReadsTheSameInEachFormat)
{
    const fs::path path = Data(GetParam());
    const SheetList sheets = ListSheets(path);
    ASSERT_TRUE(sheets.Ok()) << static_cast<int>(sheets.error);
    EXPECT_EQ(sheets.names, (std::vector<std::string>{"身高", "第二组", "空表"}));

    const ReadResult first = ReadSheet(path, 0);
    ASSERT_TRUE(first.Ok()) << static_cast<int>(first.error);
    EXPECT_EQ(AsTexts(first), kFirstSheet);
    // The second sheet ends with a million formatted empty rows in the .ods.
    EXPECT_EQ(AsTexts(ReadSheet(path, 1)), kSecondSheet);
    const ReadResult empty = ReadSheet(path, 2);
    EXPECT_TRUE(empty.Ok());
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(ReadSheet(path, 3).error, ReadError::NoWorksheet);
}

INSTANTIATE_TEST_SUITE_P(LibreOffice, Workbooks, ::testing::Values("lo_sheets.ods", "lo_sheets.xlsx", "lo_sheets.xls"),
                         [](const auto& paramInfo) {
                             std::string name = paramInfo.param;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(Workbooks, TheFirstListedSheetIsTheOneTheFirstSheetReaderReads)
{
    // A chart sheet comes first here; a second worksheet in the others.
    for (const char* name : {"xlsxwriter_chartsheet_first.xlsx", "lo_mixed.xlsx", "lo_mixed.xls", "xlwt_strings.xls"}) {
        const ReadResult first = ReadFirstSheet(Data(name));
        const ReadResult sheet = ReadSheet(Data(name), 0);
        EXPECT_EQ(sheet.rows, first.rows) << name;
    }
    EXPECT_EQ(ListSheets(Data("xlsxwriter_chartsheet_first.xlsx")).names, std::vector<std::string>{"Data"});
    EXPECT_EQ(ListSheets(Data("xlwt_strings.xls")).names, (std::vector<std::string>{"第一页", "Second"}));
}

TEST(Workbooks, RefusedWorkbooksGiveTheFirstSheetReadersMessage)
{
    for (const char* name : {"lo_password.xls", "made_excel95.xls", "made_encrypted.xlsx"}) {
        const ReadResult sheet = ReadSheet(Data(name), 0);
        EXPECT_FALSE(sheet.Ok()) << name;
        EXPECT_EQ(sheet.error, ReadFirstSheet(Data(name)).error) << name;
    }
}

// The first sheet saved by Calc as text, cells as shown: the heading row is
// kept as row 1 (the preview decides), the date stays as written, the error
// is text.
Texts TextSheet(const char* decimalOne, const char* decimalTwo)
{
    return {{"身高", "体重"}, {"170.5", "65"},   {"168", ""}, {"171.5", "1"}, {"2024-03-01", "两个  空格"}, {"", ""},
            {"172", "70"},    {"#DIV/0!", "80"}, {"5", "5"},  {"5", "5"},     {decimalOne, decimalTwo},     {"", ""}};
}

TEST(TextFiles, EachEncodingAndSeparatorReadsTheSameColumns)
{
    struct Case {
        const char* file;
        Texts expected;
    };
    const Case cases[] = {
        // With a comma separator Calc quotes "1,5"; a comma that cannot
        // separate groups of three digits is a decimal comma in every file.
        {"lo_comma.csv", TextSheet("1.5", "-2.3")},
        {"lo_semicolon.csv", TextSheet("1.5", "-2.3")},
        {"lo_unicode.txt", TextSheet("1.5", "-2.3")},
        {"lo_gb18030.csv", TextSheet("1.5", "-2.3")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectFormat(Data(c.file)), FileFormat::Text) << c.file;
        const ReadResult read = ReadSheet(Data(c.file), 0);
        ASSERT_TRUE(read.Ok()) << c.file << ": " << static_cast<int>(read.error);
        EXPECT_EQ(AsTexts(read), c.expected) << c.file;
        EXPECT_EQ(ListSheets(Data(c.file)).names.size(), 1u) << c.file;
    }
}

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("korvanta-io-" + std::to_string(std::random_device()())))
    {
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    fs::path File(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return path_ / name;
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

TEST(DetectFormat, WorkbooksByContentTextOnlyByName)
{
    TempFolder folder;
    fs::copy_file(Data("lo_sheets.xlsx"), folder / "really_a_workbook.csv");
    fs::copy_file(Data("lo_sheets.ods"), folder / "renamed.xls");
    struct Case {
        fs::path path;
        FileFormat format;
    };
    const Case cases[] = {
        {Data("lo_sheets.ods"), FileFormat::Ods},
        {Data("lo_sheets.xlsx"), FileFormat::Xlsx},
        {Data("lo_sheets.xls"), FileFormat::Xls},
        {folder / "really_a_workbook.csv", FileFormat::Xlsx},
        {folder / "renamed.xls", FileFormat::Ods},
        {folder.File("text.xls", "1,2\n3,4\n"), FileFormat::Unknown},
        {folder.File("page.csv", "\xEF\xBB\xBF <html><table><tr><td>1</td></tr></table></html>"), FileFormat::Unknown},
        // Text by its name: the text reader gives the reason it cannot be read.
        {folder.File("binary.txt", std::string("1\0002\n", 4)), FileFormat::Text},
        {folder.File("empty.csv", ""), FileFormat::Text},
        {folder.File("UPPER.CSV", "1\n"), FileFormat::Text},
        {folder / "missing.csv", FileFormat::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(DetectFormat(c.path), c.format) << c.path;
    EXPECT_EQ(AsTexts(ReadSheet(folder / "renamed.xls", 1)), kSecondSheet);
}

// A text with nothing in it, without a number, or one that is no text, is
// refused with its own reason; a heading over data is kept as row 1.
TEST(TextFiles, ATextWithoutDataIsNoDataFile)
{
    TempFolder folder;
    const struct {
        std::string text;
        delimited::TextFault fault;
        std::size_t rows;
    } cases[] = {
        {"not a workbook\n", {delimited::TextProblem::NoNumbers}, 0},
        {"身高,体重\n", {delimited::TextProblem::NoNumbers}, 0},
        {"身高,体重\n170,\n", {}, 2},
        {"\n\n,\n", {delimited::TextProblem::Blank}, 0},
        {"", {delimited::TextProblem::Blank}, 0},
        {std::string("1,2\n3,4\n5\0,6\n", 13), {delimited::TextProblem::NulCharacter, 3}, 0},
        {std::string("\xFF\xFE"
                     "1\0\n\0"
                     "2\0\0\0",
                     10),
         {delimited::TextProblem::NulCharacter, 2},
         0},
        {std::string("1\0,\0"
                     "2\0\n\0",
                     8),
         {delimited::TextProblem::Utf16WithoutMark},
         0},
        {"1,2\n\xD7\xE9,3\n4,\x81", {delimited::TextProblem::CutCharacter}, 0},
        {"1,2\n3,\xFF\xFF\n", {delimited::TextProblem::UnknownEncoding, 2}, 0},
        {"1,2\n\"3,4\n5,6\n", {delimited::TextProblem::UnclosedQuote, 2}, 0},
        {"1,\"a\n\"\"b\"\"\"\n2,\"c\n", {delimited::TextProblem::UnclosedQuote, 3}, 0},
    };
    for (const auto& c : cases) {
        const ReadResult read = ReadSheet(folder.File("t.txt", c.text), 0);
        EXPECT_EQ(read.Ok(), c.fault.problem == delimited::TextProblem::None) << c.text;
        EXPECT_EQ(read.textFault, c.fault) << c.text;
        EXPECT_EQ(read.rows.size(), c.rows) << c.text;
    }
    EXPECT_EQ(ReadSheet(folder / "none.csv", 0).error, ReadError::CannotOpen);
}

// An OpenDocument package of the given parts, written with libzip.
void WritePackage(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& parts)
{
    int error = 0;
    zip_t* archive = detail::OpenZipArchive(path, ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string Content(const std::string& table)
{
    return "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>" +
           table + "</office:spreadsheet></office:body></office:document-content>";
}

TEST(OdsFiles, HostilePackagesAreRefusedAndOddOnesRead)
{
    const std::string mimetype = "application/vnd.oasis.opendocument.spreadsheet";
    const std::string oneCell = "<table:table table:name=\"S\"><table:table-row><table:table-cell "
                                "office:value-type=\"float\" office:value=\"7\"/></table:table-row></table:table>";
    const std::string encrypted =
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
        "<manifest:file-entry "
        "manifest:full-path=\"content.xml\"><manifest:encryption-data/></manifest:file-entry></manifest:manifest>";
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> parts;
        ReadError error;
        std::size_t rows;
    };
    const Case cases[] = {
        {"encrypted",
         {{"mimetype", mimetype}, {"META-INF/manifest.xml", encrypted}, {"content.xml", Content(oneCell)}},
         ReadError::Encrypted,
         0},
        {"broken xml",
         {{"mimetype", mimetype}, {"content.xml", Content(oneCell).substr(0, 300)}},
         ReadError::Corrupt,
         0},
        {"entity declarations",
         {{"mimetype", mimetype}, {"content.xml", "<!DOCTYPE x [<!ENTITY a \"aaaa\">]>" + Content(oneCell)}},
         ReadError::Corrupt,
         0},
        {"no content", {{"mimetype", mimetype}}, ReadError::NotWorkbook, 0},
        {"no tables", {{"mimetype", mimetype}, {"content.xml", Content("")}}, ReadError::NoWorksheet, 0},
        {"a data row repeated past any sheet",
         {{"mimetype", mimetype},
          {"content.xml", Content("<table:table table:name=\"S\"><table:table-row "
                                  "table:number-rows-repeated=\"99999999999\"><table:table-cell "
                                  "office:value-type=\"float\" office:value=\"1\"/></table:table-row></table:table>")}},
         ReadError::TooManyRows,
         0},
        {"empty rows repeated past any sheet",
         {{"mimetype", mimetype},
          {"content.xml",
           Content("<table:table table:name=\"S\"><table:table-row><table:table-cell office:value-type=\"float\" "
                   "office:value=\"1\"/>"
                   "</table:table-row><table:table-row table:number-rows-repeated=\"99999999999\"><table:table-cell "
                   "table:number-columns-repeated=\"99999999999\"/></table:table-row></table:table>")}},
         ReadError::None,
         1},
        {"no mimetype entry", {{"content.xml", Content(oneCell)}}, ReadError::None, 1},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const fs::path path = folder / (std::string(c.name) + ".ods");
        WritePackage(path, c.parts);
        const ReadResult read = ReadSheet(path, 0);
        EXPECT_EQ(read.error, c.error) << c.name;
        EXPECT_EQ(read.rows.size(), c.rows) << c.name;
    }
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Python's csv module, as an independent reader: one line per row, the
// fields joined by " | ".
std::string PythonRows(const fs::path& path)
{
    return test::RunPython("import csv,sys\nfor r in csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')): "
                           "print(' | '.join(r))",
                           {path.string()})
        .output;
}

TEST(CsvExport, WritesWhatCsvReadersAndOurImportReadBack)
{
    TempFolder folder;
    const std::vector<std::string> first = {"1.5", "", "a,b", "  spaced  ", "say \"hi\"", "中文", "", ""};
    const std::vector<std::string> second = {"2", "-3", "", "4", "", "", "", ""};
    const fs::path path = folder / "out.csv";
    ASSERT_TRUE(WriteCsv(path, first, second).Ok());

    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.substr(3), "1.5,2\r\n,-3\r\n\"a,b\",\r\n\"  spaced  \",4\r\n\"say \"\"hi\"\"\",\r\n中文,\r\n");
    EXPECT_EQ(PythonRows(path), "1.5 | 2\n | -3\na,b | \n  spaced   | 4\nsay \"hi\" | \n中文 | \n");

    const ReadResult back = ReadSheet(path, 0);
    ASSERT_TRUE(back.Ok());
    const Texts expected = {{"1.5", "2"},        {"", "-3"},         {"a,b", ""},
                            {"  spaced  ", "4"}, {"say \"hi\"", ""}, {"中文", ""}};
    EXPECT_EQ(AsTexts(back), expected);
}

// A ";" or a tab inside one field of a comma-separated file leaves the
// separator a comma: our columns A and B are the first two fields Python's
// csv reader finds on each line (the heading line left out).
TEST(TextFiles, AStraySeparatorInOneFieldReadsAsPythonsCsvReaderDoes)
{
    struct Case {
        const char* name;
        std::string text;
        bool heading;
    };
    const Case cases[] = {
        {"note with a semicolon", "收缩压,舒张压,备注\n141,130,\n150,142,约 150; 复查\n138,125,\n", true},
        {"semicolon in column B", "141,130,x\n150,142;复查,y\n138,125,z\n", false},
        {"quoted semicolons and tabs", "1,\"a;b\"\n2,\"c\td;e\"\n3,f\n", false},
        {"tab in a note", "x,y,z\n1.5,2,a\n4,5,b\tc\n6,7,d\n", true},
        {"semicolons in most notes", "x,y,z\n1,2,a;b\n3,4,c;d\n5,6,e\n7,8,f\n9,10,g\n", true},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const fs::path path = folder.File("stray.csv", c.text);
        Texts python;
        std::istringstream lines(PythonRows(path));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t bar = line.find(" | ");
            const std::size_t next = bar == std::string::npos ? bar : line.find(" | ", bar + 3);
            python.emplace_back(line.substr(0, bar),
                                bar == std::string::npos ? "" : line.substr(bar + 3, next - bar - 3));
        }
        // Row 1 is read as Python reads it; only the preview's hint calls it a heading.
        const ReadResult read = ReadSheet(path, 0);
        ASSERT_TRUE(read.Ok()) << c.name;
        EXPECT_EQ(AsTexts(read), python) << c.name;
        std::vector<std::string> first;
        for (const Cell& cell : read.rows.front().cells) first.push_back(cell.text);
        EXPECT_EQ(delimited::LooksLikeHeading(first), c.heading) << c.name;
    }
}

// A semicolon or a tab in a text would make the whole file read as
// separated by it; quoted, they stay in their cell. Texts that a spreadsheet
// would evaluate get an apostrophe, numbers with a sign do not.
TEST(CsvExport, TextsThatWouldSplitTheFileOrBeEvaluatedAreGuarded)
{
    TempFolder folder;
    const std::vector<std::string> first = {"1", "a;b", "c\td", "=1+1", "-2", "+cmd|' /C calc'!A0", "-", "@x", "a=b"};
    const std::vector<std::string> second = {"2", "x", "", "-1e3", "", "", "", "", ""};
    const fs::path path = folder / "guarded.csv";
    ASSERT_TRUE(WriteCsv(path, first, second).Ok());
    EXPECT_EQ(PythonRows(path),
              "1 | 2\na;b | x\nc\td | \n'=1+1 | -1e3\n-2 | \n'+cmd|' /C calc'!A0 | \n'- | \n'@x | \na=b | \n");
    const ReadResult back = ReadSheet(path, 0);
    ASSERT_TRUE(back.Ok());
    const Texts expected = {{"1", "2"},        {"a;b", "x"}, {"c\td", ""},
                            {"'=1+1", "-1e3"}, {"-2", ""},   {"'+cmd|' /C calc'!A0", ""},
                            {"'-", ""},        {"'@x", ""},  {"a=b", ""}};
    EXPECT_EQ(AsTexts(back), expected);
}

TEST(CsvExport, AFolderThatIsNotThereIsReported)
{
    TempFolder folder;
    const WriteResult written = WriteCsv(folder / "no" / "such" / "x.csv", {"1"}, {});
    EXPECT_EQ(written.error, WriteError::FolderMissing);
}

} // namespace
} // namespace korvanta::excel

// .xlsx packages assembled part by part with libzip: the forms different
// writers use, and malformed or hostile packages. Also files that are no
// workbook at all.
#include "test_support.h"

#include "excel/library_paths.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <random>

namespace korvanta::excel::test {
namespace {

using Parts = std::map<std::string, std::string>;

const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kPkgRels = "http://schemas.openxmlformats.org/package/2006/relationships";

std::string Rel(const std::string& id, const std::string& type, const std::string& target)
{
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelNs + "/" + type + "\" Target=\"" + target + "\"/>";
}
std::string Rels(const std::string& body)
{
    return "<Relationships xmlns=\"" + kPkgRels + "\">" + body + "</Relationships>";
}

Parts Package(const std::string& sheetData, const std::string& strings = "<si><t>zero</t></si><si><t>one</t></si>")
{
    return {
        {"_rels/.rels", Rels(Rel("rId1", "officeDocument", "xl/workbook.xml"))},
        {"xl/workbook.xml", "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelNs +
                                "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") + Rel("rId2", "sharedStrings", "sharedStrings.xml"))},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"" + kMain + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", "<sst xmlns=\"" + kMain + "\">" + strings + "</sst>"},
    };
}

void MakeZip(const std::filesystem::path& path, const Parts& parts)
{
    int error = 0;
    zip_t* z = detail::OpenZipArchive(path, ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(z, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(z, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(z), 0);
}

ReadResult ReadParts(const Parts& parts)
{
    ScratchDir dir;
    MakeZip(dir / "t.xlsx", parts);
    return ReadFirstSheet(dir / "t.xlsx");
}

TEST(XlsxParts, RelationshipTargetsInEveryForm)
{
    const struct {
        const char* target;
        const char* part;
    } cases[] = {
        {"worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"./worksheets/../worksheets/sheet%201.xml", "xl/worksheets/sheet 1.xml"},
        {"../xl/Worksheets/SHEET1.xml", "xl/worksheets/sheet1.xml"}, // part names ignore case
    };
    for (const auto& c : cases) {
        Parts parts = Package("<row r=\"1\"><c r=\"A1\"><v>5</v></c></row>");
        const std::string sheet = parts["xl/worksheets/sheet1.xml"];
        parts.erase("xl/worksheets/sheet1.xml");
        parts[c.part] = sheet;
        parts["xl/_rels/workbook.xml.rels"] = Rels(Rel("rId1", "worksheet", c.target));
        const auto r = ReadParts(parts);
        ASSERT_TRUE(r.Ok()) << c.target << ": " << static_cast<int>(r.error);
        EXPECT_EQ(Describe(r.rows), (Table{{"n:5", ""}})) << c.target;
    }
}

TEST(XlsxParts, WorkbookElsewhereAndStrictNamespacesWithPrefixes)
{
    const std::string strictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";
    const std::string strictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships";
    const Parts parts = {
        {"_rels/.rels", "<Relationships xmlns=\"" + kPkgRels + "\"><Relationship Id=\"a\" Type=\"" + strictRel +
                            "/officeDocument\" Target=\"/book/main.xml\"/></Relationships>"},
        {"book/main.xml", "<x:workbook xmlns:x=\"" + strictMain + "\" xmlns:rel=\"" + strictRel +
                              "\"><x:sheets><x:sheet name=\"S\" sheetId=\"1\" rel:id=\"s1\"/></x:sheets></x:workbook>"},
        {"book/_rels/main.xml.rels", "<Relationships xmlns=\"" + kPkgRels + "\"><Relationship Id=\"s1\" Type=\"" +
                                         strictRel +
                                         "/worksheet\" Target=\"data/s.xml\"/><Relationship Id=\"t\" Type=\"" +
                                         strictRel + "/sharedStrings\" Target=\"/book/t.xml\"/></Relationships>"},
        {"book/data/s.xml", "<x:worksheet xmlns:x=\"" + strictMain +
                                "\"><x:sheetData><x:row r=\"2\"><x:c r=\"B2\" t=\"s\">"
                                "<x:v>0</x:v></x:c></x:row></x:sheetData></x:worksheet>"},
        {"book/t.xml", "<x:sst xmlns:x=\"" + strictMain + "\"><x:si><x:t>严格</x:t></x:si></x:sst>"},
    };
    const auto r = ReadParts(parts);
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    EXPECT_EQ(Describe(r.rows), (Table{{"", ""}, {"", "s:严格"}}));
}

TEST(XlsxCells, TypesWithAndWithoutReferences)
{
    const std::string data =
        "<row><c><v>1E-3</v></c><c t=\"str\"><f>A1&amp;\"x\"</f><v>0.001x</v></c></row>" // row 1, no references
        "<row><c t=\"b\"><v>true</v></c><c t=\"e\"><f>1/0</f><v>#REF!</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><r><t>a</t></r><r><t xml:space=\"preserve\"> b</t></r>"
        "<rPh><t>phonetic</t></rPh></is></c><c r=\"B4\" t=\"d\"><v>1900-03-01T12:00:00</v></c></row>"
        "<row r=\"5\"><c r=\"A5\" t=\"d\"><v>1900-01-01</v></c><c r=\"B5\"><f>X</f><v/></c><c "
        "r=\"AA5\"><v>9</v></c></row>"
        "<row r=\"6\"><c r=\"b6\" t=\"s\"><v>1</v></c><c t=\"s\"><v>0</v></c></row>" // C6 follows B6
        // Values no number holds stay the text they are (the sheet is read on).
        "<row r=\"7\"><c r=\"A7\"><v>1e309</v></c><c r=\"B7\"><v>+5</v></c></row>"
        "<row r=\"8\"><c r=\"A8\"><v>abc</v></c></row>"
        "<row r=\"9\"><c r=\"AB9\" s=\"3\"/></row>";
    const auto r = ReadParts(Package(data));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    const Table expected = {
        {"n:0.001", "s:0.001x"},
        {"b:TRUE", "e:#REF!"},
        {"", ""},
        {"s:a b", "s:1900-03-01 12:00"},
        {"s:1900-01-01", ""},
        {"", "s:one"},
        {"s:1e309", "s:+5"},
        {"s:abc", ""},
        {"", ""},
    };
    EXPECT_EQ(Describe(r.rows), expected);
    EXPECT_EQ(r.uncalculated, (std::vector<CellPosition>{{4, 1}})); // B5
}

TEST(XlsxCells, TextsCutAtExcelsLimit)
{
    std::string chinese;
    for (int i = 0; i < 40000; ++i) chinese += "中";
    const auto r = ReadParts(Package("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + std::string(100000, 'x') +
                                         "</t></is></c><c r=\"B1\" t=\"s\"><v>0</v></c></row>",
                                     "<si><t>" + chinese + "</t></si>"));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0].text, std::string(kMaxCellChars, 'x'));
    EXPECT_EQ(r.rows[0][1].text.size(), kMaxCellChars * 3);
}

TEST(XlsxHostile, MalformedSheetsAreCorrupt)
{
    const char* const sheets[] = {
        "<row r=\"0\"><c r=\"A1\"><v>1</v></c></row>",
        "<row r=\"1048577\"><c><v>1</v></c></row>",
        "<row r=\"x\"><c><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"7\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"ABCD1\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A99999999999999999999\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A1\" t=\"zz\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>2</v></c></row>",
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>",
        "<row r=\"1\"><c r=\"A1\" t=\"b\"><v>2</v></c></row>",
        "<c r=\"A1\"><v>1</v></c>",
        "<row r=\"1\"><c r=\"A1\"><v>1</v></row>",
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xff\xfe</t></is></c></row>",
    };
    for (const char* sheet : sheets) EXPECT_EQ(ReadParts(Package(sheet)).error, ReadError::Corrupt) << sheet;

    Parts withEntity = Package("");
    withEntity["xl/worksheets/sheet1.xml"] =
        "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        "<worksheet xmlns=\"" +
        kMain +
        "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is>"
        "</c></row></sheetData></worksheet>";
    EXPECT_EQ(ReadParts(withEntity).error, ReadError::Corrupt);
}

TEST(XlsxHostile, PackagesThatAreNoUsableWorkbook)
{
    Parts missingSheet = Package("");
    missingSheet.erase("xl/worksheets/sheet1.xml");
    Parts missingStrings = Package("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
    missingStrings.erase("xl/sharedStrings.xml");
    Parts missingRels = Package("");
    missingRels.erase("xl/_rels/workbook.xml.rels");
    Parts chartOnly = Package("");
    chartOnly["xl/_rels/workbook.xml.rels"] = Rels(Rel("rId1", "chartsheet", "chartsheets/sheet1.xml"));
    Parts noSheets = Package("");
    noSheets["xl/workbook.xml"] = "<workbook xmlns=\"" + kMain + "\"><sheets/></workbook>";
    const Parts wordDocument = {
        {"_rels/.rels", Rels(Rel("rId1", "officeDocument", "word/document.xml"))},
        {"word/document.xml", "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>"},
    };
    const Parts plainZip = {{"readme.txt", "hello"}};
    const struct {
        const char* what;
        const Parts* parts;
        ReadError error;
    } cases[] = {
        {"sheet part missing", &missingSheet, ReadError::Corrupt},
        {"shared strings missing", &missingStrings, ReadError::Corrupt},
        {"workbook relationships missing", &missingRels, ReadError::Corrupt},
        {"only a chart sheet", &chartOnly, ReadError::NoWorksheet},
        {"no sheets", &noSheets, ReadError::NoWorksheet},
        {"a Word document", &wordDocument, ReadError::NotWorkbook},
        {"a zip of other files", &plainZip, ReadError::NotWorkbook},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadParts(*c.parts).error, c.error) << c.what;
}

TEST(XlsxHostile, ZipBombStopsEarly)
{
    // Whitespace compresses about a thousandfold; the reader stops once the
    // part has expanded past its ratio limit, long before the end.
    const std::string padding(std::size_t{64} << 20, ' ');
    const auto r = ReadParts(Package("<row r=\"1\">" + padding + "<c r=\"A1\"><v>1</v></c></row>"));
    EXPECT_EQ(r.error, ReadError::TooLarge);
}

TEST(XlsxHostile, SurvivesRandomDamageToItsXml)
{
    std::mt19937 random(7);
    const Parts good = Package(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\"><v>2.5</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>文本</t></is></c><c r=\"B2\" t=\"b\"><v>1</v></c></row>");
    for (int round = 0; round < 200; ++round) {
        Parts damaged = good;
        for (const char* part : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/workbook.xml"}) {
            std::string& xml = damaged[part];
            for (int i = 0; i < 3; ++i) xml[random() % xml.size()] = static_cast<char>(random() % 128);
        }
        const auto r = ReadParts(damaged);
        EXPECT_LT(r.error, ReadError::Count);
    }
}

TEST(FilesThatAreNoWorkbook, GetAClearError)
{
    ScratchDir dir;
    std::mt19937 random(99);
    std::string garbage(5000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    const std::string cfbHead("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const struct {
        const char* name;
        std::string bytes;
        ReadError error;
    } cases[] = {
        {"empty.xls", "", ReadError::NotWorkbook},
        {"text.xls", "组别,数值\n1,2\n", ReadError::NotWorkbook},
        {"page.xls", "<html><body><table><tr><td>1</td></tr></table></body></html>", ReadError::NotWorkbook},
        {"garbage.xlsx", garbage, ReadError::NotWorkbook},
        {"cfb_head.xls", cfbHead + garbage, ReadError::Corrupt},
        {"cfb_only.xls", cfbHead, ReadError::Corrupt},
        {"zip_head.xlsx", "PK\x03\x04" + garbage, ReadError::Corrupt},
        {"biff4.xls", std::string("\x09\x04\x06\x00\x00\x00\x10\x00", 8) + garbage, ReadError::OldFormat},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.bytes);
        const auto r = ReadFirstSheet(dir / c.name);
        EXPECT_EQ(r.error, c.error) << c.name;
    }
    EXPECT_EQ(ReadFirstSheet(dir / "missing.xls").error, ReadError::CannotOpen);
    EXPECT_EQ(ReadFirstSheet(dir.Path()).error, ReadError::CannotOpen);
}

TEST(FilesThatAreNoWorkbook, TruncatedWorkbooksAreCorrupt)
{
    ScratchDir dir;
    for (const char* name : {"lo_mixed.xls", "lo_mixed.xlsx", "xlwt_strings.xls", "openpyxl_mixed.xlsx"}) {
        const std::string whole = ReadFile(Fixture(name));
        for (std::size_t length : {std::size_t{9}, std::size_t{100}, std::size_t{512}, std::size_t{1000},
                                   whole.size() / 2, whole.size() - 1}) {
            WriteFile(dir / "cut", whole.substr(0, length));
            EXPECT_EQ(ReadFirstSheet(dir / "cut").error, ReadError::Corrupt) << name << " cut at " << length;
        }
    }
}

} // namespace
} // namespace korvanta::excel::test

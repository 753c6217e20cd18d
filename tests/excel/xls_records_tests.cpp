// BIFF8 record handling on workbook streams built record by record: the
// cases real writers produce rarely (strings split across CONTINUE records,
// nested substreams) and the malformed ones a hostile file can hold.
#include "excel/cfb_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <limits>

#include <random>

namespace korvanta::excel::test {
namespace {

using detail::Bytes;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes U16(unsigned v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
Bytes U32(std::uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
Bytes F64(double v)
{
    Bytes b;
    detail::PutDouble(b, v);
    return b;
}
Bytes Ascii(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes Wide(std::u16string_view s)
{
    Bytes b;
    for (char16_t c : s) b = b + U16(c);
    return b;
}

Bytes Rec(unsigned id, const Bytes& body) { return U16(id) + U16(static_cast<unsigned>(body.size())) + body; }
Bytes Bof(unsigned type, unsigned version = 0x0600) { return Rec(0x0809, U16(version) + U16(type) + Bytes(12, 0)); }
Bytes Eof() { return Rec(0x000A, {}); }
Bytes Cell(unsigned id, unsigned row, unsigned col, const Bytes& rest)
{
    return Rec(id, U16(row) + U16(col) + U16(15) + rest);
}
Bytes Number(unsigned row, unsigned col, double v) { return Cell(0x0203, row, col, F64(v)); }
Bytes LabelSst(unsigned row, unsigned col, std::uint32_t i) { return Cell(0x00FD, row, col, U32(i)); }
Bytes BoundSheet(unsigned type) { return Rec(0x0085, U32(0) + Bytes{0, static_cast<std::uint8_t>(type), 1, 0, 'S'}); }

// A workbook stream: globals (BOF, `globals`, the sheet list, `tail`, EOF)
// and one worksheet (BOF, `sheet`, EOF). Every BOUNDSHEET's offset is set
// to the worksheet's start.
Bytes Workbook(const Bytes& globals, const Bytes& sheet, const Bytes& tail = {},
               const std::vector<unsigned>& sheetTypes = {0})
{
    Bytes g = Bof(0x0005) + globals;
    std::vector<std::size_t> offsets;
    for (unsigned type : sheetTypes) {
        offsets.push_back(g.size() + 4);
        g = g + BoundSheet(type);
    }
    g = g + tail + Eof();
    for (std::size_t at : offsets) detail::Set32(g, at, static_cast<std::uint32_t>(g.size()));
    return g + Bof(0x0010) + sheet + Eof();
}

ReadResult ReadStream(const Bytes& stream)
{
    ScratchDir dir;
    const Bytes file = detail::BuildCompoundFile(u"Workbook", stream);
    WriteFile(dir / "t.xls", std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    return ReadFirstSheet(dir / "t.xls");
}

TEST(XlsRecords, SharedStringsSplitAcrossContinueRecords)
{
    // String 1 begins one-byte wide and goes on two bytes wide after the
    // break; string 2's rich-text runs and string 3's extended data run into
    // the next record, which carries no width byte for them.
    const Bytes sst =
        Rec(0x00FC, U32(5) + U32(5) + U16(3) + Bytes{0} + Ascii("abc") + U16(6) + Bytes{0} + Ascii("Hel")) +
        Rec(0x003C, Bytes{1} + Wide(u"lo世") + U16(4) + Bytes{0x08} + U16(2) + Ascii("rich") + U32(0)) +
        Rec(0x003C, U32(0) + U16(2) + Bytes{0x05} + U32(6) + Wide(u"并列") + Bytes(2, 0)) +
        Rec(0x003C, Bytes(4, 0) + U16(0) + Bytes{0});
    const Bytes cells =
        LabelSst(0, 0, 1) + LabelSst(0, 1, 2) + LabelSst(1, 0, 3) + LabelSst(1, 1, 0) + LabelSst(2, 0, 4);
    const auto r = ReadStream(Workbook({}, cells, sst));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    EXPECT_EQ(Describe(r.rows), (Table{{"s:Hello世", "s:rich"}, {"s:并列", "s:abc"}, {"s:", ""}}));
}

TEST(XlsRecords, NumbersAsNumberRkAndMulRk)
{
    const std::uint32_t rkInt = (123u << 2) | 2, rkHundredths = (12345u << 2) | 3, rkFloat = 0x3FF80000;
    const std::uint32_t rkNegative = static_cast<std::uint32_t>(-7 * 4) | 2;
    const Bytes sheet = Number(0, 0, 0.1) + Cell(0x027E, 0, 1, U32(rkInt)) + Cell(0x027E, 1, 0, U32(rkHundredths)) +
                        Rec(0x00BD, U16(2) + U16(0) + U16(15) + U32(rkFloat) + U16(15) + U32(rkNegative) + U16(15) +
                                        U32(rkInt) + U16(2));
    const auto r = ReadStream(Workbook({}, sheet));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    EXPECT_EQ(Describe(r.rows), (Table{{"n:0.1", "n:123"}, {"n:123.45", ""}, {"n:1.5", "n:-7"}}));
}

TEST(XlsRecords, FormulaCachedResults)
{
    const auto formula = [](unsigned row, unsigned col, const Bytes& value) {
        return Cell(0x0006, row, col, value + U16(0) + U32(0) + U16(0));
    };
    const auto special = [](std::uint8_t type, std::uint8_t v) { return Bytes{type, 0, v, 0, 0, 0, 0xFF, 0xFF}; };
    const std::u16string longText(5000, u'长');
    const Bytes sheet =
        formula(0, 0, F64(2.5)) + formula(0, 1, special(0, 0)) + Rec(0x0207, U16(3) + Bytes{0} + Ascii("abc")) +
        formula(1, 0, special(1, 1)) + formula(1, 1, special(2, 0x2A)) + formula(2, 0, special(3, 0)) +
        // A text result in column C: its STRING must not land in A or B.
        formula(2, 2, special(0, 0)) + Rec(0x0207, U16(1) + Bytes{0} + Ascii("C")) +
        // A long result continues with its own width byte.
        formula(3, 1, special(0, 0)) + Rec(0x0207, U16(5000) + Bytes{1} + Wide(longText.substr(0, 4000))) +
        Rec(0x003C, Bytes{1} + Wide(longText.substr(4000)));
    const auto r = ReadStream(Workbook({}, sheet));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    std::string expected = "s:";
    for (int i = 0; i < 5000; ++i) expected += "长";
    EXPECT_EQ(Describe(r.rows), (Table{{"n:2.5", "s:abc"}, {"b:TRUE", "e:#N/A"}, {"s:", ""}, {"", expected}}));
}

TEST(XlsRecords, UsedRangeAndSubstreams)
{
    // A blank formatted cell in column D makes row 10 used; an embedded chart
    // substream's cells belong to the chart, not the sheet.
    const Bytes sheet = Cell(0x0205, 0, 0, Bytes{1, 0}) + Cell(0x0205, 0, 1, Bytes{0x07, 1}) + Bof(0x0020) +
                        Number(50, 0, 9) + Eof() + Cell(0x0201, 9, 3, {});
    const auto r = ReadStream(Workbook({}, sheet));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    ASSERT_EQ(r.rows.size(), 10u);
    EXPECT_EQ(Describe(r.rows[0][0]), "b:TRUE");
    EXPECT_EQ(Describe(r.rows[0][1]), "e:#DIV/0!");
    EXPECT_EQ(r.rows[9], Row{});
}

TEST(XlsRecords, ACellWrittenAgainKeepsItsLastValue)
{
    // The first A1 names a string the table lacks; the number that replaces
    // it needs none. B1 out of order, then again.
    const Bytes sst = Rec(0x00FC, U32(1) + U32(1) + U16(1) + Bytes{0} + Ascii("x"));
    const Bytes sheet = LabelSst(0, 0, 5) + Number(1, 1, 3) + Number(0, 0, 7) + LabelSst(0, 1, 0) + Number(1, 1, 4);
    const auto r = ReadStream(Workbook({}, sheet, sst));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    EXPECT_EQ(Describe(r.rows), (Table{{"n:7", "s:x"}, {"", "n:4"}}));
}

TEST(XlsRecords, FirstWorksheetSkipsChartAndMacroSheets)
{
    auto r = ReadStream(Workbook({}, Number(0, 0, 4), {}, {2, 1, 0}));
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.error);
    EXPECT_EQ(Describe(r.rows), (Table{{"n:4", ""}}));
    EXPECT_EQ(ReadStream(Workbook({}, Number(0, 0, 4), {}, {2})).error, ReadError::NoWorksheet);
}

TEST(XlsRecords, MalformedStreamsGiveAClearError)
{
    const Bytes sst = Rec(0x00FC, U32(1) + U32(1) + U16(2) + Bytes{0} + Ascii("ok"));
    Bytes offsetPastEnd = Workbook({}, {});
    detail::Set32(offsetPastEnd, 20 + 4, 0x7FFFFFFF);
    Bytes offsetMidRecord = Workbook({}, {});
    detail::Set32(offsetMidRecord, 20 + 4, 2);
    Bytes cutShort = Workbook({}, Number(0, 0, 1));
    cutShort.resize(cutShort.size() - 10);
    const struct {
        const char* what;
        Bytes stream;
        ReadError error;
    } cases[] = {
        {"sheet offset past the end", offsetPastEnd, ReadError::Corrupt},
        {"sheet offset inside a record", offsetMidRecord, ReadError::Corrupt},
        {"string index past the table", Workbook({}, LabelSst(0, 0, 1), sst), ReadError::Corrupt},
        {"string index without a table", Workbook({}, LabelSst(0, 0, 0)), ReadError::Corrupt},
        {"string longer than its record",
         Workbook({}, LabelSst(0, 0, 0), Rec(0x00FC, U32(1) + U32(1) + U16(200) + Bytes{0} + Ascii("short"))),
         ReadError::Corrupt},
        {"number record too short", Workbook({}, Rec(0x0203, U16(0) + U16(0))), ReadError::Corrupt},
        {"infinite number", Workbook({}, Number(0, 0, std::numeric_limits<double>::infinity())), ReadError::Corrupt},
        {"NaN number", Workbook({}, Number(1, 1, std::numeric_limits<double>::quiet_NaN())), ReadError::Corrupt},
        {"NaN in an RK", Workbook({}, Cell(0x027E, 0, 0, U32(0x7FF80000))), ReadError::Corrupt},
        {"infinity in a MULRK",
         Workbook({}, Rec(0x00BD, U16(0) + U16(0) + U16(15) + U32(2) + U16(15) + U32(0x7FF00000) + U16(1))),
         ReadError::Corrupt},
        {"NaN as a formula's result",
         Workbook({}, Cell(0x0006, 0, 0, U32(0) + U32(0x7FF80000) + U16(0) + U32(0) + U16(0))), ReadError::Corrupt},
        {"label count past its record", Workbook({}, Cell(0x0204, 0, 0, U16(50) + Bytes{0} + Ascii("ab"))),
         ReadError::Corrupt},
        {"record running past the end", cutShort, ReadError::Corrupt},
        {"no end of the globals", Bof(0x0005) + BoundSheet(0), ReadError::Corrupt},
        {"first record not BOF", Rec(0x0042, U16(1200)) + Workbook({}, {}), ReadError::Corrupt},
        {"globals BOF marks a worksheet", Bof(0x0010) + Eof(), ReadError::Corrupt},
        {"no worksheet at all", Bof(0x0005) + Eof(), ReadError::NoWorksheet},
        {"encrypted", Workbook(Rec(0x002F, U16(1) + Bytes(52, 0)), {}), ReadError::Encrypted},
        {"Excel 95 records in a Workbook stream", Bof(0x0005, 0x0500) + Eof(), ReadError::OldFormat},
    };
    for (const auto& c : cases) {
        const auto r = ReadStream(c.stream);
        EXPECT_EQ(r.error, c.error) << c.what;
    }
}

// Container faults: chains that end early, loop or point outside the file.
TEST(XlsContainer, BrokenChainsAndHeadersAreCorrupt)
{
    const Bytes good = detail::BuildCompoundFile(u"Workbook", Workbook({}, Number(0, 0, 1)));
    // Layout: header, 8 stream sectors (0-7), directory (8), FAT (9).
    const std::size_t fat = 512 * 10, dir = 512 * 9;
    const auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes b = good;
        detail::Set32(b, at, value);
        return b;
    };
    Bytes truncated = good;
    truncated.resize(512 * 6);
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"chain ends early", patched(fat + 4 * 3, 0xFFFFFFFE)},
        {"chain leaves the table", patched(fat + 4 * 3, 0x00FFFFFF)},
        {"stream larger than the file", patched(dir + 128 + 120, 0x7FFFFFF0)},
        {"FAT sector past the end", patched(76, 4000)},
        {"more FAT sectors than the file holds", patched(44, 100000)},
        {"FAT sectors the header does not list", patched(44, 5)},
        {"sector size out of range", patched(30, 20)},
        {"truncated", truncated},
    };
    ScratchDir dir2;
    for (const auto& c : cases) {
        WriteFile(dir2 / "c.xls", std::string_view(reinterpret_cast<const char*>(c.file.data()), c.file.size()));
        EXPECT_EQ(ReadFirstSheet(dir2 / "c.xls").error, ReadError::Corrupt) << c.what;
    }
}

TEST(XlsContainer, LoopsEndWithoutHanging)
{
    Bytes cells;
    for (unsigned r = 0; r < 100; ++r) cells = cells + Number(r, 0, r);
    Bytes b = detail::BuildCompoundFile(u"Workbook", Workbook({}, cells));
    const std::size_t fat = 512 * 10, dir = 512 * 9;
    detail::Set32(b, fat + 4 * 2, 1);    // stream sectors 1 -> 2 -> 1 ...
    detail::Set32(b, dir + 128 + 72, 1); // the stream is its own right sibling
    detail::Set32(b, dir + 128 + 68, 0); // and has the root as left sibling
    ScratchDir d;
    WriteFile(d / "loop.xls", std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    const auto r = ReadFirstSheet(d / "loop.xls");
    EXPECT_TRUE(r.Ok() || r.error == ReadError::Corrupt) << static_cast<int>(r.error);
}

// Random damage to real files: any answer is fine except a crash, a hang
// or a sanitizer report.
TEST(XlsContainer, SurvivesRandomDamage)
{
    std::mt19937 random(20240611);
    ScratchDir dir;
    for (const char* name : {"lo_mixed.xls", "xlwt_strings.xls", "lo_from_row5.xls"}) {
        const std::string original = ReadFile(Fixture(name));
        for (int round = 0; round < 150; ++round) {
            std::string damaged = original;
            const int flips = 1 + static_cast<int>(random() % 16);
            for (int i = 0; i < flips; ++i) damaged[random() % damaged.size()] = static_cast<char>(random());
            if (round % 10 == 0) damaged.resize(random() % damaged.size());
            WriteFile(dir / "d.xls", damaged);
            const auto r = ReadFirstSheet(dir / "d.xls");
            EXPECT_LT(r.error, ReadError::Count);
        }
    }
}

} // namespace
} // namespace korvanta::excel::test

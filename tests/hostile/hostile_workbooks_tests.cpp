// Hostile workbooks imported through the real window, offscreen, by the
// menu action with the file dialog answered: each file ends either in a
// message titled "提示" with the grid, the lists and the results exactly as
// they were, or in a sound import. Memory and time of each import are
// measured; the files are made by tools/make_hostile.py.
#include "app/mainwindow.h"
#include "grid/gridstore.h"
#include "recorder.h"
#include "widgetkit/interaction.h"
#include "widgetkit/twips.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>

namespace korvanta::ui {
namespace {

const QString kImport = QStringLiteral("从Excel导入数据");

// A recorded message, "title|text", in its two parts.
QString Title(const QString& message) { return message.section(QLatin1Char('|'), 0, 0); }
QString Text(const QString& message) { return message.section(QLatin1Char('|'), 1); }

// Everything a refused import must leave alone: both lists, the scroll
// offset, every cell and every label (but the never-visible file name).
struct Snapshot {
    std::vector<std::string> first, second;
    int offset = 0;
    QStringList cells, labels;

    static Snapshot Of(const MainWindow& window)
    {
        Snapshot s;
        const auto& store = window.Store();
        s.first.assign(store.Items(grid::Column::First).begin(), store.Items(grid::Column::First).end());
        s.second.assign(store.Items(grid::Column::Second).begin(), store.Items(grid::Column::Second).end());
        s.offset = store.Offset();
        for (const QLineEdit* cell : window.findChildren<QLineEdit*>())
            s.cells << cell->objectName() + '=' + cell->text();
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->objectName() != QStringLiteral("Label9")) s.labels << label->objectName() + '=' + label->text();
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// ImportedUncalculated: imported, then told that formulas had no result;
// ImportedNotNumbers: imported, then told that a text ("缺失") shows empty.
enum class Outcome { Refused, Imported, ImportedUncalculated, ImportedNotNumbers };

struct Case {
    const char* file;
    Outcome outcome;
    int rows = 0;        // imported: the grid's rows after the import
    const char* a1 = ""; // imported: the first row's two cells
    const char* b1 = "";
    // A file too large to keep in tests/data is made in a scratch folder.
    void (*make)(std::ostream&) = nullptr;
    const char* says = nullptr; // refused: words the message must hold
};

// Text files whose reading once cost width x rows, or memory far past the
// limits, before the refusal. Written piece by piece, so that making them
// does not raise the peak the import is measured against.
void Repeat(std::ostream& out, std::string_view piece, std::size_t times)
{
    const std::string block = [&] {
        std::string b;
        for (std::size_t k = 0; k < 4096; ++k) b += piece;
        return b;
    }();
    for (; times >= 4096; times -= 4096) out << block;
    for (; times > 0; --times) out << piece;
}
template <std::size_t N>
void WideLineOverRows(std::ostream& out)
{
    Repeat(out, ",", N);
    out << '\n';
    Repeat(out, "1\n", N);
}
template <std::size_t Bytes>
void OnesLines(std::ostream& out)
{
    Repeat(out, "1\n", Bytes / 2);
}
void OneCommaLine(std::ostream& out) { Repeat(out, "1,", 30000000); }
std::string Record(std::uint16_t id, std::string_view body)
{
    const std::string header = {static_cast<char>(id & 0xFF), static_cast<char>(id >> 8),
                                static_cast<char>(body.size() & 0xFF), static_cast<char>(body.size() >> 8)};
    return header + std::string(body);
}
// A bare BIFF8 workbook stream listing 4.9 million worksheets, 64 MB.
void ManySheets(std::ostream& out)
{
    out << Record(0x0809, std::string("\x00\x06\x05\x00", 4) + std::string(12, '\0'));
    Repeat(out, Record(0x0085, std::string("\0\0\0\0\0\0\x01\0S", 9)), 4900000);
    out << Record(0x000A, "");
}
void Utf16WithoutMark(std::ostream& out)
{
    out << std::string("1\0,\0"
                       "2\0\n\0"
                       "3\0,\0"
                       "4\0\n\0",
                       16);
}
void NulAfter8KiB(std::ostream& out)
{
    Repeat(out, "1,2\n", 2100);
    out << std::string("3,\0\n", 4);
}
void CutGb18030(std::ostream& out) { out << "1,2\n3,\xD7"; }
void AllBlank(std::ostream& out) { out << " \r\n\t\n\n"; }
void UnclosedQuote(std::ostream& out) { out << "1,2\n3,\"4\n5,6\n"; }

// Every file in tests/data/hostile has its row here (a test checks that).
const Case kCases[] = {
    // Nothing, or nothing like a workbook.
    {"empty.xls", Outcome::Refused},
    {"empty.xlsx", Outcome::Refused},
    {"text_named.xls", Outcome::Refused},
    {"text_named.xlsx", Outcome::Refused},
    {"random_after_signature.xls", Outcome::Refused},
    // Cut short.
    {"truncated_header.xls", Outcome::Refused},
    {"truncated_half.xls", Outcome::Refused},
    {"truncated_half.xlsx", Outcome::Refused},
    {"truncated_sheet_part.xlsx", Outcome::Refused},
    {"truncated_biff_record.xls", Outcome::Refused},
    // Locked.
    {"password.xls", Outcome::Refused},
    {"encrypted_package.xlsx", Outcome::Refused},
    // More than the grid or the reader takes.
    {"zip_bomb.xlsx", Outcome::Refused},
    {"rows_1048576_dense.xlsx", Outcome::Refused},
    {"rows_1048576_sparse.xlsx", Outcome::Refused},
    {"rows_65536.xls", Outcome::Refused},
    {"rows_32768.xlsx", Outcome::Refused},
    {"billion_laughs.xlsx", Outcome::Refused},
    // Expansion bombs: repeats and shared texts counted before they are made.
    {"repeated_long_text.ods", Outcome::Refused},
    {"shared_long_string_rows.xlsx", Outcome::Refused},
    {"repeat_marks.ods", Outcome::Imported, 1},
    // Odd but sound: a main part reached through "..".
    {"workbook_behind_dots.xlsx", Outcome::Imported, 1, "1", "2"},
    {"deep_nesting.xlsx", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    {"huge_dimension.xlsx", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    // Texts: cut at Excel's limit, or refused when they are no text.
    // The grid cleans the visible cells as if typed, so texts show as "".
    {"long_strings.xlsx", Outcome::Imported, 1},
    {"long_string_count_lie.xls", Outcome::Refused},
    {"invalid_utf8.xlsx", Outcome::Refused},
    {"unpaired_surrogates.xls", Outcome::Imported, 2},
    // Numbers Excel never stores.
    {"nan_inf.xls", Outcome::Refused},
    {"nan_rk.xls", Outcome::Refused},
    // Errors, formulas and merged cells are sound workbooks.
    {"formula_errors.xls", Outcome::Imported, 3, "", "1"},
    {"formula_errors.xlsx", Outcome::ImportedUncalculated, 3, "", "1"},
    {"formula_string_without_string.xls", Outcome::Imported, 1, "", "1"},
    {"merged_cells.xls", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    {"merged_cells.xlsx", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    // Lies inside the containers.
    {"fat_loop.xls", Outcome::Refused},
    {"fat_out_of_range.xls", Outcome::Refused},
    {"difat_loop.xls", Outcome::Refused},
    {"sector_shift_30.xls", Outcome::Refused},
    // The directory's loop is never followed: the stream is found first.
    {"directory_cycle.xls", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    {"stream_size_lie.xls", Outcome::Refused},
    {"sst_count_lie.xls", Outcome::Refused},
    {"sheet_offset_past_end.xls", Outcome::Refused},
    {"no_worksheet.xls", Outcome::Refused},
    {"bof_only.xls", Outcome::Refused},
    {"rels_outside_package.xlsx", Outcome::Refused},
    {"rels_absolute_outside.xlsx", Outcome::Refused},
    {"rels_external.xlsx", Outcome::Refused},
    {"rels_to_itself.xlsx", Outcome::Refused},
    {"shared_index_past_end.xlsx", Outcome::Refused},
    {"no_sheets.xlsx", Outcome::Refused},
    {"bad_cell_reference.xlsx", Outcome::Refused},
    // The content decides the format, not the name.
    {"xlsx_named.xls", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    {"xls_named.xlsx", Outcome::ImportedNotNumbers, 3, "1.5", "2.5"},
    // Statistics packages' files: cut short, lying about their counts and
    // widths, or with a broken compressed stream.
    {"truncated_half.sav", Outcome::Refused},
    {"truncated_half.dta", Outcome::Refused},
    {"truncated_half.por", Outcome::Refused},
    {"truncated_half.xpt", Outcome::Refused},
    {"truncated_half.sas7bdat", Outcome::Refused},
    {"random_after_signature.sav", Outcome::Refused},
    {"case_count_lie.sav", Outcome::Refused},
    {"variable_count_lie.dta", Outcome::Refused},
    {"variable_count_lie.por", Outcome::Refused},
    {"string_width_lie.dta", Outcome::Refused},
    {"bad_compression.zsav", Outcome::Refused},
    // Text past the limits, refused as it is read.
    {"wide_line_over_100000_rows.csv", Outcome::Refused, 0, "", "", WideLineOverRows<100000>, "32767"},
    {"wide_line_over_200000_rows.csv", Outcome::Refused, 0, "", "", WideLineOverRows<200000>, "32767"},
    {"wide_line_over_1000000_rows.csv", Outcome::Refused, 0, "", "", WideLineOverRows<1000000>, "32767"},
    {"ones_48MiB.csv", Outcome::Refused, 0, "", "", OnesLines<(std::size_t{48} << 20)>, "32767"},
    {"ones_64MiB.csv", Outcome::Refused, 0, "", "", OnesLines<(std::size_t{64} << 20)>, "32767"},
    {"one_comma_line.csv", Outcome::Refused, 0, "", "", OneCommaLine, "第1行第257列"},
    {"sheets_4900000.xls", Outcome::Refused, 0, "", "", ManySheets},
    // Text that cannot be read, each with its reason.
    {"utf16_without_mark.csv", Outcome::Refused, 0, "", "", Utf16WithoutMark, "UTF-16"},
    {"nul_after_8KiB.csv", Outcome::Refused, 0, "", "", NulAfter8KiB, "第2101行含有空字符"},
    {"cut_gb18030.csv", Outcome::Refused, 0, "", "", CutGb18030, "末尾的字符不完整"},
    {"all_blank.csv", Outcome::Refused, 0, "", "", AllBlank, "没有任何数据"},
    {"unclosed_quote.csv", Outcome::Refused, 0, "", "", UnclosedQuote, "第2行的引号"},
};

std::filesystem::path HostileFolder() { return std::filesystem::path(KORVANTA_TEST_DATA) / "hostile"; }

class HostileWorkbook : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        // Data and results on screen before the import: twelve pairs in the
        // paired t test, scrolled down by two rows.
        std::vector<std::string> before, after;
        for (int i = 0; i < 12; ++i) {
            before.push_back(std::to_string(100 + 3 * i));
            after.push_back(std::to_string(98 + 2 * i + i % 3));
        }
        window.SelectTest(TestMode::PairedT);
        window.LoadColumns(before, after);
        std::filesystem::path file = HostileFolder() / GetParam().file;
        if (GetParam().make) {
            file = std::filesystem::temp_directory_path() / ("korvanta-hostile-" + std::to_string(::getpid()));
            std::filesystem::create_directories(file);
            file /= GetParam().file;
            std::ofstream out(file, std::ios::binary);
            GetParam().make(out);
            made_ = file;
        }
        desktop.nextFile = QString::fromStdString(file.string());
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!made_.empty()) std::filesystem::remove_all(made_.parent_path(), ec);
    }

    std::filesystem::path made_;
    Recorder desktop;
    MainWindow window{desktop};
};

TEST_P(HostileWorkbook, EndsInAMessageWithNothingChangedOrInASoundImport)
{
    const Case& c = GetParam();
    const Snapshot before = Snapshot::Of(window);
    const long peakBefore = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    window.FindAction(kImport)->trigger();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long growthMiB = (PeakKiB() - peakBefore) / 1024;
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("peak_growth_MiB", std::to_string(growthMiB));
    std::printf("%-36s %7.3f s  peak +%ld MiB\n", c.file, seconds, growthMiB);

    // Whatever the file, the import stays within 200 MB: the limits are
    // counted before the cells are made.
    EXPECT_LT(growthMiB, 200);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    if (c.outcome == Outcome::Refused) {
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_EQ(Title(desktop.messages[0]), QStringLiteral("提示"));
        EXPECT_FALSE(Text(desktop.messages[0]).isEmpty());
        if (c.says) {
            EXPECT_TRUE(Text(desktop.messages[0]).contains(QString::fromUtf8(c.says)))
                << Text(desktop.messages[0]).toStdString();
        }
        EXPECT_TRUE(Snapshot::Of(window) == before) << "a refused import changed the window";
    } else {
        if (c.outcome == Outcome::ImportedUncalculated) {
            ASSERT_EQ(desktop.messages.size(), 1);
            EXPECT_TRUE(Text(desktop.messages[0]).contains(QStringLiteral("有1个公式单元格没有保存计算结果")));
        } else if (c.outcome == Outcome::ImportedNotNumbers) {
            ASSERT_EQ(desktop.messages.size(), 1);
            EXPECT_TRUE(Text(desktop.messages[0]).contains(QStringLiteral("有1个单元格的内容不是数值（如“缺失”）")));
        } else {
            for (const QString& message : desktop.messages)
                ADD_FAILURE() << "unexpected message: " << Text(message).toStdString();
        }
        const auto& store = window.Store();
        EXPECT_EQ(store.Count(grid::Column::First), c.rows);
        EXPECT_EQ(store.Count(grid::Column::Second), c.rows);
        EXPECT_EQ(store.Item(grid::Column::First, 0), c.a1);
        EXPECT_EQ(store.Item(grid::Column::Second, 0), c.b1);
        EXPECT_EQ(store.Offset(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileWorkbook, ::testing::ValuesIn(kCases), [](const auto& paramInfo) {
    std::string name = paramInfo.param.file;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(HostileWorkbooks, EveryFileHasACaseAndThereAreEnough)
{
    std::set<std::string> named;
    for (const Case& c : kCases)
        if (!c.make) named.insert(c.file);
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(HostileFolder()))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(named, present);
    EXPECT_GE(present.size(), 25u);
}

} // namespace
} // namespace korvanta::ui

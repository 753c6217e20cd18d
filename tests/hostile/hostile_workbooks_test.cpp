// Hostile workbooks imported through the real window, offscreen, by the
// menu action with the file dialog answered: each file ends either in a
// message titled "提示" with the grid, the lists and the results exactly as
// they were, or in a sound import. Memory and time of each import are
// measured; the files are made by tools/make_hostile.py.
#include "app/interaction.h"
#include "app/mainwindow.h"
#include "grid/gridstore.h"
#include "widgetkit/twips.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sys/resource.h>

namespace korvanta::ui {
namespace {

const QString kImport = QStringLiteral("从Excel导入数据");

class Recorder final : public UserInteraction {
public:
    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        messages.push_back({title, text});
    }
    std::optional<QString> ChooseFileToOpen(QWidget*, const FileRequest&) override
    {
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const FileRequest&) override { return std::nullopt; }
    void OpenUrl(const QUrl&) override {}

    std::optional<QString> nextFile;
    std::vector<std::pair<QString, QString>> messages;
};

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

// ImportedUncalculated: imported, then told that formulas had no result.
enum class Outcome { Refused, Imported, ImportedUncalculated };

struct Case {
    const char* file;
    Outcome outcome;
    int rows = 0;        // imported: the grid's rows after the import
    const char* a1 = ""; // imported: the first row's two cells
    const char* b1 = "";
};

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
    {"deep_nesting.xlsx", Outcome::Imported, 3, "1.5", "2.5"},
    {"huge_dimension.xlsx", Outcome::Imported, 3, "1.5", "2.5"},
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
    {"merged_cells.xls", Outcome::Imported, 3, "1.5", "2.5"},
    {"merged_cells.xlsx", Outcome::Imported, 3, "1.5", "2.5"},
    // Lies inside the containers.
    {"fat_loop.xls", Outcome::Refused},
    {"fat_out_of_range.xls", Outcome::Refused},
    {"difat_loop.xls", Outcome::Refused},
    {"sector_shift_30.xls", Outcome::Refused},
    // The directory's loop is never followed: the stream is found first.
    {"directory_cycle.xls", Outcome::Imported, 3, "1.5", "2.5"},
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
    {"xlsx_named.xls", Outcome::Imported, 3, "1.5", "2.5"},
    {"xls_named.xlsx", Outcome::Imported, 3, "1.5", "2.5"},
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
        desktop.nextFile = QString::fromStdString((HostileFolder() / GetParam().file).string());
    }

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
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].first, QStringLiteral("提示"));
        EXPECT_FALSE(desktop.messages[0].second.isEmpty());
        EXPECT_TRUE(Snapshot::Of(window) == before) << "a refused import changed the window";
    } else {
        if (c.outcome == Outcome::ImportedUncalculated) {
            ASSERT_EQ(desktop.messages.size(), 1u);
            EXPECT_TRUE(desktop.messages[0].second.contains(QStringLiteral("有1个公式单元格没有保存计算结果")));
        } else {
            for (const auto& [title, text] : desktop.messages)
                ADD_FAILURE() << "unexpected message: " << text.toStdString();
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
    for (const Case& c : kCases) named.insert(c.file);
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(HostileFolder()))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(named, present);
    EXPECT_GE(present.size(), 25u);
}

} // namespace
} // namespace korvanta::ui

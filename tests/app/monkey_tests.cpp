// A seeded monkey: thousands of random user actions through the driver on
// the real window, with the window's invariants checked after every one.
// KORVANTA_MONKEY_ACTIONS and KORVANTA_MONKEY_SEED set the length and the
// seed (tools/monkey.sh runs the long version).
#include "driver.h"

#include "app/librarytexts.h"
#include "app/mainwindow.h"
#include "grid/cellcleaning.h"
#include "stats/chisquare.h"
#include "stats/ttests.h"
#include "widgetkit/twips.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace korvanta::driver {
namespace {

using grid::Column;

class Monkey {
public:
    explicit Monkey(unsigned seed) : random_(seed) {}

    QString NextAction()
    {
        switch (Pick(15)) {
        case 0:
            return QStringLiteral("click Command1(%1)").arg(Pick(5));
        case 1:
        case 2:
        case 3:
            return QStringLiteral("type %1 %2").arg(DataCell(), SomeText());
        case 4:
            return QStringLiteral("type Text11(%1) %2").arg(Pick(4)).arg(SomeText());
        case 5:
            return QStringLiteral("type Text4(%1) %2").arg(Pick(6)).arg(SomeText());
        case 6: {
            static const char* keys[] = {"Enter", "Down", "Up", "Backspace", "Home", "Shift+Down", "Delete"};
            return QStringLiteral("key %1 %2").arg(DataCell(), QLatin1String(keys[Pick(7)]));
        }
        case 7:
            return QStringLiteral("key Text3(%1) %2")
                .arg(Pick(9))
                .arg(Pick(2) ? QStringLiteral("Down") : QStringLiteral("Up"));
        case 8:
            return QStringLiteral("scroll %1").arg(Pick(40));
        case 9: {
            static const char* buttons[] = {"Command2(0)", "Command2(5)", "Command2(10)", "Command4",  "Command5",
                                            "Command6",    "Command7",    "Command8",     "Command21", "Command22",
                                            "Picture3",    "Command19",   "tick"};
            const char* button = buttons[Pick(13)];
            return std::string_view(button) == "tick" ? QStringLiteral("tick")
                                                      : QStringLiteral("click %1").arg(QLatin1String(button));
        }
        case 10:
            return QStringLiteral("set %1 %2").arg(DataCell(), SomeText());
        case 11:
            return QStringLiteral("click Label28(%1)").arg(Pick(3));
        case 12:
            return Pick(3) == 0 ? QStringLiteral("menu t界值表") : QStringLiteral("key Text1(%1) Enter").arg(Pick(9));
        case 13: {
            static const char* undoRedo[] = {"shortcut Ctrl+Z", "shortcut Ctrl+Y", "menu 撤销", "menu 重做"};
            return QString::fromUtf8(undoRedo[Pick(4)]);
        }
        default:
            return QStringLiteral("import");
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

private:
    QString DataCell() { return QStringLiteral("Text%1(%2)").arg(1 + Pick(2)).arg(Pick(9)); }

    QString SomeText()
    {
        static const char* pieces[] = {"1",    "2", "7", "0", "12.5", "-",  ".",  "。",    "e",     "E-3",
                                       "+",    "a", " ", ",", "/",    "中", "３", "-0.25", "1e400", "99999999999999",
                                       "1..2", "x"};
        QString text;
        const int length = 1 + Pick(4);
        for (int k = 0; k < length; ++k) text += QString::fromUtf8(pieces[Pick(22)]);
        return text;
    }

    std::mt19937 random_;
};

class MonkeyTest : public ::testing::Test {
protected:
    QString out;
    QTextStream stream{&out};
    Driver driver{stream};

    template <typename T>
    T* Control(const QString& name)
    {
        return driver.Window().findChild<T*>(name);
    }
    QString Label(int kind, int index)
    {
        return Control<QLabel>(QStringLiteral("Label%1(%2)").arg(kind).arg(index))->text();
    }
    static QString Qs(const std::string& text) { return QString::fromStdString(text); }

    // The invariants that must hold after any action.
    void Check(const QString& action)
    {
        const auto& store = driver.Window().Store();
        auto* bar = Control<QScrollBar>(QStringLiteral("VS1"));
        ASSERT_GE(bar->value(), 0) << action.toStdString();
        ASSERT_LE(bar->value(), bar->maximum()) << action.toStdString();
        ASSERT_EQ(bar->value(), store.Offset()) << action.toStdString();
        ASSERT_EQ(store.Count(Column::First), store.Count(Column::Second)) << action.toStdString();
        for (int i = 0; i < grid::kVisibleRows; ++i) {
            for (const Column column : {Column::First, Column::Second}) {
                const auto* cell =
                    Control<QLineEdit>(QStringLiteral("Text%1(%2)").arg(column == Column::First ? 1 : 2).arg(i));
                const std::string shown = grid::CleanCellText(store.Item(column, store.Offset() + i));
                ASSERT_EQ(cell->text().toStdString(), shown) << action.toStdString() << " row " << i;
            }
            ASSERT_EQ(Control<QLineEdit>(QStringLiteral("Text3(%1)").arg(i))->text().toInt(), store.Offset() + i + 1);
        }
        switch (driver.Window().CurrentTest()) {
        case ui::TestMode::TwoSample: {
            std::array<std::string, 6> boxes;
            for (int k = 0; k < 6; ++k)
                boxes[static_cast<std::size_t>(k)] =
                    Control<QLineEdit>(QStringLiteral("Text4(%1)").arg(k))->text().toStdString();
            // Boxes that show their column's fresh summary stand for its
            // exact figures; any other box counts as its text.
            stats::TwoSampleInput input{boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5]};
            const stats::ColumnSummary summaries[2] = {stats::SummariseColumn(store.Values(Column::First)),
                                                       stats::SummariseColumn(store.Values(Column::Second))};
            for (std::size_t g = 0; g < 2; ++g) {
                if (!summaries[g].figures) continue;
                if (boxes[g * 3] == summaries[g].meanShown) input.exactMean[g] = &summaries[g].figures->mean;
                if (boxes[g * 3 + 1] == summaries[g].sdShown) input.exactVariance[g] = &summaries[g].figures->variance;
            }
            const auto fresh = stats::TwoSampleTTest(input);
            ASSERT_EQ(Label(5, 6), Qs(fresh.resultLine)) << action.toStdString();
            ASSERT_EQ(Label(5, 3), Qs(fresh.t05)) << action.toStdString();
            break;
        }
        case ui::TestMode::PairedT: {
            const auto fresh = stats::PairedTTest(store.Values(Column::First), store.Values(Column::Second));
            ASSERT_EQ(Label(13, 5), Qs(fresh.pairs)) << action.toStdString();
            ASSERT_EQ(Label(13, 4), Qs(fresh.meanDifference)) << action.toStdString();
            ASSERT_EQ(Label(5, 7), Qs(fresh.resultLine)) << action.toStdString();
            break;
        }
        case ui::TestMode::Correlation: {
            const auto fresh = stats::CorrelationRegression(store.Values(Column::First), store.Values(Column::Second));
            ASSERT_EQ(Label(13, 7), Qs(fresh.r)) << action.toStdString();
            ASSERT_EQ(Label(5, 16), ui::VerdictText(fresh.verdict)) << action.toStdString();
            ASSERT_EQ(Label(5, 17), Qs(fresh.equation)) << action.toStdString();
            break;
        }
        case ui::TestMode::FourFold:
        case ui::TestMode::PairedChiSquare: {
            std::array<std::string, 4> cells;
            for (int k = 0; k < 4; ++k)
                cells[static_cast<std::size_t>(k)] =
                    Control<QLineEdit>(QStringLiteral("Text11(%1)").arg(k))->text().toStdString();
            // A test selection empties the table's labels; they come back
            // with the first cell that changes.
            if (cells[0].empty() && cells[1].empty() && cells[2].empty() && cells[3].empty()) break;
            const stats::TableCells table{cells[0], cells[1], cells[2], cells[3]};
            ASSERT_EQ(Label(18, 4), Qs(stats::ComputeTableTotals(table).grand)) << action.toStdString();
            if (driver.Window().CurrentTest() == ui::TestMode::FourFold) {
                const auto fresh = stats::FourFoldChiSquare(table);
                ASSERT_EQ(Label(20, 6), Qs(fresh.chiSquare)) << action.toStdString();
                ASSERT_EQ(Label(5, 21), ui::VerdictText(fresh.verdict)) << action.toStdString();
            } else {
                const auto fresh = stats::PairedChiSquare(table);
                ASSERT_EQ(Label(20, 7), Qs(fresh.chiSquare)) << action.toStdString();
                ASSERT_EQ(Label(5, 23), ui::VerdictText(fresh.verdict)) << action.toStdString();
            }
            break;
        }
        }
    }
};

int EnvNumber(const char* name, int fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

TEST_F(MonkeyTest, WindowKeepsItsInvariantsUnderRandomActions)
{
    const int actions = EnvNumber("KORVANTA_MONKEY_ACTIONS", 3000);
    const auto seed = static_cast<unsigned>(EnvNumber("KORVANTA_MONKEY_SEED", 20261208));
    // The monkey imports and exports: it works on copies of the fixtures, so
    // an export never writes over a file another test reads.
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QDir data(QStringLiteral(KORVANTA_TEST_DATA));
    const QStringList workbooks = data.entryList(QDir::Files);
    for (const QString& file : workbooks) ASSERT_TRUE(QFile::copy(data.filePath(file), scratch.filePath(file)));
    Monkey monkey(seed);
    for (int n = 0; n < actions; ++n) {
        QString action = monkey.NextAction();
        if (action == QStringLiteral("import")) {
            const QString file = workbooks.isEmpty() ? QStringLiteral("missing.xls")
                                                     : workbooks.at(monkey.Pick(static_cast<int>(workbooks.size())));
            ASSERT_TRUE(driver.Run(QStringLiteral("answer-file %1").arg(scratch.filePath(file))));
            action = monkey.Pick(2) ? QStringLiteral("menu 从Excel导入数据") : QStringLiteral("click Label28(0)");
        }
        ASSERT_TRUE(driver.Run(action)) << action.toStdString();
        Check(QStringLiteral("#%1 %2 (seed %3)").arg(n).arg(action).arg(seed));
        if (HasFatalFailure()) return;
    }
}

} // namespace
} // namespace korvanta::driver

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvanta::ui::InstallFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

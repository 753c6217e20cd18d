// One keystroke's full handling in the real window, offscreen: the key
// event, the cell's cleaning, the store, the current test's recomputation
// from the whole store and the label updates. Modes 0 to 3 at 9, 1,000 and
// 32,767 filled rows. Each iteration types one digit and takes it back
// again, so the store is the same at every iteration: two keystrokes.
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "widgetkit/interaction.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

#include <random>

namespace {

using korvanta::ui::MainWindow;
using korvanta::ui::TestMode;

class SilentDesktop final : public korvanta::ui::UserInteraction {
public:
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
    std::optional<QString> ChooseFileToOpen(QWidget*, const korvanta::ui::FileRequest&) override
    {
        return std::nullopt;
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const korvanta::ui::FileRequest&) override
    {
        return std::nullopt;
    }
    void OpenUrl(const QUrl&) override {}
};

std::vector<std::string> Column(int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> value(120.0, 15.0);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i)
        texts.push_back(std::to_string(std::round(value(random) * 100.0) / 100.0).substr(0, 6));
    return texts;
}

void Keystroke(benchmark::State& state)
{
    const auto mode = static_cast<TestMode>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    SilentDesktop desktop;
    MainWindow window(desktop);
    window.show();
    QApplication::setActiveWindow(&window);
    window.SelectTest(mode);

    QLineEdit* cell = nullptr;
    if (mode == TestMode::FourFold) {
        cell = window.findChild<QLineEdit*>(QStringLiteral("Text11(1)"));
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("Text11(0)")), QStringLiteral("30"));
        QTest::keyClicks(cell, QStringLiteral("10"));
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("Text11(2)")), QStringLiteral("15"));
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("Text11(3)")), QStringLiteral("25"));
    } else {
        window.LoadColumns(Column(rows, 1), Column(rows, 2));
        cell = window.findChild<QLineEdit*>(QStringLiteral("Text1(4)"));
    }
    cell->setFocus();
    for (auto _ : state) {
        QTest::keyClick(cell, Qt::Key_7);
        QTest::keyClick(cell, Qt::Key_Backspace);
    }
    // Seconds per keystroke, printed with an SI prefix ("180u" is 180 µs).
    state.counters["per_keystroke"] = benchmark::Counter(static_cast<double>(state.iterations() * 2),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Modes(benchmark::internal::Benchmark* b)
{
    for (int mode : {0, 1, 2})
        for (int rows : {9, 1000, 32767}) b->Args({mode, rows});
    b->Args({3, 4});
    b->ArgNames({"mode", "rows"});
}

BENCHMARK(Keystroke)->Apply(Modes)->Unit(benchmark::kMicrosecond);

} // namespace

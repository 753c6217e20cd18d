// Import and export of 32,767 rows through the real window, offscreen: the
// menu action, the file dialog (answered at once), reading or writing the
// workbook, and for an import the store replaced and the grid refilled and
// recomputed. The reads use LibreOffice's files from tests/data and a file
// of our own .xlsx export; the writes go to a scratch folder.
#include "app/mainwindow.h"
#include "excel/workbook.h"
#include "grid/gridstore.h"
#include "widgetkit/interaction.h"

#include <QAction>
#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using korvanta::ui::MainWindow;

constexpr int kRows = korvanta::grid::kMaxRows;

// Answers every file dialog with one path and keeps the last message.
class AnsweringDesktop final : public korvanta::ui::UserInteraction {
public:
    QString path;
    QString lastMessage;

    void ShowMessage(QWidget*, const QString&, const QString& text) override { lastMessage = text; }
    std::optional<QString> ChooseFileToOpen(QWidget*, const korvanta::ui::FileRequest&) override { return path; }
    std::optional<QString> ChooseFileToSave(QWidget*, const korvanta::ui::FileRequest&) override { return path; }
    void OpenUrl(const QUrl&) override {}
};

class ScratchFolder {
public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() / ("korvanta-window-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    QString File(const char* name) const { return QString::fromStdString((path_ / name).string()); }

private:
    std::filesystem::path path_;
};

// Two columns as the grid holds them: whole numbers, decimals, some text.
std::vector<std::string> Column(int which)
{
    std::vector<std::string> c;
    c.reserve(kRows);
    for (int i = 1; i <= kRows; ++i)
        c.push_back(which == 0 ? std::to_string(i) : i % 50 == 0 ? "缺失" : std::to_string(i * 0.37).substr(0, 7));
    return c;
}

QAction* MenuAction(MainWindow& window, const QString& caption)
{
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == caption) return action;
    return nullptr;
}

class Window {
public:
    Window() : window_(desktop_)
    {
        window_.show();
        QApplication::setActiveWindow(&window_);
    }
    AnsweringDesktop& Desktop() { return desktop_; }
    MainWindow& Main() { return window_; }

private:
    AnsweringDesktop desktop_;
    MainWindow window_;
};

// textCells: the file holds texts that are not numbers, so the import ends
// with a notice that counts them.
void Import(benchmark::State& state, const QString& path, bool textCells = false)
{
    Window w;
    w.Desktop().path = path;
    QAction* import = MenuAction(w.Main(), QStringLiteral("从Excel导入数据"));
    if (!import) return state.SkipWithError("no import action");
    for (auto _ : state) {
        w.Desktop().lastMessage.clear();
        import->trigger();
        if (w.Main().Store().RowCount() != kRows || w.Desktop().lastMessage.isEmpty() == textCells)
            return state.SkipWithError(("import failed: " + w.Desktop().lastMessage).toStdString().c_str());
    }
}

void Export(benchmark::State& state, const char* name)
{
    ScratchFolder folder;
    Window w;
    w.Desktop().path = folder.File(name);
    w.Main().LoadColumns(Column(0), Column(1));
    QAction* exportAction = MenuAction(w.Main(), QStringLiteral("导出数据到Excel"));
    if (!exportAction) return state.SkipWithError("no export action");
    for (auto _ : state) {
        w.Desktop().lastMessage.clear();
        exportAction->trigger();
        if (w.Desktop().lastMessage != QStringLiteral("文件导出成功！"))
            return state.SkipWithError(("export failed: " + w.Desktop().lastMessage).toStdString().c_str());
    }
}

QString DataFile(const char* name) { return QStringLiteral(KORVANTA_TEST_DATA "/") + QString::fromUtf8(name); }

void BmImportXls(benchmark::State& state) { Import(state, DataFile("lo_rows32767.xls")); }
void BmImportXlsx(benchmark::State& state) { Import(state, DataFile("lo_rows32767.xlsx")); }
// libxlsxwriter's own package: less XML per cell than LibreOffice writes.
void BmImportXlsxOwnExport(benchmark::State& state)
{
    ScratchFolder folder;
    const QString path = folder.File("own.xlsx");
    if (!korvanta::excel::WriteXlsx(path.toStdString(), Column(0), Column(1)).Ok())
        return state.SkipWithError("cannot write the file");
    Import(state, path, true);
}
void BmExportXls(benchmark::State& state) { Export(state, "out.xls"); }
void BmExportXlsx(benchmark::State& state) { Export(state, "out.xlsx"); }

BENCHMARK(BmImportXls)->Unit(benchmark::kMillisecond);
BENCHMARK(BmImportXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BmImportXlsxOwnExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BmExportXls)->Unit(benchmark::kMillisecond);
BENCHMARK(BmExportXlsx)->Unit(benchmark::kMillisecond);

} // namespace

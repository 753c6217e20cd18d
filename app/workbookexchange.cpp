// Import of two columns from a workbook or a text file into the grid (by
// the open dialog or by dropping the file on the window), and export of the
// grid's two columns, or of the 2x2 table in the chi-square tests, to a new
// workbook or a .csv file.
#include "app/gridpanel.h"
#include "app/librarytexts.h"
#include "app/importdialog.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "delimited/delimitedtext.h"
#include "excel/export.h"
#include "excel/sheets.h"
#include "excel/workbook.h"
#include "stats/numbertext.h"

#include <QDragEnterEvent>
#include <algorithm>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <memory>
#include <new>

namespace korvanta::ui {
namespace {

QString Notice() { return MainWindow::tr("提示"); }

// The first filter is the one the import has always shown; the others
// offer the formats read besides. Names are matched in any case, as
// Windows users write them.
QString WorkbookFilter() { return MainWindow::tr("Microsoft Excel 工作簿(*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)"); }

FileRequest openRequest(const QString& directory)
{
    return {MainWindow::tr("打开"), directory,
            WorkbookFilter() + MainWindow::tr(";;OpenDocument 电子表格(*.ods) (*.ods *.ODS)"
                                             ";;文本文件(*.csv *.txt) (*.csv *.txt *.CSV *.TXT)"
                                             ";;所有数据文件 (*.xls *.xlsx *.ods *.csv *.txt *.XLS *.XLSX *.ODS *.CSV *.TXT)")};
}

// Export formats in the order of the save dialog's filters; .xls first, as
// the export has always written it.
struct ExportChoice {
    const char* extension;
    const char* filter;
    excel::ExportFormat format;
};
constexpr ExportChoice kExportFormats[] = {
    {".xls", QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "Microsoft Excel 工作簿(*.xls)"), excel::ExportFormat::Xls},
    {".xlsx", QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "Excel 2007 工作簿(*.xlsx)"), excel::ExportFormat::Xlsx},
    {".csv", QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "CSV 逗号分隔文本(*.csv)"), excel::ExportFormat::Csv},
};

FileRequest saveRequest(const QString& directory)
{
    QStringList filters;
    for (const ExportChoice& format : kExportFormats)
        filters << MainWindow::tr(format.filter);
    return {MainWindow::tr("另存为"), directory, filters.join(QStringLiteral(";;"))};
}

bool isDataFileName(const QString& name)
{
    for (const char* extension : {".xls", ".xlsx", ".ods", ".csv", ".txt"})
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    return false;
}

// The hourglass over the window while a workbook is read or written.
class BusyPointer {
public:
    explicit BusyPointer(QWidget* window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~BusyPointer() { window_->unsetCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    QWidget* window_;
};

std::filesystem::path toPath(const QString& name)
{
    return std::filesystem::path(name.toStdU16String());
}

// The 2x2 table as the window shows it: the heading over the outcome
// columns, the corner heading beside the two outcomes, then each row's
// heading with its two counts. The captions' spaces only place them in the
// window and are left out.
excel::Columns tableColumns(const TablePanel& table)
{
    const auto caption = [&](int k) { return table.headCaption(k).remove(QLatin1Char(' ')).toStdString(); };
    const QStringList outcomes = table.headCaption(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto outcome = [&](int k) { return k < outcomes.size() ? outcomes[k].toStdString() : std::string(); };
    const TablePanel::Texts counts = table.texts();
    return {{std::string(), caption(0), caption(3), caption(4)},
            {caption(1), outcome(0), counts.cells[0], counts.cells[2]},
            {std::string(), outcome(1), counts.cells[1], counts.cells[3]}};
}

// What the export writes in the current test; no columns when there is
// nothing to export.
excel::Columns exportedColumns(TestMode mode, const grid::GridStore& store, const TablePanel& table)
{
    if (stats::UsesTable(mode)) {
        const TablePanel::Texts counts = table.texts();
        if (std::all_of(counts.cells.begin(), counts.cells.end(), [](const std::string& c) { return c.empty(); }))
            return {};
        return tableColumns(table);
    }
    const auto items = [&](grid::Column column) {
        const auto span = store.items(column);
        return std::vector<std::string>(span.begin(), span.end());
    };
    excel::Columns columns{items(grid::Column::First), items(grid::Column::Second)};
    const auto empty = [](const std::vector<std::string>& c) {
        return std::all_of(c.begin(), c.end(), [](const std::string& t) { return t.empty(); });
    };
    if (empty(columns[0]) && empty(columns[1]))
        return {};
    return columns;
}

} // namespace

void MainWindow::importWorkbook()
{
    const std::optional<QString> chosen = interaction_.chooseFileToOpen(this, openRequest(programDirectory()));
    if (chosen)
        importFile(*chosen);
}

void MainWindow::importFile(const QString& path)
{
    const QString name = path;
    fileName_->setText(name);
    // Nothing of the grid, the lists or the results changes until the
    // workbook has been read: a refused or unreadable file loses nothing.
    if (!isDataFileName(name)) {
        interaction_.showMessage(this, Notice(), tr("请打开Excel文件！"));
        return;
    }

    // The file is read once, and its sheets from it as the preview asks.
    // Running out of memory anywhere in the import ends it here: a message,
    // and the grid as it was.
    try {
        std::unique_ptr<excel::DataFile> file;
        excel::ReadResult sheet0;
        {
            BusyPointer busy(this);
            file = std::make_unique<excel::DataFile>(toPath(name));
            if (file->ok())
                sheet0 = file->readSheet(0);
        }
        if (!file->ok()) {
            interaction_.showMessage(this, Notice(), LibraryText(file->message()));
            return;
        }
        if (!sheet0.ok() && file->sheetNames().size() < 2) {
            interaction_.showMessage(this, Notice(), LibraryText(sheet0.message));
            return;
        }
        ImportDialog preview(*file, std::move(sheet0), this);
        if (!interaction_.previewImport(preview) || !preview.sheet().ok())
            return;
        std::optional<ImportedColumns> columns = takeColumns(preview);
        if (!columns)
            return;
        // A worksheet's text cells ("1,234", "１２．５") follow the number
        // rules of a text file, whose fields have been read so already.
        if (file->format() != excel::FileFormat::Text) {
            delimited::ReadNumberColumn(columns->first);
            delimited::ReadNumberColumn(columns->second);
        }
        const int kept = delimited::CountCommaNumbers(columns->first) + delimited::CountCommaNumbers(columns->second);
        loadColumns(std::move(columns->first), std::move(columns->second));
        noteKeptCommaNumbers(kept);
        if (columns->uncalculated > 0)
            interaction_.showMessage(this, Notice(),
                                     tr("有%1个公式单元格没有保存计算结果，已作为空白导入。"
                                                    "请在电子表格程序中打开该文件，重新计算并保存后再导入。")
                                         .arg(columns->uncalculated));
    } catch (const std::bad_alloc&) {
        interaction_.showMessage(this, Notice(), tr("内存不足，无法导入该文件，表中数据未改变。"));
    }
}

std::optional<MainWindow::ImportedColumns> MainWindow::takeColumns(const ImportDialog& preview)
{
    const excel::ReadResult& sheet = preview.sheet();
    const std::size_t skip = preview.heading() && !sheet.rows.empty() ? 1 : 0;
    const std::size_t rows = sheet.rows.size() - skip;
    if (rows > static_cast<std::size_t>(grid::kMaxRows)) {
        interaction_.showMessage(this, Notice(),
                                 tr("工作表有%1行数据，超过了本程序能容纳的%2行，未导入。").arg(rows).arg(grid::kMaxRows));
        return std::nullopt;
    }
    const auto firstColumn = static_cast<std::size_t>(preview.firstColumn());
    const auto secondColumn = static_cast<std::size_t>(preview.secondColumn());
    ImportedColumns columns;
    columns.first.reserve(rows);
    columns.second.reserve(rows);
    const excel::NumberFormatter general = [](double value) { return stats::GeneralNumberText(value); };
    for (std::size_t r = skip; r < sheet.rows.size(); ++r) {
        columns.first.push_back(excel::ImportText(sheet.rows[r][firstColumn], general));
        columns.second.push_back(excel::ImportText(sheet.rows[r][secondColumn], general));
    }
    for (const excel::CellPosition& at : sheet.uncalculated)
        if (at.row >= skip && (at.column == firstColumn || at.column == secondColumn))
            ++columns.uncalculated;
    return columns;
}

void MainWindow::loadColumns(std::vector<std::string> first, std::vector<std::string> second)
{
    // The first rows go through the cells' change handling as if typed:
    // cleaned, stored back and recomputed once for both columns.
    asOneStep([&] {
        grid_->beginBatch();
        store_.replace(std::move(first), std::move(second));
        grid_->showImported();
        grid_->markColumnsChanged();
        grid_->endBatch();
    });
    // The data now match a file.
    history_.markSaved();
    updateEditActions();
}

void MainWindow::exportWorkbook()
{
    exportData();
}

bool MainWindow::exportData()
{
    commitEdits();
    // The data are taken before the dialog: with nothing to export there is
    // nothing to ask a name for.
    excel::Columns columns;
    try {
        columns = exportedColumns(mode_, store_, *table_);
    } catch (const std::bad_alloc&) {
        interaction_.showMessage(this, Notice(), LibraryText(excel::WriteErrorMessage(excel::WriteError::OutOfMemory)));
        return false;
    }
    if (columns.empty()) {
        interaction_.showMessage(this, Notice(), tr("没有可导出的数据"));
        return false;
    }
    const std::optional<FileChoice> chosen = interaction_.chooseFileToSaveAs(this, saveRequest(programDirectory()));
    if (!chosen)
        return false;
    // The name exactly as chosen: "a.csv " is another file than "a.csv".
    QString name = chosen->path;
    fileName_->setText(name);
    // A name that already ends in .xls, .xlsx or .csv keeps it (and its
    // format); any other name gets the extension of the selected type,
    // .xls unless another was chosen.
    std::size_t format = std::size(kExportFormats);
    for (std::size_t k = 0; k < std::size(kExportFormats); ++k)
        if (name.endsWith(QLatin1String(kExportFormats[k].extension), Qt::CaseInsensitive))
            format = k;
    if (format == std::size(kExportFormats)) {
        format = static_cast<std::size_t>(std::clamp(chosen->filter, 0, static_cast<int>(std::size(kExportFormats)) - 1));
        name += QLatin1String(kExportFormats[format].extension);
    }

    excel::WriteResult written;
    {
        BusyPointer busy(this);
        written = excel::ExportColumns(toPath(name), kExportFormats[format].format, columns);
    }
    if (!written.ok()) {
        interaction_.showMessage(this, Notice(), WriteResultText(written));
        return false;
    }
    history_.markSaved();
    QString text = tr("文件导出成功！");
    if (written.droppedChars > 0)
        text += tr("\n有%1个空字符（NUL）无法保存在该格式的文件中，已删除。").arg(written.droppedChars);
    interaction_.showMessage(this, Notice(), text);
    return true;
}

namespace {

// The one local file a drag carries, when it is one the import reads.
std::optional<QString> droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().front().toLocalFile();
    return isDataFileName(path) ? std::optional<QString>(path) : std::nullopt;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<QString> path = droppedFile(event->mimeData());
    if (!path)
        return;
    event->acceptProposedAction();
    importFile(*path);
}

} // namespace korvanta::ui

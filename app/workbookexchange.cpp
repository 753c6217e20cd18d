// Import of two columns from a workbook or a text file into the grid (by
// the open dialog or by dropping the file on the window), and export of the
// grid's two columns, or of the 2x2 table in the chi-square tests, to a new
// workbook or a .csv file.
#include "app/gridpanel.h"
#include "app/importdialog.h"
#include "app/librarytexts.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "delimited/delimitedtext.h"
#include "excel/export.h"
#include "excel/sheets.h"
#include "excel/workbook.h"
#include "stats/numbertext.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <algorithm>
#include <memory>
#include <new>

namespace korvanta::ui {
namespace {

QString Notice() { return MainWindow::tr("提示"); }

// The first filter is the one the import has always shown; the others
// offer the formats read besides. Names are matched in any case, as
// Windows users write them.
QString WorkbookFilter()
{
    return MainWindow::tr("Microsoft Excel 工作簿(*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)");
}

FileRequest OpenRequest(const QString& directory)
{
    return {MainWindow::tr("打开"), directory,
            WorkbookFilter() +
                MainWindow::tr(";;OpenDocument 电子表格(*.ods) (*.ods *.ODS)"
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

FileRequest SaveRequest(const QString& directory)
{
    QStringList filters;
    for (const ExportChoice& format : kExportFormats) filters << MainWindow::tr(format.filter);
    return {MainWindow::tr("另存为"), directory, filters.join(QStringLiteral(";;"))};
}

bool IsDataFileName(const QString& name)
{
    for (const char* extension : {".xls", ".xlsx", ".ods", ".csv", ".txt"})
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) return true;
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

std::filesystem::path ToPath(const QString& name) { return std::filesystem::path(name.toStdU16String()); }

// The 2x2 table as the window shows it: the heading over the outcome
// columns, the corner heading beside the two outcomes, then each row's
// heading with its two counts. The captions' spaces only place them in the
// window and are left out.
excel::Columns TableColumns(const TablePanel& table)
{
    const auto caption = [&](int k) { return table.HeadCaption(k).remove(QLatin1Char(' ')).toStdString(); };
    const QStringList outcomes = table.HeadCaption(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto outcome = [&](int k) { return k < outcomes.size() ? outcomes[k].toStdString() : std::string(); };
    const TablePanel::Texts counts = table.CellTexts();
    return {{std::string(), caption(0), caption(3), caption(4)},
            {caption(1), outcome(0), counts.cells[0], counts.cells[2]},
            {std::string(), outcome(1), counts.cells[1], counts.cells[3]}};
}

// What the export writes in the current test; no columns when there is
// nothing to export.
excel::Columns ExportedColumns(TestMode mode, const grid::GridStore& store, const TablePanel& table)
{
    if (stats::UsesTable(mode)) {
        const TablePanel::Texts counts = table.CellTexts();
        if (std::all_of(counts.cells.begin(), counts.cells.end(), [](const std::string& c) { return c.empty(); }))
            return {};
        return TableColumns(table);
    }
    const auto items = [&](grid::Column column) {
        const auto span = store.Items(column);
        return std::vector<std::string>(span.begin(), span.end());
    };
    excel::Columns columns{items(grid::Column::First), items(grid::Column::Second)};
    const auto empty = [](const std::vector<std::string>& c) {
        return std::all_of(c.begin(), c.end(), [](const std::string& t) { return t.empty(); });
    };
    if (empty(columns[0]) && empty(columns[1])) return {};
    return columns;
}

} // namespace

void MainWindow::ImportWorkbook()
{
    const std::optional<QString> chosen = interaction_.ChooseFileToOpen(this, OpenRequest(ProgramDirectory()));
    if (chosen) ImportFile(*chosen);
}

void MainWindow::ImportFile(const QString& path)
{
    const QString name = path;
    fileName_->setText(name);
    // Nothing of the grid, the lists or the results changes until the
    // workbook has been read: a refused or unreadable file loses nothing.
    if (!IsDataFileName(name)) {
        interaction_.ShowMessage(this, Notice(), tr("请打开Excel文件！"));
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
            file = std::make_unique<excel::DataFile>(ToPath(name));
            if (file->Ok()) sheet0 = file->ReadSheet(0);
        }
        if (!file->Ok()) {
            interaction_.ShowMessage(this, Notice(), LibraryText(file->Message()));
            return;
        }
        if (!sheet0.Ok() && file->SheetNames().size() < 2) {
            interaction_.ShowMessage(this, Notice(), LibraryText(sheet0.message));
            return;
        }
        ImportDialog preview(*file, std::move(sheet0), this);
        if (!interaction_.PreviewImport(preview) || !preview.Sheet().Ok()) return;
        std::optional<ImportedColumns> columns = TakeColumns(preview);
        if (!columns) return;
        // A worksheet's text cells ("1,234", "１２．５") follow the number
        // rules of a text file, whose fields have been read so already.
        if (file->Format() != excel::FileFormat::Text) {
            delimited::ReadNumberColumn(columns->first);
            delimited::ReadNumberColumn(columns->second);
        }
        const int kept = delimited::CountCommaNumbers(columns->first) + delimited::CountCommaNumbers(columns->second);
        LoadColumns(std::move(columns->first), std::move(columns->second));
        NoteKeptCommaNumbers(kept);
        if (columns->uncalculated > 0)
            interaction_.ShowMessage(this, Notice(),
                                     tr("有%1个公式单元格没有保存计算结果，已作为空白导入。"
                                        "请在电子表格程序中打开该文件，重新计算并保存后再导入。")
                                         .arg(columns->uncalculated));
    } catch (const std::bad_alloc&) {
        interaction_.ShowMessage(this, Notice(), tr("内存不足，无法导入该文件，表中数据未改变。"));
    }
}

std::optional<MainWindow::ImportedColumns> MainWindow::TakeColumns(const ImportDialog& preview)
{
    const excel::ReadResult& sheet = preview.Sheet();
    const std::size_t skip = preview.Heading() && !sheet.rows.empty() ? 1 : 0;
    const std::size_t rows = sheet.rows.size() - skip;
    if (rows > static_cast<std::size_t>(grid::kMaxRows)) {
        interaction_.ShowMessage(
            this, Notice(), tr("工作表有%1行数据，超过了本程序能容纳的%2行，未导入。").arg(rows).arg(grid::kMaxRows));
        return std::nullopt;
    }
    const auto firstColumn = static_cast<std::size_t>(preview.FirstColumn());
    const auto secondColumn = static_cast<std::size_t>(preview.SecondColumn());
    ImportedColumns columns;
    columns.first.reserve(rows);
    columns.second.reserve(rows);
    const excel::NumberFormatter general = [](double value) { return stats::GeneralNumberText(value); };
    for (std::size_t r = skip; r < sheet.rows.size(); ++r) {
        columns.first.push_back(excel::ImportText(sheet.rows[r][firstColumn], general));
        columns.second.push_back(excel::ImportText(sheet.rows[r][secondColumn], general));
    }
    for (const excel::CellPosition& at : sheet.uncalculated)
        if (at.row >= skip && (at.column == firstColumn || at.column == secondColumn)) ++columns.uncalculated;
    return columns;
}

void MainWindow::LoadColumns(std::vector<std::string> first, std::vector<std::string> second)
{
    // The first rows go through the cells' change handling as if typed:
    // cleaned, stored back and recomputed once for both columns.
    AsOneStep([&] {
        grid_->BeginBatch();
        store_.Replace(std::move(first), std::move(second));
        grid_->ShowImported();
        grid_->MarkColumnsChanged();
        grid_->EndBatch();
    });
    // The data now match a file.
    history_.MarkSaved();
    UpdateEditActions();
}

void MainWindow::ExportWorkbook() { ExportData(); }

bool MainWindow::ExportData()
{
    CommitEdits();
    // The data are taken before the dialog: with nothing to export there is
    // nothing to ask a name for.
    excel::Columns columns;
    try {
        columns = ExportedColumns(mode_, store_, *table_);
    } catch (const std::bad_alloc&) {
        interaction_.ShowMessage(this, Notice(), LibraryText(excel::WriteErrorMessage(excel::WriteError::OutOfMemory)));
        return false;
    }
    if (columns.empty()) {
        interaction_.ShowMessage(this, Notice(), tr("没有可导出的数据"));
        return false;
    }
    const std::optional<FileChoice> chosen = interaction_.ChooseFileToSaveAs(this, SaveRequest(ProgramDirectory()));
    if (!chosen) return false;
    // The name exactly as chosen: "a.csv " is another file than "a.csv".
    QString name = chosen->path;
    fileName_->setText(name);
    // A name that already ends in .xls, .xlsx or .csv keeps it (and its
    // format); any other name gets the extension of the selected type,
    // .xls unless another was chosen.
    std::size_t format = std::size(kExportFormats);
    for (std::size_t k = 0; k < std::size(kExportFormats); ++k)
        if (name.endsWith(QLatin1String(kExportFormats[k].extension), Qt::CaseInsensitive)) format = k;
    if (format == std::size(kExportFormats)) {
        format =
            static_cast<std::size_t>(std::clamp(chosen->filter, 0, static_cast<int>(std::size(kExportFormats)) - 1));
        name += QLatin1String(kExportFormats[format].extension);
    }

    excel::WriteResult written;
    {
        BusyPointer busy(this);
        written = excel::ExportColumns(ToPath(name), kExportFormats[format].format, columns);
    }
    if (!written.Ok()) {
        interaction_.ShowMessage(this, Notice(), WriteResultText(written));
        return false;
    }
    history_.MarkSaved();
    QString text = tr("文件导出成功！");
    if (written.droppedChars > 0)
        text += tr("\n有%1个空字符（NUL）无法保存在该格式的文件中，已删除。").arg(written.droppedChars);
    interaction_.ShowMessage(this, Notice(), text);
    return true;
}

namespace {

// The one local file a drag carries, when it is one the import reads.
std::optional<QString> DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().front().toLocalFile();
    return IsDataFileName(path) ? std::optional<QString>(path) : std::nullopt;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<QString> path = DroppedFile(event->mimeData());
    if (!path) return;
    event->acceptProposedAction();
    ImportFile(*path);
}

} // namespace korvanta::ui

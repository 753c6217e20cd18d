#include "app/dataexchange.h"

#include "app/busypointer.h"
#include "app/cellbatch.h"
#include "app/editsession.h"
#include "app/gridpanel.h"
#include "app/importdialog.h"
#include "app/librarytexts.h"
#include "app/mainwindow.h"
#include "app/resultpanels.h"
#include "app/tablepanel.h"
#include "delimited/delimitedtext.h"
#include "excel/export.h"
#include "excel/sheets.h"
#include "excel/workbook.h"
#include "grid/cellcleaning.h"
#include "grid/pasteblock.h"
#include "resultsview/detailstext.h"
#include "resultsview/detailswindow.h"
#include "stats/numbertext.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

namespace korvanta::ui {
namespace {

QString Notice() { return DataExchange::tr("提示"); }

QString ProgramDirectory() { return QCoreApplication::applicationDirPath(); }

// The first filter is the one the import has always shown; the others
// offer the formats read besides. Names are matched in any case, as
// Windows users write them.
QString WorkbookFilter()
{
    return DataExchange::tr("Microsoft Excel 工作簿(*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)");
}

// The statistics packages' files, read when this build has their reader.
constexpr const char* kStatisticsExtensions[] = {".sav", ".zsav", ".por", ".dta", ".sas7bdat", ".xpt"};

FileRequest OpenRequest(const QString& directory)
{
    if (!excel::ReadsStatisticsFiles())
        return {DataExchange::tr("打开"), directory,
                WorkbookFilter() +
                    DataExchange::tr(";;OpenDocument 电子表格(*.ods) (*.ods *.ODS)"
                                     ";;文本文件(*.csv *.txt) (*.csv *.txt *.CSV *.TXT)"
                                     ";;所有数据文件 (*.xls *.xlsx *.ods *.csv *.txt *.XLS *.XLSX *.ODS *.CSV *.TXT)")};
    return {
        DataExchange::tr("打开"), directory,
        WorkbookFilter() +
            DataExchange::tr(";;OpenDocument 电子表格(*.ods) (*.ods *.ODS)"
                             ";;文本文件(*.csv *.txt) (*.csv *.txt *.CSV *.TXT)"
                             ";;SPSS 数据文件(*.sav *.zsav *.por) (*.sav *.zsav *.por *.SAV *.ZSAV *.POR)"
                             ";;Stata 数据文件(*.dta) (*.dta *.DTA)"
                             ";;SAS 数据文件(*.sas7bdat *.xpt) (*.sas7bdat *.xpt *.SAS7BDAT *.XPT)"
                             ";;所有数据文件 (*.xls *.xlsx *.ods *.csv *.txt *.sav *.zsav *.por *.dta *.sas7bdat *.xpt"
                             " *.XLS *.XLSX *.ODS *.CSV *.TXT *.SAV *.ZSAV *.POR *.DTA *.SAS7BDAT *.XPT)")};
}

// Export formats in the order of the save dialog's filters; .xls first, as
// the export has always written it.
struct ExportChoice {
    const char* extension;
    const char* filter;
    excel::ExportFormat format;
};
constexpr ExportChoice kExportFormats[] = {
    {".xls", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "Microsoft Excel 工作簿(*.xls)"),
     excel::ExportFormat::Xls},
    {".xlsx", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "Excel 2007 工作簿(*.xlsx)"), excel::ExportFormat::Xlsx},
    {".csv", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "CSV 逗号分隔文本(*.csv)"), excel::ExportFormat::Csv},
    {".ods", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "OpenDocument 电子表格(*.ods)"), excel::ExportFormat::Ods},
    // Offered only by a build that writes them (ExportChoices).
    {".sav", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "SPSS 数据文件(*.sav)"), excel::ExportFormat::Sav},
    {".dta", QT_TRANSLATE_NOOP("korvanta::ui::DataExchange", "Stata 数据文件(*.dta)"), excel::ExportFormat::Dta},
};

// The workbook formats every build writes, then the statistics packages'.
constexpr std::size_t kWorkbookExports = 4;
std::size_t ExportChoices() { return excel::ReadsStatisticsFiles() ? std::size(kExportFormats) : kWorkbookExports; }

bool IsStatisticsExport(excel::ExportFormat format)
{
    return format == excel::ExportFormat::Sav || format == excel::ExportFormat::Dta;
}

// The name an export writes and its row in kExportFormats. A name whose
// extension is one this build writes (in any case, also with spaces after
// it: "x.xls " is an .xls file of that very name) is written in that format
// as it is; any other name gets the extension of the selected type, .xls
// unless another was chosen ("data.2024" becomes "data.2024.xls"). A name
// that is nothing but an extension would make a hidden file: none.
std::optional<std::pair<QString, std::size_t>> ExportName(const FileChoice& chosen)
{
    const QString& path = chosen.path;
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    for (std::size_t k = 0; k < ExportChoices(); ++k) {
        const QLatin1String extension(kExportFormats[k].extension);
        if (!name.endsWith(extension, Qt::CaseInsensitive)) continue;
        if (name.size() == extension.size()) return std::nullopt;
        return std::pair(path, k);
    }
    const auto k = static_cast<std::size_t>(std::clamp(chosen.filter, 0, static_cast<int>(ExportChoices()) - 1));
    return std::pair(path + QLatin1String(kExportFormats[k].extension), k);
}

FileRequest SaveRequest(const QString& directory)
{
    QStringList filters;
    for (std::size_t k = 0; k < ExportChoices(); ++k) filters << DataExchange::tr(kExportFormats[k].filter);
    return {DataExchange::tr("另存为"), directory, filters.join(QStringLiteral(";;"))};
}

// Spaces after the extension belong to the name, as the export keeps them.
bool IsDataFileName(QString name)
{
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    for (const char* extension : {".xls", ".xlsx", ".ods", ".csv", ".txt"})
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) return true;
    if (excel::ReadsStatisticsFiles())
        for (const char* extension : kStatisticsExtensions)
            if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) return true;
    return false;
}

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

// The values of the two imported variables that a statistics file marks
// missing and that came in as empty cells, one line per group.
QString MissingValuesNotice(const ImportDialog& preview)
{
    const auto& variables = preview.Sheet().variables;
    QStringList lines;
    const int columns[2] = {preview.FirstColumn(), preview.SecondColumn()};
    for (int k = 0; k < 2; ++k) {
        if (columns[k] < 0 || static_cast<std::size_t>(columns[k]) >= variables.size()) continue;
        const excel::Variable& v = variables[static_cast<std::size_t>(columns[k])];
        if (v.missing == 0) continue;
        const QString group = k == 0 ? DataExchange::tr("第一组") : DataExchange::tr("第二组");
        QStringList values;
        for (const excel::Cell& cell : v.userMissing)
            values << QString::fromStdString(
                cell.kind == excel::Cell::Kind::Number ? stats::GeneralNumberText(cell.number) : cell.text);
        if (values.isEmpty())
            lines << DataExchange::tr("%1有%2个缺失值，已作为空白导入").arg(group).arg(v.missing);
        else
            lines << DataExchange::tr("%1有%2个缺失值（用户定义缺失值%3），已作为空白导入")
                         .arg(group)
                         .arg(v.missing)
                         .arg(values.join(DataExchange::tr("、")));
    }
    return lines.join(QLatin1Char('\n'));
}

// What a .sav or .dta export writes. The grid's columns are variables
// group1 and group2 labelled with the groups' names; the 2x2 table is
// written as weighted cases, as SPSS users keep one: the row and the column
// (each labelled with the table's headings, its two values with the
// headings of its rows or columns) and the count of each cell.
excel::Dataset StatisticsDataset(TestMode mode, const grid::GridStore& store, const TablePanel& table,
                                 const details::GroupNames& names)
{
    excel::Dataset dataset;
    if (stats::UsesTable(mode)) {
        const auto caption = [&](int k) { return table.HeadCaption(k).remove(QLatin1Char(' ')).toStdString(); };
        const QStringList outcomes = table.HeadCaption(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto outcome = [&](int k) { return k < outcomes.size() ? outcomes[k].toStdString() : std::string(); };
        const TablePanel::Texts counts = table.CellTexts();
        const std::string countLabel = QCoreApplication::translate("korvanta::ui::DataExchange", "例数").toStdString();
        dataset.variables = {
            {"row", caption(0), {{1.0, caption(3)}, {2.0, caption(4)}}, {"1", "1", "2", "2"}},
            {"column", caption(1), {{1.0, outcome(0)}, {2.0, outcome(1)}}, {"1", "2", "1", "2"}},
            {"count", countLabel, {}, {counts.cells[0], counts.cells[1], counts.cells[2], counts.cells[3]}},
        };
        dataset.weight = 2;
        return dataset;
    }
    for (int k = 0; k < 2; ++k) {
        const auto span = store.Items(k == 0 ? grid::Column::First : grid::Column::Second);
        dataset.variables.push_back({k == 0 ? "group1" : "group2",
                                     details::GroupName(names, k).toStdString(),
                                     {},
                                     std::vector<std::string>(span.begin(), span.end())});
    }
    return dataset;
}

// Imported cells that hold something the grid cannot keep as the start of
// a number ("½", "NaN", Arabic-Indic digits): the cells show them empty. A
// first row that looks like a heading is not counted: the preview said so.
struct NotNumbers {
    int count = 0;
    std::string example;
};
NotNumbers CountNotNumbers(const std::vector<std::string>& first, const std::vector<std::string>& second)
{
    NotNumbers found;
    const bool heading =
        !first.empty() && delimited::LooksLikeHeading({first.front(), second.empty() ? std::string() : second.front()});
    for (const std::vector<std::string>* column : {&first, &second})
        for (std::size_t r = heading ? 1 : 0; r < column->size(); ++r) {
            const std::string& text = (*column)[r];
            // A text ending in a digit, "-" or "." keeps it when cleaned (an
            // ASCII byte is always a whole character): nearly every cell.
            if (text.empty() || grid::IsAcceptableLastCharacter(static_cast<unsigned char>(text.back())) ||
                !grid::CleanCellText(text).empty())
                continue;
            if (found.count++ == 0) found.example = text;
        }
    return found;
}

} // namespace

DataExchange::DataExchange(MainWindow& window) : QObject(&window), window_(window), interaction_(window.interaction_) {}

void DataExchange::ImportWorkbook()
{
    const std::optional<QString> chosen = interaction_.ChooseFileToOpen(&window_, OpenRequest(ProgramDirectory()));
    if (chosen) ImportFile(*chosen);
}

void DataExchange::ImportFile(const QString& path)
{
    const QString name = path;
    window_.fileName_->setText(name);
    // Nothing of the grid, the lists or the results changes until the
    // workbook has been read: a refused or unreadable file loses nothing.
    if (!IsDataFileName(name)) {
        interaction_.ShowMessage(&window_, Notice(), tr("请打开Excel文件！"));
        return;
    }

    // The file is read once, and its sheets from it as the preview asks.
    // Running out of memory anywhere in the import ends it here: a message,
    // and the grid as it was.
    try {
        std::unique_ptr<excel::DataFile> file;
        excel::ReadResult sheet0;
        {
            BusyPointer busy(&window_);
            file = std::make_unique<excel::DataFile>(ToPath(name));
            if (file->Ok()) sheet0 = file->ReadSheet(0);
        }
        if (!file->Ok()) {
            interaction_.ShowMessage(&window_, Notice(), ReadErrorText(file->Error()));
            return;
        }
        if (!sheet0.Ok() && file->SheetNames().size() < 2) {
            interaction_.ShowMessage(&window_, Notice(), ReadResultText(sheet0));
            return;
        }
        ImportDialog preview(*file, std::move(sheet0), &window_);
        if (!interaction_.PreviewImport(preview) || !preview.Sheet().Ok()) return;
        const excel::ReadResult& sheet = preview.Sheet();
        excel::TakenColumns columns = excel::TakeColumns(sheet,
                                                         {static_cast<std::size_t>(preview.FirstColumn()),
                                                          static_cast<std::size_t>(preview.SecondColumn()),
                                                          preview.Heading(), static_cast<std::size_t>(grid::kMaxRows)},
                                                         [](double value) { return stats::GeneralNumberText(value); });
        if (columns.tooManyRows) {
            interaction_.ShowMessage(
                &window_, Notice(),
                tr("工作表有%1行数据，超过了本程序能容纳的%2行，未导入。").arg(columns.rows).arg(grid::kMaxRows));
            return;
        }
        // A worksheet's text cells ("1,234", "１２．５") follow the number
        // rules of a text file, whose fields have been read so already.
        if (file->Format() != excel::FileFormat::Text) {
            delimited::ReadNumberColumn(columns.first);
            delimited::ReadNumberColumn(columns.second);
        }
        const int kept = delimited::CountCommaNumbers(columns.first) + delimited::CountCommaNumbers(columns.second);
        const std::size_t rows = std::max(columns.first.size(), columns.second.size());
        const NotNumbers notNumbers = CountNotNumbers(columns.first, columns.second);
        LoadColumns(std::move(columns.first), std::move(columns.second));
        if (preview.Heading())
            window_.Details()->SetImportedNames(QString::fromStdString(columns.firstHeading).trimmed(),
                                                QString::fromStdString(columns.secondHeading).trimmed());
        NoteKeptCommaNumbers(kept);
        if (notNumbers.count > 0)
            interaction_.ShowMessage(&window_, Notice(),
                                     tr("有%1个单元格的内容不是数值（如“%2”），在数据表中显示为空白，不参与计算。")
                                         .arg(notNumbers.count)
                                         .arg(QString::fromStdString(notNumbers.example.substr(0, 40))));
        if (columns.uncalculated > 0)
            interaction_.ShowMessage(&window_, Notice(),
                                     tr("有%1个公式单元格没有保存计算结果，已作为空白导入。"
                                        "请在电子表格程序中打开该文件，重新计算并保存后再导入。")
                                         .arg(columns.uncalculated));
        if (const QString missing = MissingValuesNotice(preview); !missing.isEmpty())
            interaction_.ShowMessage(&window_, Notice(), missing);
        // The grid lies under the 2x2 table: the user is told last where the
        // data went.
        if (stats::UsesTable(window_.mode_))
            interaction_.ShowMessage(&window_, Notice(),
                                     tr("已导入%1行数据，放在数据表的“第一组”“第二组”两列中。“%2”只使用四格表；"
                                        "切换到使用这两列的检验时选择“保留数据”即可使用它们。")
                                         .arg(rows)
                                         .arg(TestCaption(window_.mode_)));
    } catch (const std::bad_alloc&) {
        interaction_.ShowMessage(&window_, Notice(), tr("内存不足，无法导入该文件，表中数据未改变。"));
    }
}

void DataExchange::LoadColumns(std::vector<std::string> first, std::vector<std::string> second)
{
    // The first rows go through the cells' change handling as if typed:
    // cleaned, stored back and recomputed once for both columns.
    window_.session_->AsOneStep([&] {
        const CellBatch batch(*window_.grid_);
        window_.store_.Replace(std::move(first), std::move(second));
        window_.grid_->ShowImported();
        window_.grid_->MarkColumnsChanged();
    });
    // The data now match a file.
    window_.session_->MarkSaved();
}

bool DataExchange::ExportData()
{
    window_.session_->CommitEdits();
    // The data are taken before the dialog: with nothing to export there is
    // nothing to ask a name for.
    excel::Columns columns;
    try {
        columns = ExportedColumns(window_.mode_, window_.store_, *window_.table_);
    } catch (const std::bad_alloc&) {
        interaction_.ShowMessage(&window_, Notice(), WriteErrorText(excel::WriteError::OutOfMemory));
        return false;
    }
    if (columns.empty()) {
        interaction_.ShowMessage(&window_, Notice(), tr("没有可导出的数据"));
        return false;
    }
    const std::optional<FileChoice> chosen = interaction_.ChooseFileToSaveAs(&window_, SaveRequest(ProgramDirectory()));
    if (!chosen) return false;
    // The name exactly as chosen: "a.csv " is another file than "a.csv".
    window_.fileName_->setText(chosen->path);
    const auto target = ExportName(*chosen);
    if (!target) {
        interaction_.ShowMessage(&window_, Notice(),
                                 tr("文件名“%1”只有扩展名，这样保存的文件会被隐藏。请在扩展名前输入文件名。")
                                     .arg(chosen->path.mid(chosen->path.lastIndexOf(QLatin1Char('/')) + 1)));
        return false;
    }
    const auto& [name, format] = *target;

    excel::WriteResult written;
    try {
        BusyPointer busy(&window_);
        if (IsStatisticsExport(kExportFormats[format].format))
            written = excel::ExportDataset(
                ToPath(name), kExportFormats[format].format,
                StatisticsDataset(window_.mode_, window_.store_, *window_.table_, window_.details_->GroupNames()));
        else
            written = excel::ExportColumns(ToPath(name), kExportFormats[format].format, columns);
    } catch (const std::bad_alloc&) {
        written.error = excel::WriteError::OutOfMemory;
    }
    if (!written.Ok()) {
        interaction_.ShowMessage(&window_, Notice(), WriteResultText(written));
        return false;
    }
    window_.session_->MarkSaved();
    QString text = tr("文件导出成功！");
    if (written.droppedChars > 0 && kExportFormats[format].format == excel::ExportFormat::Ods)
        text += tr("\n有%1个控制字符无法保存在该格式的文件中，已删除。").arg(written.droppedChars);
    else if (written.droppedChars > 0)
        text += tr("\n有%1个空字符（NUL）无法保存在该格式的文件中，已删除。").arg(written.droppedChars);
    interaction_.ShowMessage(&window_, Notice(), text);
    return true;
}

std::optional<QString> DroppedDataFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().front().toLocalFile();
    return IsDataFileName(path) ? std::optional<QString>(path) : std::nullopt;
}

// Paste into the grid and the 2x2 table, and copy of the grid's columns.
// A text of one value without a line end is pasted into the cell as the
// cell itself pastes it (at the caret, then cleaned); anything more is a
// block and goes into the store. Both are read by the delimited-text rules.
namespace {

bool IsBlock(const QString& text, const delimited::DelimitedText& parsed)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\t')) ||
           parsed.rows.size() > 1 || parsed.columns > 1;
}

// One value pasted into a cell goes in at the caret as the cell's own paste
// would put it, but read as a block's field is ("1,234" as 1234, "１２" as
// 12); a text the rules do not keep (a heading word) goes in as it is.
void PasteOneValue(QLineEdit* cell, const delimited::DelimitedText& parsed)
{
    if (parsed.rows.size() == 1 && parsed.rows.front().size() == 1 && !cell->isReadOnly())
        cell->insert(QString::fromStdString(parsed.rows.front().front()));
    else
        cell->paste();
}

// The clipboard read as a block within the paste's limits.
delimited::DelimitedText ReadPasted(const QString& text)
{
    if (static_cast<std::size_t>(text.size()) > grid::kMaxPasteChars) {
        delimited::DelimitedText refused;
        refused.fault = {delimited::TextProblem::TooMuchText, 0, 0, grid::kMaxPasteChars};
        return refused;
    }
    return delimited::ParseDelimitedText(text.toStdString(), grid::PasteLimits());
}

// A pasted text past the limits is refused with its reason; a text that
// could not be read at all is never one value for a cell.
bool RefusePasted(UserInteraction& interaction, QWidget* window, const delimited::DelimitedText& block)
{
    if (block.fault.problem == delimited::TextProblem::None) return false;
    interaction.ShowMessage(window, Notice(), TextFaultText(block.fault) + DataExchange::tr("未粘贴。"));
    return true;
}

} // namespace

// A clipboard too large for the memory left is refused with a message: its
// text and the parsed block are made before anything is stored.
void DataExchange::PasteIntoGrid(grid::Column column, int visibleRow)
try {
    const QString text = QApplication::clipboard()->text();
    const delimited::DelimitedText block = ReadPasted(text);
    if (RefusePasted(interaction_, &window_, block)) return;
    if (!IsBlock(text, block)) {
        PasteOneValue(window_.grid_->Cell(column, visibleRow), block);
        return;
    }
    const int row = window_.store_.Offset() + visibleRow;
    grid::PasteOutcome outcome;
    window_.session_->AsOneStep([&] {
        outcome = grid::PasteBlock(window_.store_, block, column, row);
        if (outcome.problem == grid::PasteProblem::None)
            window_.grid_->ShowPasted(outcome.firstChanged, outcome.secondChanged);
    });
    switch (outcome.problem) {
    case grid::PasteProblem::None:
        NoteKeptCommaNumbers(block.unreadCommaNumbers);
        return;
    case grid::PasteProblem::NoData:
        return;
    case grid::PasteProblem::TooManyColumns:
        interaction_.ShowMessage(
            &window_, Notice(),
            tr("粘贴的数据有%1列，数据表只有两列，未粘贴。请只复制一列或两列数据。").arg(block.columns));
        return;
    case grid::PasteProblem::NoSecondColumn:
        interaction_.ShowMessage(&window_, Notice(),
                                 tr("粘贴的数据有两列，从第二组粘贴时第二列没有位置，未粘贴。"
                                    "请在第一组的单元格中粘贴两列数据，或只复制一列。"));
        return;
    case grid::PasteProblem::TooManyRows:
        interaction_.ShowMessage(&window_, Notice(),
                                 tr("粘贴的%1行数据从第%2行起放不下：本程序最多容纳%3行，未粘贴。")
                                     .arg(block.rows.size())
                                     .arg(row + 1)
                                     .arg(grid::kMaxRows));
        return;
    }
} catch (const std::bad_alloc&) {
    interaction_.ShowMessage(&window_, Notice(), DataExchange::tr("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void DataExchange::PasteIntoTable(int index)
try {
    const QString text = QApplication::clipboard()->text();
    const delimited::DelimitedText block = ReadPasted(text);
    if (RefusePasted(interaction_, &window_, block)) return;
    if (!IsBlock(text, block)) {
        QLineEdit* cell = window_.table_->Cell(index);
        // What the cell would hold: the value in place of the selection,
        // at the caret.
        const bool one = block.rows.size() == 1 && block.rows.front().size() == 1;
        QString after = cell->text();
        const int from = cell->hasSelectedText() ? cell->selectionStart() : cell->cursorPosition();
        after.replace(from, static_cast<int>(cell->selectedText().size()),
                      one ? QString::fromStdString(block.rows.front().front()) : text);
        if (!TablePanel::Holds(index, after)) {
            RefuseTableValue(index, text.trimmed());
            return;
        }
        PasteOneValue(cell, block);
        return;
    }
    if (block.rows.size() != 2 || block.columns != 2) {
        interaction_.ShowMessage(&window_, Notice(), tr("四格表只能粘贴两行两列的数据（a b / c d），未粘贴。"));
        return;
    }
    const auto field = [&](std::size_t row, std::size_t column) {
        const auto& fields = block.rows[row];
        return column < fields.size() ? QString::fromStdString(fields[column]) : QString();
    };
    const std::array<QString, 4> cells = {field(0, 0), field(0, 1), field(1, 0), field(1, 1)};
    for (int i = 0; i < 4; ++i) {
        if (!TablePanel::Holds(i, cells[static_cast<std::size_t>(i)])) {
            RefuseTableValue(i, cells[static_cast<std::size_t>(i)]);
            return;
        }
    }
    window_.session_->AsOneStep([&] { window_.table_->SetCells(cells); });
} catch (const std::bad_alloc&) {
    interaction_.ShowMessage(&window_, Notice(), DataExchange::tr("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void DataExchange::RefuseTableValue(int index, const QString& value)
{
    static const char* const names[4] = {"a", "b", "c", "d"};
    interaction_.ShowMessage(&window_, Notice(),
                             tr("四格表的单元格%1最多容纳%2个字符，放不下“%3”，单元格未改变。")
                                 .arg(QLatin1String(names[index]))
                                 .arg(TablePanel::kCellALength)
                                 .arg(value));
}

void DataExchange::NoteKeptCommaNumbers(int count)
{
    if (count > 0)
        interaction_.ShowMessage(&window_, Notice(),
                                 tr("有%1个数值（如“2,"
                                    "500”）所在的列中逗号既有千位分隔又有小数点的写法，无法确定其含义，已按原样保留为文"
                                    "字（不作为数值）。请核对后改写。")
                                     .arg(count));
}

void DataExchange::CopyGrid()
{
    QApplication::clipboard()->setText(QString::fromStdString(grid::CopyText(window_.store_)));
}

} // namespace korvanta::ui

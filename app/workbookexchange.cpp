// Import of two columns from a workbook into the grid, and export of the
// grid's two columns to a new workbook.
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "excel/workbook.h"
#include "stats/numbertext.h"

#include <QLabel>

namespace korvanta::ui {
namespace {

const QString kNotice = QStringLiteral("提示");

FileRequest workbookRequest(const QString& title, const QString& directory)
{
    // Names are matched in any case, as Windows users write them.
    return {title, directory, QStringLiteral("Microsoft Excel 工作簿(*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)")};
}

bool isWorkbookName(const QString& name)
{
    return name.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive) || name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
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

} // namespace

void MainWindow::importWorkbook()
{
    const std::optional<QString> chosen = interaction_.chooseFileToOpen(this, workbookRequest(QStringLiteral("打开"), programDirectory()));
    if (!chosen)
        return;
    const QString name = chosen->trimmed();
    fileName_->setText(name);
    // Nothing of the grid, the lists or the results changes until the
    // workbook has been read: a refused or unreadable file loses nothing.
    if (!isWorkbookName(name)) {
        interaction_.showMessage(this, kNotice, QStringLiteral("请打开Excel文件！"));
        return;
    }

    std::vector<std::string> first;
    std::vector<std::string> second;
    {
        BusyPointer busy(this);
        const excel::ReadResult read = excel::ReadFirstSheet(toPath(name));
        if (!read.ok()) {
            interaction_.showMessage(this, kNotice, QString::fromStdString(read.message));
            return;
        }
        if (read.rows.size() > static_cast<std::size_t>(grid::kMaxRows)) {
            interaction_.showMessage(this, kNotice,
                                     QStringLiteral("工作表有%1行，超过了本程序能容纳的%2行，未导入。").arg(read.rows.size()).arg(grid::kMaxRows));
            return;
        }
        first.reserve(read.rows.size());
        second.reserve(read.rows.size());
        const excel::NumberFormatter general = [](double value) { return stats::GeneralNumberText(value); };
        for (const excel::Row& row : read.rows) {
            first.push_back(excel::ImportText(row.first, general));
            second.push_back(excel::ImportText(row.second, general));
        }
    }

    loadColumns(std::move(first), std::move(second));
}

void MainWindow::loadColumns(std::vector<std::string> first, std::vector<std::string> second)
{
    // The first rows go through the cells' change handling as if typed:
    // cleaned, stored back and recomputed once for both columns.
    grid_->beginBatch();
    store_.replace(std::move(first), std::move(second));
    grid_->showImported();
    grid_->markColumnsChanged();
    grid_->endBatch();
}

void MainWindow::exportWorkbook()
{
    const std::optional<QString> chosen = interaction_.chooseFileToSave(this, workbookRequest(QStringLiteral("另存为"), programDirectory()));
    if (!chosen)
        return;
    QString name = chosen->trimmed();
    fileName_->setText(name);
    // A name that already ends in .xls or .xlsx keeps it (and its format);
    // any other name is saved as name.xls.
    const bool asXlsx = name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
    if (!asXlsx && !name.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        name += QStringLiteral(".xls");

    excel::WriteResult written;
    {
        BusyPointer busy(this);
        const auto items = [this](grid::Column column) {
            const auto span = store_.items(column);
            return std::vector<std::string>(span.begin(), span.end());
        };
        written = asXlsx ? excel::WriteXlsx(toPath(name), items(grid::Column::First), items(grid::Column::Second))
                         : excel::WriteXls(toPath(name), items(grid::Column::First), items(grid::Column::Second));
    }
    if (written.ok())
        interaction_.showMessage(this, kNotice, QStringLiteral("文件导出成功！"));
    else
        interaction_.showMessage(this, kNotice, QString::fromStdString(written.message));
}

} // namespace korvanta::ui

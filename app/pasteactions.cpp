// Paste into the grid and the 2x2 table, and copy of the grid's columns.
// A text of one value without a line end is pasted into the cell as the
// cell itself pastes it (at the caret, then cleaned); anything more is a
// block and goes into the store. Both are read by the delimited-text rules.
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "grid/pasteblock.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <new>

namespace korvanta::ui {
namespace {

QString Notice() { return MainWindow::tr("提示"); }

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

} // namespace

// A clipboard too large for the memory left is refused with a message: its
// text and the parsed block are made before anything is stored.
void MainWindow::PasteIntoGrid(grid::Column column, int visibleRow)
try {
    const QString text = QApplication::clipboard()->text();
    const delimited::DelimitedText block = delimited::ParseDelimitedText(text.toStdString());
    if (!IsBlock(text, block)) {
        PasteOneValue(grid_->Cell(column, visibleRow), block);
        return;
    }
    const int row = store_.Offset() + visibleRow;
    grid::PasteOutcome outcome;
    AsOneStep([&] {
        outcome = grid::PasteBlock(store_, block, column, row);
        if (outcome.problem == grid::PasteProblem::None) grid_->ShowPasted(outcome.firstChanged, outcome.secondChanged);
    });
    switch (outcome.problem) {
    case grid::PasteProblem::None:
        NoteKeptCommaNumbers(block.unreadCommaNumbers);
        return;
    case grid::PasteProblem::NoData:
        return;
    case grid::PasteProblem::TooManyColumns:
        interaction_.ShowMessage(
            this, Notice(),
            tr("粘贴的数据有%1列，数据表只有两列，未粘贴。请只复制一列或两列数据。").arg(block.columns));
        return;
    case grid::PasteProblem::TooManyRows:
        interaction_.ShowMessage(this, Notice(),
                                 tr("粘贴的%1行数据从第%2行起放不下：本程序最多容纳%3行，未粘贴。")
                                     .arg(block.rows.size())
                                     .arg(row + 1)
                                     .arg(grid::kMaxRows));
        return;
    }
} catch (const std::bad_alloc&) {
    interaction_.ShowMessage(this, Notice(), MainWindow::tr("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void MainWindow::PasteIntoTable(int index)
try {
    const QString text = QApplication::clipboard()->text();
    const delimited::DelimitedText block = delimited::ParseDelimitedText(text.toStdString());
    if (!IsBlock(text, block)) {
        PasteOneValue(table_->Cell(index), block);
        return;
    }
    if (block.rows.size() != 2 || block.columns != 2) {
        interaction_.ShowMessage(this, Notice(), tr("四格表只能粘贴两行两列的数据（a b / c d），未粘贴。"));
        return;
    }
    const auto field = [&](std::size_t row, std::size_t column) {
        const auto& fields = block.rows[row];
        return column < fields.size() ? QString::fromStdString(fields[column]) : QString();
    };
    AsOneStep([&] { table_->SetCells({field(0, 0), field(0, 1), field(1, 0), field(1, 1)}); });
} catch (const std::bad_alloc&) {
    interaction_.ShowMessage(this, Notice(), MainWindow::tr("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void MainWindow::NoteKeptCommaNumbers(int count)
{
    if (count > 0)
        interaction_.ShowMessage(this, Notice(),
                                 tr("有%1个数值（如“2,"
                                    "500”）所在的列中逗号既有千位分隔又有小数点的写法，无法确定其含义，已按原样保留为文"
                                    "字（不作为数值）。请核对后改写。")
                                     .arg(count));
}

void MainWindow::CopyGrid() { QApplication::clipboard()->setText(QString::fromStdString(grid::CopyText(store_))); }

} // namespace korvanta::ui

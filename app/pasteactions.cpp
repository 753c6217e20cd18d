// Paste into the grid and the 2x2 table, and copy of the grid's columns.
// A text of one value without a line end is pasted into the cell as the
// cell itself pastes it (at the caret, then cleaned); anything more is a
// block and goes into the store.
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "grid/pasteblock.h"

#include <QApplication>
#include <QClipboard>
#include <new>

namespace korvanta::ui {
namespace {

const QString kNotice = QStringLiteral("提示");

bool IsBlock(const QString& text, const grid::DelimitedText& parsed)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\t')) ||
           parsed.rows.size() > 1 || parsed.columns > 1;
}

} // namespace

// A clipboard too large for the memory left is refused with a message: its
// text and the parsed block are made before anything is stored.
void MainWindow::pasteIntoGrid(grid::Column column, int visibleRow) try
{
    const QString text = QApplication::clipboard()->text();
    const grid::DelimitedText block = grid::ParseDelimitedText(text.toStdString());
    if (!IsBlock(text, block)) {
        grid_->cell(column, visibleRow)->paste();
        return;
    }
    const int row = store_.offset() + visibleRow;
    grid::PasteOutcome outcome;
    asOneStep([&] {
        outcome = grid::PasteBlock(store_, block, column, row);
        if (outcome.problem == grid::PasteProblem::None)
            grid_->showPasted(outcome.firstChanged, outcome.secondChanged);
    });
    switch (outcome.problem) {
    case grid::PasteProblem::None:
        return;
    case grid::PasteProblem::NoData:
        return;
    case grid::PasteProblem::TooManyColumns:
        interaction_.showMessage(this, kNotice, QStringLiteral("粘贴的数据有%1列，数据表只有两列，未粘贴。请只复制一列或两列数据。").arg(block.columns));
        return;
    case grid::PasteProblem::TooManyRows:
        interaction_.showMessage(this, kNotice, QStringLiteral("粘贴的%1行数据从第%2行起放不下：本程序最多容纳%3行，未粘贴。")
                                                    .arg(block.rows.size())
                                                    .arg(row + 1)
                                                    .arg(grid::kMaxRows));
        return;
    }
} catch (const std::bad_alloc&) {
    interaction_.showMessage(this, kNotice, QStringLiteral("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void MainWindow::pasteIntoTable(int index) try
{
    const QString text = QApplication::clipboard()->text();
    const grid::DelimitedText block = grid::ParseDelimitedText(text.toStdString());
    if (!IsBlock(text, block)) {
        table_->cell(index)->paste();
        return;
    }
    if (block.rows.size() != 2 || block.columns != 2) {
        interaction_.showMessage(this, kNotice, QStringLiteral("四格表只能粘贴两行两列的数据（a b / c d），未粘贴。"));
        return;
    }
    const auto field = [&](std::size_t row, std::size_t column) {
        const auto& fields = block.rows[row];
        return column < fields.size() ? QString::fromStdString(fields[column]) : QString();
    };
    asOneStep([&] { table_->setCells({field(0, 0), field(0, 1), field(1, 0), field(1, 1)}); });
} catch (const std::bad_alloc&) {
    interaction_.showMessage(this, kNotice, QStringLiteral("内存不足，无法粘贴这么多数据，未粘贴。"));
}

void MainWindow::copyGrid()
{
    QApplication::clipboard()->setText(QString::fromStdString(grid::CopyText(store_)));
}

} // namespace korvanta::ui

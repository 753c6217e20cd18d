#include "app/gridpanel.h"

#include "app/cellmenu.h"
#include "app/widgets.h"
#include "grid/cellcleaning.h"

#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <QLabel>

namespace korvanta::ui {

using grid::Column;

namespace {

const QColor kRuleGrey = bgr(0x00C0C0C0);

int rowTop(int row) { return 360 + 300 * row; }

} // namespace

GridPanel::GridPanel(grid::GridStore& store, QWidget* parent) : QFrame(parent), store_(store)
{
    stylePanel(this, QStringLiteral("Picture2"), inputSlot());

    const QString headings[3] = {tr("序号"), tr("第一组"), tr("第二组")};
    const int headingLefts[3] = {60, 1680, 3840};
    for (int k = 0; k < 3; ++k) {
        LabelStyle style;
        style.colour = highlightColour();
        style.autoSize = false;
        style.widthTwips = 1035;
        style.alignment = Qt::AlignCenter;
        makeLabel(this, controlName("Label2", k), headings[k], headingLefts[k], 60, style);
    }

    for (int k = 0; k <= 9; ++k)
        makeRule(this, 0, 300 * (k + 1), 5400, 300 * (k + 1), kRuleGrey);
    makeRule(this, 1140, 0, 1140, 3000, kRuleGrey);
    makeRule(this, 3300, 0, 3300, 3000, kRuleGrey);

    for (int i = 0; i < grid::kVisibleRows; ++i) {
        auto* number = makeTextBox(this, controlName("Text3", i), twipsRect(60, rowTop(i), 1035, 225), true);
        number->setReadOnly(true);
        auto* one = makeTextBox(this, controlName("Text1", i), twipsRect(1200, rowTop(i), 2055, 225), true);
        auto* two = makeTextBox(this, controlName("Text2", i), twipsRect(3360, rowTop(i), 1995, 225), true);
        for (QLineEdit* box : {number, one, two}) {
            // The cells are not tab stops: Tab passes over them.
            box->setFocusPolicy(Qt::ClickFocus);
            box->installEventFilter(this);
        }
        const QString entryTip = tr("按回车键或“↓”键输入下一个数据");
        one->setToolTip(entryTip);
        two->setToolTip(entryTip);
        for (auto [box, column] : {std::pair{one, Column::First}, std::pair{two, Column::Second}}) {
            box->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(box, &QWidget::customContextMenuRequested, this, [this, column, i](const QPoint& at) { showContextMenu(column, i, at); });
        }
        connect(one, &QLineEdit::textChanged, this, [this, i] { onCellChanged(Column::First, i); });
        connect(two, &QLineEdit::textChanged, this, [this, i] { onCellChanged(Column::Second, i); });
        rowNumbers_[static_cast<std::size_t>(i)] = number;
        first_[static_cast<std::size_t>(i)] = one;
        second_[static_cast<std::size_t>(i)] = two;
    }

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("VS1"));
    scrollBar_->setGeometry(twipsRect(5400, 0, 255, 2990));
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(grid::kVisibleRows);
    scrollBar_->setEnabled(false);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (syncingScrollBar_)
            return;
        beginBatch();
        grid::ScrollTo(store_, *this, value);
        endBatch();
    });
}

QLineEdit* GridPanel::cell(Column column, int row) const
{
    const auto& cells = column == Column::First ? first_ : second_;
    return cells[static_cast<std::size_t>(row)];
}

void GridPanel::resetGrid()
{
    beginBatch();
    grid::ResetGrid(store_, *this);
    endBatch();
}

void GridPanel::showImported()
{
    beginBatch();
    // The window goes back to row 1 first, so that the cells written below
    // store their texts at the rows they were read from.
    const int rows = store_.count(Column::Second);
    store_.setOffset(0);
    store_.setMaximum(std::max(0, std::max(store_.count(Column::First), rows) - grid::kVisibleRows));
    store_.setScrollEnabled(rows > grid::kVisibleRows);
    showScrollState(store_.offset(), store_.maximum(), store_.scrollEnabled());
    for (int i = 0; i < grid::kVisibleRows; ++i) {
        for (Column column : {Column::Second, Column::First}) {
            const std::string& item = store_.item(column, i);
            // Rows the import reached are stored back cleaned, as if typed;
            // the rows below it are only emptied.
            if (showItem(column, i, item) && i < store_.count(column))
                store_.setItem(column, i, grid::CleanCellText(item));
        }
        rowNumber(i)->setText(QString::number(i + 1));
    }
    endBatch();
}

void GridPanel::showRestored(int offset)
{
    beginBatch();
    const int rows = std::max(store_.count(Column::First), store_.count(Column::Second));
    store_.setMaximum(rows - grid::kVisibleRows);
    store_.setScrollEnabled(rows > grid::kVisibleRows);
    store_.setOffset(offset);
    showScrollState(store_.offset(), store_.maximum(), store_.scrollEnabled());
    grid::RefreshGrid(store_, *this);
    endBatch();
}

void GridPanel::showPasted(bool firstChanged, bool secondChanged)
{
    beginBatch();
    const int rows = std::max(store_.count(Column::First), store_.count(Column::Second));
    store_.setMaximum(rows - grid::kVisibleRows);
    store_.setScrollEnabled(store_.scrollEnabled() || rows > grid::kVisibleRows);
    showScrollState(store_.offset(), store_.maximum(), store_.scrollEnabled());
    grid::RefreshGrid(store_, *this);
    if (firstChanged)
        announce(Column::First);
    if (secondChanged)
        announce(Column::Second);
    endBatch();
}

void GridPanel::endBatch()
{
    if (--batchDepth_ > 0)
        return;
    const std::array<bool, 2> pending = std::exchange(pending_, {});
    if (announcing_ && (pending[0] || pending[1]))
        emit columnsChanged(pending[0], pending[1]);
}

void GridPanel::announce(Column column)
{
    if (!announcing_)
        return;
    if (batchDepth_ > 0) {
        pending_[static_cast<std::size_t>(column)] = true;
        return;
    }
    emit columnsChanged(column == Column::First, column == Column::Second);
}

void GridPanel::assignCell(Column column, int row, const std::string& text)
{
    showItem(column, row, text);
}

bool GridPanel::showItem(Column column, int row, const std::string& item)
{
    QLineEdit* box = cell(column, row);
    if (box->text() == QString::fromStdString(item))
        return false;
    {
        // The program's own change: not an edit to store.
        const QSignalBlocker quiet(box);
        box->setText(QString::fromStdString(grid::CleanCellText(item)));
    }
    announce(column);
    return true;
}

void GridPanel::assignRowNumber(int row, const std::string& text)
{
    rowNumber(row)->setText(QString::fromStdString(text));
}

void GridPanel::showScrollState(int value, int maximum, bool enabled)
{
    syncingScrollBar_ = true;
    scrollBar_->setMaximum(maximum);
    scrollBar_->setValue(value);
    scrollBar_->setEnabled(enabled);
    syncingScrollBar_ = false;
}

void GridPanel::onCellChanged(Column column, int row)
{
    QLineEdit* box = cell(column, row);
    const QString text = box->text();
    const std::string cleaned = grid::CleanCellText(text.toStdString());
    const QString shown = QString::fromStdString(cleaned);
    if (shown != text) {
        const QSignalBlocker quiet(box);
        box->setText(shown);
    }
    placeCaretAtEnd(box);
    grid::StoreCell(store_, column, row, cleaned);
    announce(column);
}

void GridPanel::placeCaretAtEnd(QLineEdit* box)
{
    box->deselect();
    box->setCursorPosition(static_cast<int>(box->text().size()));
}

bool GridPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    if (clipboardKey(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    switch (key->key()) {
    case Qt::Key_PageDown:
        return page(watched, grid::PageKey::PageDown);
    case Qt::Key_PageUp:
        return page(watched, grid::PageKey::PageUp);
    case Qt::Key_Home:
        // Home and End alone keep their meaning inside the cell.
        return ctrl ? page(watched, grid::PageKey::FirstRow) : QFrame::eventFilter(watched, event);
    case Qt::Key_End:
        return ctrl ? page(watched, grid::PageKey::LastRow) : QFrame::eventFilter(watched, event);
    default:
        break;
    }
    // Shift, Ctrl and Alt are not looked at: Shift+Down acts as Down.
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return navigate(watched, grid::GridKey::Enter);
    case Qt::Key_Down:
        return navigate(watched, grid::GridKey::Down);
    case Qt::Key_Up:
        return navigate(watched, grid::GridKey::Up);
    default:
        return QFrame::eventFilter(watched, event);
    }
}

bool GridPanel::locate(const QObject* watched, Column& column, int& row) const
{
    for (int i = 0; i < grid::kVisibleRows; ++i) {
        for (Column c : {Column::First, Column::Second}) {
            if (cell(c, i) == watched) {
                column = c;
                row = i;
                return true;
            }
        }
    }
    return false;
}

bool GridPanel::clipboardKey(QObject* watched, const QKeyEvent& key)
{
    Column column = Column::First;
    int row = 0;
    if (key.matches(QKeySequence::Paste) && locate(watched, column, row)) {
        emit pasteRequested(column, row);
        return true;
    }
    // A selection inside a cell is copied as usual; otherwise the columns.
    const auto* box = qobject_cast<const QLineEdit*>(watched);
    if (key.matches(QKeySequence::Copy) && box && !box->hasSelectedText()) {
        emit copyRequested();
        return true;
    }
    return false;
}

void GridPanel::showContextMenu(Column column, int row, const QPoint& at)
{
    ShowCellMenu(cell(column, row), at, [this, column, row] { emit pasteRequested(column, row); });
}

const std::array<QLineEdit*, grid::kVisibleRows>* GridPanel::cellsOf(const QObject* watched, int& row) const
{
    for (const auto* cells : {&first_, &second_, &rowNumbers_}) {
        for (int i = 0; i < grid::kVisibleRows; ++i) {
            if ((*cells)[static_cast<std::size_t>(i)] == watched) {
                row = i;
                return cells;
            }
        }
    }
    return nullptr;
}

bool GridPanel::page(QObject* watched, grid::PageKey key)
{
    int row = 0;
    const auto* cells = cellsOf(watched, row);
    if (!cells)
        return false;
    const int lastRow = std::max(store_.count(Column::First), store_.count(Column::Second)) - 1;
    const grid::PageStep step = grid::Page(key, row, store_.offset(), store_.maximum(), lastRow);
    beginBatch();
    if (step.offset != store_.offset())
        grid::ScrollTo(store_, *this, step.offset);
    QLineEdit* target = (*cells)[static_cast<std::size_t>(step.focusRow)];
    placeCaretAtEnd(target);
    target->setFocus(Qt::OtherFocusReason);
    endBatch();
    return true;
}

void GridPanel::wheelEvent(QWheelEvent* event)
{
    // A notch is 120 eighths of a degree; touchpads send parts of one, which
    // are summed until a notch is complete.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    event->accept();
    if (notches == 0 || !store_.scrollEnabled())
        return;
    // Turning the wheel towards the user (a negative delta) scrolls down.
    const int offset = grid::WheelOffset(store_.offset(), store_.maximum(), -notches * QApplication::wheelScrollLines());
    if (offset == store_.offset())
        return;
    beginBatch();
    grid::ScrollTo(store_, *this, offset);
    endBatch();
}

bool GridPanel::navigate(QObject* watched, grid::GridKey key)
{
    int row = 0;
    const auto* found = cellsOf(watched, row);
    if (!found)
        return false;
    const auto& cells = *found;
    const auto kind = found == &rowNumbers_ ? grid::CellKind::RowNumber : grid::CellKind::Data;
    const grid::NavigationStep step = grid::Navigate(key, kind, row, store_.offset(), store_.maximum());
    QLineEdit* here = cells[static_cast<std::size_t>(row)];
    beginBatch();
    switch (step.kind) {
    case grid::NavigationStep::Kind::Append:
        grid::AppendRow(store_, *this);
        break;
    case grid::NavigationStep::Kind::ScrollDown:
        grid::ScrollDown(store_, *this);
        placeCaretAtEnd(here);
        break;
    case grid::NavigationStep::Kind::ScrollUp:
        grid::ScrollUp(store_, *this);
        placeCaretAtEnd(here);
        break;
    case grid::NavigationStep::Kind::MoveFocus: {
        QLineEdit* target = cells[static_cast<std::size_t>(step.targetRow)];
        placeCaretAtEnd(target);
        target->setFocus(Qt::OtherFocusReason);
        break;
    }
    case grid::NavigationStep::Kind::Nothing:
        break;
    }
    endBatch();
    // Enter never reaches the cell; the arrows have no meaning inside a
    // single-line cell, so they are taken here too.
    return true;
}

} // namespace korvanta::ui

#include "app/gridpanel.h"

#include "app/cellmenu.h"
#include "grid/cellcleaning.h"
#include "widgetkit/widgets.h"

#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace korvanta::ui {

using grid::Column;

namespace {

const QColor kRuleGrey = Bgr(0x00C0C0C0);

int RowTop(int row) { return 360 + 300 * row; }

} // namespace

GridPanel::GridPanel(grid::GridStore& store, QWidget* parent) : QFrame(parent), store_(store)
{
    StylePanel(this, QStringLiteral("Picture2"), InputSlot());

    const QString headings[3] = {tr("序号"), tr("第一组"), tr("第二组")};
    const int headingLefts[3] = {60, 1680, 3840};
    for (int k = 0; k < 3; ++k) {
        LabelStyle style;
        style.colour = HighlightColour();
        style.autoSize = false;
        style.widthTwips = 1035;
        style.alignment = Qt::AlignCenter;
        MakeLabel(this, ControlName("Label2", k), headings[k], headingLefts[k], 60, style);
    }

    for (int k = 0; k <= 9; ++k) MakeRule(this, 0, 300 * (k + 1), 5400, 300 * (k + 1), kRuleGrey);
    MakeRule(this, 1140, 0, 1140, 3000, kRuleGrey);
    MakeRule(this, 3300, 0, 3300, 3000, kRuleGrey);

    for (int i = 0; i < grid::kVisibleRows; ++i) {
        auto* number = MakeTextBox(this, ControlName("Text3", i), TwipsRect(60, RowTop(i), 1035, 225), true);
        number->setReadOnly(true);
        auto* one = MakeTextBox(this, ControlName("Text1", i), TwipsRect(1200, RowTop(i), 2055, 225), true);
        auto* two = MakeTextBox(this, ControlName("Text2", i), TwipsRect(3360, RowTop(i), 1995, 225), true);
        for (QLineEdit* box : {number, one, two}) {
            // The cells are not tab stops: Tab passes over them.
            box->setFocusPolicy(Qt::ClickFocus);
            box->installEventFilter(this);
        }
        const QString entryTip = tr("按回车键或“↓”键输入下一个数据");
        one->setToolTip(entryTip);
        two->setToolTip(entryTip);
        for (const auto& [box, boxColumn] : {std::pair{one, Column::First}, std::pair{two, Column::Second}}) {
            box->setContextMenuPolicy(Qt::CustomContextMenu);
            // A copy: clang 14 cannot capture a structured binding.
            const Column column = boxColumn;
            connect(box, &QWidget::customContextMenuRequested, this,
                    [this, column, i](const QPoint& at) { ShowContextMenu(column, i, at); });
        }
        connect(one, &QLineEdit::textChanged, this, [this, i] { OnCellChanged(Column::First, i); });
        connect(two, &QLineEdit::textChanged, this, [this, i] { OnCellChanged(Column::Second, i); });
        rowNumbers_[static_cast<std::size_t>(i)] = number;
        first_[static_cast<std::size_t>(i)] = one;
        second_[static_cast<std::size_t>(i)] = two;
    }

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("VS1"));
    scrollBar_->setGeometry(TwipsRect(5400, 0, 255, 2990));
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(grid::kVisibleRows);
    scrollBar_->setEnabled(false);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (syncingScrollBar_) return;
        const CellBatch batch(*this);
        grid::ScrollTo(store_, *this, value);
    });
}

QLineEdit* GridPanel::Cell(Column column, int row) const
{
    const auto& cells = column == Column::First ? first_ : second_;
    return cells[static_cast<std::size_t>(row)];
}

void GridPanel::ResetGrid()
{
    const CellBatch batch(*this);
    grid::ResetGrid(store_, *this);
}

void GridPanel::ShowImported()
{
    const CellBatch batch(*this);
    // The window goes back to row 1 first, so that the cells written below
    // store their texts at the rows they were read from.
    const int rows = store_.Count(Column::Second);
    store_.SetOffset(0);
    store_.SetMaximum(std::max(0, std::max(store_.Count(Column::First), rows) - grid::kVisibleRows));
    store_.SetScrollEnabled(rows > grid::kVisibleRows);
    ShowScrollState(store_.Offset(), store_.Maximum(), store_.ScrollEnabled());
    for (int i = 0; i < grid::kVisibleRows; ++i) {
        for (Column column : {Column::Second, Column::First}) {
            const std::string& item = store_.Item(column, i);
            // Rows the import reached are stored back cleaned, as if typed;
            // the rows below it are only emptied.
            if (ShowItem(column, i, item) && i < store_.Count(column))
                store_.SetItem(column, i, grid::CleanCellText(item));
        }
        RowNumber(i)->setText(QString::number(i + 1));
    }
}

void GridPanel::ShowRestored(int offset)
{
    const CellBatch batch(*this);
    const int rows = std::max(store_.Count(Column::First), store_.Count(Column::Second));
    store_.SetMaximum(rows - grid::kVisibleRows);
    store_.SetScrollEnabled(rows > grid::kVisibleRows);
    store_.SetOffset(offset);
    ShowScrollState(store_.Offset(), store_.Maximum(), store_.ScrollEnabled());
    grid::RefreshGrid(store_, *this);
}

void GridPanel::ShowPasted(bool firstChanged, bool secondChanged)
{
    const CellBatch batch(*this);
    const int rows = std::max(store_.Count(Column::First), store_.Count(Column::Second));
    store_.SetMaximum(rows - grid::kVisibleRows);
    store_.SetScrollEnabled(store_.ScrollEnabled() || rows > grid::kVisibleRows);
    ShowScrollState(store_.Offset(), store_.Maximum(), store_.ScrollEnabled());
    grid::RefreshGrid(store_, *this);
    if (firstChanged) Announce(Column::First);
    if (secondChanged) Announce(Column::Second);
}

void GridPanel::SendGathered()
{
    const std::array<bool, 2> pending = std::exchange(pending_, {});
    if (pending[0] || pending[1]) emit ColumnsChanged(pending[0], pending[1]);
}

void GridPanel::Announce(Column column)
{
    if (Dropping()) return;
    if (Gathering()) {
        pending_[static_cast<std::size_t>(column)] = true;
        return;
    }
    emit ColumnsChanged(column == Column::First, column == Column::Second);
}

void GridPanel::AssignCell(Column column, int row, const std::string& text) { ShowItem(column, row, text); }

bool GridPanel::ShowItem(Column column, int row, const std::string& item)
{
    QLineEdit* box = Cell(column, row);
    if (box->text() == QString::fromStdString(item)) return false;
    {
        // The program's own change: not an edit to store.
        const QSignalBlocker quiet(box);
        box->setText(QString::fromStdString(grid::CleanCellText(item)));
    }
    Announce(column);
    return true;
}

void GridPanel::AssignRowNumber(int row, const std::string& text)
{
    RowNumber(row)->setText(QString::fromStdString(text));
}

void GridPanel::ShowScrollState(int value, int maximum, bool enabled)
{
    syncingScrollBar_ = true;
    scrollBar_->setMaximum(maximum);
    scrollBar_->setValue(value);
    scrollBar_->setEnabled(enabled);
    syncingScrollBar_ = false;
}

void GridPanel::OnCellChanged(Column column, int row)
{
    QLineEdit* box = Cell(column, row);
    const QString text = box->text();
    const std::string cleaned = grid::CleanCellText(text.toStdString());
    const QString shown = QString::fromStdString(cleaned);
    if (shown != text) {
        const QSignalBlocker quiet(box);
        box->setText(shown);
    }
    PlaceCaretAtEnd(box);
    grid::StoreCell(store_, column, row, cleaned);
    Announce(column);
}

void GridPanel::PlaceCaretAtEnd(QLineEdit* box)
{
    box->deselect();
    box->setCursorPosition(static_cast<int>(box->text().size()));
}

bool GridPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    if (ClipboardKey(watched, *static_cast<QKeyEvent*>(event))) return true;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    switch (key->key()) {
    case Qt::Key_PageDown:
        return Page(watched, grid::PageKey::PageDown);
    case Qt::Key_PageUp:
        return Page(watched, grid::PageKey::PageUp);
    case Qt::Key_Home:
        // Home and End alone keep their meaning inside the cell.
        return ctrl ? Page(watched, grid::PageKey::FirstRow) : QFrame::eventFilter(watched, event);
    case Qt::Key_End:
        return ctrl ? Page(watched, grid::PageKey::LastRow) : QFrame::eventFilter(watched, event);
    default:
        break;
    }
    // Shift, Ctrl and Alt are not looked at: Shift+Down acts as Down.
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Navigate(watched, grid::GridKey::Enter);
    case Qt::Key_Down:
        return Navigate(watched, grid::GridKey::Down);
    case Qt::Key_Up:
        return Navigate(watched, grid::GridKey::Up);
    default:
        return QFrame::eventFilter(watched, event);
    }
}

bool GridPanel::Locate(const QObject* watched, Column& column, int& row) const
{
    for (int i = 0; i < grid::kVisibleRows; ++i) {
        for (Column c : {Column::First, Column::Second}) {
            if (Cell(c, i) == watched) {
                column = c;
                row = i;
                return true;
            }
        }
    }
    return false;
}

bool GridPanel::ClipboardKey(QObject* watched, const QKeyEvent& key)
{
    Column column = Column::First;
    int row = 0;
    if (key.matches(QKeySequence::Paste) && Locate(watched, column, row)) {
        emit PasteRequested(column, row);
        return true;
    }
    // A selection inside a cell is copied as usual; otherwise the columns.
    const auto* box = qobject_cast<const QLineEdit*>(watched);
    if (key.matches(QKeySequence::Copy) && box && !box->hasSelectedText()) {
        emit CopyRequested();
        return true;
    }
    return false;
}

void GridPanel::ShowContextMenu(Column column, int row, const QPoint& at)
{
    ShowCellMenu(Cell(column, row), at, [this, column, row] { emit PasteRequested(column, row); });
}

const std::array<QLineEdit*, grid::kVisibleRows>* GridPanel::CellsOf(const QObject* watched, int& row) const
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

bool GridPanel::Page(QObject* watched, grid::PageKey key)
{
    int row = 0;
    const auto* cells = CellsOf(watched, row);
    if (!cells) return false;
    const int lastRow = std::max(store_.Count(Column::First), store_.Count(Column::Second)) - 1;
    const grid::PageStep step = grid::Page(key, row, store_.Offset(), store_.Maximum(), lastRow);
    const CellBatch batch(*this);
    if (step.offset != store_.Offset()) grid::ScrollTo(store_, *this, step.offset);
    QLineEdit* target = (*cells)[static_cast<std::size_t>(step.focusRow)];
    PlaceCaretAtEnd(target);
    target->setFocus(Qt::OtherFocusReason);
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
    if (notches == 0 || !store_.ScrollEnabled()) return;
    // Turning the wheel towards the user (a negative delta) scrolls down.
    const int offset =
        grid::WheelOffset(store_.Offset(), store_.Maximum(), -notches * QApplication::wheelScrollLines());
    if (offset == store_.Offset()) return;
    const CellBatch batch(*this);
    grid::ScrollTo(store_, *this, offset);
}

bool GridPanel::Navigate(QObject* watched, grid::GridKey key)
{
    int row = 0;
    const auto* found = CellsOf(watched, row);
    if (!found) return false;
    const auto& cells = *found;
    const auto kind = found == &rowNumbers_ ? grid::CellKind::RowNumber : grid::CellKind::Data;
    const grid::NavigationStep step = grid::Navigate(key, kind, row, store_.Offset(), store_.Maximum());
    QLineEdit* here = cells[static_cast<std::size_t>(row)];
    const CellBatch batch(*this);
    switch (step.kind) {
    case grid::NavigationStep::Kind::Append:
        if (!grid::AppendRow(store_, *this)) emit GridFull();
        break;
    case grid::NavigationStep::Kind::ScrollDown:
        grid::ScrollDown(store_, *this);
        PlaceCaretAtEnd(here);
        break;
    case grid::NavigationStep::Kind::ScrollUp:
        grid::ScrollUp(store_, *this);
        PlaceCaretAtEnd(here);
        break;
    case grid::NavigationStep::Kind::MoveFocus: {
        QLineEdit* target = cells[static_cast<std::size_t>(step.targetRow)];
        PlaceCaretAtEnd(target);
        target->setFocus(Qt::OtherFocusReason);
        break;
    }
    case grid::NavigationStep::Kind::Nothing:
        break;
    }
    // Enter never reaches the cell; the arrows have no meaning inside a
    // single-line cell, so they are taken here too.
    return true;
}

} // namespace korvanta::ui

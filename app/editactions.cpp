// The edit history (undo, redo) and the questions asked before data the
// user entered are lost: a test switch that would empty them, the end of
// the program while they are neither imported nor exported.
//
// A step ends where a user's edit ends: when a text box is left (by the
// mouse, Tab, Enter or an arrow key), when the grid scrolls, and before and
// after each paste, import, reset, undo and redo. Typing a whole number
// into a cell is therefore one step, as is a paste or an import.
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "app/resultpanels.h"
#include "app/tablepanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>

namespace korvanta::ui {
namespace {

enum class ExitAnswer { Export, Exit, Cancel };

// Ctrl+Z, and the platform's own undo chord.
bool IsUndoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Z);
}

// Ctrl+Y and Ctrl+Shift+Z, and the platform's own redo chord.
bool IsRedoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Redo) || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
           key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

bool IsGridMoveKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// The captions of a question's answers, in the order shown; the answers
// themselves are told apart by their place in the list, never by caption.
template <typename Answer, std::size_t N>
QStringList Captions(const std::array<std::pair<Answer, const char*>, N>& table, const std::vector<Answer>& answers)
{
    QStringList captions;
    for (const Answer answer : answers)
        for (const auto& [each, caption] : table)
            if (each == answer) captions << MainWindow::tr(caption);
    return captions;
}

template <typename Answer>
int IndexOf(const std::vector<Answer>& answers, Answer answer)
{
    return static_cast<int>(std::find(answers.begin(), answers.end(), answer) - answers.begin());
}

} // namespace

bool MainWindow::HasData() const
{
    for (grid::Column column : {grid::Column::First, grid::Column::Second})
        for (const std::string& item : store_.Items(column))
            if (!item.empty()) return true;
    const std::vector<std::string> fields = InputFields();
    return std::any_of(fields.begin(), fields.end(), [](const std::string& field) { return !field.empty(); });
}

std::vector<std::string> MainWindow::InputFields() const
{
    // The six summary boxes of the two-sample test, then a, b, c, d.
    std::vector<std::string> fields;
    for (int i = 0; i < 6; ++i) fields.push_back(twoSample_->Box(i)->text().toStdString());
    for (std::string& cell : table_->CellTexts().cells) fields.push_back(std::move(cell));
    return fields;
}

grid::EditPlace MainWindow::EditPlace() const { return {mode_, store_.Offset()}; }

void MainWindow::CommitEdits()
{
    if (pausingHistory_) return;
    history_.Record(store_.Items(grid::Column::First), store_.Items(grid::Column::Second), InputFields(), EditPlace());
    pendingEdit_ = false;
    UpdateEditActions();
}

void MainWindow::AsOneStep(const std::function<void()>& change)
{
    CommitEdits();
    {
        const QScopedValueRollback<bool> pause(pausingHistory_, true);
        change();
    }
    CommitEdits();
}

void MainWindow::NoteEdit()
{
    if (pausingHistory_ || pendingEdit_) return;
    pendingEdit_ = true;
    UpdateEditActions();
}

void MainWindow::UpdateEditActions()
{
    if (!undoAction_) return;
    undoAction_->setEnabled(history_.CanUndo() || pendingEdit_);
    // An edit not yet recorded will forget the undone steps.
    redoAction_->setEnabled(history_.CanRedo() && !pendingEdit_);
}

void MainWindow::Undo()
{
    CommitEdits();
    if (std::optional<grid::EditState> state = history_.Undo()) RestoreEditState(std::move(*state));
    UpdateEditActions();
}

void MainWindow::Redo()
{
    CommitEdits();
    if (std::optional<grid::EditState> state = history_.Redo()) RestoreEditState(std::move(*state));
    UpdateEditActions();
}

void MainWindow::RestoreEditState(grid::EditState state)
{
    const QScopedValueRollback<bool> pause(pausingHistory_, true);
    ShowTest(state.place.mode);

    // The inputs are given back without recomputing on the way; the test
    // of the restored state then runs once on all of them.
    grid_->SetAnnouncing(false);
    table_->SetAnnouncing(false);
    store_.Replace(std::move(state.first), std::move(state.second));
    grid_->ShowRestored(state.place.offset);
    state.fields.resize(10);
    for (int i = 0; i < 6; ++i)
        twoSample_->Box(i)->setText(QString::fromStdString(state.fields[static_cast<std::size_t>(i)]));
    std::array<QString, 4> cells;
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = QString::fromStdString(state.fields[6 + i]);
    table_->SetCells(cells);
    grid_->SetAnnouncing(true);
    table_->SetAnnouncing(true);

    // A state without data is shown as a reset leaves the window.
    if (!HasData()) {
        ClearInputsAndResults();
        RefreshDetails();
        return;
    }
    switch (mode_) {
    case TestMode::TwoSample:
        // The boxes ran the two-sample test as they were given back; boxes
        // that hold their column's summary stand for its exact figures again.
        twoSample_->AdoptSummary(0, stats::SummariseColumn(store_.Moments(grid::Column::First)));
        twoSample_->AdoptSummary(1, stats::SummariseColumn(store_.Moments(grid::Column::Second)));
        RefreshDetails();
        break;
    case TestMode::PairedT:
    case TestMode::Correlation:
        OnColumnsChanged(true, true);
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        OnTableChanged();
        break;
    }
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || !focused->isVisible()) FocusFirstInput();
}

MainWindow::SwitchAnswer MainWindow::AskBeforeSwitch(TestMode mode)
{
    if (!HasData()) return SwitchAnswer::Clear;
    static constexpr std::array<std::pair<SwitchAnswer, const char*>, 3> kCaptions = {
        {{SwitchAnswer::Keep, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "保留数据")},
         {SwitchAnswer::Clear, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "清空数据")},
         {SwitchAnswer::Cancel, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "取消")}}};
    // The grid's columns serve the three tests on raw data, the 2x2 cells
    // the two chi-square tests.
    const bool fits = stats::UsesTable(mode) == stats::UsesTable(mode_);
    const std::vector<SwitchAnswer> answers =
        fits ? std::vector{SwitchAnswer::Keep, SwitchAnswer::Clear, SwitchAnswer::Cancel}
             : std::vector{SwitchAnswer::Clear, SwitchAnswer::Cancel};
    Question question;
    question.title = tr("切换检验");
    if (mode == mode_)
        question.text = tr("已有数据。保留这些数据，还是清空后重新输入？");
    else if (fits)
        question.text = tr("已有数据。切换到“%1”时保留这些数据，还是清空？").arg(TestCaption(mode));
    else
        question.text = tr("“%1”用不到已有的数据，切换时要清空数据。清空后可以按Ctrl+Z撤销。").arg(TestCaption(mode));
    question.buttons = Captions(kCaptions, answers);
    question.defaultButton = IndexOf(answers, fits ? SwitchAnswer::Keep : SwitchAnswer::Cancel);
    question.cancelButton = IndexOf(answers, SwitchAnswer::Cancel);
    question.unattendedButton = IndexOf(answers, SwitchAnswer::Clear);
    const int chosen = interaction_.Ask(this, question);
    return chosen >= 0 && chosen < static_cast<int>(answers.size()) ? answers[static_cast<std::size_t>(chosen)]
                                                                    : SwitchAnswer::Cancel;
}

void MainWindow::SwitchKeepingData(TestMode mode)
{
    ShowTest(mode);
    FocusFirstInput();
    // The new test runs on the kept data. The two-sample test summarises
    // the columns that hold data and keeps boxes typed by hand otherwise.
    switch (mode) {
    case TestMode::TwoSample: {
        const auto holdsData = [this](grid::Column column) {
            const auto items = store_.Items(column);
            return std::any_of(items.begin(), items.end(), [](const std::string& item) { return !item.empty(); });
        };
        OnColumnsChanged(holdsData(grid::Column::First), holdsData(grid::Column::Second));
        break;
    }
    case TestMode::PairedT:
    case TestMode::Correlation:
        OnColumnsChanged(true, true);
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        OnTableChanged();
        break;
    }
    RefreshDetails();
}

bool MainWindow::ConfirmExit()
{
    CommitEdits();
    if (!HasData() || history_.AtSaved()) return true;
    static constexpr std::array<std::pair<ExitAnswer, const char*>, 3> kCaptions = {
        {{ExitAnswer::Export, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "导出数据…")},
         {ExitAnswer::Exit, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "退出")},
         {ExitAnswer::Cancel, QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "取消")}}};
    const std::vector<ExitAnswer> answers = {ExitAnswer::Export, ExitAnswer::Exit, ExitAnswer::Cancel};
    Question question;
    question.title = tr("退出");
    question.text = tr("数据已修改，还没有导出。退出前要导出数据吗？");
    question.buttons = Captions(kCaptions, answers);
    question.defaultButton = IndexOf(answers, ExitAnswer::Export);
    question.cancelButton = IndexOf(answers, ExitAnswer::Cancel);
    question.unattendedButton = IndexOf(answers, ExitAnswer::Exit);
    const int chosen = interaction_.Ask(this, question);
    switch (chosen >= 0 && chosen < static_cast<int>(answers.size()) ? answers[static_cast<std::size_t>(chosen)]
                                                                     : ExitAnswer::Cancel) {
    case ExitAnswer::Export:
        // The program ends only once the data are safely written.
        return ExportData();
    case ExitAnswer::Exit:
        return true;
    case ExitAnswer::Cancel:
        break;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (IsUndoKey(key) || IsRedoKey(key)) {
        // Left unclaimed, the chord reaches the window's 撤销 or 重做 rather
        // than the box's own undo, which knows only the box's last text.
        event->ignore();
        return true;
    }
    // Enter and the arrows move on in the grid: the cell's edit is done.
    if (type == QEvent::KeyPress && IsGridMoveKey(key) && grid_->isAncestorOf(qobject_cast<QWidget*>(watched)))
        CommitEdits();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace korvanta::ui

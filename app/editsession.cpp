#include "app/editsession.h"

#include "app/cellbatch.h"
#include "app/dataexchange.h"
#include "app/gridpanel.h"
#include "app/mainwindow.h"
#include "app/resultpanels.h"
#include "app/tablepanel.h"

#include <QAction>
#include <QApplication>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>

namespace korvanta::ui {
namespace {

enum class ExitAnswer { Export, Exit, Cancel };

// The captions of a question's answers, in the order shown; the answers
// themselves are told apart by their place in the list, never by caption.
template <typename Answer, std::size_t N>
QStringList Captions(const std::array<std::pair<Answer, const char*>, N>& table, const std::vector<Answer>& answers)
{
    QStringList captions;
    for (const Answer answer : answers)
        for (const auto& [each, caption] : table)
            if (each == answer) captions << EditSession::tr(caption);
    return captions;
}

template <typename Answer>
int IndexOf(const std::vector<Answer>& answers, Answer answer)
{
    return static_cast<int>(std::find(answers.begin(), answers.end(), answer) - answers.begin());
}

} // namespace

EditSession::EditSession(MainWindow& window) : QObject(&window), window_(window) {}

void EditSession::SetActions(QAction* undo, QAction* redo)
{
    undoAction_ = undo;
    redoAction_ = redo;
}

void EditSession::Start()
{
    history_.Start(window_.store_.Items(grid::Column::First), window_.store_.Items(grid::Column::Second), InputTexts(),
                   EditPlace());
    UpdateEditActions();
}

void EditSession::MarkSaved()
{
    history_.MarkSaved();
    UpdateEditActions();
}

bool EditSession::HasData() const
{
    // Data are what the user entered or imported: the grid's items, the
    // 2x2 cells and summary boxes typed by hand. A summary the program
    // wrote from the grid (0.0000 and 0 for an emptied column) is none.
    for (grid::Column column : {grid::Column::First, grid::Column::Second})
        if (HoldsData(column)) return true;
    const TablePanel::Texts table = window_.table_->CellTexts();
    return window_.twoSample_->HoldsEnteredValue() ||
           std::any_of(table.cells.begin(), table.cells.end(), [](const std::string& cell) { return !cell.empty(); });
}

bool EditSession::HoldsData(grid::Column column) const
{
    const auto items = window_.store_.Items(column);
    return std::any_of(items.begin(), items.end(), [](const std::string& item) { return !item.empty(); });
}

grid::InputTexts EditSession::InputTexts() const
{
    const auto summary = [this](int group) {
        const TwoSamplePanel::GroupBoxes boxes = window_.twoSample_->Group(group);
        return grid::SummaryTexts{boxes.mean->text().toStdString(), boxes.sd->text().toStdString(),
                                  boxes.count->text().toStdString()};
    };
    const TablePanel::Texts table = window_.table_->CellTexts();
    const stats::TableCells cells = table.View();
    return {summary(0),           summary(1),           std::string(cells.a),
            std::string(cells.b), std::string(cells.c), std::string(cells.d)};
}

grid::EditPlace EditSession::EditPlace() const { return {window_.mode_, window_.store_.Offset()}; }

void EditSession::CommitEdits()
{
    if (pausing_) return;
    history_.Record(window_.store_.Items(grid::Column::First), window_.store_.Items(grid::Column::Second), InputTexts(),
                    EditPlace());
    pendingEdit_ = false;
    UpdateEditActions();
}

void EditSession::AsOneStep(const std::function<void()>& change)
{
    CommitEdits();
    {
        const QScopedValueRollback<bool> pause(pausing_, true);
        change();
    }
    CommitEdits();
}

void EditSession::NoteEdit()
{
    if (pausing_ || pendingEdit_) return;
    pendingEdit_ = true;
    UpdateEditActions();
}

void EditSession::UpdateEditActions()
{
    if (!undoAction_) return;
    undoAction_->setEnabled(history_.CanUndo() || pendingEdit_);
    // An edit not yet recorded will forget the undone steps.
    redoAction_->setEnabled(history_.CanRedo() && !pendingEdit_);
}

void EditSession::Undo()
{
    CommitEdits();
    if (std::optional<grid::EditState> state = history_.Undo()) RestoreEditState(std::move(*state));
    UpdateEditActions();
}

void EditSession::Redo()
{
    CommitEdits();
    if (std::optional<grid::EditState> state = history_.Redo()) RestoreEditState(std::move(*state));
    UpdateEditActions();
}

void EditSession::RestoreEditState(grid::EditState state)
{
    const QScopedValueRollback<bool> pause(pausing_, true);
    window_.ShowTest(state.place.mode);

    // The inputs are given back without recomputing on the way; the test
    // of the restored state then runs once on all of them.
    {
        const CellBatch quietGrid(*window_.grid_, CellBatch::Announce::Never);
        const CellBatch quietTable(*window_.table_, CellBatch::Announce::Never);
        window_.store_.Replace(std::move(state.first), std::move(state.second));
        window_.grid_->ShowRestored(state.place.offset);
        const grid::InputTexts& inputs = state.inputs;
        for (int group = 0; group < 2; ++group) {
            const grid::SummaryTexts& texts = group == 0 ? inputs.group1 : inputs.group2;
            const TwoSamplePanel::GroupBoxes boxes = window_.twoSample_->Group(group);
            boxes.mean->setText(QString::fromStdString(texts.mean));
            boxes.sd->setText(QString::fromStdString(texts.sd));
            boxes.count->setText(QString::fromStdString(texts.count));
        }
        window_.table_->SetCells({QString::fromStdString(inputs.a), QString::fromStdString(inputs.b),
                                  QString::fromStdString(inputs.c), QString::fromStdString(inputs.d)});
    }

    // Boxes that hold their column's summary were written by the program.
    for (grid::Column column : {grid::Column::First, grid::Column::Second})
        window_.twoSample_->MarkSummaryTexts(column == grid::Column::First ? 0 : 1,
                                             stats::SummariseColumn(window_.store_.Moments(column)));
    // A state without data is shown as a reset leaves the window.
    if (!HasData()) {
        window_.ClearInputsAndResults();
        window_.RefreshDetails();
        return;
    }
    switch (window_.mode_) {
    case TestMode::TwoSample:
        // The boxes ran the two-sample test as they were given back; boxes
        // that hold their column's summary stand for its exact figures again.
        window_.twoSample_->AdoptSummary(0, stats::SummariseColumn(window_.store_.Moments(grid::Column::First)));
        window_.twoSample_->AdoptSummary(1, stats::SummariseColumn(window_.store_.Moments(grid::Column::Second)));
        window_.RefreshDetails();
        break;
    case TestMode::PairedT:
    case TestMode::Correlation:
        window_.OnColumnsChanged(true, true);
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        window_.OnTableChanged();
        break;
    }
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || !focused->isVisible()) window_.FocusFirstInput();
}

EditSession::SwitchAnswer EditSession::AskBeforeSwitch(TestMode mode)
{
    if (!HasData()) return SwitchAnswer::Clear;
    static constexpr std::array<std::pair<SwitchAnswer, const char*>, 3> kCaptions = {
        {{SwitchAnswer::Keep, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "保留数据")},
         {SwitchAnswer::Clear, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "清空数据")},
         {SwitchAnswer::Cancel, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "取消")}}};
    // The grid's columns serve the three tests on raw data, the 2x2 cells
    // the two chi-square tests. Columns imported while a 2x2 test was shown
    // wait in the grid for a test that uses them, and so may table cells
    // kept on the way to a test on columns.
    const TablePanel::Texts table = window_.table_->CellTexts();
    const bool tableHoldsData =
        std::any_of(table.cells.begin(), table.cells.end(), [](const std::string& cell) { return !cell.empty(); });
    const bool gridHoldsData = HoldsData(grid::Column::First) || HoldsData(grid::Column::Second);
    const bool fits = stats::UsesTable(mode) == stats::UsesTable(window_.mode_) ||
                      (stats::UsesTable(mode) ? tableHoldsData : gridHoldsData);
    const std::vector<SwitchAnswer> answers =
        fits ? std::vector{SwitchAnswer::Keep, SwitchAnswer::Clear, SwitchAnswer::Cancel}
             : std::vector{SwitchAnswer::Clear, SwitchAnswer::Cancel};
    Question question;
    question.title = tr("切换检验");
    if (mode == window_.mode_)
        question.text = tr("已有数据。保留这些数据，还是清空后重新输入？");
    else if (fits)
        question.text = tr("已有数据。切换到“%1”时保留这些数据，还是清空？").arg(TestCaption(mode));
    else
        question.text = tr("“%1”用不到已有的数据，切换时要清空数据。清空后可以按Ctrl+Z撤销。").arg(TestCaption(mode));
    question.buttons = Captions(kCaptions, answers);
    question.defaultButton = IndexOf(answers, fits ? SwitchAnswer::Keep : SwitchAnswer::Cancel);
    question.cancelButton = IndexOf(answers, SwitchAnswer::Cancel);
    question.unattendedButton = IndexOf(answers, SwitchAnswer::Clear);
    const int chosen = window_.interaction_.Ask(&window_, question);
    return chosen >= 0 && chosen < static_cast<int>(answers.size()) ? answers[static_cast<std::size_t>(chosen)]
                                                                    : SwitchAnswer::Cancel;
}

bool EditSession::ConfirmExit()
{
    CommitEdits();
    if (!HasData() || history_.AtSaved()) return true;
    static constexpr std::array<std::pair<ExitAnswer, const char*>, 3> kCaptions = {
        {{ExitAnswer::Export, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "导出数据…")},
         {ExitAnswer::Exit, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "退出")},
         {ExitAnswer::Cancel, QT_TRANSLATE_NOOP("korvanta::ui::EditSession", "取消")}}};
    const std::vector<ExitAnswer> answers = {ExitAnswer::Export, ExitAnswer::Exit, ExitAnswer::Cancel};
    Question question;
    question.title = tr("退出");
    question.text = tr("数据已修改，还没有导出。退出前要导出数据吗？");
    question.buttons = Captions(kCaptions, answers);
    question.defaultButton = IndexOf(answers, ExitAnswer::Export);
    question.cancelButton = IndexOf(answers, ExitAnswer::Cancel);
    question.unattendedButton = IndexOf(answers, ExitAnswer::Exit);
    const int chosen = window_.interaction_.Ask(&window_, question);
    switch (chosen >= 0 && chosen < static_cast<int>(answers.size()) ? answers[static_cast<std::size_t>(chosen)]
                                                                     : ExitAnswer::Cancel) {
    case ExitAnswer::Export:
        // The program ends only once the data are safely written.
        return window_.exchange_->ExportData();
    case ExitAnswer::Exit:
        return true;
    case ExitAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace korvanta::ui

// The undo history of the entered data: whatever sequence of states is
// recorded, undo and redo give back exactly the states the user had, with
// their row counts, input boxes and places; empty rows appended at the end and
// moves alone are no steps.
#include "grid/edithistory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace korvanta::grid {
namespace {

using stats::TestMode;
using Texts = std::vector<std::string>;

EditState State(Texts first, Texts second, InputTexts inputs = {}, EditPlace place = {})
{
    return {std::move(first), std::move(second), std::move(inputs), place};
}

// A mean typed into the first group's summary box.
InputTexts Mean1(std::string text)
{
    InputTexts inputs;
    inputs.group1.mean = std::move(text);
    return inputs;
}

// Every box holds a text of its own.
InputTexts AllBoxes(std::string d)
{
    return {{"1.5", "0.5", "10"}, {"2.5", "0.7", "12"}, "12", "5", "3", std::move(d)};
}

void Start(EditHistory& history, const EditState& state)
{
    history.Start(state.first, state.second, state.inputs, state.place);
}

bool Record(EditHistory& history, const EditState& state)
{
    return history.Record(state.first, state.second, state.inputs, state.place);
}

void ExpectSame(const std::optional<EditState>& got, const EditState& want, const std::string& where)
{
    ASSERT_TRUE(got.has_value()) << where;
    EXPECT_EQ(got->first, want.first) << where;
    EXPECT_EQ(got->second, want.second) << where;
    EXPECT_EQ(got->inputs, want.inputs) << where;
    EXPECT_EQ(got->place, want.place) << where;
}

struct StepCase {
    const char* name;
    EditState before;
    EditState after;
    bool step;
};

class HistoryStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(HistoryStep, UndoAndRedoGiveBackBothStates)
{
    const StepCase& c = GetParam();
    EditHistory history;
    Start(history, c.before);
    EXPECT_EQ(Record(history, c.after), c.step);
    if (!c.step) {
        EXPECT_FALSE(history.CanUndo());
        return;
    }
    ExpectSame(history.Undo(), c.before, "undo");
    EXPECT_FALSE(history.CanUndo());
    ExpectSame(history.Redo(), c.after, "redo");
    EXPECT_FALSE(history.CanRedo());
}

const Texts kNine(9, "");

INSTANTIATE_TEST_SUITE_P(
    Edits, HistoryStep,
    ::testing::Values(
        StepCase{"typed", State(kNine, kNine), State({"", "", "5"}, kNine), true},
        StepCase{"typed_below_short_import", State({"1", "2"}, {"3"}), State({"1", "2", ""}, {"3", "", "7"}), true},
        StepCase{"cleared_last", State({"1", "2", "3"}, {"4", "5", "6"}), State({"1", "2", ""}, {"4", "5", "6"}), true},
        StepCase{"repeated_values_shorter", State({"1", "1", "1", "1"}, {}), State({"1", "1"}, {}), true},
        StepCase{"repeated_values_inserted", State({"1", "2", "1", "2"}, {}), State({"1", "2", "1", "2", "1", "2"}, {}),
                 true},
        StepCase{"import_replaces_all", State(kNine, kNine, {}, {TestMode::PairedT, 0}),
                 State({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, {"9", "8"}, {}, {TestMode::PairedT, 0}),
                 true},
        StepCase{"reset_to_other_test", State({"1", "2"}, {"3", "4"}, Mean1("x"), {TestMode::Correlation, 5}),
                 State(kNine, kNine, {}, {TestMode::PairedChiSquare, 0}), true},
        StepCase{"field_only", State({"1"}, {"2"}, {}), State({"1"}, {"2"}, Mean1("12")), true},
        StepCase{"table_cell_only", State(kNine, kNine, AllBoxes("10")), State(kNine, kNine, AllBoxes("11")), true},
        StepCase{"empty_rows_appended", State({"1"}, {"2"}), State({"1", "", ""}, {"2", "", ""}), false},
        StepCase{"scrolled", State({"1"}, {"2"}, {}, {TestMode::TwoSample, 0}),
                 State({"1"}, {"2"}, {}, {TestMode::TwoSample, 7}), false},
        StepCase{"switched_keeping", State({"1"}, {"2"}, {}, {TestMode::PairedT, 0}),
                 State({"1"}, {"2"}, {}, {TestMode::Correlation, 0}), false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// A state after silent changes (rows appended, a scroll) is what undo of
// the next step gives back.
TEST(EditHistory, UndoGivesBackTheStateJustBeforeTheStep)
{
    EditHistory history;
    Start(history, State(kNine, kNine));
    ASSERT_TRUE(Record(history, State({"5", "", "", "", "", "", "", "", ""}, kNine)));
    Texts ten(10, "");
    ten[0] = "5";
    const EditState appended = State(ten, Texts(10, ""), {}, {TestMode::TwoSample, 1});
    EXPECT_FALSE(Record(history, appended));
    Texts typed = ten;
    typed[9] = "6";
    ASSERT_TRUE(Record(history, State(typed, Texts(10, ""), {}, {TestMode::TwoSample, 1})));
    ExpectSame(history.Undo(), appended, "undo of the typed 6");
    ExpectSame(history.Undo(), State(kNine, kNine), "undo of the typed 5");
}

TEST(EditHistory, KeepsItsDepthAndForgetsTheOldest)
{
    EditHistory history(50);
    std::vector<EditState> states{State({}, {})};
    Start(history, states.back());
    for (int i = 1; i <= 70; ++i) {
        states.push_back(State({std::to_string(i)}, {}));
        ASSERT_TRUE(Record(history, states.back()));
    }
    for (int i = 69; i >= 20; --i)
        ExpectSame(history.Undo(), states[static_cast<std::size_t>(i)], "undo to " + std::to_string(i));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.RedoCount(), 50u);
}

TEST(EditHistory, ANewStepForgetsTheUndoneOnes)
{
    EditHistory history;
    Start(history, State({}, {}));
    Record(history, State({"1"}, {}));
    Record(history, State({"1", "2"}, {}));
    history.Undo();
    ASSERT_TRUE(Record(history, State({"1", "3"}, {})));
    EXPECT_FALSE(history.CanRedo());
    ExpectSame(history.Undo(), State({"1"}, {}), "undo after the new branch");
}

struct SavedCase {
    const char* name;
    std::vector<char> actions; // r: record a new state, u: undo, d: redo, s: mark saved
    bool atSaved;
};

class SavedState : public ::testing::TestWithParam<SavedCase> {};

TEST_P(SavedState, TellsWhetherTheDataMatchTheLastFile)
{
    EditHistory history(3);
    Start(history, State({}, {}));
    int next = 0;
    for (const char action : GetParam().actions) {
        switch (action) {
        case 'r':
            Record(history, State({std::to_string(++next)}, {}));
            break;
        case 'u':
            history.Undo();
            break;
        case 'd':
            history.Redo();
            break;
        case 's':
            history.MarkSaved();
            break;
        }
    }
    EXPECT_EQ(history.AtSaved(), GetParam().atSaved);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SavedState,
    ::testing::Values(SavedCase{"fresh", {}, true}, SavedCase{"edited", {'r'}, false},
                      SavedCase{"edited_then_undone", {'r', 'u'}, true},
                      SavedCase{"saved_after_edit", {'r', 's'}, true},
                      SavedCase{"saved_then_undone", {'r', 's', 'u'}, false},
                      SavedCase{"saved_undone_redone", {'r', 's', 'u', 'd'}, true},
                      SavedCase{"saved_state_branched_away", {'r', 's', 'u', 'r'}, false},
                      SavedCase{"branch_back_is_not_the_file", {'r', 's', 'u', 'r', 'u'}, false},
                      SavedCase{"saved_state_dropped_by_depth", {'s', 'r', 'r', 'r', 'r', 'u', 'u', 'u'}, false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

Texts WithoutEmptyEnd(Texts column)
{
    while (!column.empty() && column.back().empty()) column.pop_back();
    return column;
}

// Random edits over a small alphabet, so that equal rows before and after
// a change are common: every undo and redo must give back the recorded
// state, whatever the overlap of the changed rows with their neighbours.
// The model keeps every step's two full states.
TEST(EditHistory, RandomEditsUndoAndRedoExactly)
{
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> alphabet = {"", "1", "2", "1.5"};
    for (int round = 0; round < 40; ++round) {
        EditState current = State(Texts(9, ""), Texts(9, ""));
        EditHistory history(200);
        Start(history, current);
        std::vector<std::pair<EditState, EditState>> steps;
        std::size_t cursor = 0;
        for (int action = 0; action < 60; ++action) {
            const int kind = pick(10);
            if (kind < 6) {
                EditState next = current;
                Texts& column = pick(2) == 0 ? next.first : next.second;
                const int op = pick(4);
                if (op == 0)
                    column.push_back(alphabet[static_cast<std::size_t>(pick(4))]);
                else if (op == 1 && !column.empty())
                    column.erase(column.begin() + pick(static_cast<int>(column.size())));
                else if (op == 2)
                    column.insert(column.begin() + pick(static_cast<int>(column.size()) + 1),
                                  static_cast<std::size_t>(pick(4)), alphabet[1]);
                else if (!column.empty())
                    column[static_cast<std::size_t>(pick(static_cast<int>(column.size())))] =
                        alphabet[static_cast<std::size_t>(pick(4))];
                next.place.offset = pick(5);
                const bool isStep = WithoutEmptyEnd(next.first) != WithoutEmptyEnd(current.first) ||
                                    WithoutEmptyEnd(next.second) != WithoutEmptyEnd(current.second);
                ASSERT_EQ(Record(history, next), isStep);
                if (isStep) {
                    steps.resize(cursor);
                    steps.emplace_back(current, next);
                    ++cursor;
                }
                current = next;
            } else if (kind < 8 && cursor > 0) {
                current = steps[--cursor].first;
                ExpectSame(history.Undo(), current, "undo");
            } else if (cursor < steps.size()) {
                current = steps[cursor++].second;
                ExpectSame(history.Redo(), current, "redo");
            }
            ASSERT_EQ(history.UndoCount(), cursor);
            ASSERT_EQ(history.RedoCount(), steps.size() - cursor);
        }
    }
}

} // namespace
} // namespace korvanta::grid

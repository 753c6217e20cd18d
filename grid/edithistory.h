// The undo and redo history of what the user entered: the grid's two
// columns, the other input boxes (summary boxes, 2x2 cells) and where the
// user stood (the test and the grid's scroll offset).
//
// The window records the whole state at each point where an edit is
// finished (a cell left, a paste, an import, a reset); the history compares
// it with the last recorded state and keeps only the difference. A step
// therefore costs the rows it changed, not the store: a typed cell keeps
// two short texts, an import its columns once, packed. Empty rows at the end
// of a column are not data: appending them (Enter on the last row) makes no
// step of its own, and undo and redo give back the row counts as they were.
#pragma once

#include "stats/testmode.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvanta::grid {

// Where the user stood: the test and the first visible row.
struct EditPlace {
    stats::TestMode mode = stats::TestMode::TwoSample;
    int offset = 0;
    bool operator==(const EditPlace&) const = default;
};

// The texts of one group's summary boxes of the two-sample test.
struct SummaryTexts {
    std::string mean;
    std::string sd;
    std::string count;
    bool operator==(const SummaryTexts&) const = default;
};

// The texts of the input boxes beside the grid, as the user sees them.
struct InputTexts {
    SummaryTexts group1;
    SummaryTexts group2;
    // The 2x2 table's counts.
    std::string a;
    std::string b;
    std::string c;
    std::string d;
    bool operator==(const InputTexts&) const = default;
};

// A full state as the window gives it back to the user.
struct EditState {
    std::vector<std::string> first;
    std::vector<std::string> second;
    InputTexts inputs;
    EditPlace place;
};

class EditHistory {
public:
    // Keeps at most depth steps; the oldest are dropped beyond that.
    explicit EditHistory(std::size_t depth = 100);

    // The state a new window starts from; forgets every step.
    void Start(std::span<const std::string> first, std::span<const std::string> second, InputTexts inputs,
               EditPlace place);

    // Compares the state with the last recorded one. A change of data
    // becomes a step (and the steps that were undone are forgotten); a
    // change of place alone, or of empty end rows, is only remembered as
    // the state the next step starts from. True when a step was added.
    bool Record(std::span<const std::string> first, std::span<const std::string> second, const InputTexts& inputs,
                EditPlace place);

    bool CanUndo() const { return cursor_ > 0; }
    bool CanRedo() const { return cursor_ < steps_.size(); }
    // The state before the last step, or after the next undone one. The
    // caller shows it; the history already counts it as recorded.
    std::optional<EditState> Undo();
    std::optional<EditState> Redo();

    std::size_t UndoCount() const { return cursor_; }
    std::size_t RedoCount() const { return steps_.size() - cursor_; }

    // The data as they are now were saved (imported or exported).
    void MarkSaved() { savedAt_ = static_cast<std::ptrdiff_t>(cursor_); }
    // False once a step away from the saved data is recorded; true again
    // when undo or redo come back to it.
    bool AtSaved() const { return savedAt_ == static_cast<std::ptrdiff_t>(cursor_); }

private:
    // Texts packed into one buffer: a step of 32,767 short numbers costs
    // about their characters, not a std::string each.
    struct PackedTexts {
        std::string chars;
        std::vector<std::size_t> ends;
        std::size_t Size() const { return ends.size(); }
    };
    // One column's change: rows [prefix, prefix + before.size()) became
    // after, counted on the column without its empty end rows; the counts
    // are those with them.
    struct ColumnChange {
        std::size_t prefix = 0;
        PackedTexts before;
        PackedTexts after;
        std::size_t countBefore = 0;
        std::size_t countAfter = 0;
    };
    struct Step {
        ColumnChange columns[2];
        InputTexts inputsBefore;
        InputTexts inputsAfter;
        EditPlace placeBefore;
        EditPlace placeAfter;
    };

    static PackedTexts Pack(std::span<const std::string> texts);
    static void UnpackInto(const PackedTexts& packed, std::vector<std::string>& out);
    static std::size_t DataLength(std::span<const std::string> column);
    static ColumnChange Compare(const std::vector<std::string>& was, std::size_t countWas,
                                std::span<const std::string> now);
    // Replaces the recorded column's changed rows by one side of a change.
    static void Apply(std::vector<std::string>& column, const ColumnChange& change, bool forward);
    EditState Current() const;

    std::size_t depth_;
    std::deque<Step> steps_;
    std::size_t cursor_ = 0;     // steps_[0, cursor_) are done
    std::ptrdiff_t savedAt_ = 0; // -1 once the saved state is dropped
    // The last recorded state: columns without their empty end rows.
    std::vector<std::string> columns_[2];
    std::size_t counts_[2] = {0, 0};
    InputTexts inputs_;
    EditPlace place_;
};

} // namespace korvanta::grid

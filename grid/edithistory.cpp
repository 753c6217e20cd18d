#include "grid/edithistory.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace korvanta::grid {

EditHistory::EditHistory(std::size_t depth) : depth_(std::max<std::size_t>(depth, 1)) {}

std::size_t EditHistory::DataLength(std::span<const std::string> column)
{
    std::size_t length = column.size();
    while (length > 0 && column[length - 1].empty()) --length;
    return length;
}

EditHistory::PackedTexts EditHistory::Pack(std::span<const std::string> texts)
{
    PackedTexts packed;
    std::size_t total = 0;
    for (const std::string& text : texts) total += text.size();
    packed.chars.reserve(total);
    packed.ends.reserve(texts.size());
    for (const std::string& text : texts) {
        packed.chars += text;
        packed.ends.push_back(packed.chars.size());
    }
    return packed;
}

void EditHistory::UnpackInto(const PackedTexts& packed, std::vector<std::string>& out)
{
    std::size_t begin = 0;
    for (const std::size_t end : packed.ends) {
        out.emplace_back(packed.chars, begin, end - begin);
        begin = end;
    }
}

void EditHistory::Start(std::span<const std::string> first, std::span<const std::string> second, InputTexts inputs,
                        EditPlace place)
{
    steps_.clear();
    cursor_ = 0;
    savedAt_ = 0;
    const std::span<const std::string> columns[2] = {first, second};
    for (int c = 0; c < 2; ++c) {
        columns_[c].assign(columns[c].begin(),
                           columns[c].begin() + static_cast<std::ptrdiff_t>(DataLength(columns[c])));
        counts_[c] = columns[c].size();
    }
    inputs_ = std::move(inputs);
    place_ = place;
}

EditHistory::ColumnChange EditHistory::Compare(const std::vector<std::string>& was, std::size_t countWas,
                                               std::span<const std::string> now)
{
    const std::size_t length = DataLength(now);
    const std::size_t common = std::min(was.size(), length);
    std::size_t prefix = 0;
    while (prefix < common && was[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < common - prefix && was[was.size() - 1 - suffix] == now[length - 1 - suffix]) ++suffix;
    ColumnChange change;
    change.prefix = prefix;
    change.before = Pack(std::span<const std::string>(was).subspan(prefix, was.size() - suffix - prefix));
    change.after = Pack(now.subspan(prefix, length - suffix - prefix));
    change.countBefore = countWas;
    change.countAfter = now.size();
    return change;
}

void EditHistory::Apply(std::vector<std::string>& column, const ColumnChange& change, bool forward)
{
    const PackedTexts& removed = forward ? change.before : change.after;
    const PackedTexts& inserted = forward ? change.after : change.before;
    std::vector<std::string> middle;
    middle.reserve(inserted.Size());
    UnpackInto(inserted, middle);
    const auto at = column.begin() + static_cast<std::ptrdiff_t>(change.prefix);
    if (removed.Size() == inserted.Size()) {
        // A typed cell: no rows move.
        std::move(middle.begin(), middle.end(), at);
        return;
    }
    const auto rest = column.erase(at, at + static_cast<std::ptrdiff_t>(removed.Size()));
    column.insert(rest, std::make_move_iterator(middle.begin()), std::make_move_iterator(middle.end()));
}

bool EditHistory::Record(std::span<const std::string> first, std::span<const std::string> second,
                         const InputTexts& inputs, EditPlace place)
{
    Step step;
    step.columns[0] = Compare(columns_[0], counts_[0], first);
    step.columns[1] = Compare(columns_[1], counts_[1], second);
    bool changed = inputs != inputs_;
    for (int c = 0; c < 2; ++c) {
        Apply(columns_[c], step.columns[c], true);
        counts_[c] = step.columns[c].countAfter;
        changed = changed || step.columns[c].before.Size() > 0 || step.columns[c].after.Size() > 0;
    }
    if (changed) {
        step.inputsBefore = std::exchange(inputs_, inputs);
        step.inputsAfter = inputs;
        step.placeBefore = place_;
        step.placeAfter = place;
        // A new step forgets the undone ones, and with them a saved state
        // among them.
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(cursor_), steps_.end());
        if (savedAt_ > static_cast<std::ptrdiff_t>(cursor_)) savedAt_ = -1;
        steps_.push_back(std::move(step));
        ++cursor_;
        if (steps_.size() > depth_) {
            steps_.pop_front();
            --cursor_;
            savedAt_ = savedAt_ > 0 ? savedAt_ - 1 : -1;
        }
    }
    place_ = place;
    return changed;
}

std::optional<EditState> EditHistory::Undo()
{
    if (!CanUndo()) return std::nullopt;
    const Step& step = steps_[--cursor_];
    for (int c = 0; c < 2; ++c) {
        Apply(columns_[c], step.columns[c], false);
        counts_[c] = step.columns[c].countBefore;
    }
    inputs_ = step.inputsBefore;
    place_ = step.placeBefore;
    return Current();
}

std::optional<EditState> EditHistory::Redo()
{
    if (!CanRedo()) return std::nullopt;
    const Step& step = steps_[cursor_++];
    for (int c = 0; c < 2; ++c) {
        Apply(columns_[c], step.columns[c], true);
        counts_[c] = step.columns[c].countAfter;
    }
    inputs_ = step.inputsAfter;
    place_ = step.placeAfter;
    return Current();
}

EditState EditHistory::Current() const
{
    EditState state;
    state.first = columns_[0];
    state.second = columns_[1];
    state.first.resize(std::max(counts_[0], state.first.size()));
    state.second.resize(std::max(counts_[1], state.second.size()));
    state.inputs = inputs_;
    state.place = place_;
    return state;
}

} // namespace korvanta::grid

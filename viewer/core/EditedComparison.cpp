#include "EditedComparison.h"

#include <algorithm>
#include <utility>

#include "FolderList.h"
#include "TextEncode.h"

namespace viewer {

namespace {

ReadOnly WhyNotEditable(const Comparison& comparison, const FileSide& side) {
    switch (comparison.outcome()) {
        case Outcome::Unreadable:
            if (!side.error.failed()) return {ReadOnlyWhy::OtherUnreadable, {}};
            return {ReadOnlyWhy::FileTrouble, side.error};
        case Outcome::Binary:
            return {ReadOnlyWhy::Binary, {}};
        case Outcome::TooLarge:
            if (comparison.memoryShort()) return {ReadOnlyWhy::MemoryShort, {}};
            return {ReadOnlyWhy::TooLarge, {}};
        case Outcome::Text:
            break;
    }
    if (side.encoding == Encoding::Iso2022Jp) return {ReadOnlyWhy::Iso2022Jp, {}};
    const FileError why = WhyNotWritable(side.path);
    if (!why.failed()) return {};
    return {ReadOnlyWhy::FileTrouble, why};
}

EditResult Failed(EditProblem problem, Side side = Side::First) {
    EditResult result;
    result.problem = problem;
    result.side = side;
    return result;
}

EditResult Done(std::optional<std::size_t> row) {
    EditResult result;
    result.done = true;
    result.row = row;
    return result;
}

// A run of differing rows: the first file's lines [first0, first1) against the second's
// [second0, second1).
struct Change {
    std::int32_t first0 = 0, first1 = 0, second0 = 0, second1 = 0;
};

// The changes that rows [from, to] touch, in order.
std::vector<Change> ChangesIn(const Rows& rows, std::size_t from, std::size_t to) {
    std::vector<Change> changes;
    std::optional<Change> open;
    bool touched = false;
    std::int32_t first = 0, second = 0;
    for (const Block& block : rows.blocks()) {
        if (block.kind == RowKind::Common) {
            if (open && touched) changes.push_back(*open);
            open.reset();
            first += block.count;
            second += block.count;
            continue;
        }
        if (!open) open = Change{first, first, second, second}, touched = false;
        touched = touched || (block.row <= to && block.row + block.count > from);
        if (block.kind == RowKind::Removed) {
            open->first1 = first += block.count;
        } else {
            open->second1 = second += block.count;
        }
    }
    if (open && touched) changes.push_back(*open);
    return changes;
}

}  // namespace

EditedComparison::EditedComparison(Comparison comparison)
    : comparison_(std::move(comparison)),
      files_{EditedFile(comparison_.first(), comparison_.second()),
             EditedFile(comparison_.second(), comparison_.first())},
      whyReadOnly_{WhyNotEditable(comparison_, comparison_.first()),
                   WhyNotEditable(comparison_, comparison_.second())} {}

EditResult EditedComparison::Prepare(Side side) {
    if (!WhyReadOnly(side).editable()) return Failed(EditProblem::ReadOnly, side);
    EditResult result = Failed(EditProblem::None, side);
    result.error = files_[Index(side)].Load();
    if (result.error.failed()) result.problem = EditProblem::NotAsCompared;
    return result;
}

bool EditedComparison::Recompare(const LongWork& longWork) {
    if (!longWork) {
        comparison_.ReplaceTexts(files_[0].text(), files_[1].text());
        return true;
    }
    std::optional<Comparison> again =
        longWork([earlier = comparison_, first = files_[0].text(),
                  second = files_[1].text()](const CancelFlag* cancel) mutable {
            earlier.ReplaceTexts(std::move(first), std::move(second), cancel);
            return std::move(earlier);
        });
    if (!again) return false;
    comparison_ = std::move(*again);
    return true;
}

std::optional<std::size_t> EditedComparison::RowOf(Side side, std::int32_t line) const {
    return comparison_.RowOfLine(side, std::int64_t{line} + 1);
}

EditResult EditedComparison::Take(Side from, std::size_t firstRow, std::size_t lastRow,
                                  const LongWork& longWork) {
    const Side to = from == Side::First ? Side::Second : Side::First;
    if (EditResult why = Prepare(to); why.problem != EditProblem::None) return why;
    const Rows& rows = comparison_.rows();
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    const std::vector<Change> changes = ChangesIn(rows, firstRow, lastRow);
    if (changes.empty()) return Failed(EditProblem::NoDifference, to);

    EditedFile& target = files_[Index(to)];
    const std::shared_ptr<const TextFile> source = files_[Index(from)].text();
    // Line ends taken across where they are compared: they are part of what differs. Also into a
    // file with no lines (empty, or of one folder only): it has no ends of its own to keep, and
    // a file made by taking another across is a copy of it.
    const bool withEnds = !comparison_.options().lineEnds || target.LineCount() == 0;
    const bool intoSecond = to == Side::Second;
    std::vector<Replacement> replacements;
    replacements.reserve(changes.size());
    for (const Change& change : changes) {
        const std::int32_t begin = intoSecond ? change.first0 : change.second0;
        const std::int32_t end = intoSecond ? change.first1 : change.second1;
        Replacement& replacement = replacements.emplace_back();
        replacement.at = intoSecond ? change.second0 : change.first0;
        replacement.count =
            intoSecond ? change.second1 - change.second0 : change.first1 - change.first0;
        NewLines& lines = replacement.added;
        LineCursor line(*source, begin);
        for (std::int32_t i = begin; i < end; ++i, line.Next()) {
            lines.lines.push_back(line.Line());
            if (withEnds) lines.endings.push_back(line.Ending());
        }
        // A change at the end of its file: the other file then ends as this one does.
        if (end == source->LineCount()) lines.finalNewline = source->endsWithNewline();
    }
    const std::int32_t first = replacements.front().at;
    Step step{to, target.state(), {}, first, false};
    if (const auto why = target.Replace(replacements, source->encoding())) {
        EditResult result = Failed(EditProblem::CannotTake, to);
        result.line = *why;
        return result;
    }
    step.after = target.state();
    if (step.after == step.before) return Failed(EditProblem::NothingToTake, to);
    if (!Recompare(longWork)) {
        target.Restore(std::move(step.before));
        return Failed(EditProblem::Stopped, to);
    }
    undo_.push_back(std::move(step));
    redo_.clear();
    typingGoesOn_ = false;
    return Done(RowOf(to, first));
}

std::optional<std::u16string> EditedComparison::EditableText(std::size_t row, Side side) const {
    if (!WhyReadOnly(side).editable() || row >= comparison_.rows().size()) return std::nullopt;
    const Row r = comparison_.rows()[row];
    const std::int32_t line = side == Side::First ? r.first : r.second;
    if (line < 0) return std::nullopt;
    const TextFile& text = *files_[Index(side)].text();
    return DecodeExactly(text.Line(line), text.encoding());
}

EditResult EditedComparison::EditLine(std::size_t row, Side side, std::u16string_view text) {
    if (!EditableText(row, side)) return Failed(EditProblem::LineNotEditable, side);
    // A CR inside a line is the line's own, as read; only one just before the line's LF would
    // become part of its ending.
    const Row at = comparison_.rows()[row];
    const TextFile& before = *files_[Index(side)].text();
    const bool endsInLf =
        before.EndingOf(side == Side::First ? at.first : at.second) != LineEnding::None;
    if (text.find(u'\n') != std::u16string_view::npos ||
        (endsInLf && !text.empty() && text.back() == u'\r')) {
        return Failed(EditProblem::LineBreakTyped, side);
    }
    if (EditResult why = Prepare(side); why.problem != EditProblem::None) return why;
    const Row r = comparison_.rows()[row];
    const std::int32_t line = side == Side::First ? r.first : r.second;
    EditedFile& file = files_[Index(side)];
    const bool extend =
        typingGoesOn_ && !undo_.empty() && undo_.back().side == side && undo_.back().line == line;
    Step step = extend ? undo_.back() : Step{side, file.state(), {}, line, true};
    if (const auto why = file.EditLine(line, text)) {
        EditResult result = Failed(EditProblem::CannotType, side);
        result.line = *why;
        return result;
    }
    step.after = file.state();
    if (extend) {
        undo_.back() = step;
    } else {
        undo_.push_back(step);
    }
    redo_.clear();
    typingGoesOn_ = true;
    Recompare();
    return Done(RowOf(side, line));
}

EditResult EditedComparison::Apply(const Step& step, bool forward, const LongWork& longWork) {
    EditedFile& file = files_[Index(step.side)];
    file.Restore(forward ? step.after : step.before);
    typingGoesOn_ = false;
    if (!Recompare(longWork)) {
        file.Restore(forward ? step.before : step.after);
        return Failed(EditProblem::Stopped, step.side);
    }
    return Done(RowOf(step.side, step.line));
}

EditResult EditedComparison::DropTyping() {
    if (!typingGoesOn_ || undo_.empty() || !undo_.back().typing) return {};
    const Step step = std::move(undo_.back());
    undo_.pop_back();
    return Apply(step, false);
}

EditResult EditedComparison::Undo(const LongWork& longWork) {
    if (undo_.empty()) return Failed(EditProblem::NothingToUndo);
    const EditResult result = Apply(undo_.back(), false, longWork);
    if (result.done) {
        redo_.push_back(std::move(undo_.back()));
        undo_.pop_back();
    }
    return result;
}

EditResult EditedComparison::Redo(const LongWork& longWork) {
    if (redo_.empty()) return Failed(EditProblem::NothingToRedo);
    const EditResult result = Apply(redo_.back(), true, longWork);
    if (result.done) {
        undo_.push_back(std::move(redo_.back()));
        redo_.pop_back();
    }
    return result;
}

SaveResult EditedComparison::Save(Side side, bool overwrite) {
    EditedFile& file = files_[Index(side)];
    if (!file.changed()) return {SaveStatus::Unchanged, {}, {}};
    std::string bytes;
    LineProblem why;
    if (!file.DiskBytes(bytes, why)) return {SaveStatus::Failed, why, {}};
    // A file deleted since it was read is made again with the permissions it had.
    const WriteResult result = ReplaceContent(
        SideOf(side).path, bytes,
        [&](const std::string* present) { return overwrite || file.StillAsRead(present); },
        file.permissions());
    switch (result.status) {
        case WriteStatus::Written:
            file.Saved(std::move(bytes));
            typingGoesOn_ = false;
            return {SaveStatus::Saved, {}, result};
        case WriteStatus::ChangedOnDisk:
            return {SaveStatus::ChangedOnDisk, {}, result};
        default:
            return {SaveStatus::Failed, {}, result};
    }
}

}  // namespace viewer

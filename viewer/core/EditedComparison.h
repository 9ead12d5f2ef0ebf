// Editing a comparison: taking a difference from one file into the other, editing a line in
// place, undo and redo over every change in both files, and saving a changed file. After every
// step the two files are compared again, so a difference taken across is gone from the rows and
// the count. Nothing is written but by Save.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Comparison.h"
#include "EditedFile.h"
#include "SaveFile.h"
#include "Side.h"

namespace viewer {

// Why a file offers no edit.
enum class ReadOnlyWhy : std::uint8_t {
    Editable,
    FileTrouble,      // it cannot be read, or written: `error`
    OtherUnreadable,  // the other file cannot be read
    Binary,
    TooLarge,     // larger than kTextLimitBytes
    MemoryShort,  // compared byte by byte, as memory could not hold its lines
    Iso2022Jp,    // no edit keeps its escapes as they were
};
struct ReadOnly {
    ReadOnlyWhy why = ReadOnlyWhy::Editable;
    FileError error;
    bool editable() const { return why == ReadOnlyWhy::Editable; }
};

// Why an edit, an undo or a redo did nothing.
enum class EditProblem : std::uint8_t {
    None,
    ReadOnly,       // the file `side` offers no edit: WhyReadOnly(side)
    NotAsCompared,  // the file `side` is not as compared, or cannot be read again: `error`
    NoDifference,   // no difference where the rows were given
    NothingToTake,  // the differences are already taken
    CannotTake,     // a line (`line`) the file `side` cannot hold
    LineNotEditable,
    LineBreakTyped,
    CannotType,  // a character (`line`) the file `side` cannot hold
    NothingToUndo,
    NothingToRedo,
    Stopped,  // the user stopped the comparison after it: nothing changed
};

// What an edit, an undo or a redo did.
struct EditResult {
    bool done = false;
    EditProblem problem = EditProblem::None;
    Side side = Side::First;  // the file of the problem
    FileError error;
    LineProblem line;
    std::optional<std::size_t> row;  // where the lines it changed are now
};

enum class SaveStatus {
    Saved,
    Unchanged,      // nothing to save: the file is as on disk
    ChangedOnDisk,  // another program changed the file since it was read: ask, then
                    // Save(side, true) overwrites it, or compare again
    Failed,         // nothing was written: `line` or `written` says why
};

struct SaveResult {
    SaveStatus status = SaveStatus::Failed;
    std::optional<LineProblem> line;  // a line the file's encoding cannot hold
    WriteResult written;              // how the write went, when one was tried
};

// How the comparison after an edit runs: as the window runs its long work, with its progress and
// its stop (nothing when the user stopped it), or, left empty, at once.
using LongWork =
    std::function<std::optional<Comparison>(const std::function<Comparison(const CancelFlag*)>&)>;

class EditedComparison {
public:
    explicit EditedComparison(Comparison comparison);

    const Comparison& comparison() const { return comparison_; }
    // The same lines compared under other options: `rediffed`, this comparison made again with
    // Comparison::Rediff, as the window's long work makes it off the window's thread.
    void Rediffed(Comparison rediffed) { comparison_ = std::move(rediffed); }

    // Why a file offers no edit: it is binary, read-only...
    const ReadOnly& WhyReadOnly(Side side) const { return whyReadOnly_[Index(side)]; }
    // Whether the file has changes not saved.
    bool Changed(Side side) const { return files_[Index(side)].changed(); }
    // Whether the file is not there (a file of the other folder only), so that a save makes it.
    bool Missing(Side side) const { return files_[Index(side)].absent(); }

    // Takes every difference that rows [firstRow, lastRow] touch from `from` into the other
    // file: the other file's lines there become `from`'s, with their line ends where those are
    // compared, and the file's final newline when the change is at its end.
    EditResult Take(Side from, std::size_t firstRow, std::size_t lastRow,
                    const LongWork& longWork = {});
    // The text of the row's line in `side` to edit it; none when the row has no line there, the
    // file cannot be edited, or the line holds bytes that are not text.
    std::optional<std::u16string> EditableText(std::size_t row, Side side) const;
    // The row's line in `side` becomes `text` (no line break in it). Edits of one line one after
    // another are one step for undo.
    EditResult EditLine(std::size_t row, Side side, std::u16string_view text);

    // Ends an edit in place: the next edit of the same line is a step of its own.
    void EndTyping() { typingGoesOn_ = false; }
    // Takes back the edit in place going on: the line as it was, and nothing to redo.
    EditResult DropTyping();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    EditResult Undo(const LongWork& longWork = {});
    EditResult Redo(const LongWork& longWork = {});

    // Writes the file when it is changed, every line not edited byte for byte as read. With
    // `overwrite`, also over a file that changed on disk since it was read.
    SaveResult Save(Side side, bool overwrite = false);

private:
    struct Step {
        Side side = Side::First;
        FileState before;
        FileState after;
        std::int32_t line = 0;  // the first line it changed
        bool typing = false;    // an edit of `line` in place
    };

    static std::size_t Index(Side side) { return side == Side::First ? 0 : 1; }
    const FileSide& SideOf(Side side) const {
        return side == Side::First ? comparison_.first() : comparison_.second();
    }
    // Why the file cannot be edited now: read-only, or not as it was compared; none when it can.
    EditResult Prepare(Side side);
    // Puts the files' lines in the comparison and compares them again; false when the user
    // stopped it, the comparison as it was.
    bool Recompare(const LongWork& longWork = {});
    std::optional<std::size_t> RowOf(Side side, std::int32_t line) const;
    EditResult Apply(const Step& step, bool forward, const LongWork& longWork = {});

    Comparison comparison_;
    std::array<EditedFile, 2> files_;
    std::array<ReadOnly, 2> whyReadOnly_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    bool typingGoesOn_ = false;  // the last step is an edit in place that typing extends
};

}  // namespace viewer

// What one viewer window does, toolkit-neutral: it owns the comparison and the window's state
// (the current row, the view, the options, find, go to line, the selection, the status), runs the
// commands and answers what to draw: the columns, rows and cells of each view in display cells,
// the strip's marks, every text. The front calls it on each event and draws through SessionView.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Commands.h"
#include "Comparison.h"
#include "EditedComparison.h"
#include "Look.h"
#include "MeasureInBackground.h"
#include "SessionView.h"
#include "Settings.h"
#include "SideBySide.h"

namespace viewer {

enum class ColumnRole : std::uint8_t {
    FirstNumber,  // one list: the first file's line number
    SecondNumber,
    Mark,  // one list: "<!" or "!>"
    Content,
    LeftNumber,  // side by side: the first file's number and line, the band, the second's
    LeftContent,
    Band,
    RightNumber,
    RightContent,
};
enum class Align : std::uint8_t { Left, Center, Right };

struct Column {
    ColumnRole role;
    std::u16string title;  // the header's text: "第一", "内容", …
    Align align;
    bool content;  // a file's text: drawn by clusters at their cells, with marks
};

struct Cell {
    std::u16string text;
    bool empty = true;                         // the empty side of a change: nothing to draw
    ColourRole background = ColourRole::Base;  // the row's colour (Base for a common row)
    ColourRole markColour = ColourRole::Base;  // the colour of `marks`
    std::vector<MarkSpan> marks;               // content: what changed, whole clusters
    // Content: the bytes not valid in the file's encoding ("<E9>"), drawn over everything else
    // as a ColourRole::StrayByte box with ColourRole::StrayByteText text, on any row.
    std::vector<MarkSpan> byteMarks;
    // The band between the panes: each half in its side's mark colour, Base when unchanged.
    ColourRole bandLeft = ColourRole::Base;
    ColourRole bandRight = ColourRole::Base;
};

// View rows `first` to `last`, both included.
struct RowSpan {
    std::size_t first = 0;
    std::size_t last = 0;
};

// A run of changed rows on the overview strip, in view rows.
struct StripMark {
    std::size_t row = 0;
    std::size_t count = 0;
    RowKind kind = RowKind::Removed;  // Removed: the strip's left half; Added: its right half
};

class Session {
public:
    // `settingsFile` keeps the view and the options between runs; empty: nothing is kept. The
    // comparison was made under the options the front wants (LoadChoices); the view comes from
    // the file. Nothing is drawn until Open.
    Session(Comparison comparison, SessionView& view, std::filesystem::path settingsFile = {});

    // Draws the window for the first time and goes to the first difference.
    void Open();

    const Comparison& comparison() const { return edited_.comparison(); }
    View view() const { return view_; }
    const IgnoreOptions& options() const { return comparison().options(); }
    bool ShowsRows() const { return comparison().outcome() == Outcome::Text; }

    // Commands. Run does what the command's menu item does; Close closes an open bar first.
    bool Enabled(Command command) const;
    bool Checked(Command command) const;
    void Run(Command command);
    void SetView(View view);
    // A command with choices (CommandInfo::choices): which is checked, and picking one. For the
    // encodings: the file is read again in the one picked, staying at the same line as F5 does.
    std::size_t Chosen(Command command) const;
    void Choose(Command command, std::size_t index);
    // Compares again under other options; false when the user stopped it (nothing changed).
    bool SetOptions(const IgnoreOptions& options);
    void SetFindText(std::u16string text) { findText_ = std::move(text); }
    const std::u16string& findText() const { return findText_; }
    void Find(bool forward);
    // The number as the user typed it, in the first file's lines or the second's.
    void GoToLine(Side side, std::u16string_view typed);
    void Reload();
    // Whether the window may close now: with unsaved changes, asks 保存 / 保存しない / キャンセル
    // and saves on 保存. Both fronts call it from their close event; Close asks through it too.
    bool MayClose();
    // The front's watch saw one of the files change: the notice shows unless both files are as
    // this window last read or wrote them (its own save sets off the watch too).
    void FilesChanged();
    Bar bar() const { return bar_; }
    void CloseBar();

    // Editing a line in place: Command::EditLine (F2) edits the current row's line, a double
    // click the line of `viewRow` in `pane` (in the one list, a common row's line is the second
    // file's). The line is compared again as it is typed; a file too large to compare at each
    // key is compared when the edit ends. FinishEdit keeps the line (Enter, a click elsewhere)
    // or puts it back as it was (Esc); all of it is one step for undo.
    void EditAt(std::size_t viewRow, Side pane);
    void Typed(std::u16string_view text);
    void FinishEdit(bool keep);
    bool Editing() const { return edit_.has_value(); }

    // The current row: a click (side by side, in the pane clicked) or a key in the list.
    void SetCurrent(std::size_t viewRow, Side pane = Side::First);
    std::optional<std::size_t> CurrentRow() const { return current_; }  // a row of the list
    std::optional<std::size_t> CurrentViewRow() const;
    // The selected view rows, for Copy and Take: runs of rows, not a row each, so that all of a
    // list of millions of rows is selected at no cost.
    void SetSelection(std::vector<RowSpan> viewRows) { selection_ = std::move(viewRows); }

    // The rows of the view shown.
    std::size_t RowCount() const;
    const std::vector<Column>& Columns() const;
    Cell CellAt(std::size_t viewRow, std::size_t column) const;
    // A column's width in cells (without the front's margins): numbers by their digits, a
    // content column by the widest line (one list) or by the pane (side by side).
    std::size_t ColumnCells(std::size_t column) const;
    // Side by side: how many cells a pane shows; a longer line is shown around its first
    // difference.
    void SetPaneCells(std::size_t cells);
    // The widest line of a long comparison is measured beside the window, after its first paint
    // (SessionView::MeasuredInBackground); until then the content column is as wide as the lines
    // measured so far. Takes the measure in: true when the columns' widths changed.
    bool TakeMeasured();
    // The list rows a view row shows: one, or side by side one of each file.
    std::vector<std::size_t> ListRows(std::size_t viewRow) const;
    std::size_t ViewRowOf(std::size_t listRow) const;

    // The overview strip, `height` pixels high.
    std::vector<StripMark> StripMarks() const;
    int StripY(std::size_t viewRow, int height) const;
    // The view row a click at `y` lands on: the start of a difference near it, else the row there.
    std::size_t StripTarget(int y, int height) const;
    void ClickStrip(int y, int height);

    // Texts.
    std::u16string Title() const;
    // "第一: /tmp/旧.txt　(UTF-8)" and the same for the second file.
    std::u16string HeaderLine(Side side) const;
    // Instead of rows: identical, binary, or why the files could not be read (MessageIsError).
    std::u16string Message() const;
    bool MessageIsError() const { return comparison().outcome() == Outcome::Unreadable; }
    std::u16string CountText() const;
    std::u16string HiddenNote() const;
    const StatusMessage& status() const { return status_; }

private:
    // Reads the files again with the encodings `chosen`, staying where the window was; with
    // unsaved changes, asks first unless the user already chose to drop them.
    void ReadAgain(const ChosenEncodings& chosen, std::u16string said, bool askFirst = true);
    // A comparison read again, or none: the edited one changed.
    void Replace(std::optional<Comparison> again);
    // The rows changed under an edit, an undo or a redo: draw them, at the row it changed.
    void Edited(const EditResult& result, std::u16string said);
    void Take(Side from);
    // How a take, an undo or a redo runs its comparison: as the window runs long work.
    LongWork WindowsLongWork();
    // The line being edited becomes `text`; false when it could not (said why).
    bool ApplyTyped(std::u16string_view text);
    // Where a file's lines are shown in the view.
    std::size_t ContentColumn(Side side) const;
    // Saves the file when it is changed; false when it was not saved (failed, or not
    // overwritten after it changed on disk).
    bool SaveFile(Side side);
    bool SaveChanged();
    // Says how a save went, and what the window now knows of the file on disk.
    bool Saved(Side side, const SaveResult& result);
    // The question when a file changed on disk since it was read; false when it was not saved.
    bool AskOverwrite(Side side, const std::u16string& why);
    bool AnyChanged() const {
        return edited_.Changed(Side::First) || edited_.Changed(Side::Second);
    }
    // Before the files are read again: with unsaved changes, whether the user gives them up.
    bool MayDropChanges();
    void GoTo(std::size_t listRow);
    void Say(std::u16string text, StatusKind kind);
    void SaveChoices() const;
    const ShownLine& Shown(std::size_t row) const;
    std::size_t WidestLineCells() const;

    // Takes the identities of the files as the comparison read them, from the files it read.
    void StampFiles();

    EditedComparison edited_;
    // What the window knows of each file on disk: its size and time as it read or wrote it last;
    // none when there was no file.
    std::optional<FileIdentity> stamps_[2];
    bool mayClose_ = false;  // the user agreed to close
    SessionView& window_;
    std::filesystem::path settingsFile_;
    View view_ = View::List;
    SideBySide side_;
    std::optional<std::size_t> current_;
    Side pane_ = Side::First;  // side by side: the pane of the current row
    struct LineEdit {
        std::size_t row;  // the line's list row now
        Side side;
        std::u16string typed;  // the editor's text
        bool applied = true;   // `typed` is in the file
        bool changed = false;  // the line was written at least once
    };
    std::optional<LineEdit> edit_;
    bool liveTyping_ = true;  // compare at each key: false once one comparison took too long
    std::vector<RowSpan> selection_;
    std::u16string findText_;
    Bar bar_ = Bar::None;
    StatusMessage status_;
    std::size_t paneCells_ = 80;
    // The widest line's cells; while `measuring_` runs, those of the rows measured so far, or of
    // the rows before an edit or a reload changed them.
    mutable std::size_t widestCells_ = 0;
    mutable bool widestMeasured_ = false;
    mutable std::unique_ptr<MeasureInBackground<std::size_t>> measuring_;
    mutable std::unordered_map<std::size_t, ShownLine> shown_;  // the rows drawn lately
};

}  // namespace viewer

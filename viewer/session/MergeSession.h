// What the three-way merge window does, toolkit-neutral: it owns the three files and the result,
// starting as the automatic merge (Merge.h), unsaved; it moves between the changes and the
// conflicts, takes a side into the result, edits a result line, undoes and redoes, and saves the
// result where it is to go. The front draws one grid: a row of each file and of the result side
// by side, each change's rows aligned, and calls it on each event. Texts and colours are its own;
// the window it draws through is the two-way window's SessionView.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Arguments.h"
#include "Ignore.h"
#include "ListLayout.h"
#include "Look.h"
#include "Merge.h"
#include "MeasureInBackground.h"
#include "MergeCommands.h"
#include "MergeWidest.h"
#include "SessionView.h"
#include "TextDecode.h"

namespace viewer {

// One of the merge's files, read whole.
struct MergeFile {
    std::filesystem::path path;
    std::filesystem::path label;  // -L; empty: the path names it
    std::string bytes;
    DetectedEncoding encoding;
    std::filesystem::path Name() const { return label.empty() ? path : label; }
};

struct MergeSources {
    MergeFile mine;
    MergeFile base;
    MergeFile theirs;
    std::filesystem::path output;            // where the result is saved
    std::optional<std::string> outputBytes;  // what was there when the files were read
};

// Reads the files the command line names; none, with why in `why`, when one cannot be read or
// is in UTF-16 (whose lines the merge cannot cut byte-wise).
std::optional<MergeSources> ReadMergeSources(const Arguments& arguments, std::u16string& why);

// The files read, cut into lines and merged: the heavy part of a merge window's start, worked
// out before the window (RunningMerge.h: on a thread of its own while the toolkit starts). The
// lines are views of the files' bytes, so it stays where it was made.
struct MergedFiles {
    MergedFiles() = default;
    MergedFiles(const MergedFiles&) = delete;
    MergedFiles& operator=(const MergedFiles&) = delete;

    MergeSources sources;
    std::vector<std::string_view> lines[3];  // MINE's, BASE's and THEIRS' lines
    std::vector<MergeChunk> chunks;

    // Cuts the files' bytes into lines and merges them anew. Throws Cancelled once `cancel` is
    // set.
    void Merge(const CancelFlag* cancel = nullptr);
};
std::unique_ptr<MergedFiles> Merged(MergeSources sources, const CancelFlag* cancel = nullptr);

// The grid's columns, in order.
enum class MergeColumn : std::uint8_t {
    Mark,  // "<" MINE's change, ">" THEIRS', "=" both alike, "!" a conflict unresolved, "*" one
           // resolved
    MineNumber,
    Mine,
    BaseNumber,
    Base,
    TheirsNumber,
    Theirs,
    ResultNumber,
    Result,
};
constexpr std::size_t kMergeColumns = 9;

struct MergeCell {
    std::u16string text;
    bool empty = true;  // no line of this file on this row
    ColourRole background = ColourRole::Base;
    std::vector<MarkSpan> byteMarks;  // bytes not valid in the file's encoding, as Cell's
};

// A change on the overview strip, in rows, in its row colour.
struct MergeStripMark {
    std::size_t row = 0;
    std::size_t count = 0;
    ColourRole colour = ColourRole::Base;
};

// The go-to-line bar's choice of numbering, in its order: "自分の行", "共通の元の行", ….
struct MergeLineFile {
    MergeColumn file;
    std::u16string label;
};
const std::vector<MergeLineFile>& MergeLineFiles();

class MergeSession {
public:
    // The ignore options are read from `settingsFile` (Settings.h), and written back to it when
    // they change; none, the defaults, kept for this window only.
    MergeSession(std::unique_ptr<MergedFiles> merged, SessionView& view,
                 std::filesystem::path settingsFile = {});
    // The same, merged here.
    MergeSession(MergeSources sources, SessionView& view, std::filesystem::path settingsFile = {});

    // Draws the window, watches the three files and goes to the first conflict (else the first
    // change).
    void Open();
    // One of the watched files may have changed: when one no longer holds what was read (or, the
    // output, what was saved), the window shows the notice, whose button runs Reload.
    void FilesChanged();

    bool Enabled(MergeCommand command) const;
    void Run(MergeCommand command);
    // A command with choices (MergeCommandInfo::choices): which is checked, and picking one. For
    // the encodings: the file is shown in the one picked (EncodingChoices(), 0 found from its
    // bytes); MINE's is also the one its edited lines are written in. Its bytes stay as read.
    std::size_t Chosen(MergeCommand command) const;
    // A checkable command (the ignore options): whether it is on. Under the options a change
    // whose lines differ from BASE's only as they overlook is drawn, and passed over, as common;
    // the result is not touched, and a conflict is always shown.
    bool Checked(MergeCommand command) const;
    const IgnoreOptions& options() const { return options_; }
    void Choose(MergeCommand command, std::size_t index);

    // The grid.
    std::size_t RowCount() const { return rowStart_.back(); }
    std::u16string ColumnTitle(MergeColumn column) const;
    MergeCell CellAt(std::size_t row, MergeColumn column) const;
    // A number column's width in digits, the widest number it shows.
    std::size_t NumberCells(MergeColumn column) const;
    // Every column's width in pixels for the list measured (ColumnWidths): the mark and the
    // numbers as wide as they need; the four files sharing the rest alike, and a file whose
    // longest line needs more as wide as that line, so that the list scrolls sideways to the end
    // of any line.
    // Files of more than a few MiB together are measured beside the window, after its first
    // paint (SessionView::MeasuredInBackground); until then each file's column is as wide as its
    // first lines.
    std::array<int, kMergeColumns> ColumnWidths(const ListMetrics& metrics) const;
    // Takes that measure in: true when the columns' widths changed.
    bool TakeMeasured();
    std::optional<std::size_t> CurrentRow() const { return currentRow_; }
    void SetCurrent(std::size_t row);

    // The overview strip, `height` pixels high.
    std::vector<MergeStripMark> StripMarks() const;
    int StripY(std::size_t row, int height) const;
    void ClickStrip(int y, int height);

    // Editing a result line in place, as the two-way window's (SessionView::OpenEditor): the
    // front calls Typed on each change and FinishEdit when it ends.
    void Typed(std::u16string_view text) { typed_ = text; }
    void FinishEdit(bool keep);
    bool Editing() const { return editRow_.has_value(); }

    // Find: the text of the find bar, and the next (or previous) row where any of the four files'
    // lines holds it, case aside, from the current row round to it.
    void SetFindText(std::u16string text) { findText_ = std::move(text); }
    const std::u16string& findText() const { return findText_; }
    void Find(bool forward);
    // Go to line: the number as typed, in the numbering of `file` (Mine, Base, Theirs or Result).
    void GoToLine(MergeColumn file, std::u16string_view typed);
    Bar bar() const { return bar_; }
    void CloseBar();

    // Whether the window may close now: an unsaved result asks 保存 / 保存しない / キャンセル.
    bool MayClose();
    // The program's exit code: 0 when the result was saved with no conflict left, else 1.
    int ExitCode() const { return savedClean_ ? 0 : 1; }

    std::u16string Title() const;
    // "自分: /tmp/a.c　(UTF-8)", and the same for the other files and the result.
    std::u16string HeaderLine(MergeColumn column) const;
    // "未解決の競合 3 件", or that none is left.
    std::u16string CountText() const;
    const StatusMessage& status() const { return status_; }
    int UnresolvedConflicts() const;
    bool Changed() const { return !saved_ || *saved_ != resolutions_; }
    // The result as a save writes it now: unresolved conflicts in their markers.
    std::string ResultBytes() const;

private:
    enum class How : std::uint8_t { Auto, Mine, Theirs, Both, Base, Edited };
    struct Resolution {
        How how = How::Auto;
        // Edited and Both: the chunk's lines (Both: a last line of MINE's without its end given
        // one)
        std::shared_ptr<const std::vector<std::string>> lines;
        bool operator==(const Resolution&) const = default;
    };
    using Resolutions = std::vector<Resolution>;

    // The result's lines for chunk `c`, as the bytes they are; one of them, and how many.
    std::vector<std::string_view> ResultLines(std::size_t c) const;
    std::optional<std::string_view> ResultLine(std::size_t c, std::size_t at) const;
    std::size_t ResultCount(std::size_t c) const;
    // An unresolved conflict's marker text, cut into lines; made when first asked for.
    const std::vector<std::string_view>& MarkerLines(std::size_t c) const;
    // Whether chunk `c` is a change as drawn: not common, nor overlooked under the options.
    bool IsChange(std::size_t c) const {
        return chunks_[c].kind != MergeKind::Same && !overlooked_[c];
    }
    void Overlook();
    bool Unresolved(std::size_t c) const {
        return chunks_[c].kind == MergeKind::Conflict && resolutions_[c].how == How::Auto;
    }
    std::size_t ChunkOf(std::size_t row) const;
    // The cells of the longest line of MINE (0), BASE (1), THEIRS (2) or the result (3); while
    // `measuring_` runs, of the lines measured so far.
    std::size_t WidestCells(int file) const;
    void MeasureWidest() const;
    void StopMeasuring();
    void Layout();
    void Change(Resolutions next, std::u16string said);
    std::optional<std::size_t> CurrentChange() const;
    void Take(How how);
    void TakeForAll(How how);
    void Reload();
    void Move(bool forward, bool conflictsOnly);
    void GoToChunk(std::size_t c);
    void GoToFirst();  // the first conflict, else the first change
    void EditLine();
    void Copy();
    bool Save();
    void Say(std::u16string text, StatusKind kind);
    std::u16string Shown(const MergeFile& file, std::string_view line, bool first,
                         std::vector<MarkSpan>* byteMarks) const;

    std::unique_ptr<MergedFiles> merged_;
    // Its parts, by their short names.
    MergeSources& sources_ = merged_->sources;
    std::vector<std::string_view> (&lines_)[3] = merged_->lines;
    std::vector<MergeChunk>& chunks_ = merged_->chunks;
    std::string lineEnd_ = "\n";  // the markers' line end: MINE's
    Resolutions resolutions_;
    std::vector<Resolutions> undo_;
    std::vector<Resolutions> redo_;
    std::optional<Resolutions> saved_;    // as last saved; none before the first save
    bool savedClean_ = false;             // the last save left no conflict
    std::optional<std::string> written_;  // what the last save wrote
    bool mayClose_ = false;
    // Where each chunk's rows begin (one more at the end: the row count), and its result lines.
    std::vector<std::size_t> rowStart_{0};
    std::vector<std::size_t> resultStart_{0};
    // Unresolved conflicts' marker text as drawn, made when first drawn.
    struct Markers {
        std::string text;
        std::vector<std::string_view> lines;
    };
    mutable std::unordered_map<std::size_t, std::unique_ptr<Markers>> markers_;
    std::optional<std::size_t> currentRow_;
    std::optional<std::size_t> editRow_;
    std::u16string typed_;
    std::u16string findText_;
    std::filesystem::path settingsFile_;
    IgnoreOptions options_;
    std::vector<bool> overlooked_;       // each chunk: a change the options overlook
    std::size_t chosen_[3] = {0, 0, 0};  // MINE's, BASE's and THEIRS' encoding choices
    Bar bar_ = Bar::None;
    SessionView& window_;
    StatusMessage status_;
    mutable std::size_t widest_[3] = {0, 0, 0};  // WidestCells of MINE, BASE and THEIRS
    mutable bool widestMeasured_ = false;        // of all their lines
    // Last: its thread reads the files' lines.
    mutable std::unique_ptr<MeasureInBackground<std::array<std::size_t, 3>>> measuring_;
};

}  // namespace viewer

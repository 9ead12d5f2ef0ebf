// What a folder window does, toolkit-neutral: it runs the folder comparison off the window's
// thread and answers what to draw: the rows of the list (a tree of relative paths, folders
// collapsible, hidden by the filters), each row's state with its colour and mark, the header,
// title, status and progress texts, and the file pair that Enter opens. The front polls it when
// the comparison wakes it, and draws what it says.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Comparison.h"
#include "FolderCompare.h"
#include "FolderFilters.h"
#include "Side.h"
#include "Look.h"

namespace viewer {

// How a state looks, the same on both fronts: the first folder red and the second blue, as the
// file view has them, and a mark beside the colour for readers who cannot tell colours apart.
struct FolderLook {
    std::u16string mark;  // "<!" only in the first, "!>" only in the second, ...
    std::u16string text;  // "第一だけ"
    Rgb background;
};
FolderLook LookOf(FolderState state);

struct FolderRow {
    std::size_t entry = 0;   // the index among the comparison's entries
    std::int32_t depth = 0;  // the name is indented by it
    bool folder = false;     // a folder on either side: it holds rows
    bool expanded = false;   // a folder's rows are shown
    std::u16string name;     // "Readme.txt", or "Readme.txt ⇔ README.txt" when only case differs
    std::u16string state;  // "相違", "読めません: 第一: アクセスが拒否されました", ...
    std::u16string mark;
    Rgb background;
    std::u16string first;  // what the first folder has there: "ファイル 1,234 バイト", "なし"
    std::u16string second;  // the same for the second
};

// The name as the list's tree shows it: indented by depth, a folder with its mark ("- " open,
// "+ " closed).
std::u16string TreeText(const FolderRow& row);

// The list's columns: the mark, 名前, 状態, 第一, 第二.
inline constexpr std::u16string_view kFolderColumns[] = {u"", u"名前", u"状態", u"第一", u"第二"};
// The filters' controls.
inline constexpr std::u16string_view kHideSameLabel = u"同じものを隠す";
inline constexpr std::u16string_view kNamePatternLabel = u"隠す名前:";
inline constexpr std::u16string_view kNamePatternPlaceholder = u".git;*.o";

// The two files Enter opens for a row. An absent side (a file in one folder only) is the
// other folder's name for it, compared as an empty file, that a save makes; the labels name
// each file in the file view's header.
struct FilePair {
    std::filesystem::path first;
    std::filesystem::path second;
    MissingSides missing;
    std::filesystem::path firstLabel;   // "a/src/x.c"
    std::filesystem::path secondLabel;  // "b/src/x.c"
};

// What Enter or a double click on a row does: nothing, a folder opened or closed (redraw the
// list), or a file pair to compare: the front runs `compare` with its progress and shows the
// comparison it gives (none when the user stopped it).
// A key that is not the list's where it was pressed (PassOn) goes on to the control.
struct RowAction {
    enum class Kind : std::uint8_t { Nothing, Redraw, Compare, PassOn } kind = Kind::Nothing;
    std::function<Comparison(const CancelFlag*)> compare;
};

// The keys of the folder list's page, as both fronts pass them on (without Ctrl, Shift or Alt):
// Esc stops the comparison, F5 compares again (anywhere on the page); Enter opens the current
// row, Left and Right close and open its folder (in the list).
enum class FolderKey : std::uint8_t { Escape, F5, Enter, Left, Right };

class FolderSession {
public:
    // Starts the comparison at once. `wake`, when given, is called on the comparison's thread
    // when there is news: the front posts itself a message and calls Poll on its own thread.
    FolderSession(std::filesystem::path first, std::filesystem::path second,
                  FolderFilters filters = {}, std::function<void()> wake = {});
    ~FolderSession();
    FolderSession(const FolderSession&) = delete;
    FolderSession& operator=(const FolderSession&) = delete;

    // Takes what the comparison found since the last poll; true when there is something to
    // draw anew.
    bool Poll();
    // Esc, or a window that closes: the comparison stops at once; what was found stays.
    void Stop();
    bool Running() const { return !finished_; }
    // Until the comparison has ended, and everything it found is taken (tests, the command line).
    void WaitAndPoll();

    // The rows shown, in the list's order.
    std::size_t RowCount() const { return shown_.size(); }
    FolderRow Row(std::size_t row) const;
    // The row of an entry where it is shown; nothing when it is hidden.
    std::optional<std::size_t> RowOfEntry(std::size_t entry) const;
    // A folder's rows shown or hidden (Left, Right, a click on its arrow); folders open at first.
    void SetExpanded(std::size_t row, bool expanded);
    // The file pair behind a row, for Enter and a double click: files on both sides, or a file
    // in one folder only; nothing for folders and everything else.
    std::optional<FilePair> PairAt(std::size_t row) const;
    // Enter or a double click on `row`: a pair is compared under the options kept in
    // `settingsFile`, with the labels of the pair.
    RowAction Activate(std::size_t row, const std::filesystem::path& settingsFile);

    // The list's cell `column` (of kFolderColumns) of a row: the mark, the name in its tree, the
    // state, what each folder has there.
    std::u16string CellAt(std::size_t row, std::size_t column) const;

    // The current row, as the list has it (a click, the arrows).
    void SetCurrent(std::size_t row);
    // Where the current row is after the rows changed (news, filters, a folder closed): on the
    // same entry, or, when that is hidden, on the row nearest to where it was; the first at
    // first; none while there are no rows.
    std::optional<std::size_t> CurrentRow() const;

    // What a key does (FolderKey), on the current row.
    RowAction Key(FolderKey key, const std::filesystem::path& settingsFile);

    // Back from the file view of the pair Activate opened: its files are compared again (a save
    // there may have changed or made one), and its row, the folders above it and the counts
    // follow. True when something changed (redraw the list).
    bool PairClosed();
    // F5: the folders compared again from the start; the folders closed stay closed.
    void CompareAgain();

    const FolderFilters& filters() const { return filters_; }
    void SetFilters(FolderFilters filters);
    // The user's filters: shown at once and kept in `settingsFile` (empty: nowhere).
    void ChangeFilters(FolderFilters filters, const std::filesystem::path& settingsFile);

    // Texts.
    // "a ⇔ b — 相違 12 件 — 第一だけ 3 — 第二だけ 5 — Diff-Zarvo ビューアー".
    std::u16string Title() const;
    // "第一: /tmp/a" and "第二: /tmp/b".
    std::u16string HeaderLine(Side side) const;
    // The counts, and what the filters hide: "相違 12 件 — 第一だけ 3 — 第二だけ 5".
    std::u16string CountText() const;
    // "同じ 40 件と、名前で 3 件を表示していません"; empty when nothing is hidden.
    std::u16string HiddenNote() const;
    // "比較中… 1,234 項目、ファイル 56 組 (12.5 MB)", then how it ended.
    std::u16string ProgressText() const;
    // Why the comparison could not start (a folder given could not be read); empty otherwise.
    const std::u16string& error() const { return error_; }

    const std::vector<FolderEntry>& entries() const { return entries_; }

private:
    // A folder's state from what it holds, after one of its entries changed; up to the top.
    void FollowUp(std::int32_t folder);
    bool NamedOut(std::size_t entry) const;  // by the name pattern
    bool Hidden(std::size_t entry) const;    // by a filter
    void Reshow();

    std::filesystem::path firstFolder_;
    std::filesystem::path secondFolder_;
    FolderFilters filters_;
    std::vector<FolderEntry> entries_;
    std::vector<bool> collapsed_;                     // by entry: a folder whose rows are hidden
    std::vector<std::filesystem::path> closedAgain_;  // folders closed before F5, to close again
    std::vector<std::size_t> shown_;
    FolderProgress progress_;
    bool finished_ = false;
    FolderEnd end_ = FolderEnd::Done;
    std::u16string error_;
    std::optional<std::size_t> opened_;  // the entry whose pair the file view shows
    std::optional<std::size_t> currentEntry_;
    std::size_t currentRow_ = 0;  // where it was shown when the list last said
    std::function<void()> wake_;
    std::unique_ptr<FolderComparison> comparison_;
};

}  // namespace viewer

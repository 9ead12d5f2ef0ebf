#include "Session.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "Cells.h"
#include "ComparisonWording.h"
#include "FolderList.h"
#include "LineNumber.h"
#include "TextDecode.h"
#include "Wording.h"
#include "EncodingWords.h"

namespace viewer {

Session::Session(Comparison comparison, SessionView& view, std::filesystem::path settingsFile)
    : edited_(std::move(comparison)),
      window_(view),
      settingsFile_(std::move(settingsFile)),
      view_(LoadChoices(settingsFile_).view) {
    if (view_ == View::SideBySide) side_ = SideBySide(edited_.comparison().rows());
}

void Session::Open() {
    StampFiles();
    window_.SetTitle(Title());
    window_.WatchFiles({comparison().first().path, comparison().second().path});
    window_.Redraw();
    // Open where the files part, as every comparison tool does.
    if (ShowsRows() && !comparison().differenceStarts().empty()) {
        GoTo(comparison().differenceStarts().front());
    } else {
        window_.ShowStatus(status_);
    }
}

bool Session::Enabled(Command command) const {
    switch (command) {
        case Command::Reload:
        case Command::Close:
            return true;
        case Command::TakeToSecond:
        case Command::TakeToFirst:
            // A file that cannot be edited still offers the command: running it says why.
            return ShowsRows() && !comparison().differenceStarts().empty();
        case Command::Undo:
            return edited_.CanUndo();
        case Command::Redo:
            return edited_.CanRedo();
        case Command::Save:
            return AnyChanged();
        case Command::SaveFirst:
            return edited_.Changed(Side::First);
        case Command::SaveSecond:
            return edited_.Changed(Side::Second);
        case Command::EncodingFirst:
        case Command::EncodingSecond:
            // A file called binary may be UTF-16 read as text once chosen.
            return comparison().outcome() == Outcome::Text ||
                   comparison().outcome() == Outcome::Binary;
        default:
            return ShowsRows();
    }
}

bool Session::Checked(Command command) const {
    const IgnoreOptions& o = comparison().options();
    switch (command) {
        case Command::SideBySide:
            return view_ == View::SideBySide;
        case Command::IgnoreTrailingBlanks:
            return o.trailingBlanks;
        case Command::IgnoreAllBlanks:
            return o.allBlanks;
        case Command::IgnoreBlankLines:
            return o.blankLines;
        case Command::IgnoreCase:
            return o.letterCase;
        case Command::IgnoreLineEnds:
            return o.lineEnds;
        default:
            return false;
    }
}

std::size_t Session::Chosen(Command command) const {
    const std::optional<Encoding> chosen = command == Command::EncodingFirst
                                               ? comparison().chosen().first
                                               : comparison().chosen().second;
    const std::vector<EncodingChoice> choices = EncodingChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].encoding == chosen) return i;
    }
    return 0;
}

void Session::Choose(Command command, std::size_t index) {
    const std::vector<EncodingChoice> choices = EncodingChoices();
    const bool first = command == Command::EncodingFirst;
    if (!Enabled(command) || (!first && command != Command::EncodingSecond) ||
        index >= choices.size() || index == Chosen(command)) {
        return;
    }
    status_ = {};
    ChosenEncodings chosen = comparison().chosen();
    (first ? chosen.first : chosen.second) = choices[index].encoding;
    ReadAgain(chosen, (first ? u"第一のファイルを「" : u"第二のファイルを「") +
                          choices[index].label + u"」で読み直しました");
}

void Session::Run(Command command) {
    if (!Enabled(command)) return;
    if (command == Command::EditLine && edit_) return;
    FinishEdit(true);
    status_ = {};
    const auto toggled = [&](bool IgnoreOptions::*flag) {
        IgnoreOptions options = comparison().options();
        options.*flag = !(options.*flag);
        SetOptions(options);
    };
    switch (command) {
        case Command::NextDifference:
            if (const auto next = comparison().NextDifference(current_)) return GoTo(*next);
            return Say(u"これより後に相違はありません", StatusKind::Info);
        case Command::PreviousDifference:
            if (const auto previous = comparison().PreviousDifference(current_)) {
                return GoTo(*previous);
            }
            return Say(u"これより前に相違はありません", StatusKind::Info);
        case Command::FirstDifference:
            if (comparison().differenceStarts().empty())
                return Say(u"相違はありません", StatusKind::Info);
            return GoTo(comparison().differenceStarts().front());
        case Command::LastDifference:
            if (comparison().differenceStarts().empty())
                return Say(u"相違はありません", StatusKind::Info);
            return GoTo(comparison().differenceStarts().back());
        case Command::Find:
            bar_ = Bar::Find;
            return window_.ShowBar(bar_);
        case Command::GoToLine:
            bar_ = Bar::Line;
            return window_.ShowBar(bar_);
        case Command::FindNext:
            return Find(true);
        case Command::FindPrevious:
            return Find(false);
        case Command::Copy: {
            std::vector<std::size_t> rows;
            // Side by side, a row holds a line of each file: both are copied, in the list's order.
            const std::size_t count = RowCount();
            for (const RowSpan& span : selection_) {
                for (std::size_t viewRow = span.first; viewRow <= span.last && viewRow < count;
                     ++viewRow) {
                    if (view_ == View::List) {
                        rows.push_back(viewRow);
                        continue;
                    }
                    for (const std::size_t row : ListRows(viewRow)) rows.push_back(row);
                }
            }
            if (!std::is_sorted(rows.begin(), rows.end())) std::sort(rows.begin(), rows.end());
            rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
            if (rows.empty()) return Say(u"コピーする行を選んでください", StatusKind::Warning);
            std::size_t strayBytes = 0, nuls = 0;
            window_.CopyToClipboard(comparison().CopyText(rows, &strayBytes, &nuls));
            const std::u16string copied = Number(rows.size()) + u" 行をコピーしました";
            if (strayBytes == 0 && nuls == 0) return Say(copied, StatusKind::Info);
            // A byte that is no character, and a NUL, cannot go to the clipboard as they are.
            std::u16string replaced;
            if (strayBytes > 0) replaced = u"文字にならないバイト " + Number(strayBytes) + u" 個";
            if (strayBytes > 0 && nuls > 0) replaced += u"と";
            if (nuls > 0) replaced += u"クリップボードに入らない NUL " + Number(nuls) + u" 個";
            return Say(copied + u"（" + replaced + u"は「\uFFFD」(U+FFFD) にしました）",
                       StatusKind::Warning);
        }
        case Command::TakeToSecond:
            return Take(Side::First);
        case Command::TakeToFirst:
            return Take(Side::Second);
        case Command::EditLine:
            if (const auto row = CurrentViewRow()) return EditAt(*row, pane_);
            return Say(u"編集する行を選んでください", StatusKind::Warning);
        case Command::Undo:
            return Edited(edited_.Undo(WindowsLongWork()), u"元に戻しました");
        case Command::Redo:
            return Edited(edited_.Redo(WindowsLongWork()), u"やり直しました");
        case Command::Save:
            SaveChanged();
            return;
        case Command::SaveFirst:
            SaveFile(Side::First);
            return;
        case Command::SaveSecond:
            SaveFile(Side::Second);
            return;
        case Command::Reload:
            return Reload();
        case Command::Close:
            // The innermost thing first: an open bar, then the window.
            if (bar_ != Bar::None) return CloseBar();
            if (MayClose()) window_.CloseWindow();
            return;
        case Command::SideBySide:
            return SetView(view_ == View::SideBySide ? View::List : View::SideBySide);
        case Command::IgnoreTrailingBlanks:
            return toggled(&IgnoreOptions::trailingBlanks);
        case Command::IgnoreAllBlanks:
            return toggled(&IgnoreOptions::allBlanks);
        case Command::IgnoreBlankLines:
            return toggled(&IgnoreOptions::blankLines);
        case Command::IgnoreCase:
            return toggled(&IgnoreOptions::letterCase);
        case Command::IgnoreLineEnds:
            return toggled(&IgnoreOptions::lineEnds);
        case Command::EncodingFirst:
        case Command::EncodingSecond:
            return;
    }
}

void Session::SetView(View view) {
    if (view == view_) return;
    FinishEdit(true);
    view_ = view;
    side_ = view == View::SideBySide ? SideBySide(comparison().rows()) : SideBySide();
    shown_.clear();
    SaveChoices();
    window_.Redraw();
    if (current_) GoTo(*current_);
}

bool Session::SetOptions(const IgnoreOptions& options) {
    if (options == comparison().options()) return true;
    FinishEdit(true);
    const bool hadCurrent = current_.has_value();
    const Row before = hadCurrent ? comparison().rows()[*current_] : Row{};
    std::optional<Comparison> redone =
        window_.RunLong([earlier = comparison(), options](const CancelFlag* cancel) mutable {
            earlier.Rediff(options, cancel);
            return earlier;
        });
    if (!redone) {
        window_.Redraw();  // the menu's tick back as it was
        return false;
    }
    if (edited_.CanUndo() || edited_.CanRedo()) {
        // The edits and their undo stay: the edited lines compared again under the options.
        edited_.Rediffed(std::move(*redone));
        Replace(std::nullopt);
    } else {
        Replace(std::move(*redone));
    }
    SaveChoices();
    window_.SetTitle(Title());
    window_.Redraw();
    // Stay on the same line of the first file (or the second, for an added line).
    if (hadCurrent) {
        const bool inFirst = before.first >= 0;
        if (const auto row = comparison().RowOfLine(inFirst ? Side::First : Side::Second,
                                                    (inFirst ? before.first : before.second) + 1)) {
            return GoTo(*row), true;
        }
    }
    window_.ShowStatus(status_);
    return true;
}

void Session::Find(bool forward) {
    status_ = {};
    if (findText_.empty()) {
        bar_ = Bar::Find;
        return window_.ShowBar(bar_);
    }
    // From the row found last, whichever pane shows it: side by side, the next match after one
    // in the right pane is searched for after that row, not again from the left one.
    const auto found = comparison().Find(findText_, current_, forward);
    if (!found) return Say(u"「" + findText_ + u"」は見つかりません", StatusKind::Warning);
    GoTo(*found);
}

void Session::GoToLine(Side side, std::u16string_view typed) {
    status_ = {};
    const std::optional<std::int64_t> number = ParseLineNumber(typed);
    const std::optional<std::size_t> row =
        number ? comparison().RowOfLine(side, *number) : std::nullopt;
    if (!row) return Say(u"その行はありません", StatusKind::Warning);
    GoTo(*row);
}

void Session::Reload() { ReadAgain(comparison().chosen(), u"再読み込みしました"); }

void Session::ReadAgain(const ChosenEncodings& chosen, std::u16string said, bool askFirst) {
    FinishEdit(true);
    // Kept: Redraw puts the encoding menu's tick back as it was.
    if (askFirst && !MayDropChanges()) return window_.Redraw();
    const std::optional<Row> before =
        current_ ? std::optional<Row>(comparison().rows()[*current_]) : std::nullopt;
    std::optional<Comparison> again =
        window_.RunLong([earlier = comparison(), chosen](const CancelFlag* cancel) {
            return CompareAgain(earlier, chosen, cancel);
        });
    if (!again) return;
    Replace(std::move(*again));
    StampFiles();
    window_.ShowChangeNotice(false);
    window_.WatchFiles({comparison().first().path, comparison().second().path});
    window_.SetTitle(Title());
    window_.Redraw();
    status_ = {std::move(said), StatusKind::Info};
    if (const auto row = ShowsRows() ? comparison().RowToKeep(before) : std::nullopt) {
        return GoTo(*row);
    }
    window_.ShowStatus(status_);
}

void Session::FilesChanged() {
    if (IdentityOf(comparison().first().path) == stamps_[0] &&
        IdentityOf(comparison().second().path) == stamps_[1]) {
        return;
    }
    window_.ShowChangeNotice(true);
}

void Session::StampFiles() {
    // Not asked again now: a change made since the files were read must show as one.
    stamps_[0] = comparison().first().identity;
    stamps_[1] = comparison().second().identity;
}

void Session::CloseBar() {
    bar_ = Bar::None;
    window_.ShowBar(bar_);
}

void Session::SetCurrent(std::size_t viewRow, Side pane) {
    pane_ = pane;
    if (viewRow >= RowCount() || CurrentViewRow() == viewRow) return;
    std::optional<std::size_t> row;
    if (view_ == View::List) {
        row = viewRow;
    } else {
        const SideRow pair = side_[viewRow];
        row = pane == Side::Second && pair.right ? pair.right : pair.left ? pair.left : pair.right;
    }
    current_ = row;
    status_ = {};
    window_.ShowStatus(status_);
}

std::optional<std::size_t> Session::CurrentViewRow() const {
    if (!current_) return std::nullopt;
    return ViewRowOf(*current_);
}

void Session::Replace(std::optional<Comparison> again) {
    if (again) edited_ = EditedComparison(std::move(*again));
    if (view_ == View::SideBySide) side_ = SideBySide(comparison().rows());
    shown_.clear();
    widestMeasured_ = false;
    measuring_.reset();
    selection_.clear();
    if (current_ && *current_ >= comparison().rows().size()) current_.reset();
}

void Session::Take(Side from) {
    // The differences the selected rows touch are those between the first row's first line and
    // the last row's last: the rows between need not be looked at one by one.
    std::optional<std::size_t> first, last;
    bool oneLine = true;
    for (const RowSpan& span : selection_) {
        const std::vector<std::size_t> head = ListRows(span.first);
        const std::vector<std::size_t> tail = ListRows(std::min(span.last, RowCount() - 1));
        if (head.empty() || tail.empty()) continue;
        const auto [low, high] = std::minmax_element(head.begin(), head.end());
        const std::size_t end = *std::max_element(tail.begin(), tail.end());
        if (first || span.last > span.first || head.size() > 1) oneLine = false;
        first = std::min(first.value_or(*low), *low);
        last = std::max({last.value_or(end), end, *high});
    }
    // One row selected is the current one: its whole difference goes across.
    if (oneLine && current_) first = last = *current_;
    if (!first) return Say(u"取り込む相違を選んでください", StatusKind::Warning);
    Edited(edited_.Take(from, *first, *last, WindowsLongWork()),
           from == Side::First ? u"第二のファイルへ取り込みました"
                               : u"第一のファイルへ取り込みました");
}

LongWork Session::WindowsLongWork() {
    // The files compared again after an edit, as long as that takes, with the window's progress:
    // stopped, the edit is not made.
    return [this](const std::function<Comparison(const CancelFlag*)>& work) {
        return window_.RunLong(work);
    };
}

void Session::EditAt(std::size_t viewRow, Side pane) {
    FinishEdit(true);
    if (!ShowsRows() || viewRow >= RowCount()) return;
    SetCurrent(viewRow, pane);
    status_ = {};
    std::size_t row = viewRow;
    Side side = pane;
    if (view_ == View::SideBySide) {
        const SideRow pair = side_[viewRow];
        const std::optional<std::size_t> shown = side == Side::First ? pair.left : pair.right;
        if (!shown) {
            return Say(side == Side::First ? u"ここに第一のファイルの行はありません"
                                           : u"ここに第二のファイルの行はありません",
                       StatusKind::Warning);
        }
        row = *shown;
    } else {
        const Row r = comparison().rows()[row];
        // A common row is the second file's line, unless only the first can be edited.
        side = r.second < 0 || (r.first >= 0 && !edited_.WhyReadOnly(Side::Second).editable() &&
                                edited_.WhyReadOnly(Side::First).editable())
                   ? Side::First
                   : Side::Second;
    }
    if (const ReadOnly& why = edited_.WhyReadOnly(side); !why.editable()) {
        return Say((side == Side::First ? u"第一のファイルは編集できません（"
                                        : u"第二のファイルは編集できません（") +
                       ReadOnlyText(why) + u"）",
                   StatusKind::Warning);
    }
    std::optional<std::u16string> text = edited_.EditableText(row, side);
    if (!text) {
        return Say(u"この行には文字として読めないバイトがあるため、編集できません",
                   StatusKind::Warning);
    }
    edit_ = LineEdit{row, side, *text};
    // Past this many rows one comparison takes longer than a key: compare when the edit ends.
    liveTyping_ = comparison().rows().size() <= 50000;
    current_ = row;
    window_.OpenEditor(ViewRowOf(row), ContentColumn(side), *text);
    Say(u"Enter で確定、Esc で取り消し", StatusKind::Info);
}

void Session::Typed(std::u16string_view text) {
    if (!edit_ || text == edit_->typed) return;
    edit_->typed = text;
    edit_->applied = false;
    if (!liveTyping_) return;
    if (ApplyTyped(text)) window_.MoveEditor(ViewRowOf(edit_->row));
}

bool Session::ApplyTyped(std::u16string_view text) {
    const auto start = std::chrono::steady_clock::now();
    const EditResult result = edited_.EditLine(edit_->row, edit_->side, text);
    // Typing must never wait on a comparison: one this slow, and the rest is compared when the
    // edit ends.
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300)) {
        liveTyping_ = false;
    }
    if (!result.done) {
        Say(EditText(result, edited_), StatusKind::Warning);
        return false;
    }
    edit_->row = result.row.value_or(edit_->row);
    edit_->applied = true;
    edit_->changed = true;
    Replace(std::nullopt);
    current_ = edit_->row;
    window_.SetTitle(Title());
    window_.Redraw();
    if (status_.kind == StatusKind::Warning) Say(u"Enter で確定、Esc で取り消し", StatusKind::Info);
    return true;
}

void Session::FinishEdit(bool keep) {
    if (!edit_) return;
    bool done = true;
    if (keep && !edit_->applied) done = ApplyTyped(edit_->typed);
    const LineEdit edit = *edit_;
    edit_.reset();
    window_.CloseEditor();
    std::u16string said = u"行を編集しました";
    if (!keep) {
        const EditResult dropped = edited_.DropTyping();
        if (dropped.done && dropped.row) current_ = *dropped.row;
        said = u"編集を取り消しました";
    }
    edited_.EndTyping();
    Replace(std::nullopt);
    if (!current_ && !comparison().rows().empty()) current_ = edit.row;
    window_.SetTitle(Title());
    window_.Redraw();
    // A character the file cannot hold keeps its message; the line is as last written.
    if (!done) return;
    if (edit.changed) return Say(std::move(said), StatusKind::Info);
    status_ = {};
    window_.ShowStatus(status_);
}

std::size_t Session::ContentColumn(Side side) const {
    const ColumnRole role = view_ == View::List   ? ColumnRole::Content
                            : side == Side::First ? ColumnRole::LeftContent
                                                  : ColumnRole::RightContent;
    const std::vector<Column>& columns = Columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].role == role) return i;
    }
    return 0;
}

void Session::Edited(const EditResult& result, std::u16string said) {
    if (!result.done) return Say(EditText(result, edited_), StatusKind::Warning);
    Replace(std::nullopt);
    if (result.row) current_ = std::min(*result.row, comparison().rows().size() - 1);
    if (comparison().rows().empty()) current_.reset();
    window_.SetTitle(Title());
    window_.Redraw();
    status_ = {std::move(said), StatusKind::Info};
    if (current_) return GoTo(*current_);
    window_.ShowStatus(status_);
}

bool Session::SaveFile(Side side) {
    if (edited_.Changed(side) && edited_.Missing(side)) {
        // A file of the other folder only: this one is made, and the user names it first.
        const FileSide& file = side == Side::First ? comparison().first() : comparison().second();
        const std::u16string name = DisplayName(file.path.native());
        if (window_.Ask(MakeFileQuestion(name)) != Answer::Yes) {
            Say(u"「" + name + u"」を作りませんでした", StatusKind::Warning);
            return false;
        }
    }
    SaveResult result = edited_.Save(side);
    if (result.status == SaveStatus::ChangedOnDisk) {
        return AskOverwrite(side, SaveText(result, edited_, side));
    }
    if (result.status == SaveStatus::Unchanged) return true;
    return Saved(side, result);
}

bool Session::Saved(Side side, const SaveResult& result) {
    const bool saved = result.status == SaveStatus::Saved;
    if (saved) {
        const FileSide& file = side == Side::First ? comparison().first() : comparison().second();
        stamps_[side == Side::First ? 0 : 1] = IdentityOf(file.path);
    }
    window_.SetTitle(Title());
    window_.Redraw();
    Say(SaveText(result, edited_, side), saved ? StatusKind::Info : StatusKind::Warning);
    return saved;
}

bool Session::AskOverwrite(Side side, const std::u16string& why) {
    const Answer answer = window_.Ask(OverwriteQuestion(why));
    if (answer == Answer::No) {
        ReadAgain(comparison().chosen(), u"比較し直しました", false);
        return false;
    }
    if (answer == Answer::Cancel) {
        Say(u"保存しませんでした。" + why, StatusKind::Warning);
        return false;
    }
    return Saved(side, edited_.Save(side, true));
}

bool Session::SaveChanged() {
    for (const Side side : {Side::First, Side::Second}) {
        if (edited_.Changed(side) && !SaveFile(side)) return false;
    }
    return true;
}

bool Session::MayClose() {
    FinishEdit(true);
    if (mayClose_ || !AnyChanged()) return true;
    const Answer answer = window_.Ask(CloseUnsavedQuestion());
    mayClose_ = answer == Answer::No || (answer == Answer::Yes && SaveChanged());
    return mayClose_;
}

bool Session::MayDropChanges() {
    if (!AnyChanged()) return true;
    return window_.Ask(ReloadQuestion()) == Answer::Yes;
}

void Session::GoTo(std::size_t listRow) {
    current_ = listRow;
    // Sideways, the content's first mark; the front moves there only when it is off screen.
    std::size_t column = 0;
    if (view_ == View::List) {
        // A line with nothing of its own marked (its partner gained text) goes where the
        // partner's mark is.
        std::size_t marked = listRow;
        if (Shown(listRow).marks.empty()) {
            if (const auto partner = comparison().MarksOf(listRow).partner) marked = *partner;
        }
        const ShownLine& shown = Shown(marked);
        if (!shown.marks.empty()) column = CellColumn(shown.text, shown.marks.front().start);
    }
    window_.ScrollTo(ViewRowOf(listRow), column);
    window_.ShowStatus(status_);
}

void Session::Say(std::u16string text, StatusKind kind) {
    status_ = {std::move(text), kind};
    window_.ShowStatus(status_);
}

void Session::SaveChoices() const {
    if (!settingsFile_.empty()) viewer::SaveChoices(settingsFile_, {comparison().options(), view_});
}

std::u16string Session::Title() const {
    return (AnyChanged() ? u"● " : u"") +
           ComparisonTitle(comparison(), ShownPath(comparison().first().Name(false)),
                           ShownPath(comparison().second().Name(false)));
}

std::u16string Session::HeaderLine(Side side) const {
    const bool first = side == Side::First;
    const FileSide& file = first ? comparison().first() : comparison().second();
    std::u16string line = edited_.Changed(side) ? u"● " : u"";
    line += (first ? u"第一: " : u"第二: ") + ShownPath(file.Name(true));
    if (comparison().outcome() == Outcome::Text) line += u"　(" + EncodingText(file) + u")";
    return line;
}

std::u16string Session::Message() const {
    if (comparison().outcome() != Outcome::Unreadable) return ComparisonMessage(comparison());
    std::u16string text = u"ファイルを読み込めません。";
    for (const FileSide* side : {&comparison().first(), &comparison().second()}) {
        if (!side->error.failed()) continue;
        text += u'\n';
        text += ShownPath(side->path);
        text += u": ";
        text += Reason(side->error);
    }
    return text;
}

std::u16string Session::CountText() const { return viewer::CountText(comparison(), current_); }

std::u16string Session::HiddenNote() const { return viewer::HiddenNote(comparison()); }

std::vector<StripMark> Session::StripMarks() const {
    std::vector<StripMark> marks;
    if (!ShowsRows()) return marks;
    for (const Block& block : comparison().rows().blocks()) {
        if (block.kind == RowKind::Common || comparison().Overlooked(block.row)) continue;
        marks.push_back({ViewRowOf(block.row), static_cast<std::size_t>(block.count), block.kind});
    }
    return marks;
}

int Session::StripY(std::size_t viewRow, int height) const {
    const std::size_t rows = RowCount();
    if (rows == 0 || height <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(viewRow) * height /
                            static_cast<std::int64_t>(rows));
}

std::size_t Session::StripTarget(int y, int height) const {
    const auto rows = static_cast<std::int64_t>(RowCount());
    if (rows == 0 || height <= 0) return 0;
    const std::int64_t at =
        std::min<std::int64_t>(std::clamp(y, 0, height - 1) * rows / height, rows - 1);
    // A click near a difference (three pixels' worth of rows) goes to its start.
    const std::int64_t near = 3 * std::max<std::int64_t>(1, rows / height);
    std::int64_t best = -1;
    for (const std::size_t start : comparison().differenceStarts()) {
        const auto row = static_cast<std::int64_t>(ViewRowOf(start));
        if (std::abs(row - at) <= near && (best < 0 || std::abs(row - at) < std::abs(best - at))) {
            best = row;
        }
    }
    return static_cast<std::size_t>(best >= 0 ? best : at);
}

void Session::ClickStrip(int y, int height) {
    if (!ShowsRows() || RowCount() == 0) return;
    status_ = {};
    const std::size_t viewRow = StripTarget(y, height);
    const std::vector<std::size_t> rows = ListRows(viewRow);
    if (!rows.empty()) GoTo(rows.front());
}

}  // namespace viewer

#include "FolderSession.h"

#include "Cells.h"
#include "Settings.h"
#include "Wording.h"

#include <algorithm>

namespace viewer {

namespace {

namespace fs = std::filesystem;

// "1,234,567".
std::u16string Thousands(std::int64_t value) {
    const std::u16string digits = Number(static_cast<std::uint64_t>(value));
    std::u16string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += u',';
        text += digits[i];
    }
    return text;
}

// "12.5 MB" (10^6 bytes), "800 KB" below a megabyte.
std::u16string Bytes(std::int64_t bytes) {
    if (bytes < 1'000'000) return Thousands((bytes + 999) / 1000) + u" KB";
    const std::int64_t tenths = (bytes + 50'000) / 100'000;
    return Thousands(tenths / 10) + u"." + Number(static_cast<std::uint64_t>(tenths % 10)) + u" MB";
}

// A folder's own name for the title: "a" for "/tmp/a/", the whole path for a root.
std::u16string FolderName(const fs::path& folder) {
    std::error_code error;
    fs::path whole = fs::absolute(folder, error).lexically_normal();
    if (!whole.has_filename()) whole = whole.parent_path();
    return ShownName(whole.has_filename() ? DisplayName(whole.filename().native())
                                          : DisplayName(whole.native()));
}

std::u16string SideText(EntryKind kind, std::int64_t size) {
    if (kind == EntryKind::File) return Thousands(size) + u" バイト";
    return KindName(kind);
}

}  // namespace

FolderLook LookOf(FolderState state) {
    switch (state) {
        case FolderState::Same:
            return {u"", u"同じ", Colour(ColourRole::Base)};
        case FolderState::Different:
            return {u"<>", u"相違", {0xff, 0xec, 0xb3}};
        case FolderState::OnlyFirst:
            return {u"<!", u"第一だけ", Colour(ColourRole::Removed)};
        case FolderState::OnlySecond:
            return {u"!>", u"第二だけ", Colour(ColourRole::Added)};
        case FolderState::KindsDiffer:
            return {u"<#>", u"種類違い", {0xe6, 0xd9, 0xf5}};
        case FolderState::Unreadable:
            break;
    }
    return {u"<?>", u"読めません", {0xe0, 0xe0, 0xe0}};
}

std::u16string TreeText(const FolderRow& row) {
    std::u16string text(static_cast<std::size_t>(row.depth) * 2, u' ');
    // Marks that every font has, Windows' bare ones too (▸ and ▾ are boxes in some).
    if (row.folder) text += row.expanded ? u"- " : u"+ ";
    return text + row.name;
}

FolderSession::FolderSession(fs::path first, fs::path second, FolderFilters filters,
                             std::function<void()> wake)
    : firstFolder_(std::move(first)),
      secondFolder_(std::move(second)),
      filters_(std::move(filters)),
      wake_(std::move(wake)),
      comparison_(std::make_unique<FolderComparison>(firstFolder_, secondFolder_, wake_)) {}

FolderSession::~FolderSession() = default;

bool FolderSession::Poll() {
    if (finished_) return false;
    FolderComparison::News news = comparison_->Poll();
    const bool changed = !news.added.empty() || !news.changed.empty() || news.finished ||
                         news.progress.entries != progress_.entries ||
                         news.progress.bytesCompared != progress_.bytesCompared;
    for (FolderEntry& entry : news.added) {
        const bool closed = std::find(closedAgain_.begin(), closedAgain_.end(), entry.relative) !=
                            closedAgain_.end();
        entries_.push_back(std::move(entry));
        collapsed_.push_back(closed);
    }
    for (const auto& [index, state] : news.changed) {
        if (index >= 0 && static_cast<std::size_t>(index) < entries_.size()) {
            entries_[static_cast<std::size_t>(index)].state = state;
        }
    }
    progress_ = news.progress;
    if (news.finished) {
        finished_ = true;
        end_ = news.end;
        error_ = SidesReason(news.error);
    }
    if (changed) Reshow();
    return changed;
}

void FolderSession::Stop() { comparison_->Cancel(); }

void FolderSession::CompareAgain() {
    // Folders closed by the user stay closed where they are found again.
    std::vector<fs::path> closed;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (collapsed_[i]) closed.push_back(entries_[i].relative);
    }
    comparison_.reset();  // stops the one running, and waits for its thread
    entries_.clear();
    collapsed_.clear();
    closedAgain_ = std::move(closed);
    shown_.clear();
    progress_ = {};
    finished_ = false;
    end_ = FolderEnd::Done;
    error_.clear();
    opened_.reset();
    currentEntry_.reset();  // the entries are found anew: the row stays where it was
    comparison_ = std::make_unique<FolderComparison>(firstFolder_, secondFolder_, wake_);
}

bool FolderSession::PairClosed() {
    if (!opened_ || *opened_ >= entries_.size()) return false;
    FolderEntry& entry = entries_[*opened_];
    const FolderEntry before = entry;
    opened_.reset();
    if (!CompareFilesAgain(firstFolder_, secondFolder_, entry)) return false;
    if (entry.state == before.state && entry.size1 == before.size1 && entry.size2 == before.size2 &&
        entry.kind1 == before.kind1 && entry.kind2 == before.kind2) {
        return false;
    }
    // While the walk goes on, it still tells the folders above of what it finds under them.
    if (finished_) FollowUp(entry.parent);
    Reshow();
    return true;
}

void FolderSession::FollowUp(std::int32_t folder) {
    for (; folder >= 0; folder = entries_[static_cast<std::size_t>(folder)].parent) {
        FolderEntry& above = entries_[static_cast<std::size_t>(folder)];
        // Only a folder on both sides is the same or not by what it holds.
        if (above.state != FolderState::Same && above.state != FolderState::Different) return;
        const bool differs =
            std::any_of(entries_.begin(), entries_.end(), [&](const FolderEntry& e) {
                return e.parent == folder && e.state != FolderState::Same;
            });
        above.state = differs ? FolderState::Different : FolderState::Same;
    }
}

void FolderSession::WaitAndPoll() {
    comparison_->Wait();
    Poll();
}

bool FolderSession::NamedOut(std::size_t index) const {
    const FolderEntry& entry = entries_[index];
    return NameHidden(filters_.namePattern, entry.name) ||
           (!entry.name2.empty() && NameHidden(filters_.namePattern, entry.name2));
}

bool FolderSession::Hidden(std::size_t index) const {
    return (filters_.hideSame && entries_[index].state == FolderState::Same) || NamedOut(index);
}

void FolderSession::Reshow() {
    // Entries come in the order of the tree, each folder before what it holds: one pass decides,
    // a row being hidden when it or a folder above it is hidden or closed.
    shown_.clear();
    std::vector<bool> closed(entries_.size(), false);  // its rows are not shown
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::int32_t parent = entries_[i].parent;
        const bool above = parent >= 0 && closed[static_cast<std::size_t>(parent)];
        const bool hidden = above || Hidden(i);
        closed[i] = hidden || collapsed_[i];
        if (!hidden) shown_.push_back(i);
    }
}

FolderRow FolderSession::Row(std::size_t row) const {
    const std::size_t index = shown_.at(row);
    const FolderEntry& entry = entries_[index];
    const FolderLook look = LookOf(entry.state);
    FolderRow shown;
    shown.entry = index;
    shown.depth = entry.depth;
    // A folder against a file, or one that could not be read, holds no rows.
    shown.folder = (entry.kind1 == EntryKind::Folder || entry.kind2 == EntryKind::Folder) &&
                   entry.state != FolderState::KindsDiffer &&
                   entry.state != FolderState::Unreadable;
    shown.expanded = shown.folder && !collapsed_[index];
    shown.name = ShownName(entry.name);
    if (!entry.name2.empty()) shown.name += u" ⇔ " + ShownName(entry.name2);
    shown.state = look.text;
    if (entry.state == FolderState::KindsDiffer) {
        shown.state += u": " + KindName(entry.kind1) + u" ⇔ " + KindName(entry.kind2);
    } else if (entry.state == FolderState::Unreadable) {
        shown.state += u": " + SidesReason(entry.errors);
    }
    shown.mark = look.mark;
    shown.background = look.background;
    shown.first = SideText(entry.kind1, entry.size1);
    shown.second = SideText(entry.kind2, entry.size2);
    return shown;
}

std::optional<std::size_t> FolderSession::RowOfEntry(std::size_t entry) const {
    const auto at = std::lower_bound(shown_.begin(), shown_.end(), entry);
    if (at == shown_.end() || *at != entry) return std::nullopt;
    return static_cast<std::size_t>(at - shown_.begin());
}

void FolderSession::SetExpanded(std::size_t row, bool expanded) {
    const std::size_t index = shown_.at(row);
    if (collapsed_[index] == !expanded) return;
    collapsed_[index] = !expanded;
    Reshow();
}

std::optional<FilePair> FolderSession::PairAt(std::size_t row) const {
    const FolderEntry& entry = entries_[shown_.at(row)];
    const bool file1 = entry.kind1 == EntryKind::File;
    const bool file2 = entry.kind2 == EntryKind::File;
    const bool absent1 = entry.kind1 == EntryKind::None;
    const bool absent2 = entry.kind2 == EntryKind::None;
    if (!(file1 && (file2 || absent2)) && !(file2 && absent1)) return std::nullopt;
    FilePair pair;
    const fs::path relative2 = absent2 ? entry.relative : entry.relative2;
    pair.first = firstFolder_ / entry.relative;
    pair.second = secondFolder_ / relative2;
    pair.missing = {absent1, absent2};
    pair.firstLabel = fs::path(FolderName(firstFolder_)) / entry.relative;
    pair.secondLabel = fs::path(FolderName(secondFolder_)) / relative2;
    return pair;
}

RowAction FolderSession::Activate(std::size_t row, const std::filesystem::path& settingsFile) {
    if (row >= RowCount()) return {};
    std::optional<FilePair> pair = PairAt(row);
    if (!pair) {
        const FolderRow shown = Row(row);
        if (!shown.folder) return {};
        SetExpanded(row, !shown.expanded);
        return {RowAction::Kind::Redraw, {}};
    }
    opened_ = shown_.at(row);
    const IgnoreOptions options = LoadChoices(settingsFile).options;
    return {RowAction::Kind::Compare, [pair = *pair, options](const CancelFlag* cancel) {
                Comparison comparison = Compare(pair.first, pair.second, kTextLimitBytes, options,
                                                cancel, {}, pair.missing);
                comparison.SetLabels(pair.firstLabel, pair.secondLabel);
                return comparison;
            }};
}

void FolderSession::SetFilters(FolderFilters filters) {
    filters_ = std::move(filters);
    Reshow();
}

void FolderSession::ChangeFilters(FolderFilters filters,
                                  const std::filesystem::path& settingsFile) {
    SaveFolderFilters(settingsFile, filters);
    SetFilters(std::move(filters));
}

std::u16string FolderSession::CellAt(std::size_t row, std::size_t column) const {
    const FolderRow shown = Row(row);
    switch (column) {
        case 0:
            return shown.mark;
        case 1:
            return TreeText(shown);
        case 2:
            return shown.state;
        case 3:
            return shown.first;
        default:
            return shown.second;
    }
}

void FolderSession::SetCurrent(std::size_t row) {
    if (row >= shown_.size()) return;
    currentEntry_ = shown_[row];
    currentRow_ = row;
}

std::optional<std::size_t> FolderSession::CurrentRow() const {
    if (shown_.empty()) return std::nullopt;
    if (currentEntry_) {
        if (const std::optional<std::size_t> row = RowOfEntry(*currentEntry_)) return row;
    }
    return std::min(currentRow_, shown_.size() - 1);
}

RowAction FolderSession::Key(FolderKey key, const std::filesystem::path& settingsFile) {
    const std::optional<std::size_t> row = CurrentRow();
    switch (key) {
        case FolderKey::Escape:
            if (!Running()) return {RowAction::Kind::PassOn, {}};
            Stop();
            Poll();
            return {RowAction::Kind::Redraw, {}};
        case FolderKey::F5:
            CompareAgain();
            return {RowAction::Kind::Redraw, {}};
        case FolderKey::Enter:
            return row ? Activate(*row, settingsFile) : RowAction{};
        case FolderKey::Left:
        case FolderKey::Right:
            if (!row || !Row(*row).folder) return {RowAction::Kind::PassOn, {}};
            SetExpanded(*row, key == FolderKey::Right);
            return {RowAction::Kind::Redraw, {}};
    }
    return {};
}

std::u16string FolderSession::Title() const {
    return FolderName(firstFolder_) + u" ⇔ " + FolderName(secondFolder_) + u" — " + CountText() +
           u" — Diff-Zarvo ビューアー";
}

std::u16string FolderSession::HeaderLine(Side side) const {
    const bool first = side == Side::First;
    return (first ? u"第一: " : u"第二: ") +
           ShownName(DisplayName((first ? firstFolder_ : secondFolder_).native()));
}

std::u16string FolderSession::CountText() const {
    return FolderCountsText(CountFolderStates(entries_));
}

std::u16string FolderSession::HiddenNote() const {
    // Counted where the hiding starts: a folder hidden with all it holds counts once.
    std::int64_t same = 0, named = 0;
    std::vector<bool> hidden(entries_.size(), false);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::int32_t parent = entries_[i].parent;
        const bool above = parent >= 0 && hidden[static_cast<std::size_t>(parent)];
        hidden[i] = above || Hidden(i);
        if (above || !hidden[i]) continue;
        ++(NamedOut(i) ? named : same);
    }
    std::u16string note;
    if (same > 0) note = u"同じ " + Thousands(same) + u" 件";
    if (named > 0)
        note += (note.empty() ? u"" : u"と、") + (u"名前で " + Thousands(named) + u" 件");
    return note.empty() ? note : note + u"を表示していません";
}

std::u16string FolderSession::ProgressText() const {
    const std::u16string found = Thousands(progress_.entries) + u" 項目";
    if (!finished_) {
        return u"比較中… " + found + u"、ファイル " + Thousands(progress_.filesCompared) +
               u" 組 (" + Bytes(progress_.bytesCompared) + u") — Esc で中止";
    }
    switch (end_) {
        case FolderEnd::Done:
            return u"比較が終わりました: " + found;
        case FolderEnd::Cancelled:
            return u"比較を中止しました: " + found + u"まで";
        case FolderEnd::Unreadable:
            break;
    }
    return u"比較できません: " + error_;
}

}  // namespace viewer

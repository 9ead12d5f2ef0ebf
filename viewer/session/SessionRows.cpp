// The rows and cells of the session's two views, and their widths in display cells.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Cells.h"
#include "Session.h"
#include "TextDecode.h"

namespace viewer {

namespace {

// The narrowest a content column is drawn, and the most a row is measured in.
constexpr std::size_t kLeastContentCells = 40;
// The bytes of a line measured at most (a line is shown in part past kLongestShown characters),
// and the cells of the notes around a line shown in part.
constexpr std::size_t kMeasuredBytes = 4 * kLongestShown;
constexpr std::size_t kMarkersCells = 60;

std::u16string Number(std::int64_t n) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    return text;
}

// Calls `visit(file, line)` for the line each row of the list shows: a common or removed row the
// first file's, an added row the second's.
template <typename Visit>
void ForEachShownLine(const Comparison& comparison, Visit visit) {
    for (const Block& block : comparison.rows.blocks()) {
        const bool added = block.kind == RowKind::Added;
        const TextFile& file = added ? *comparison.second.text : *comparison.first.text;
        const std::int32_t from = added ? block.second : block.first;
        for (std::int32_t line = from; line < from + block.count; ++line) visit(file, line);
    }
}

// The cells a line takes in the list: a line shown in part (Comparison::Shown) by its measured
// start, with room for the notes on what is left out.
std::size_t LineCells(const TextFile& file, std::string_view line) {
    if (line.size() > kMeasuredBytes) {
        return TextCells(Decode(line.substr(0, kMeasuredBytes), file.encoding())) + kMarkersCells;
    }
    return TextCells(Decode(line, file.encoding()));
}

// What MostCells needs of a line's bytes: its tabs and, for UTF-8, its continuation bytes and
// its lead bytes of three or four bytes. Eight bytes at a time: a file is looked at whole before
// the first paint.
struct ByteCounts {
    std::size_t tabs = 0;
    std::size_t continuations = 0;  // 10xxxxxx
    std::size_t wideLeads = 0;      // 111xxxxx
};

ByteCounts CountBytes(std::string_view bytes) {
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    constexpr std::uint64_t kLow = 0x7F7F7F7F7F7F7F7F;
    constexpr std::uint64_t kTabs = 0x0909090909090909;
    // The bytes of a word with their top bit set: `marks` has no other bits.
    const auto count = [](std::uint64_t marks) {
        return static_cast<std::size_t>(((marks >> 7) * 0x0101010101010101) >> 56);
    };
    ByteCounts counts;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        // A byte of `notTab` is zero where the byte is a tab; its top bit is then the only one
        // left clear (the addition carries into the top bit of every byte that is not zero).
        const std::uint64_t notTab = word ^ kTabs;
        counts.tabs += count(~(((notTab & kLow) + kLow) | notTab) & kHigh);
        // Shifted left, a byte's next bits come to its top bit.
        counts.continuations += count(word & ~(word << 1) & kHigh);
        counts.wideLeads += count(word & (word << 1) & (word << 2) & kHigh);
    }
    for (; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        counts.tabs += byte == '\t';
        counts.continuations += (byte & 0xC0) == 0x80;
        counts.wideLeads += byte >= 0xE0;
    }
    return counts;
}

// At least LineCells, from the bytes alone. A tab takes at most eight cells and a stray byte
// four ("<E9>"). Otherwise no character takes more cells than it has bytes (a wide one has two
// or more in every encoding), and in UTF-8 a character of two bytes takes one cell.
std::size_t MostCells(const TextFile& file, std::string_view line) {
    const std::string_view measured = line.substr(0, kMeasuredBytes);
    const std::size_t notes = line.size() > kMeasuredBytes ? kMarkersCells : 0;
    const ByteCounts counts = CountBytes(measured);
    const std::size_t tabs = counts.tabs * (kTabCells - 1);
    if (file.lossy()) return measured.size() * 4 + counts.tabs * (kTabCells - 4) + notes;
    if (file.encoding() == Encoding::Utf8 || file.encoding() == Encoding::Utf8Bom) {
        return measured.size() - counts.continuations + counts.wideLeads + tabs + notes;
    }
    return measured.size() + tabs + notes;
}

}  // namespace

std::size_t Session::RowCount() const {
    if (!ShowsRows()) return 0;
    return view_ == View::SideBySide ? side_.size() : comparison().rows.size();
}

const std::vector<Column>& Session::Columns() const {
    using enum ColumnRole;
    static const std::vector<Column> list = {
        {FirstNumber, u"第一", Align::Right, false},
        {SecondNumber, u"第二", Align::Right, false},
        {Mark, u"", Align::Center, false},
        {Content, u"内容", Align::Left, true},
    };
    static const std::vector<Column> side = {
        {LeftNumber, u"第一", Align::Right, false},
        {LeftContent, u"第一のファイル", Align::Left, true},
        {Band, u"", Align::Center, false},
        {RightNumber, u"第二", Align::Right, false},
        {RightContent, u"第二のファイル", Align::Left, true},
    };
    return view_ == View::SideBySide ? side : list;
}

std::vector<std::size_t> Session::ListRows(std::size_t viewRow) const {
    if (viewRow >= RowCount()) return {};
    if (view_ == View::List) return {viewRow};
    const SideRow row = side_[viewRow];
    std::vector<std::size_t> rows;
    if (row.left) rows.push_back(*row.left);
    if (row.right && row.right != row.left) rows.push_back(*row.right);
    return rows;
}

std::size_t Session::ViewRowOf(std::size_t listRow) const {
    return view_ == View::SideBySide ? side_.SideRowOf(listRow) : listRow;
}

Cell Session::CellAt(std::size_t viewRow, std::size_t column) const {
    Cell cell;
    if (viewRow >= RowCount() || column >= Columns().size()) return cell;
    const ColumnRole role = Columns()[column].role;
    std::optional<std::size_t> row;
    SideRow pair;
    if (view_ == View::List) {
        row = viewRow;
    } else {
        pair = side_[viewRow];
        const bool left = role == ColumnRole::LeftNumber || role == ColumnRole::LeftContent;
        const bool right = role == ColumnRole::RightNumber || role == ColumnRole::RightContent;
        row = left ? pair.left : right ? pair.right : pair.left ? pair.left : pair.right;
    }
    if (!row) return cell;
    // An overlooked change is shown as it is, but not as a difference.
    const auto kindOf = [&](std::size_t at) {
        return comparison().Overlooked(at) ? RowKind::Common : comparison().rows[at].kind;
    };
    const Row shown = comparison().rows[*row];
    const RowKind kind = kindOf(*row);
    cell.empty = false;
    cell.background = RowColour(kind);
    cell.markColour = MarkColour(kind);
    switch (role) {
        case ColumnRole::FirstNumber:
        case ColumnRole::LeftNumber:
            if (shown.first >= 0) cell.text = Number(shown.first + 1);
            break;
        case ColumnRole::SecondNumber:
        case ColumnRole::RightNumber:
            if (shown.second >= 0) cell.text = Number(shown.second + 1);
            break;
        case ColumnRole::Mark:
            cell.text = KindMark(kind);
            break;
        case ColumnRole::Band:
            // The marks of both sides, so the kinds stay apart without their colours.
            cell.background = ColourRole::Base;
            for (const std::optional<std::size_t>& at : {pair.left, pair.right}) {
                if (at) cell.text += KindMark(kindOf(*at));
            }
            if (pair.left && kindOf(*pair.left) == RowKind::Removed) {
                cell.bandLeft = ColourRole::RemovedMark;
            }
            if (pair.right && kindOf(*pair.right) == RowKind::Added) {
                cell.bandRight = ColourRole::AddedMark;
            }
            break;
        case ColumnRole::Content:
        case ColumnRole::LeftContent:
        case ColumnRole::RightContent: {
            const ShownLine& line = Shown(*row);
            cell.text = line.text;
            if (kind != RowKind::Common) cell.marks = line.marks;
            cell.byteMarks = line.byteMarks;
            break;
        }
    }
    return cell;
}

std::size_t Session::ColumnCells(std::size_t column) const {
    if (column >= Columns().size()) return 0;
    switch (Columns()[column].role) {
        case ColumnRole::FirstNumber:
        case ColumnRole::SecondNumber:
        case ColumnRole::LeftNumber:
        case ColumnRole::RightNumber: {
            const std::int32_t lines = std::max(comparison().first.text->LineCount(),
                                                comparison().second.text->LineCount());
            return std::max<std::size_t>(Number(lines).size() + 1, 4);
        }
        case ColumnRole::Mark:
            return 2;
        case ColumnRole::Band:
            return 4;
        case ColumnRole::Content:
            return std::max(WidestLineCells(), kLeastContentCells);
        case ColumnRole::LeftContent:
        case ColumnRole::RightContent:
            return paneCells_;
    }
    return 0;
}

void Session::SetPaneCells(std::size_t cells) {
    cells = std::max(cells, std::size_t{20});
    if (cells == paneCells_) return;
    paneCells_ = cells;
    if (view_ == View::SideBySide) shown_.clear();
}

const ShownLine& Session::Shown(std::size_t row) const {
    if (shown_.size() > 4096) shown_.clear();
    if (const auto found = shown_.find(row); found != shown_.end()) return found->second;
    ShownLine line = comparison().Shown(row);
    if (view_ == View::SideBySide) {
        // As much of the line as the pane holds in cells, around its first difference: a wide
        // character takes two cells, a tab up to eight.
        std::size_t units = std::min(line.text.size(), paneCells_);
        while (TextCells(line.text) > paneCells_ && units > 1) {
            line = comparison().Shown(row, units);
            const std::size_t cells = TextCells(line.text);
            if (cells <= paneCells_) break;
            units = std::max<std::size_t>(1, std::min(units - 1, units * paneCells_ / cells));
        }
    }
    line.marks = WholeClusters(line.text, line.marks);
    line.byteMarks = WholeClusters(line.text, line.byteMarks);
    return shown_.emplace(row, std::move(line)).first->second;
}

std::size_t Session::WidestLineCells() const {
    if (widestCells_) return *widestCells_;
    // Measuring a line means decoding it and walking its clusters, far more than a look at its
    // bytes: each line's most cells are bounded from its bytes, and the lines with the highest
    // bounds are measured, highest first, until no other line can be wider. Only when even the
    // lowest of those is above the widest measured are the others looked at again.
    struct Candidate {
        std::size_t bound;
        const TextFile* file;
        std::int32_t line;
        bool operator>(const Candidate& other) const { return bound > other.bound; }
    };
    constexpr std::size_t kCandidates = 64;
    std::vector<Candidate> highest;  // a heap, the lowest bound on top
    highest.reserve(kCandidates + 1);
    ForEachShownLine(comparison(), [&](const TextFile& file, std::int32_t line) {
        const std::size_t bound = MostCells(file, file.Line(line));
        if (highest.size() == kCandidates && bound <= highest.front().bound) return;
        highest.push_back({bound, &file, line});
        std::push_heap(highest.begin(), highest.end(), std::greater<>());
        if (highest.size() > kCandidates) {
            std::pop_heap(highest.begin(), highest.end(), std::greater<>());
            highest.pop_back();
        }
    });
    std::sort_heap(highest.begin(), highest.end(), std::greater<>());  // highest first
    std::size_t widest = 0;
    for (const Candidate& candidate : highest) {
        if (candidate.bound <= widest) break;
        widest = std::max(widest, LineCells(*candidate.file, candidate.file->Line(candidate.line)));
    }
    if (highest.size() == kCandidates && highest.back().bound > widest) {
        ForEachShownLine(comparison(), [&](const TextFile& file, std::int32_t line) {
            const std::string_view bytes = file.Line(line);
            if (MostCells(file, bytes) > widest) widest = std::max(widest, LineCells(file, bytes));
        });
    }
    widestCells_ = widest;
    return widest;
}

}  // namespace viewer

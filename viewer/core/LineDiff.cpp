#include "LineDiff.h"

#include <algorithm>
#include <dtl/dtl.hpp>
#include <functional>
#include <string_view>
#include <utility>

namespace viewer {

namespace {

using Match = std::pair<std::int32_t, std::int32_t>;

// Numbers each distinct line so that the diff compares integers, not strings.
struct LineIds {
    std::vector<int> first;
    std::vector<int> second;
    std::vector<bool> inFirst;   // by id: the line occurs somewhere in the first file
    std::vector<bool> inSecond;  // by id: the line occurs somewhere in the second file
};

// An open-addressing table from line bytes to their number. A node-based hash map spends most of
// a million-line comparison allocating and chasing nodes; this is flat arrays.
class LineNumbering {
public:
    explicit LineNumbering(std::size_t lines) {
        std::size_t size = 16;
        while (size < lines * 2) size *= 2;
        slots_.assign(size, -1);
        mask_ = size - 1;
    }

    // The line's number and whether it is new.
    std::pair<int, bool> Number(std::string_view line) {
        const std::size_t hash = std::hash<std::string_view>{}(line);
        for (std::size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const int id = slots_[slot];
            if (id < 0) {
                slots_[slot] = static_cast<int>(texts_.size());
                texts_.push_back(line);
                hashes_.push_back(hash);
                return {slots_[slot], true};
            }
            const auto known = static_cast<std::size_t>(id);
            if (hashes_[known] == hash && texts_[known] == line) return {id, false};
        }
    }

private:
    std::vector<int> slots_;
    std::size_t mask_ = 0;
    std::vector<std::string_view> texts_;
    std::vector<std::size_t> hashes_;
};

LineIds NumberLines(const TextFile& first, std::int32_t lo1, std::int32_t hi1,
                    const TextFile& second, std::int32_t lo2, std::int32_t hi2) {
    LineIds ids;
    LineNumbering numbering(static_cast<std::size_t>(hi1 - lo1 + hi2 - lo2));
    auto number = [&](const TextFile& file, std::int32_t lo, std::int32_t hi, std::vector<int>& out,
                      bool isFirst) {
        out.reserve(static_cast<std::size_t>(hi - lo));
        for (std::int32_t i = lo; i < hi; ++i) {
            const auto [id, added] = numbering.Number(file.Line(i));
            if (added) {
                ids.inFirst.push_back(false);
                ids.inSecond.push_back(false);
            }
            (isFirst ? ids.inFirst : ids.inSecond)[static_cast<std::size_t>(id)] = true;
            out.push_back(id);
        }
    };
    number(first, lo1, hi1, ids.first, true);
    number(second, lo2, hi2, ids.second, false);
    return ids;
}

// The common lines of a[lo1, hi1) and b[lo2, hi2), as index pairs in ascending order. A line
// found in one file only can never be common, so it is left out before the diff runs: files that
// differ a lot mostly differ in such lines, and the diff's cost grows with what it is given.
std::vector<Match> CommonLines(const TextFile& first, std::int32_t lo1, std::int32_t hi1,
                               const TextFile& second, std::int32_t lo2, std::int32_t hi2) {
    const LineIds ids = NumberLines(first, lo1, hi1, second, lo2, hi2);
    std::vector<std::int32_t> kept1, kept2;
    std::vector<int> seq1, seq2;
    for (std::int32_t i = lo1; i < hi1; ++i) {
        const int id = ids.first[static_cast<std::size_t>(i - lo1)];
        if (!ids.inSecond[static_cast<std::size_t>(id)]) continue;
        kept1.push_back(i);
        seq1.push_back(id);
    }
    for (std::int32_t j = lo2; j < hi2; ++j) {
        const int id = ids.second[static_cast<std::size_t>(j - lo2)];
        if (!ids.inFirst[static_cast<std::size_t>(id)]) continue;
        kept2.push_back(j);
        seq2.push_back(id);
    }
    std::vector<Match> matches;
    if (seq1.empty() || seq2.empty()) return matches;

    dtl::Diff<int, std::vector<int>> diff(seq1, seq2);
    diff.compose();
    for (const auto& [id, info] : diff.getSes().getSequence()) {
        if (info.type != dtl::SES_COMMON) continue;
        // dtl counts from 1, in the sequences it was given.
        matches.emplace_back(kept1[static_cast<std::size_t>(info.beforeIdx - 1)],
                             kept2[static_cast<std::size_t>(info.afterIdx - 1)]);
    }
    return matches;
}

}  // namespace

Row Rows::operator[](std::size_t row) const {
    const Block& block = BlockOf(row);
    const auto offset = static_cast<std::int32_t>(row - block.row);
    return {block.kind, block.kind == RowKind::Added ? -1 : block.first + offset,
            block.kind == RowKind::Removed ? -1 : block.second + offset};
}

const Block& Rows::BlockOf(std::size_t row) const {
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), row,
                                        [](std::size_t r, const Block& b) { return r < b.row; });
    return *std::prev(after);
}

void Rows::Append(RowKind kind, std::int32_t first, std::int32_t second, std::int32_t count) {
    if (count <= 0) return;
    if (kind == RowKind::Added) first = -1;
    if (kind == RowKind::Removed) second = -1;
    if (!blocks_.empty()) {
        Block& last = blocks_.back();
        const bool firstFollows = kind == RowKind::Added || first == last.first + last.count;
        const bool secondFollows = kind == RowKind::Removed || second == last.second + last.count;
        if (last.kind == kind && firstFollows && secondFollows) {
            last.count += count;
            size_ += static_cast<std::size_t>(count);
            return;
        }
    }
    blocks_.push_back({kind, first, second, count, size_});
    size_ += static_cast<std::size_t>(count);
}

Rows DiffLines(const TextFile& first, const TextFile& second) {
    const std::int32_t count1 = first.LineCount();
    const std::int32_t count2 = second.LineCount();

    // Equal heads and tails are common as they stand; only the middle needs numbering and diff.
    std::int32_t head = 0;
    while (head < count1 && head < count2 && first.Line(head) == second.Line(head)) ++head;
    std::int32_t tail = 0;
    while (tail < count1 - head && tail < count2 - head &&
           first.Line(count1 - 1 - tail) == second.Line(count2 - 1 - tail)) {
        ++tail;
    }
    std::vector<Match> middle =
        CommonLines(first, head, count1 - tail, second, head, count2 - tail);
    middle.emplace_back(count1 - tail, count2 - tail);  // a sentinel that closes the last gap

    Rows rows;
    rows.Append(RowKind::Common, 0, 0, head);
    std::int32_t next1 = head;
    std::int32_t next2 = head;
    for (const auto& [at1, at2] : middle) {
        rows.Append(RowKind::Removed, next1, -1, at1 - next1);
        rows.Append(RowKind::Added, -1, next2, at2 - next2);
        if (at1 == count1 - tail) break;  // the sentinel
        rows.Append(RowKind::Common, at1, at2, 1);
        next1 = at1 + 1;
        next2 = at2 + 1;
    }
    rows.Append(RowKind::Common, count1 - tail, count2 - tail, tail);
    return rows;
}

std::vector<std::size_t> DifferenceStarts(const Rows& rows) {
    std::vector<std::size_t> starts;
    bool inside = false;
    for (const Block& block : rows.blocks()) {
        const bool differs = block.kind != RowKind::Common;
        if (differs && !inside) starts.push_back(block.row);
        inside = differs;
    }
    return starts;
}

}  // namespace viewer

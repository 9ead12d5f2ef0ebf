#include "LineDiff.h"

#include <QHashFunctions>
#include <dtl/dtl.hpp>
#include <utility>

namespace viewer {

namespace {

using Match = std::pair<qsizetype, qsizetype>;

// Numbers each distinct line so that the diff compares integers, not strings.
struct LineIds {
    std::vector<int> first;
    std::vector<int> second;
    std::vector<bool> inFirst;   // by id: the line occurs somewhere in the first file
    std::vector<bool> inSecond;  // by id: the line occurs somewhere in the second file
};

// An open-addressing table from line text to its number. A node-based hash map spends most of
// a million-line comparison allocating and chasing nodes; this is two flat arrays.
class LineNumbering {
public:
    explicit LineNumbering(size_t lines) {
        size_t size = 16;
        while (size < lines * 2) size *= 2;
        slots_.assign(size, -1);
        mask_ = size - 1;
    }

    // The line's number and whether it is new.
    std::pair<int, bool> Number(QStringView line) {
        const size_t hash = qHash(line);
        for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const int id = slots_[slot];
            if (id < 0) {
                slots_[slot] = static_cast<int>(texts_.size());
                texts_.push_back(line);
                hashes_.push_back(hash);
                return {slots_[slot], true};
            }
            const auto known = static_cast<size_t>(id);
            if (hashes_[known] == hash && texts_[known] == line) return {id, false};
        }
    }

private:
    std::vector<int> slots_;
    size_t mask_ = 0;
    std::vector<QStringView> texts_;
    std::vector<size_t> hashes_;
};

LineIds NumberLines(const TextFile& first, qsizetype lo1, qsizetype hi1, const TextFile& second,
                    qsizetype lo2, qsizetype hi2) {
    LineIds ids;
    LineNumbering numbering(static_cast<size_t>(hi1 - lo1 + hi2 - lo2));
    auto number = [&](const TextFile& file, qsizetype lo, qsizetype hi, std::vector<int>& out,
                      bool isFirst) {
        out.reserve(static_cast<size_t>(hi - lo));
        for (qsizetype i = lo; i < hi; ++i) {
            const auto [id, added] = numbering.Number(file.Line(i));
            if (added) {
                ids.inFirst.push_back(false);
                ids.inSecond.push_back(false);
            }
            (isFirst ? ids.inFirst : ids.inSecond)[static_cast<size_t>(id)] = true;
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
std::vector<Match> CommonLines(const TextFile& first, qsizetype lo1, qsizetype hi1,
                               const TextFile& second, qsizetype lo2, qsizetype hi2) {
    const LineIds ids = NumberLines(first, lo1, hi1, second, lo2, hi2);
    std::vector<qsizetype> kept1, kept2;
    std::vector<int> seq1, seq2;
    for (qsizetype i = lo1; i < hi1; ++i) {
        const int id = ids.first[static_cast<size_t>(i - lo1)];
        if (!ids.inSecond[static_cast<size_t>(id)]) continue;
        kept1.push_back(i);
        seq1.push_back(id);
    }
    for (qsizetype j = lo2; j < hi2; ++j) {
        const int id = ids.second[static_cast<size_t>(j - lo2)];
        if (!ids.inFirst[static_cast<size_t>(id)]) continue;
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
        matches.emplace_back(kept1[static_cast<size_t>(info.beforeIdx - 1)],
                             kept2[static_cast<size_t>(info.afterIdx - 1)]);
    }
    return matches;
}

}  // namespace

std::vector<DiffRow> DiffLines(const TextFile& first, const TextFile& second) {
    const qsizetype count1 = first.LineCount();
    const qsizetype count2 = second.LineCount();

    // Equal heads and tails are common as they stand; only the middle needs numbering and diff.
    qsizetype head = 0;
    while (head < count1 && head < count2 && first.Line(head) == second.Line(head)) ++head;
    qsizetype tail = 0;
    while (tail < count1 - head && tail < count2 - head &&
           first.Line(count1 - 1 - tail) == second.Line(count2 - 1 - tail)) {
        ++tail;
    }
    std::vector<Match> middle =
        CommonLines(first, head, count1 - tail, second, head, count2 - tail);
    middle.emplace_back(count1 - tail, count2 - tail);  // a sentinel that closes the last gap

    std::vector<DiffRow> rows;
    rows.reserve(static_cast<size_t>(std::max(count1, count2)));
    for (qsizetype i = 0; i < head; ++i) rows.push_back({RowKind::Same, i, i});
    qsizetype next1 = head;
    qsizetype next2 = head;
    for (const auto& [at1, at2] : middle) {
        for (; next1 < at1; ++next1) rows.push_back({RowKind::OnlyFirst, next1, -1});
        for (; next2 < at2; ++next2) rows.push_back({RowKind::OnlySecond, -1, next2});
        if (at1 == count1 - tail) break;  // the sentinel
        rows.push_back({RowKind::Same, at1, at2});
        next1 = at1 + 1;
        next2 = at2 + 1;
    }
    for (qsizetype k = 0; k < tail; ++k) {
        rows.push_back({RowKind::Same, count1 - tail + k, count2 - tail + k});
    }
    return rows;
}

std::vector<qsizetype> DifferenceStarts(const std::vector<DiffRow>& rows) {
    std::vector<qsizetype> starts;
    bool inside = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool differs = rows[i].kind != RowKind::Same;
        if (differs && !inside) starts.push_back(static_cast<qsizetype>(i));
        inside = differs;
    }
    return starts;
}

}  // namespace viewer

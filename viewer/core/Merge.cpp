#include "Merge.h"

#include <algorithm>

#include "LineDiff.h"
#include "Unified.h"

namespace viewer {

namespace {

// A change of one side: BASE's lines `base` became the side's lines `side`.
struct Hunk {
    LineRange base;
    LineRange side;
    bool mine = true;
};

// The changes of `side` against `base`, in order. The side is the first file of the diff, as
// diff3 runs it (`diff MINE BASE`), so that a change lands where diff3's would.
void AddHunks(const std::vector<std::string_view>& side, const std::vector<std::string_view>& base,
              bool mine, const CancelFlag* cancel, std::vector<Hunk>& hunks) {
    const Rows rows = DiffRawLines(side, base, cancel);
    std::int32_t atSide = 0, atBase = 0;
    bool open = false;
    for (const Block& block : rows.blocks()) {
        if (block.kind == RowKind::Common) {
            open = false;
            atSide += block.count;
            atBase += block.count;
            continue;
        }
        if (!open) hunks.push_back({{atBase, atBase}, {atSide, atSide}, mine});
        open = true;
        if (block.kind == RowKind::Removed) {
            atSide += block.count;
            hunks.back().side.end = atSide;
        } else {
            atBase += block.count;
            hunks.back().base.end = atBase;
        }
    }
}

bool SameLines(const std::vector<std::string_view>& a, LineRange ra,
               const std::vector<std::string_view>& b, LineRange rb) {
    if (ra.size() != rb.size()) return false;
    for (std::int32_t i = 0; i < ra.size(); ++i) {
        if (a[static_cast<std::size_t>(ra.begin + i)] !=
            b[static_cast<std::size_t>(rb.begin + i)]) {
            return false;
        }
    }
    return true;
}

void AppendLines(std::string& out, const std::vector<std::string_view>& lines, LineRange range) {
    for (std::int32_t i = range.begin; i < range.end; ++i)
        out += lines[static_cast<std::size_t>(i)];
}

// A side's lines inside a conflict: a last line without its end is given one, so that the
// marker after it stands on a line of its own.
void AppendSide(std::string& out, const std::vector<std::string_view>& lines, LineRange range,
                std::string_view lineEnd) {
    AppendLines(out, lines, range);
    if (range.size() > 0 && lines[static_cast<std::size_t>(range.end - 1)].back() != '\n') {
        out += lineEnd;
    }
}

}  // namespace

std::vector<MergeChunk> MergeLines(const std::vector<std::string_view>& mine,
                                   const std::vector<std::string_view>& base,
                                   const std::vector<std::string_view>& theirs,
                                   const CancelFlag* cancel) {
    std::vector<Hunk> hunks;
    AddHunks(mine, base, true, cancel, hunks);
    AddHunks(theirs, base, false, cancel, hunks);
    // Each side's hunks are in order already; the two lists are merged by where they begin in
    // BASE (stable: MINE's first where both begin at one line).
    std::inplace_merge(
        hunks.begin(),
        std::find_if(hunks.begin(), hunks.end(), [](const Hunk& h) { return !h.mine; }),
        hunks.end(), [](const Hunk& a, const Hunk& b) { return a.base.begin < b.base.begin; });

    std::vector<MergeChunk> chunks;
    // Where the last stretch ended in each file.
    std::int32_t atMine = 0, atBase = 0, atTheirs = 0;
    auto addSame = [&](std::int32_t baseEnd) {
        if (baseEnd == atBase) return;
        const std::int32_t count = baseEnd - atBase;
        chunks.push_back({MergeKind::Same,
                          {atMine, atMine + count},
                          {atBase, baseEnd},
                          {atTheirs, atTheirs + count}});
        atMine += count;
        atTheirs += count;
        atBase = baseEnd;
    };
    for (std::size_t h = 0; h < hunks.size();) {
        // The hunks that touch or overlap in BASE make one stretch, as diff3 takes them: one that
        // begins where the stretch so far ends joins it.
        const std::int32_t begin = hunks[h].base.begin;
        std::int32_t end = hunks[h].base.end;
        const Hunk* first[2] = {nullptr, nullptr};  // MINE's and THEIRS' first and last hunks
        const Hunk* last[2] = {nullptr, nullptr};
        for (; h < hunks.size() && hunks[h].base.begin <= end; ++h) {
            const int side = hunks[h].mine ? 0 : 1;
            if (first[side] == nullptr) first[side] = &hunks[h];
            last[side] = &hunks[h];
            end = std::max(end, hunks[h].base.end);
        }
        addSame(begin);
        // Each side's lines for BASE's [begin, end): its hunks' lines, and the common lines
        // around them that the other side's hunks reach over.
        auto sideRange = [&](int side, std::int32_t at) -> LineRange {
            if (first[side] == nullptr) return {at, at + (end - begin)};
            return {first[side]->side.begin - (first[side]->base.begin - begin),
                    last[side]->side.end + (end - last[side]->base.end)};
        };
        MergeChunk chunk{
            MergeKind::Conflict, sideRange(0, atMine), {begin, end}, sideRange(1, atTheirs)};
        if (first[1] == nullptr) {
            chunk.kind = MergeKind::Mine;
        } else if (first[0] == nullptr) {
            chunk.kind = MergeKind::Theirs;
        } else if (SameLines(mine, chunk.mine, theirs, chunk.theirs)) {
            chunk.kind = MergeKind::Both;
        }
        chunks.push_back(chunk);
        atMine = chunk.mine.end;
        atBase = end;
        atTheirs = chunk.theirs.end;
    }
    addSame(static_cast<std::int32_t>(base.size()));
    return chunks;
}

std::string_view MarkerLineEnd(const std::vector<std::string_view>& mine) {
    return !mine.empty() && mine[0].ends_with("\r\n") ? "\r\n" : "\n";
}

void AppendConflict(std::string& out, const std::vector<std::string_view>& mine,
                    const std::vector<std::string_view>& base,
                    const std::vector<std::string_view>& theirs, const MergeChunk& chunk,
                    const MergeLabels& labels, std::string_view lineEnd) {
    auto marker = [&](std::string_view text, const std::string& label) {
        out += text;
        if (!label.empty()) {
            out += ' ';
            out += label;
        }
        out += lineEnd;
    };
    marker("<<<<<<<", labels.mine);
    AppendSide(out, mine, chunk.mine, lineEnd);
    marker("|||||||", labels.base);
    AppendSide(out, base, chunk.base, lineEnd);
    out += "=======";
    out += lineEnd;
    AppendSide(out, theirs, chunk.theirs, lineEnd);
    marker(">>>>>>>", labels.theirs);
}

MergedText MergeText(std::string_view mineText, std::string_view baseText,
                     std::string_view theirsText, const MergeLabels& labels,
                     const CancelFlag* cancel) {
    const std::vector<std::string_view> mine = RawLines(mineText);
    const std::vector<std::string_view> base = RawLines(baseText);
    const std::vector<std::string_view> theirs = RawLines(theirsText);
    const std::string_view lineEnd = MarkerLineEnd(mine);
    MergedText result;
    result.text.reserve(std::max(mineText.size(), theirsText.size()));
    for (const MergeChunk& chunk : MergeLines(mine, base, theirs, cancel)) {
        switch (chunk.kind) {
            case MergeKind::Same:
            case MergeKind::Mine:
            case MergeKind::Both:
                AppendLines(result.text, mine, chunk.mine);
                break;
            case MergeKind::Theirs:
                AppendLines(result.text, theirs, chunk.theirs);
                break;
            case MergeKind::Conflict:
                AppendConflict(result.text, mine, base, theirs, chunk, labels, lineEnd);
                ++result.conflicts;
                break;
        }
    }
    return result;
}

}  // namespace viewer

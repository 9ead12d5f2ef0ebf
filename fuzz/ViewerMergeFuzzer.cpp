// libFuzzer target for the three-way merge. The input is three files, MINE, BASE and THEIRS,
// cut at a separator (or in thirds when it has fewer than two); each line-cut file is merged as
// it is and in the three shapes whose answer is known without a second merge. Checks, beyond the
// sanitizers:
// - the stretches follow each other without a gap and cover all three files; a Same stretch has
//   the same lines in all three, a Mine one BASE's lines in THEIRS, a Theirs one BASE's lines in
//   MINE, a Both one the same lines in MINE and THEIRS, and a Conflict differs on both sides;
// - the merged text is the stretches' lines with each conflict in markers, and counts them;
// - MINE = BASE gives THEIRS, THEIRS = BASE gives MINE, MINE = THEIRS gives MINE, byte for byte
//   and without a conflict;
// - taking MINE's side of every conflict gives a file holding every line MINE changed, in order.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LineDiff.h"
#include "Merge.h"
#include "Unified.h"
#include "ViewerCheck.h"

namespace {

using viewer::LineRange;
using viewer::MergeKind;

[[noreturn]] void Fail(const char* rule) { viewercheck::Fail("viewer merge fuzzer", rule); }

constexpr std::string_view kSeparator = "\n--zarvo-next-file--\n";

using Lines = std::vector<std::string_view>;

bool Same(const Lines& a, LineRange ra, const Lines& b, LineRange rb) {
    if (ra.size() != rb.size()) return false;
    for (std::int32_t i = 0; i < ra.size(); ++i) {
        if (a[static_cast<std::size_t>(ra.begin + i)] !=
            b[static_cast<std::size_t>(rb.begin + i)]) {
            return false;
        }
    }
    return true;
}

std::string Join(const Lines& lines, LineRange range) {
    std::string out;
    for (std::int32_t i = range.begin; i < range.end; ++i)
        out += lines[static_cast<std::size_t>(i)];
    return out;
}

void CheckMerge(std::string_view mineText, std::string_view baseText, std::string_view theirsText) {
    const Lines mine = viewer::RawLines(mineText);
    const Lines base = viewer::RawLines(baseText);
    const Lines theirs = viewer::RawLines(theirsText);
    const std::vector<viewer::MergeChunk> chunks = viewer::MergeLines(mine, base, theirs);
    std::int32_t atMine = 0, atBase = 0, atTheirs = 0;
    std::string expected, mineSide;
    int conflicts = 0;
    for (const viewer::MergeChunk& chunk : chunks) {
        if (chunk.mine.begin != atMine || chunk.base.begin != atBase ||
            chunk.theirs.begin != atTheirs || chunk.mine.size() < 0 || chunk.base.size() < 0 ||
            chunk.theirs.size() < 0) {
            Fail("the stretches follow each other without a gap");
        }
        atMine = chunk.mine.end;
        atBase = chunk.base.end;
        atTheirs = chunk.theirs.end;
        const bool mineAsBase = Same(mine, chunk.mine, base, chunk.base);
        const bool theirsAsBase = Same(theirs, chunk.theirs, base, chunk.base);
        const bool sidesAlike = Same(mine, chunk.mine, theirs, chunk.theirs);
        switch (chunk.kind) {
            case MergeKind::Same:
                if (!mineAsBase || !theirsAsBase) Fail("a Same stretch is alike in all three");
                expected += Join(base, chunk.base);
                mineSide += Join(mine, chunk.mine);
                break;
            case MergeKind::Mine:
                if (!theirsAsBase || mineAsBase) Fail("a Mine stretch changes MINE only");
                expected += Join(mine, chunk.mine);
                mineSide += Join(mine, chunk.mine);
                break;
            case MergeKind::Theirs:
                if (!mineAsBase || theirsAsBase) Fail("a Theirs stretch changes THEIRS only");
                expected += Join(theirs, chunk.theirs);
                mineSide += Join(theirs, chunk.theirs);
                break;
            case MergeKind::Both:
                if (!sidesAlike || mineAsBase) Fail("a Both stretch changes both alike");
                expected += Join(mine, chunk.mine);
                mineSide += Join(mine, chunk.mine);
                break;
            case MergeKind::Conflict:
                if (sidesAlike || mineAsBase || theirsAsBase) {
                    Fail("a conflict is changed on both sides, differently");
                }
                viewer::AppendConflict(expected, mine, base, theirs, chunk, {"M", "B", "T"},
                                       viewer::MarkerLineEnd(mine));
                mineSide += Join(mine, chunk.mine);
                ++conflicts;
                break;
        }
    }
    if (static_cast<std::size_t>(atMine) != mine.size() ||
        static_cast<std::size_t>(atBase) != base.size() ||
        static_cast<std::size_t>(atTheirs) != theirs.size()) {
        Fail("the stretches cover all three files");
    }
    const viewer::MergedText merged =
        viewer::MergeText(mineText, baseText, theirsText, {"M", "B", "T"});
    if (merged.text != expected || merged.conflicts != conflicts) {
        Fail("the merged text is the stretches' lines, conflicts in markers");
    }

    // Every line MINE changed against BASE is in MINE's side of the merge, in order.
    const viewer::Rows rows = viewer::DiffRawLines(mine, base);
    const Lines resolved = viewer::RawLines(mineSide);
    std::size_t at = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].kind != viewer::RowKind::Removed) continue;
        const std::string_view line = mine[static_cast<std::size_t>(rows[row].first)];
        while (at < resolved.size() && resolved[at] != line) ++at;
        if (at == resolved.size())
            Fail("MINE's side of every conflict keeps every line MINE changed");
        ++at;
    }
}

void CheckKnown(std::string_view mine, std::string_view base, std::string_view theirs) {
    const viewer::MergedText oneSide = viewer::MergeText(base, base, theirs, {});
    if (oneSide.text != theirs || oneSide.conflicts != 0) Fail("MINE = BASE gives THEIRS");
    const viewer::MergedText otherSide = viewer::MergeText(mine, base, base, {});
    if (otherSide.text != mine || otherSide.conflicts != 0) Fail("THEIRS = BASE gives MINE");
    const viewer::MergedText alike = viewer::MergeText(mine, base, mine, {});
    if (alike.text != mine || alike.conflicts != 0) Fail("MINE = THEIRS gives MINE");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    const std::size_t first = input.find(kSeparator);
    const std::size_t second =
        first == std::string_view::npos ? first : input.find(kSeparator, first + kSeparator.size());
    if (second != std::string_view::npos) {
        parts[0] = input.substr(0, first);
        parts[1] = input.substr(first + kSeparator.size(), second - first - kSeparator.size());
        parts[2] = input.substr(second + kSeparator.size());
    } else {
        parts[0] = input.substr(0, size / 3);
        parts[1] = input.substr(size / 3, size / 3);
        parts[2] = input.substr(2 * (size / 3));
    }
    CheckMerge(parts[0], parts[1], parts[2]);
    CheckKnown(parts[0], parts[1], parts[2]);
    return 0;
}

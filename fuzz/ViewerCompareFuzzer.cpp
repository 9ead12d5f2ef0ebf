// libFuzzer target for the viewer's comparison of two files, from reading them to the rows it
// shows. The first input byte chooses the two files: the bytes before and after a separator (or
// the two halves), each once or repeated, or a file and a copy of it, or a file and the same with
// one byte changed; and whether the files go over the text limit, so that the block-by-block
// comparison runs too. The second byte chooses the ignore options (for small files, line ends
// among them, and an encoding chosen by hand for the first file), and whether they are applied
// again to the finished comparison. Both files are written to a memory file system and compared
// as the program compares them. Checks, beyond the sanitizers:
// - the first differing byte and the sizes are the files' own; identical bytes say so; files
//   compared byte by byte name the offset where they part;
// - every line of both files appears exactly once in the rows, in order;
// - a common row pairs two lines with the same bytes; for files in two encodings, the same text
//   decoded without loss (the characters Shift_JIS and JIS map apart made one); under an ignore
//   option, the same text once the option reduces it; with line ends compared, the same ends;
// - identical files have only common rows; files whose bytes differ show a difference or say
//   why not (lines the same in other bytes, or an option that hides lines); lines that differ
//   as compared give a changed row;
// - the common rows are as many as the longest common subsequence of the lines (small inputs);
// - the differences start where runs of changed rows start, less the changes of blank lines an
//   option overlooks; moving between them agrees; the count of hidden lines is right;
// - a changed line's partner is a line of the other file in the same change, whose partner it
//   is; the marks lie inside the line, in order, apart; what the two leave unmarked is the same;
//   a long line shown in part, in the list or in a pane, keeps its first mark on screen;
// - the two-pane view shows every row once, common rows facing each other;
// - the list is as wide as its widest line, measured line by line;
// - applying other options and back gives the same rows;
// - the unified diff of the two files, applied to the first by a patch applier written here,
//   gives the second byte for byte, and its hunks' counts and context are right.
// The second byte can also make the files large (thousands of lines built from the input: one
// reordered, lines from a few repeated, blocks moved, or mixed), where the diff settles for a
// near-minimal answer: every rule above but minimality still holds there.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "Comparison.h"
#include "ComparisonWording.h"
#include "Unified.h"
#include "SideBySide.h"
#include "ViewerCheck.h"
#include "Widest.h"
#include "EncodingWords.h"

namespace {

using viewer::Comparison;
using viewer::Encoding;
using viewer::RowKind;
using viewercheck::RawLine;

[[noreturn]] void Fail(const char* rule) { viewercheck::Fail("viewer compare fuzzer", rule); }

// Seeds hold both files, the first then the second, with this between them.
constexpr std::string_view kSeparator = "\n--zarvo-second-file--\n";

// One folder per fuzzing process, on a memory file system where there is one. It holds the two
// files only while they are compared, so that a run stopped by a failed check leaves nothing.
const std::string& Folder() {
    static const std::string folder =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zarvo-view-fuzz-" +
        std::to_string(getpid());
    return folder;
}

void Store(const std::string& name, std::string_view bytes) {
    std::ofstream out(Folder() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A file's bytes without its byte order mark.
std::string_view WithoutMark(std::string_view bytes, const viewer::FileSide& side) {
    // UTF-16 may come without its mark.
    const std::size_t mark =
        side.encoding == Encoding::Utf8Bom ? 3
        : (side.encoding == Encoding::Utf16Le && bytes.starts_with("\xFF\xFE")) ||
                (side.encoding == Encoding::Utf16Be && bytes.starts_with("\xFE\xFF"))
            ? 2
            : 0;
    return bytes.substr(mark);
}

// The lines of a file as the viewer should cut them, its byte order mark left out.
std::vector<RawLine> FileLines(std::string_view bytes, const viewer::FileSide& side) {
    return viewercheck::SplitLines(WithoutMark(bytes, side), viewer::UnitBytes(side.encoding),
                                   side.encoding == Encoding::Utf16Be);
}

// The characters that Shift_JIS and the JIS tables map apart for one JIS character, each pair
// made one: files in two encodings compare them equal.
char16_t Unify(char16_t c) {
    static constexpr std::pair<char16_t, char16_t> kPairs[] = {
        {0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x00A2, 0xFFE0},
        {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2014, 0x2015}};
    for (const auto& [jis, cp932] : kPairs) {
        if (c == jis) return cp932;
    }
    return c;
}

// How a line ends, in code units: 2 for CR LF, 1 for LF, 0 for a last line without one.
std::size_t EndingUnits(std::string_view bytes, const std::vector<RawLine>& lines, std::size_t i,
                        std::size_t unit) {
    const std::size_t next = i + 1 < lines.size() ? lines[i + 1].begin : bytes.size();
    return (next - lines[i].begin - lines[i].bytes.size()) / unit;
}

// A line as the comparison should compare it: its bytes (each one a unit), its text for files in
// two encodings (the JIS variants made one), or its text reduced by the options; and its end,
// when line ends are not ignored.
std::u16string Key(std::string_view bytes, std::size_t endingUnits, Encoding encoding, bool byText,
                   const viewer::IgnoreOptions& options) {
    const bool reduces = options.trailingBlanks || options.allBlanks || options.letterCase;
    std::u16string key;
    if (reduces || byText) {
        key = viewer::Decode(bytes, encoding);
        if (reduces) key = viewer::Reduce(key, options);
        if (byText) {
            for (char16_t& c : key) c = Unify(c);
        }
    } else {
        key.assign(bytes.begin(), bytes.end());
    }
    if (!options.lineEnds) key += std::u16string(u"\x1\x2").substr(0, endingUnits) + u"\x3";
    return key;
}

// The length of a longest common subsequence of two lists.
std::size_t CommonLength(const std::vector<std::u16string>& a,
                         const std::vector<std::u16string>& b) {
    std::vector<std::size_t> row(b.size() + 1, 0);
    for (const std::u16string& x : a) {
        std::size_t diagonal = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::size_t above = row[j + 1];
            row[j + 1] = x == b[j] ? diagonal + 1 : std::max(row[j], above);
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What a line's marks leave unmarked; the marks lie inside the line, in order and apart.
std::u16string Unmarked(const std::u16string& text, const std::vector<viewer::MarkSpan>& marks) {
    std::u16string rest;
    std::size_t at = 0;
    for (const viewer::MarkSpan& mark : marks) {
        if (mark.length == 0 || mark.start < at || mark.start + mark.length > text.size())
            Fail("a mark lies outside its line or out of order");
        rest.append(text, at, mark.start - at);
        at = mark.start + mark.length;
    }
    return rest + text.substr(at);
}

// The change (a run of changed rows) that holds `row`: its first row and the row after it.
std::pair<std::size_t, std::size_t> ChangeOf(const Comparison& c, std::size_t row) {
    std::size_t begin = row, end = row;
    while (begin > 0 && c.rows()[begin - 1].kind != RowKind::Common) --begin;
    while (end < c.rows().size() && c.rows()[end].kind != RowKind::Common) ++end;
    return {begin, end};
}

void CheckMarks(const Comparison& c, std::size_t row) {
    const viewer::LineMarks marks = c.MarksOf(row);
    const bool overlooked = c.Overlooked(row);
    if (c.rows()[row].kind == RowKind::Common || overlooked) {
        if (marks.partner || !marks.marks.empty()) Fail("a common or overlooked row has marks");
        return;
    }
    const std::u16string text = c.LineText(row);
    if (!marks.partner) {
        if (!marks.marks.empty()) Fail("a line without a partner has marks");
    } else {
        const std::size_t partner = *marks.partner;
        const auto [begin, end] = ChangeOf(c, row);
        if (partner < begin || partner >= end || c.rows()[partner].kind == c.rows()[row].kind)
            Fail("a line's partner is not in its change, in the other file");
        const viewer::LineMarks back = c.MarksOf(partner);
        if (back.partner != row) Fail("a line is not its partner's partner");
        const std::u16string other = c.LineText(partner);
        if (Unmarked(text, marks.marks) != Unmarked(other, back.marks))
            Fail("two partners differ outside their marks");
        if (text != other && marks.marks.empty() && back.marks.empty())
            Fail("two different partners have no marks");
    }
    const viewer::ShownLine shown = c.Shown(row);
    Unmarked(shown.text, shown.marks);
    if (text.size() <= viewer::kLongestShown) {
        if (shown.text != text || shown.marks != marks.marks)
            Fail("a short line is not shown whole");
    } else if (!marks.marks.empty() && shown.marks.empty()) {
        Fail("a long line is shown without its first difference");
    }
    // Any width: what is shown holds its marks; from the narrowest pane the window gives (40
    // characters) up, the line's first difference is among them.
    for (const std::size_t longest :
         {std::size_t{1}, std::size_t{7}, std::size_t{40}, std::size_t{41}, std::size_t{100}}) {
        const viewer::ShownLine part = c.Shown(row, longest);
        Unmarked(part.text, part.marks);
        if (longest >= 40 && !marks.marks.empty() && part.marks.empty())
            Fail("a long line is shown in a pane without its first difference");
    }
}

void CheckSideBySide(const Comparison& c) {
    const viewer::SideBySide side(c.rows());
    std::size_t nextLeft = 0, nextRight = 0;
    std::vector<bool> seen(c.rows().size(), false);
    for (std::size_t s = 0; s < side.size(); ++s) {
        const viewer::SideRow pair = side[s];
        if (!pair.left && !pair.right) Fail("an empty row in the two-pane view");
        for (const auto& place : {pair.left, pair.right}) {
            if (!place) continue;
            if (*place >= c.rows().size()) Fail("the two-pane view shows a row that is not there");
            if (side.SideRowOf(*place) != s) Fail("the two-pane view misplaces a row");
            seen[*place] = true;
        }
        if (pair.left) {
            if (c.rows()[*pair.left].kind == RowKind::Added || *pair.left < nextLeft)
                Fail("the left pane shows a line of the second file, or out of order");
            nextLeft = *pair.left + 1;
        }
        if (pair.right) {
            if (c.rows()[*pair.right].kind == RowKind::Removed || *pair.right < nextRight)
                Fail("the right pane shows a line of the first file, or out of order");
            nextRight = *pair.right + 1;
        }
        if ((pair.left && c.rows()[*pair.left].kind == RowKind::Common) !=
            (pair.left == pair.right))
            Fail("a common line does not face itself");
    }
    if (std::find(seen.begin(), seen.end(), false) != seen.end())
        Fail("a row is missing from the two-pane view");
}

// Find, which looks at the bytes of many lines at a step, lands where a search row by row does,
// both ways, from `from` and from nowhere.
void CheckFind(const Comparison& c, std::u16string_view needle, std::size_t from) {
    if (needle.empty()) return;
    std::u16string folded(needle);
    for (char16_t& unit : folded) unit = viewer::FoldCase(unit);
    const std::size_t count = c.rows().size();
    auto holds = [&](std::size_t row) {
        std::u16string text = c.LineText(row);
        for (char16_t& unit : text) unit = viewer::FoldCase(unit);
        return text.find(folded) != std::u16string::npos;
    };
    for (const bool forward : {true, false}) {
        for (const std::optional<std::size_t> start :
             {std::optional<std::size_t>(from), std::optional<std::size_t>()}) {
            std::optional<std::size_t> expected;
            std::size_t row = start ? *start : (forward ? count - 1 : 0);
            for (std::size_t step = 0; step < count && !expected; ++step) {
                row = forward ? (row + 1) % count : (row + count - 1) % count;
                if (holds(row)) expected = row;
            }
            if (c.Find(needle, start, forward) != expected) Fail("find lands on another row");
        }
    }
}

void CheckText(const Comparison& c, std::string_view bytes1, std::string_view bytes2) {
    const std::vector<RawLine> lines1 = FileLines(bytes1, c.first());
    const std::vector<RawLine> lines2 = FileLines(bytes2, c.second());
    const viewer::TextFile& text1 = *c.first().text;
    const viewer::TextFile& text2 = *c.second().text;
    if (text1.LineCount() != static_cast<std::int32_t>(lines1.size()) ||
        text2.LineCount() != static_cast<std::int32_t>(lines2.size())) {
        Fail("a file has the wrong number of lines");
    }
    // Files in one encoding (a byte order mark aside) write the same text in the same bytes;
    // files in two are compared by their text, unless a byte order mark promised what the bytes
    // do not keep.
    auto form = [](Encoding e) { return e == Encoding::Utf8Bom ? Encoding::Utf8 : e; };
    const bool byText = form(c.first().encoding) != form(c.second().encoding) && !c.first().lossy &&
                        !c.second().lossy;
    std::vector<std::u16string> keys1, keys2, plain1, plain2;
    std::vector<std::size_t> ends1, ends2;
    auto keys = [&](std::string_view bytes, const std::vector<RawLine>& lines, Encoding encoding,
                    std::vector<std::u16string>& all, std::vector<std::u16string>& plain,
                    std::vector<std::size_t>& ends) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ends.push_back(EndingUnits(bytes, lines, i, viewer::UnitBytes(encoding)));
            all.push_back(Key(lines[i].bytes, ends.back(), encoding, byText, c.options()));
            plain.push_back(Key(lines[i].bytes, ends.back(), encoding, byText, {}));
        }
    };
    keys(WithoutMark(bytes1, c.first()), lines1, c.first().encoding, keys1, plain1, ends1);
    keys(WithoutMark(bytes2, c.second()), lines2, c.second().encoding, keys2, plain2, ends2);

    // Every line once, in order; common rows pair equal lines.
    std::int32_t next1 = 0, next2 = 0;
    std::size_t common = 0, hidden = 0;
    for (std::size_t r = 0; r < c.rows().size(); ++r) {
        const viewer::Row row = c.rows()[r];
        const bool has1 = row.kind != RowKind::Added, has2 = row.kind != RowKind::Removed;
        if (has1 != (row.first >= 0) || has2 != (row.second >= 0))
            Fail("a row's lines do not match its kind");
        if (has1 && row.first != next1++) Fail("the first file's lines are not shown in order");
        if (has2 && row.second != next2++) Fail("the second file's lines are not shown in order");
        if (row.kind == RowKind::Common) {
            ++common;
            const auto i = static_cast<std::size_t>(row.first);
            const auto j = static_cast<std::size_t>(row.second);
            if (keys1[i] != keys2[j]) Fail("a common row pairs lines that differ");
            hidden += plain1[i] != plain2[j];
        } else if (c.Overlooked(r)) {
            ++hidden;
        }
    }
    if (next1 != text1.LineCount() || next2 != text2.LineCount())
        Fail("a line is missing from the rows");
    // The rows are those of the same diff run on the keys above: lines cut plainly, without the
    // index, the equal ends found by bytes, or keys kept only for the lines between them. (Where
    // the diff itself is costly, once is enough: its cost grows with lines times changes.)
    const std::size_t changed = c.rows().size() - common;
    if (changed * (lines1.size() + lines2.size()) <= 4'000'000) {
        auto views = [](const std::vector<std::u16string>& keys) {
            std::vector<std::string_view> bytes;
            for (const std::u16string& key : keys) {
                bytes.emplace_back(reinterpret_cast<const char*>(key.data()),
                                   key.size() * sizeof(char16_t));
            }
            return bytes;
        };
        const viewer::Rows plain = viewer::DiffRawLines(views(keys1), views(keys2));
        if (plain.size() != c.rows().size()) Fail("the rows are not the plain cut's");
        for (std::size_t r = 0; r < plain.size(); ++r) {
            const viewer::Row a = plain[r], b = c.rows()[r];
            if (a.kind != b.kind || a.first != b.first || a.second != b.second)
                Fail("the rows are not the plain cut's");
        }
    }
    if (c.options().any() && c.hiddenLines() != hidden) Fail("the count of hidden lines is wrong");

    // Where the differences start (changes of blank lines aside, when overlooked), and moving
    // between them.
    std::vector<std::size_t> starts;
    bool changes = false;
    for (std::size_t r = 0; r < c.rows().size(); ++r) {
        if (c.rows()[r].kind == RowKind::Common) continue;
        changes = true;
        if (r > 0 && c.rows()[r - 1].kind != RowKind::Common) continue;
        bool blank = true;
        for (std::size_t k = r; k < c.rows().size() && c.rows()[k].kind != RowKind::Common; ++k) {
            // The line's end, drawn after it when line ends count, is no part of its text.
            std::u16string text = c.LineText(k);
            if (!c.options().lineEnds) {
                const viewer::Row row = c.rows()[k];
                const std::size_t units = row.first >= 0
                                              ? ends1[static_cast<std::size_t>(row.first)]
                                              : ends2[static_cast<std::size_t>(row.second)];
                text.resize(text.size() - units);
            }
            for (const char16_t ch : text) blank = blank && viewer::IsBlank(ch);
        }
        const bool overlooked = c.options().blankLines && blank;
        if (c.Overlooked(r) != overlooked) Fail("a change of blank lines is misjudged");
        if (!overlooked) starts.push_back(r);
    }
    if (starts != c.differenceStarts()) Fail("differences do not start where changed rows start");
    std::optional<std::size_t> at;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        at = c.NextDifference(at);
        if (at != starts[k] || c.DifferenceNumber(starts[k]) != k + 1)
            Fail("moving between differences skips one");
    }
    if (c.NextDifference(at)) Fail("a difference after the last one");

    if (c.identicalBytes() && (common != c.rows().size() || !starts.empty()))
        Fail("identical files show a difference");
    if (!c.identicalBytes() && starts.empty() && viewer::SameLinesNote(c).empty() &&
        viewer::HiddenNote(c).empty()) {
        Fail("files whose bytes differ show no difference and say nothing");
    }
    if (!c.identicalBytes() && keys1 != keys2 && !changes)
        Fail("files with different lines show no change");
    if (!c.identicalBytes() && lines1.size() * lines2.size() <= 40000 &&
        common != CommonLength(keys1, keys2)) {
        Fail("the common lines are not a longest common subsequence");
    }

    // The list's width, found from the lines' bytes with few lines measured, is that of the
    // widest line measured one by one.
    std::size_t widest = 0;
    for (std::size_t r = 0; r < c.rows().size(); ++r) {
        const viewer::TextFile& file = c.rows()[r].first >= 0 ? *c.first().text : *c.second().text;
        widest = std::max(widest, viewer::LineCells(file, c.LineBytes(r)));
    }
    if (viewer::WidestLineCells(c) != widest) Fail("the list's width is not its widest line's");

    // Marks, the two panes, and the rest of what the window asks, on the first rows.
    const std::size_t shown = std::min<std::size_t>(c.rows().size(), 300);
    for (std::size_t r = 0; r < shown; ++r) CheckMarks(c, r);
    CheckSideBySide(c);
    std::vector<std::size_t> all(shown);
    for (std::size_t r = 0; r < shown; ++r) all[r] = r;
    c.CopyText(all);
    if (shown > 0) CheckFind(c, c.LineText(shown / 2).substr(0, 3), shown / 3);
    // An ASCII letter, which the search looks for in the bytes of many lines at a step.
    if (shown > 0) CheckFind(c, u"E", shown / 2);
    for (std::int64_t line = 0; line <= text1.LineCount() + 1; line += 1 + line / 8) {
        const std::optional<std::size_t> row = c.RowOfLine(viewer::Side::First, line);
        if (line < 1 || text1.LineCount() == 0) {
            if (row) Fail("going to a line that is not there found a row");
        } else if (!row ||
                   c.rows()[*row].first != std::min<std::int64_t>(line, text1.LineCount()) - 1) {
            Fail("going to a line found the wrong row");
        }
    }
}

// Applies a unified diff to `original` as `patch` does, checking every context and removed line
// against it; fails on any hunk that does not fit.
std::string ApplyUnified(std::string_view original, std::string_view diff) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < original.size();) {
        const std::size_t end = original.find('\n', at);
        const std::size_t next = end == std::string_view::npos ? original.size() : end + 1;
        lines.push_back(original.substr(at, next - at));
        at = next;
    }
    // The diff's own lines, each without its LF.
    std::vector<std::string_view> text;
    for (std::size_t at = 0; at < diff.size();) {
        const std::size_t end = diff.find('\n', at);
        if (end == std::string_view::npos) Fail("the unified diff does not end with a newline");
        text.push_back(diff.substr(at, end - at));
        at = end + 1;
    }
    std::string out;
    std::size_t copied = 0;  // lines of the original already handled
    for (std::size_t k = 0; k < text.size();) {
        long oldStart = 0, oldCount = 1, newStart = 0, newCount = 1;
        const std::string header(text[k]);
        if (std::sscanf(header.c_str(), "@@ -%ld,%ld +%ld,%ld @@", &oldStart, &oldCount, &newStart,
                        &newCount) != 4) {
            long* counts[] = {&oldCount, &newCount};
            oldCount = newCount = 1;
            // The forms without a count, where the count is 1.
            if (std::sscanf(header.c_str(), "@@ -%ld +%ld,%ld @@", &oldStart, &newStart,
                            counts[1]) != 3 &&
                std::sscanf(header.c_str(), "@@ -%ld,%ld +%ld @@", &oldStart, counts[0],
                            &newStart) != 3 &&
                std::sscanf(header.c_str(), "@@ -%ld +%ld @@", &oldStart, &newStart) != 2) {
                Fail("a unified hunk has no header");
            }
        }
        const std::size_t from = static_cast<std::size_t>(oldCount == 0 ? oldStart : oldStart - 1);
        if (from < copied || from > lines.size()) Fail("a unified hunk starts out of place");
        for (; copied < from; ++copied) out += lines[copied];
        long removed = 0, added = 0;
        for (++k; k < text.size() && !text[k].empty() && text[k][0] != '@'; ++k) {
            const char sign = text[k][0];
            std::string line(text[k].substr(1));
            line += '\n';
            if (k + 1 < text.size() && text[k + 1] == "\\ No newline at end of file") {
                line.pop_back();
                ++k;
            }
            if (sign == ' ' || sign == '-') {
                if (copied >= lines.size() || lines[copied] != line)
                    Fail("a unified hunk's context or removed line is not the first file's");
                ++copied;
                ++removed;
            }
            if (sign == ' ' || sign == '+') {
                out += line;
                ++added;
            }
            if (sign != ' ' && sign != '-' && sign != '+') Fail("a unified line has no sign");
        }
        if (removed != oldCount || added != newCount) Fail("a unified hunk's counts are wrong");
    }
    for (; copied < lines.size(); ++copied) out += lines[copied];
    return out;
}

// A small, fixed random source, so that each input builds the same files every time.
class Dice {
public:
    explicit Dice(std::string_view seed) {
        for (const char c : seed)
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    }
    std::size_t Below(std::size_t n) {
        state_ += 0x9E3779B97F4A7C15u;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return n == 0 ? 0 : static_cast<std::size_t>((z ^ (z >> 31)) % n);
    }

private:
    std::uint64_t state_ = 0xCBF29CE484222325u;
};

// Two large files built from the input: its lines (or numbered ones) are the material.
void MakeLarge(std::string_view input, int how, std::string& first, std::string& second) {
    std::vector<std::string> pool;
    for (std::size_t at = 0; at < input.size() && pool.size() < 64;) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        pool.emplace_back(input.substr(at, end - at));
        at = end + 1;
    }
    Dice dice(input);
    const std::size_t count = 1000 + dice.Below(3000);
    std::vector<std::string> a;
    for (std::size_t i = 0; i < count; ++i) {
        if (how == 1 && !pool.empty()) {
            a.push_back(pool[dice.Below(std::min<std::size_t>(pool.size(), 3))]);
        } else if (!pool.empty() && dice.Below(4) == 0) {
            a.push_back(pool[dice.Below(pool.size())]);
        } else {
            a.push_back("line " + std::to_string(i));
        }
    }
    std::vector<std::string> b = a;
    switch (how) {
        case 0:  // the same lines in another order
            for (std::size_t i = b.size(); i > 1; --i) std::swap(b[i - 1], b[dice.Below(i)]);
            break;
        case 1:  // a few lines repeated: another draw of them
            for (std::string& line : b)
                line = pool.empty() ? "}" : pool[dice.Below(std::min<std::size_t>(pool.size(), 3))];
            break;
        case 2:  // blocks moved
            for (int moves = 0; moves < 20; ++moves) {
                const std::size_t start = dice.Below(b.size());
                const std::size_t length = std::min(b.size() - start, 1 + dice.Below(200));
                std::vector<std::string> block(
                    b.begin() + static_cast<std::ptrdiff_t>(start),
                    b.begin() + static_cast<std::ptrdiff_t>(start + length));
                b.erase(b.begin() + static_cast<std::ptrdiff_t>(start),
                        b.begin() + static_cast<std::ptrdiff_t>(start + length));
                const std::size_t to = dice.Below(b.size() + 1);
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(to), block.begin(), block.end());
            }
            break;
        default:  // edits here and there, some from the pool
            for (std::size_t edits = dice.Below(200); edits > 0 && !b.empty(); --edits) {
                const std::size_t at = dice.Below(b.size());
                switch (dice.Below(3)) {
                    case 0:
                        b.erase(b.begin() + static_cast<std::ptrdiff_t>(at));
                        break;
                    case 1:
                        b.insert(b.begin() + static_cast<std::ptrdiff_t>(at),
                                 pool.empty() ? "new" : pool[dice.Below(pool.size())]);
                        break;
                    default:
                        b[at] += " changed";
                }
            }
    }
    for (const std::string& line : a) first += line + '\n';
    for (const std::string& line : b) second += line + (dice.Below(50) == 0 ? "\r\n" : "\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::uint8_t control = data[0];
    const std::string_view input(
        reinterpret_cast<const char*>(data) + std::min<std::size_t>(size, 2),
        size - std::min<std::size_t>(size, 2));
    std::string first, second;
    switch (control & 3) {
        case 0:
        case 1: {
            const std::size_t separator = input.find(kSeparator);
            const std::size_t cut =
                separator == std::string_view::npos ? input.size() / 2 : separator;
            first = input.substr(0, cut);
            second = input.substr(std::min(
                input.size(), cut + (separator == std::string_view::npos ? 0 : kSeparator.size())));
            if ((control & 3) == 1) {
                // Both files repeated, up to 16 times and 40 KB: changes of hundreds of lines,
                // which are paired in order rather than by likeness.
                const std::size_t times = std::min<std::size_t>(
                    1 + ((control >> 2) & 15), 40000 / (first.size() + second.size() + 1) + 1);
                const std::string once1 = first, once2 = second;
                for (std::size_t k = 1; k < times; ++k) first += once1, second += once2;
            }
            break;
        }
        case 2:
            first = second = input;
            break;
        case 3:
            // One byte changed, at a place and to a value taken from the control byte and the
            // input itself.
            first = second = input;
            if (!second.empty()) {
                const std::size_t at = (control >> 2) * 2654435761u % second.size();
                second[at] = static_cast<char>(second[at] ^ (1 + (control >> 2) % 255));
            }
            break;
    }
    const std::uint8_t choice = size > 1 ? data[1] : 0;
    if ((choice & 0x20) != 0) {
        first.clear();
        second.clear();
        MakeLarge(input, choice >> 6, first, second);
    }
    // The unified diff rebuilds the second file from the first, whatever the files hold.
    if (ApplyUnified(first, viewer::UnifiedHunks(first, second)) != second)
        Fail("the unified diff applied to the first file does not give the second");
    // Over the text limit for the larger file, or for both: compared in blocks.
    const auto smaller = static_cast<std::int64_t>(std::min(first.size(), second.size()));
    const std::int64_t limit = (control & 0x80) == 0   ? viewer::kTextLimitBytes
                               : (control & 0x40) == 0 ? smaller
                                                       : std::max<std::int64_t>(smaller - 1, 0);
    viewer::IgnoreOptions options;
    options.trailingBlanks = (choice & 1) != 0;
    options.allBlanks = (choice & 2) != 0;
    options.blankLines = (choice & 4) != 0;
    options.letterCase = (choice & 8) != 0;
    // The two high bits, which only large files use otherwise: line ends compared, and the
    // first file read in an encoding chosen by hand.
    const bool small = (choice & 0x20) == 0;
    options.lineEnds = !(small && (choice & 0x40) != 0);
    viewer::ChosenEncodings chosen;
    if (small && (choice & 0x80) != 0) {
        const std::vector<viewer::EncodingChoice> choices = viewer::EncodingChoices();
        chosen.first = choices[1 + (control >> 2) % (choices.size() - 1)].encoding;
    }
    mkdir(Folder().c_str(), 0700);
    Store("first", first);
    Store("second", second);
    Comparison c =
        viewer::Compare(Folder() + "/first", Folder() + "/second", limit, options, nullptr, chosen);
    unlink((Folder() + "/first").c_str());
    unlink((Folder() + "/second").c_str());
    rmdir(Folder().c_str());
    if ((choice & 16) != 0) {
        // Other options and back, on the comparison already made, as the menu does.
        const std::vector<viewer::Block> before = c.rows().blocks();
        const std::vector<std::size_t> starts = c.differenceStarts();
        viewer::IgnoreOptions other;
        other.allBlanks = !options.allBlanks;
        other.letterCase = !options.letterCase;
        other.lineEnds = !options.lineEnds;
        c.Rediff(other);
        c.Rediff(options);
        const std::vector<viewer::Block>& after = c.rows().blocks();
        const bool same = std::equal(before.begin(), before.end(), after.begin(), after.end(),
                                     [](const viewer::Block& x, const viewer::Block& y) {
                                         return x.kind == y.kind && x.first == y.first &&
                                                x.second == y.second && x.count == y.count &&
                                                x.row == y.row;
                                     });
        if (!same || starts != c.differenceStarts()) Fail("options applied again change the rows");
    }

    if (c.outcome() == viewer::Outcome::Unreadable) Fail("a written file could not be read");
    if (c.first().size != static_cast<std::int64_t>(first.size()) ||
        c.second().size != static_cast<std::int64_t>(second.size())) {
        Fail("a file's size is wrong");
    }
    const std::size_t shorter = std::min(first.size(), second.size());
    const auto mismatch = std::mismatch(
        first.begin(), first.begin() + static_cast<std::ptrdiff_t>(shorter), second.begin());
    const std::int64_t firstDifference = first == second ? -1 : mismatch.first - first.begin();
    if (c.firstDifferentByte() != firstDifference || c.identicalBytes() != (first == second))
        Fail("the first differing byte is wrong");
    // UTF-16 chosen by hand is text, whatever NUL bytes it holds. A file is told binary from
    // its first 64 KiB and then compared in blocks, as is a file over the limit; otherwise from
    // all of it, once read.
    const bool firstUtf16 = chosen.first && viewer::UnitBytes(*chosen.first) == 2;
    auto start = [](const std::string& bytes) { return bytes.substr(0, 64 << 10); };
    const bool binaryStart =
        (!firstUtf16 && viewer::LooksBinary(start(first))) || viewer::LooksBinary(start(second));
    const bool tooLarge =
        !binaryStart && static_cast<std::int64_t>(std::max(first.size(), second.size())) > limit;
    if ((c.outcome() == viewer::Outcome::TooLarge) != tooLarge) Fail("the text limit was not kept");
    if (c.outcome() != viewer::Outcome::Text && !c.identicalBytes()) {
        // The header names where the files part, in decimal.
        const std::string at = std::to_string(firstDifference);
        const std::u16string named =
            u"最初に異なるバイトの位置: " + std::u16string(at.begin(), at.end());
        if (viewer::ComparisonMessage(c).find(named) == std::u16string::npos)
            Fail("the offset is not named");
    }
    viewer::ComparisonTitle(c, u"first", u"second");
    viewer::CountText(c, std::nullopt);
    if (tooLarge) return 0;
    const bool binary =
        binaryStart || (!firstUtf16 && viewer::LooksBinary(first)) || viewer::LooksBinary(second);
    if ((c.outcome() == viewer::Outcome::Binary) != binary) {
        Fail("binary detection differs from the files'");
    }
    if (c.outcome() == viewer::Outcome::Text) CheckText(c, first, second);
    return 0;
}

#include "LineDiff.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "Myers.h"

namespace viewer {

namespace {

// How a line ends, as a reduced line's text carries it.
std::u16string_view EndingKey(LineEnding ending) {
    return ending == LineEnding::CrLf ? u"\r\n" : ending == LineEnding::Lf ? u"\n" : u"";
}

// How far a group may slide each way: in a file of a million blank lines a change could slide
// through all of them, and nothing is gained beyond a screenful or two.
constexpr std::int32_t kMostSlides = 10000;

// The lines of a file as the diff compares them: their bytes (with their ends, when those
// count), or, when an option reduces them or the JIS variants are made one, the bytes of their
// reduced text; or lines cut by the caller. Only the lines the diff works on are held at hand:
// those between the equal head and tail, and as far past them as a change may slide, four bytes
// a line (or a line's reduced text). Others are looked up one by one.
class LineKeys {
public:
    LineKeys(const TextFile& file, const IgnoreOptions& options, bool unifyJisVariants,
             std::int32_t lo, std::int32_t hi, const CancelFlag* cancel)
        : file_(&file),
          size_(file.LineCount()),
          withEndings_(!options.lineEnds),
          unit_(UnitBytes(file.encoding())),
          options_(options),
          unify_(unifyJisVariants) {
        reduces_ =
            options.trailingBlanks || options.allBlanks || options.letterCase || unifyJisVariants;
        lo_ = std::clamp(lo - kMostSlides, 0, size_);
        const std::int32_t last = std::clamp(hi + kMostSlides, lo_, size_);
        if (reduces_) {
            reduced_.reserve(static_cast<std::size_t>(last - lo_));
        } else {
            begins_.reserve(static_cast<std::size_t>(last - lo_) + 1);
        }
        const char* bytes = file.bytes().data();
        LineCursor line(file, lo_);
        for (std::int32_t i = lo_; i < last; ++i, line.Next()) {
            if (i % 65536 == 0) ThrowIfCancelled(cancel);
            if (reduces_) {
                reduced_.push_back(Reduced(line));
            } else {
                begins_.push_back(static_cast<std::uint32_t>(line.LineWithEnding().data() - bytes));
            }
        }
        if (!reduces_)
            begins_.push_back(static_cast<std::uint32_t>(line.LineWithEnding().data() - bytes));
    }
    explicit LineKeys(const std::vector<std::string_view>& lines)
        : lines_(&lines), size_(static_cast<std::int32_t>(lines.size())) {}
    std::int32_t size() const { return size_; }
    std::string_view operator[](std::int32_t i) const {
        const auto at = static_cast<std::size_t>(i);
        if (file_ == nullptr) return (*lines_)[at];
        const auto k = static_cast<std::size_t>(i - lo_);
        if (reduces_) {
            if (i >= lo_ && k < reduced_.size()) return reduced_[k];
            // Kept once made: the diff holds on to the keys it is given.
            auto [far, made] = far_.try_emplace(i);
            if (made) far->second = Reduced(LineCursor(*file_, i));
            return far->second;
        }
        if (i < lo_ || k + 1 >= begins_.size()) {
            return withEndings_ ? file_->LineWithEnding(i) : file_->Line(i);
        }
        const std::string& bytes = file_->bytes();
        const std::size_t begin = begins_[k];
        std::size_t end = begins_[k + 1];
        if (!withEndings_ && (i + 1 < size_ || file_->endsWithNewline())) {
            end -= unit_;
            if (end >= begin + unit_ && IsCr(bytes, end - unit_)) end -= unit_;
        }
        return std::string_view(bytes).substr(begin, end - begin);
    }

private:
    bool IsCr(const std::string& bytes, std::size_t at) const {
        if (unit_ == 1) return bytes[at] == '\r';
        const bool bigEndian = file_->encoding() == Encoding::Utf16Be;
        return bytes[at + (bigEndian ? 1 : 0)] == '\r' && bytes[at + (bigEndian ? 0 : 1)] == 0;
    }
    // A line's reduced text, as the bytes of its UTF-16.
    std::string Reduced(const LineCursor& line) const {
        std::u16string text = Reduce(Decode(line.Line(), file_->encoding()), options_);
        if (unify_) {
            for (char16_t& c : text) c = UnifyJisVariant(c);
        }
        if (withEndings_) text += EndingKey(line.Ending());
        return std::string(reinterpret_cast<const char*>(text.data()),
                           text.size() * sizeof(char16_t));
    }

    const TextFile* file_ = nullptr;
    const std::vector<std::string_view>* lines_ = nullptr;
    std::int32_t size_ = 0;
    bool withEndings_ = false;
    bool reduces_ = false;
    std::size_t unit_ = 1;
    IgnoreOptions options_;
    bool unify_ = false;
    std::int32_t lo_ = 0;                // the first line held at hand
    std::vector<std::uint32_t> begins_;  // where each of them begins, then where the next does
    std::vector<std::string> reduced_;   // or their reduced texts
    mutable std::unordered_map<std::int32_t, std::string> far_;  // the reduced texts of others
};

// Which lines of a file the diff left out of the common subsequence, with room for one line
// before the first and after the last, which are never changed. Kept as bits in 64-bit words,
// so that runs of lines are found a word at a time: sixty million common lines are a million
// words to pass over.
class Changed {
public:
    explicit Changed(std::int32_t lines)
        : lines_(lines), words_((static_cast<std::size_t>(lines) + 2) / 64 + 1, 0) {}
    bool operator[](std::int32_t i) const {
        const auto bit = static_cast<std::size_t>(i + 1);
        return (words_[bit / 64] >> (bit % 64) & 1) != 0;
    }
    void Set(std::int32_t i, bool changed) {
        const auto bit = static_cast<std::size_t>(i + 1);
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        words_[bit / 64] = changed ? words_[bit / 64] | mask : words_[bit / 64] & ~mask;
    }
    std::int32_t size() const { return lines_; }
    // The first line from `i` on that is (or is not) changed; size() when there is none.
    std::int32_t Next(std::int32_t i, bool changed) const {
        auto bit = static_cast<std::size_t>(i + 1);
        const std::uint64_t flip = changed ? 0 : ~std::uint64_t{0};
        std::size_t word = bit / 64;
        std::uint64_t bits = (words_[word] ^ flip) >> (bit % 64) << (bit % 64);
        while (bits == 0 && ++word < words_.size()) bits = words_[word] ^ flip;
        if (bits == 0) return lines_;
        bit = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
        return std::min(lines_, static_cast<std::int32_t>(bit) - 1);
    }

private:
    std::int32_t lines_ = 0;
    std::vector<std::uint64_t> words_;
};

// A run of changed lines [start, end) in one file; empty runs stand between two common lines.
struct Group {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

bool NextGroup(const Changed& changed, Group& g) {
    if (g.end == changed.size()) return false;
    g.start = g.end + 1;
    for (g.end = g.start; changed[g.end]; ++g.end) {
    }
    return true;
}

bool PreviousGroup(const Changed& changed, Group& g) {
    if (g.start == 0) return false;
    g.end = g.start - 1;
    for (g.start = g.end; changed[g.start - 1]; --g.start) {
    }
    return true;
}

// Moves a group one line down when its first line equals the line after it, taking in any
// group it then touches; the diff stays as short.
bool SlideDown(Changed& changed, const LineKeys& keys, Group& g) {
    if (g.end >= changed.size() || keys[g.start] != keys[g.end]) return false;
    changed.Set(g.start++, false);
    changed.Set(g.end++, true);
    while (changed[g.end]) ++g.end;
    return true;
}

bool SlideUp(Changed& changed, const LineKeys& keys, Group& g) {
    if (g.start == 0 || keys[g.start - 1] != keys[g.end - 1]) return false;
    changed.Set(--g.start, true);
    changed.Set(--g.end, false);
    while (changed[g.start - 1]) --g.start;
    return true;
}

// Where lines repeat ("}", "end"), a change can often sit in several places with the same
// length of diff. Each group of changed lines is slid to join its neighbours, and then to face
// a change in the other file, so that one edit shows as one change rather than several.
// (The way GNU diff and git compact their output.)
void Compact(Changed& changed, const LineKeys& keys, const Changed& other, std::int32_t head,
             std::int32_t lastChanged) {
    // The first `head` lines are common to both files, so the groups at `head` face each other.
    Group g{head, head};
    while (changed[g.end]) ++g.end;
    Group go{head, head};
    while (other[go.end]) ++go.end;
    for (;;) {
        // Past the last changed line there is nothing left to move.
        lastChanged = std::max(lastChanged, g.end - 1);
        if (g.start > lastChanged) break;
        if (g.end != g.start) {
            std::int32_t size = 0;
            std::int32_t earliestEnd = 0;
            std::int32_t endFacingOther = -1;
            do {
                size = g.end - g.start;
                endFacingOther = -1;
                for (std::int32_t slides = 0; slides < kMostSlides && SlideUp(changed, keys, g);
                     ++slides) {
                    PreviousGroup(other, go);
                }
                earliestEnd = g.end;
                if (go.end > go.start) endFacingOther = g.end;
                for (std::int32_t slides = 0; slides < kMostSlides && SlideDown(changed, keys, g);
                     ++slides) {
                    NextGroup(other, go);
                    if (go.end > go.start) endFacingOther = g.end;
                }
            } while (size != g.end - g.start);
            if (g.end != earliestEnd && endFacingOther != -1) {
                // Back up to where it faced the other file's change; it slid down through that
                // place, so it can slide back, but never further than it came.
                for (std::int32_t slides = 0;
                     go.end == go.start && slides < kMostSlides && SlideUp(changed, keys, g);
                     ++slides) {
                    PreviousGroup(other, go);
                }
            }
        }
        if (!NextGroup(changed, g) || !NextGroup(other, go)) break;
    }
}

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
    LineNumbering(std::size_t lines, const LineKeys& first, const LineKeys& second)
        : first_(&first), second_(&second) {
        std::size_t size = 16;
        while (size < lines * 2) size *= 2;
        slots_.assign(size, -1);
        mask_ = size - 1;
    }

    // The number of line `i` of the first file (`inFirst`) or the second, and whether it is new.
    std::pair<int, bool> Number(bool inFirst, std::int32_t i) {
        const std::string_view line = (inFirst ? *first_ : *second_)[i];
        const std::size_t hash = std::hash<std::string_view>{}(line);
        // The hash's high half, where the slot is taken from its low bits.
        const auto check =
            static_cast<std::uint32_t>(hash >> (std::numeric_limits<std::size_t>::digits / 2));
        for (std::size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const int id = slots_[slot];
            if (id < 0) {
                slots_[slot] = static_cast<int>(lines_.size());
                lines_.push_back(inFirst ? i : -1 - i);
                checks_.push_back(check);
                return {slots_[slot], true};
            }
            const auto known = static_cast<std::size_t>(id);
            if (checks_[known] == check && Text(lines_[known]) == line) return {id, false};
        }
    }

private:
    std::string_view Text(std::int32_t where) const {
        return where >= 0 ? (*first_)[where] : (*second_)[-1 - where];
    }

    const LineKeys* first_;
    const LineKeys* second_;
    std::vector<int> slots_;
    std::size_t mask_ = 0;
    // By number: where the line was first met (the first file's index, or the second's as -1 - j),
    // and more of its hash, to pass over most other lines without looking at their bytes.
    std::vector<std::int32_t> lines_;
    std::vector<std::uint32_t> checks_;
};

LineIds NumberLines(const LineKeys& first, std::int32_t lo1, std::int32_t hi1,
                    const LineKeys& second, std::int32_t lo2, std::int32_t hi2) {
    LineIds ids;
    LineNumbering numbering(static_cast<std::size_t>(hi1 - lo1 + hi2 - lo2), first, second);
    auto number = [&](std::int32_t lo, std::int32_t hi, std::vector<int>& out, bool isFirst) {
        out.reserve(static_cast<std::size_t>(hi - lo));
        for (std::int32_t i = lo; i < hi; ++i) {
            const auto [id, added] = numbering.Number(isFirst, i);
            if (added) {
                ids.inFirst.push_back(false);
                ids.inSecond.push_back(false);
            }
            (isFirst ? ids.inFirst : ids.inSecond)[static_cast<std::size_t>(id)] = true;
            out.push_back(id);
        }
    };
    number(lo1, hi1, ids.first, true);
    number(lo2, hi2, ids.second, false);
    return ids;
}

// Marks the lines of a[lo1, hi1) and b[lo2, hi2) that are left out of a common subsequence. A
// line found in one file only can never be common, so it is left out before the diff runs: files
// that differ a lot mostly differ in such lines, and the diff's cost grows with what it is given.
void MarkMiddle(const LineKeys& first, std::int32_t lo1, std::int32_t hi1, const LineKeys& second,
                std::int32_t lo2, std::int32_t hi2, Changed& changed1, Changed& changed2,
                const CancelFlag* cancel) {
    for (std::int32_t i = lo1; i < hi1; ++i) changed1.Set(i, true);
    for (std::int32_t j = lo2; j < hi2; ++j) changed2.Set(j, true);
    const LineIds ids = NumberLines(first, lo1, hi1, second, lo2, hi2);
    ThrowIfCancelled(cancel);
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
    if (seq1.empty() || seq2.empty()) return;
    std::vector<std::uint8_t> out1, out2;
    MarkChanges(seq1, seq2, out1, out2, cancel);
    for (std::size_t k = 0; k < kept1.size(); ++k) {
        if (!out1[k]) changed1.Set(kept1[k], false);
    }
    for (std::size_t k = 0; k < kept2.size(); ++k) {
        if (!out2[k]) changed2.Set(kept2[k], false);
    }
}

// Turns the marks into rows. Between two common lines, the first file's lines come before the
// second file's. The pairs the marks make are checked: an unmarked line whose partner is missing
// or differs would make a false common row, and is shown as changed instead (a fault of the
// engine, which a debug build stops on). The `head` and `tail` lines found equal before the diff
// ran need no second look where they are still paired as they were found.
Rows BuildRows(const LineKeys& first, const Changed& changed1, const LineKeys& second,
               const Changed& changed2, std::int32_t head, std::int32_t tail) {
    const std::int32_t count1 = first.size();
    const std::int32_t count2 = second.size();
    Rows rows;
    std::int32_t i = 0;
    std::int32_t j = 0;
    while (i < count1 || j < count2) {
        std::int32_t same = std::min(changed1.Next(i, true) - i, changed2.Next(j, true) - j);
        const std::int32_t from = i == j ? std::clamp(head - i, 0, same) : 0;
        const std::int32_t to =
            count1 - i == count2 - j ? std::clamp(count1 - tail - i, from, same) : same;
        for (std::int32_t k = from; k < to; ++k) {
            if (first[i + k] != second[j + k]) {
                same = k;
                break;
            }
        }
        rows.Append(RowKind::Common, i, j, same);
        i += same;
        j += same;
        const std::int32_t gone = changed1.Next(i, false) - i;
        rows.Append(RowKind::Removed, i, -1, gone);
        i += gone;
        const std::int32_t come = changed2.Next(j, false) - j;
        rows.Append(RowKind::Added, -1, j, come);
        j += come;
        if (same == 0 && gone == 0 && come == 0) {
            assert(!"the line diff paired lines that differ, or more lines in one file");
            if (i < count1) rows.Append(RowKind::Removed, i++, -1, 1);
            if (j < count2) rows.Append(RowKind::Added, -1, j++, 1);
        }
    }
    return rows;
}

// The diff of two files' keys, whose first `head` lines are known equal, and the `tail` lines
// before their ends too.
Rows DiffKeys(const LineKeys& first, const LineKeys& second, std::int32_t head, std::int32_t tail,
              const CancelFlag* cancel) {
    const std::int32_t count1 = first.size();
    const std::int32_t count2 = second.size();
    while (head < count1 && head < count2 && first[head] == second[head]) ++head;
    tail = std::min({tail, count1 - head, count2 - head});
    while (tail < count1 - head && tail < count2 - head &&
           first[count1 - 1 - tail] == second[count2 - 1 - tail]) {
        ++tail;
    }
    Changed changed1(count1);
    Changed changed2(count2);
    MarkMiddle(first, head, count1 - tail, second, head, count2 - tail, changed1, changed2, cancel);
    ThrowIfCancelled(cancel);
    Compact(changed1, first, changed2, head, count1 - tail - 1);
    Compact(changed2, second, changed1, head, count2 - tail - 1);
    ThrowIfCancelled(cancel);
    return BuildRows(first, changed1, second, changed2, head, tail);
}

}  // namespace

// How many bytes the two begin with alike. memcmp takes many bytes at a step, which
// std::mismatch does not: only the block that differs is looked at byte by byte.
std::size_t EqualHead(std::string_view a, std::string_view b) {
    constexpr std::size_t kBlock = 4096;
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t at = 0;
    while (at < shorter) {
        const std::size_t length = std::min(kBlock, shorter - at);
        if (std::memcmp(a.data() + at, b.data() + at, length) != 0) break;
        at += length;
    }
    while (at < shorter && a[at] == b[at]) ++at;
    return at;
}

// How many bytes the two end with alike.
std::size_t EqualTail(std::string_view a, std::string_view b) {
    constexpr std::size_t kBlock = 4096;
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t same = 0;
    while (same < shorter) {
        const std::size_t length = std::min(kBlock, shorter - same);
        if (std::memcmp(a.data() + a.size() - same - length, b.data() + b.size() - same - length,
                        length) != 0) {
            break;
        }
        same += length;
    }
    while (same < shorter && a[a.size() - 1 - same] == b[b.size() - 1 - same]) ++same;
    return same;
}

Row Rows::operator[](std::size_t row) const {
    const Block& block = BlockOf(row);
    const auto offset = static_cast<std::int32_t>(row - block.row);
    return {block.kind, block.kind == RowKind::Added ? -1 : block.first + offset,
            block.kind == RowKind::Removed ? -1 : block.second + offset};
}

std::size_t Rows::BlockIndex(std::size_t row) const {
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), row,
                                        [](std::size_t r, const Block& b) { return r < b.row; });
    return static_cast<std::size_t>(after - blocks_.begin()) - 1;
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

Rows DiffLines(const TextFile& firstFile, const TextFile& secondFile, const IgnoreOptions& options,
               const CancelFlag* cancel, bool unifyJisVariants) {
    const std::int32_t count1 = firstFile.LineCount();
    const std::int32_t count2 = secondFile.LineCount();
    // Equal heads and tails are common as they stand; only the middle needs keys, numbering and
    // diff. Where the keys are the bytes, the lines before the first differing byte are equal:
    // found at the speed of memory, not a line at a time.
    std::int32_t head = 0;
    std::int32_t tail = 0;
    // Lines equal in their bytes are equal reduced too.
    if (firstFile.encoding() == secondFile.encoding()) {
        const std::string_view a = firstFile.bytes();
        const std::string_view b = secondFile.bytes();
        // Every line before the one that holds the differing byte is equal; that one may still
        // be equal as a line (CR LF against LF), which the diff's own look finds.
        head = std::max(0, firstFile.LineAt(EqualHead(a, b)));
        const std::size_t same = EqualTail(a, b);
        // Lines whose line ending before them lies whole in the equal end begin a line in both
        // files, when the code units of the two (UTF-16: two bytes) line up from the end too.
        const std::size_t unit = UnitBytes(firstFile.encoding());
        if (a.size() % unit == b.size() % unit) {
            const std::int32_t lastDiffering = firstFile.LineAt(a.size() - same + unit - 1);
            tail = std::min({count1 - 1 - lastDiffering, count1 - head, count2 - head});
            tail = std::max(tail, 0);
        }
    }
    const LineKeys first(firstFile, options, unifyJisVariants, head, count1 - tail, cancel);
    const LineKeys second(secondFile, options, unifyJisVariants, head, count2 - tail, cancel);
    return DiffKeys(first, second, head, tail, cancel);
}

Rows DiffRawLines(const std::vector<std::string_view>& firstLines,
                  const std::vector<std::string_view>& secondLines, const CancelFlag* cancel) {
    return DiffKeys(LineKeys(firstLines), LineKeys(secondLines), 0, 0, cancel);
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

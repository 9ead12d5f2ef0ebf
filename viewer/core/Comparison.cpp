#include "Comparison.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "BothAtOnce.h"
#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

std::int64_t FirstDifference(std::string_view a, std::string_view b) {
    if (a.data() == b.data() && a.size() == b.size()) return -1;  // one file read once
    // memcmp takes many bytes at a step, which std::mismatch does not: it finds the block that
    // differs, and only that block is looked at byte by byte.
    constexpr std::size_t kBlock = 4096;
    const std::size_t shorter = std::min(a.size(), b.size());
    for (std::size_t at = 0; at < shorter; at += kBlock) {
        const std::size_t length = std::min(kBlock, shorter - at);
        if (std::memcmp(a.data() + at, b.data() + at, length) == 0) continue;
        const auto differs = std::mismatch(a.data() + at, a.data() + at + length, b.data() + at);
        return differs.first - a.data();
    }
    return a.size() == b.size() ? -1 : static_cast<std::int64_t>(shorter);
}

// Enough of a file's start to tell whether it is binary, and to find UTF-16 without a mark.
constexpr std::int64_t kHeadBytes = 64 << 10;

// Fills `buffer` as far as the file goes: the bytes read, -1 on a read error.
std::int64_t ReadFull(InputFile& file, char* buffer, std::int64_t capacity) {
    std::int64_t filled = 0;
    while (filled < capacity) {
        const std::int64_t got = file.Read(buffer + filled, capacity - filled);
        if (got < 0) return -1;
        if (got == 0) break;
        filled += got;
    }
    return filled;
}

// Reads up to `limit` bytes more onto `bytes`; false on a read error. A step at a time: the
// zeros a resize writes are then still in the cache when the read writes over them, where a
// file's worth of them would cost a pass of their own through memory.
bool ReadOn(InputFile& file, std::string& bytes, std::int64_t limit) {
    constexpr std::int64_t kStep = std::int64_t{1} << 20;
    for (;;) {
        const std::int64_t want = std::min(limit, kStep);
        const std::size_t start = bytes.size();
        bytes.resize(start + static_cast<std::size_t>(want));
        const std::int64_t got = ReadFull(file, bytes.data() + start, want);
        bytes.resize(start + static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
        if (got < want) return got >= 0;
        limit -= got;
        if (limit == 0) return true;
    }
}

// Reads the rest of the file onto `bytes`. The size taken when the file was opened is a hint:
// the file may grow or shrink while it is read.
bool ReadRest(InputFile& file, std::string& bytes) {
    // One byte more than expected, to see the end.
    std::int64_t want = std::max<std::int64_t>(file.size() - std::ssize(bytes), 0) + 1;
    for (;;) {
        const std::size_t before = bytes.size();
        ReserveForFile(bytes, before + static_cast<std::size_t>(want));
        if (!ReadOn(file, bytes, want)) return false;
        if (std::ssize(bytes) - static_cast<std::int64_t>(before) < want) return true;
        want = std::max<std::int64_t>(std::ssize(bytes), kHeadBytes);  // it grew: read on
    }
}

// Reads the rest of `file` onto `bytes`, its start, holding nothing of it while it is the same as
// `like`: `same` tells a file that is `like` byte for byte, read without a copy of its own; a file
// that parts from it is held whole. False on a read error.
bool ReadLike(InputFile& file, std::string& bytes, const std::string& like, bool& same) {
    same = false;
    if (std::string_view(like).substr(0, bytes.size()) != bytes) return ReadRest(file, bytes);
    std::size_t alike = bytes.size();  // bytes read that are like's
    constexpr std::int64_t kBlock = std::int64_t{1} << 20;
    const auto block = std::make_unique_for_overwrite<char[]>(kBlock);
    for (;;) {
        const std::int64_t got = ReadFull(file, block.get(), kBlock);
        if (got < 0) return false;
        const std::string_view read(block.get(), static_cast<std::size_t>(got));
        if (read.empty()) {
            same = alike == like.size();
            if (!same) bytes.assign(like, 0, alike);
            return true;
        }
        if (std::string_view(like).substr(alike, read.size()) == read) {
            alike += read.size();
            continue;
        }
        ReserveForFile(bytes, static_cast<std::size_t>(std::max<std::int64_t>(
                                  file.size(), static_cast<std::int64_t>(alike + read.size()))) +
                                  1);
        bytes.assign(like, 0, alike);
        bytes += read;
        return ReadRest(file, bytes);
    }
}

// Whether `needle` (ASCII, folded) may be found in, or across, a character shown by its code
// ("<U+200B>"): only where it holds the code's brackets, or is all code inside them. Other
// needles are found in the shown text only where its bytes hold them.
bool MayMeetCode(std::u16string_view needle) {
    const std::u16string_view inside = u"u+0123456789abcdef";
    return needle.find_first_of(u"<>") != std::u16string_view::npos ||
           needle.find_first_not_of(inside) == std::u16string_view::npos;
}

// Where in the UTF-8 bytes [at, end) the shown text may hold `needle`, ASCII and folded
// (FoldCase, which folds ASCII letters only to ASCII): the first place where the bytes hold it in
// any case, or, with `codes` (MayMeetCode), where a character shown by its code begins (led by
// C2, E2 or EF); `end` when there is none. Eight bytes are looked at a step for the needle's
// first two letters and the lead bytes.
const char* MayShowAsciiAt(const char* at, const char* end, std::u16string_view needle,
                           bool codes) {
    const auto folded = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c - 'A' + 'a')
                                    : static_cast<char16_t>(static_cast<unsigned char>(c));
    };
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    // The high bit of each byte of `word` that equals `byte`, and maybe of a byte above one that
    // does: never none where one does.
    const auto equal = [&](std::uint64_t word, unsigned char byte) {
        const std::uint64_t x = word ^ (kOnes * byte);
        return (x - kOnes) & ~x & kHighs;
    };
    const auto either = [&](std::uint64_t word, char16_t letter) {
        const auto lower = static_cast<unsigned char>(letter);
        const unsigned char upper = lower >= 'a' && lower <= 'z' ? lower - 'a' + 'A' : lower;
        return equal(word, lower) | (upper != lower ? equal(word, upper) : 0);
    };
    auto matchAt = [&](const char* p) {
        const auto c = static_cast<unsigned char>(*p);
        if (codes && (c == 0xC2 || c == 0xE2 || c == 0xEF)) return true;
        if (folded(*p) != needle[0] || static_cast<std::size_t>(end - p) < needle.size())
            return false;
        std::size_t i = 1;
        while (i < needle.size() && folded(p[i]) == needle[i]) ++i;
        return i == needle.size();
    };
    const bool pair = needle.size() >= 2;
    while (end - at >= 9) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        std::uint64_t found = either(word, needle[0]);
        if (found != 0 && pair) {
            // Where the next byte is the needle's second letter too.
            std::uint64_t next;
            std::memcpy(&next, at + 1, 8);
            found &= either(next, needle[1]);
        }
        // Bytes of 0x80 and above are rare in most text: one test rules out the lead bytes.
        if (codes && (word & kHighs) != 0) {
            // C2 and E2 differ in one bit.
            found |= equal(word & ~(kOnes * 0x20), 0xC2) | equal(word, 0xEF);
        }
        if (found == 0) {
            at += 8;
            continue;
        }
        for (int k = 0; k < 8; ++k, ++at) {
            if (matchAt(at)) return at;
        }
    }
    for (; at < end; ++at) {
        if (matchAt(at)) return at;
    }
    return end;
}

// Whether a file of these bytes is compared byte by byte; UTF-16 chosen by hand is text, whatever
// NUL bytes it holds.
bool Binary(std::string_view bytes, std::optional<Encoding> chosen) {
    if (chosen && UnitBytes(*chosen) == 2) return false;
    return LooksBinary(bytes);
}

// Whether the two encodings write the same text in the same bytes.
bool SameBytesForSameText(Encoding a, Encoding b) {
    auto form = [](Encoding e) { return e == Encoding::Utf8Bom ? Encoding::Utf8 : e; };
    return form(a) == form(b);
}

std::string Utf16LeBytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

void TakeText(FileSide& side, std::string bytes, const DetectedEncoding& found, bool asUtf16) {
    side.encoding = found.encoding;
    side.lossy = found.lossy;
    side.badBytes = found.badBytes;
    side.mark = bytes.substr(0, found.markBytes);
    bytes.erase(0, found.markBytes);
    if (asUtf16) {
        bytes = Utf16LeBytes(Decode(bytes, found.encoding));
        side.text = std::make_shared<const TextFile>(std::move(bytes), Encoding::Utf16Le);
        return;
    }
    side.text = std::make_shared<const TextFile>(std::move(bytes), found.encoding, found.lossy);
}

// Whether two lines held as UTF-16 LE differ once the JIS variants are made one.
bool DifferUnified(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return true;
    for (std::size_t i = 0; i + 1 < a.size(); i += 2) {
        auto unit = [](std::string_view s, std::size_t at) {
            return static_cast<char16_t>(static_cast<unsigned char>(s[at]) |
                                         static_cast<unsigned char>(s[at + 1]) << 8);
        };
        if (UnifyJisVariant(unit(a, i)) != UnifyJisVariant(unit(b, i))) return true;
    }
    return a.size() % 2 != 0 && a.back() != b.back();
}

// Whether a file held as UTF-16 LE has a character that UnifyJisVariant changes.
bool HasJisVariant(const TextFile& text) {
    const std::string& bytes = text.bytes();
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (UnifyJisVariant(unit) != unit) return true;
    }
    return false;
}

// A line's end drawn after it, when line ends are compared.
std::u16string_view EndingShown(LineEnding ending) {
    return ending == LineEnding::CrLf ? u"␍␊" : ending == LineEnding::Lf ? u"␊" : u"";
}

}  // namespace

Comparison Compare(const std::filesystem::path& firstPath, const std::filesystem::path& secondPath,
                   std::int64_t textLimitBytes, const IgnoreOptions& options,
                   const CancelFlag* cancel, const ChosenEncodings& chosen, MissingSides missing) {
    Comparison result;
    result.options_ = options;
    result.chosen_ = chosen;
    FileSide& first = result.first_;
    FileSide& second = result.second_;
    first.path = firstPath;
    second.path = secondPath;
    first.mayBeMissing = missing.first;
    second.mayBeMissing = missing.second;

    std::optional<InputFile> file1(std::in_place, firstPath, missing.first);
    std::optional<InputFile> file2(std::in_place, secondPath, missing.second);
    first.absent = file1->missing();
    second.absent = file2->missing();
    first.error = file1->error();
    second.error = file2->error();
    first.identity = file1->identity();
    second.identity = file2->identity();
    if (!file1->ok() || !file2->ok()) return result;

    // The start of each file tells a binary one, which is then compared block by block whatever
    // its size, as is a file too large to hold as text.
    std::string bytes1;
    std::string bytes2;
    if (!ReadOn(*file1, bytes1, kHeadBytes)) first.error = file1->error();
    if (!ReadOn(*file2, bytes2, kHeadBytes)) second.error = file2->error();
    if (first.error.failed() || second.error.failed()) return result;
    const bool binaryHead = Binary(bytes1, chosen.first) || Binary(bytes2, chosen.second);
    auto inBlocks = [&](Outcome outcome) {
        // From the start again, holding no more than two blocks.
        file1.emplace(firstPath, missing.first);
        file2.emplace(secondPath, missing.second);
        first.error = file1->error();
        second.error = file2->error();
        first.identity = file1->identity();
        second.identity = file2->identity();
        if (!file1->ok() || !file2->ok()) return;
        const StreamComparison blocks = CompareInBlocks(*file1, *file2);
        if (!blocks.ok) {
            first.error = blocks.errors.first;
            second.error = blocks.errors.second;
            return;
        }
        result.outcome_ = outcome;
        first.size = blocks.size1;
        second.size = blocks.size2;
        result.identical_ = blocks.firstDifference < 0;
        result.firstDifferentByte_ = blocks.firstDifference;
    };
    if (binaryHead || file1->size() > textLimitBytes || file2->size() > textLimitBytes) {
        inBlocks(binaryHead ? Outcome::Binary : Outcome::TooLarge);
        return result;
    }
    try {
        result.TakeLines(*file1, *file2, std::move(bytes1), std::move(bytes2), cancel);
    } catch (const std::bad_alloc&) {
        // More than memory holds as lines: compared as a file past the limit is, nothing kept
        // of the lines.
        result.rows_ = {};
        result.differenceStarts_.clear();
        result.overlooked_.clear();
        result.hiddenLines_ = result.endingOnlyLines_ = result.variantOnlyLines_ = 0;
        for (FileSide* side : {&first, &second}) {
            const FileSide empty;
            side->text = empty.text;
            side->encoding = empty.encoding;
            side->mark.clear();
            side->lossy = false;
            side->badBytes = 0;
            side->error = {};
        }
        inBlocks(Outcome::TooLarge);
        result.memoryShort_ = true;
    }
    return result;
}

void Comparison::TakeLines(InputFile& file1, InputFile& file2, std::string bytes1,
                           std::string bytes2, const CancelFlag* cancel) {
    Comparison& result = *this;
    FileSide& first = first_;
    FileSide& second = second_;
    const ChosenEncodings& chosen = chosen_;
    // A file compared with itself is read once, and a copy is compared as it is read: the same
    // bytes, known in one pass, held once.
    std::error_code error;
    bool sameBytes = !first.absent && !second.absent &&
                     std::filesystem::equivalent(first.path, second.path, error);
    if (!ReadRest(file1, bytes1)) first.error = file1.error();
    if (first.error.failed()) return;
    // A file whose start is text may still be binary once read whole (UTF-16 without a mark is
    // told from all of it).
    const bool binary1 = Binary(bytes1, chosen.first);
    auto find = [](const std::string& bytes, std::optional<Encoding> encoding,
                   Cores cores = Cores::One) {
        return encoding ? ReadAs(bytes, *encoding) : DetectEncoding(bytes, cores);
    };
    // Where the files are large enough to make up for starting a thread, each step runs on a
    // core of its own: the first file's encoding is found while the second file is read (and
    // compared with it), and a scan of one file alone takes both cores.
    constexpr std::size_t kWorthAThread = std::size_t{1} << 20;
    std::optional<DetectedEncoding> found1;
    if (!sameBytes && bytes1.size() >= kWorthAThread) {
        BothAtOnce(
            [&] {
                if (!ReadLike(file2, bytes2, bytes1, sameBytes)) second.error = file2.error();
            },
            [&] {
                if (!binary1) found1 = find(bytes1, chosen.first);
            });
    } else if (!sameBytes && !ReadLike(file2, bytes2, bytes1, sameBytes)) {
        second.error = file2.error();
    }
    if (second.error.failed()) return;
    if (sameBytes) bytes2.clear();
    const std::string& other = sameBytes ? bytes1 : bytes2;

    first.size = std::ssize(bytes1);
    second.size = std::ssize(other);
    result.SetIdentity(bytes1, other);
    const bool binary2 =
        sameBytes && chosen.first == chosen.second ? binary1 : Binary(other, chosen.second);
    if (binary1 || binary2) {
        result.outcome_ = Outcome::Binary;
        return;
    }
    result.outcome_ = Outcome::Text;
    const bool apart = bytes1.size() + bytes2.size() >= kWorthAThread;
    auto both = [apart](auto one, auto other) {
        if (apart) return BothAtOnce(one, other);
        one();
        other();
    };
    const Cores idle = apart ? Cores::Both : Cores::One;
    if (result.identical_) {
        // Nothing to diff: every line is its own partner, and one copy of the text serves both,
        // read in the one encoding chosen for either.
        const std::optional<Encoding> readAs = chosen.first ? chosen.first : chosen.second;
        const DetectedEncoding found =
            found1 && readAs == chosen.first ? *found1 : find(bytes1, readAs, idle);
        TakeText(first, std::move(bytes1), found, false);
        second.encoding = first.encoding;
        second.mark = first.mark;
        second.lossy = first.lossy;
        second.badBytes = first.badBytes;
        second.text = first.text;
        result.rows_.Append(RowKind::Common, 0, 0, first.text->LineCount());
        return;
    }
    DetectedEncoding found2;
    if (found1) {
        found2 = find(bytes2, chosen.second, idle);
    } else {
        found1.emplace();
        both([&] { *found1 = find(bytes1, chosen.first); },
             [&] { found2 = find(bytes2, chosen.second); });
    }
    // Text that decodes cleanly from two different encodings is compared as text; otherwise the
    // bytes are what there is to compare.
    const bool asUtf16 =
        !SameBytesForSameText(found1->encoding, found2.encoding) && !found1->lossy && !found2.lossy;
    both([&] { TakeText(first, std::move(bytes1), *found1, asUtf16); },
         [&] { TakeText(second, std::move(bytes2), found2, asUtf16); });
    Rediff(options_, cancel);
}

Comparison CompareAgain(const Comparison& earlier, const CancelFlag* cancel) {
    return CompareAgain(earlier, earlier.chosen(), cancel);
}

Comparison CompareAgain(const Comparison& earlier, const ChosenEncodings& chosen,
                        const CancelFlag* cancel) {
    Comparison again =
        Compare(earlier.first().path, earlier.second().path, kTextLimitBytes, earlier.options(),
                cancel, chosen, {earlier.first().mayBeMissing, earlier.second().mayBeMissing});
    again.SetLabels(earlier.first().label, earlier.second().label);
    return again;
}

void Comparison::SetLabels(std::filesystem::path firstLabel, std::filesystem::path secondLabel) {
    first_.label = std::move(firstLabel);
    second_.label = std::move(secondLabel);
}

void Comparison::SetIdentity(std::string_view firstBytes, std::string_view secondBytes) {
    firstDifferentByte_ = FirstDifference(firstBytes, secondBytes);
    identical_ = firstDifferentByte_ < 0;
}

void Comparison::ReplaceTexts(std::shared_ptr<const TextFile> firstText,
                              std::shared_ptr<const TextFile> secondText,
                              const CancelFlag* cancel) {
    first_.text = std::move(firstText);
    second_.text = std::move(secondText);
    if (ByText()) {
        // Two encodings that write the same text in other bytes: the files read were not the
        // same, and their bytes are not held to say whether an edit made them so.
        identical_ = false;
        firstDifferentByte_ = -1;
    } else if (first_.mark == second_.mark) {
        SetIdentity(first_.text->bytes(), second_.text->bytes());
        if (firstDifferentByte_ >= 0) firstDifferentByte_ += std::ssize(first_.mark);
    } else {
        // Each file as it would be written: its mark, then its text.
        SetIdentity(first_.mark + first_.text->bytes(), second_.mark + second_.text->bytes());
    }
    Rediff(options_, cancel);
}

void Comparison::Rediff(const IgnoreOptions& newOptions, const CancelFlag* cancel) {
    if (outcome_ != Outcome::Text) {
        options_ = newOptions;
        return;
    }
    // Nothing changes until the new rows are there, so a cancelled comparison leaves the old one.
    const bool byText = ByText();
    // Making the variants one costs a text a line; where neither file has one, it changes nothing.
    const bool unify = byText && (HasJisVariant(*first_.text) || HasJisVariant(*second_.text));
    Rows newRows = DiffLines(*first_.text, *second_.text, newOptions, cancel, unify);
    options_ = newOptions;
    rows_ = std::move(newRows);
    pairings_.clear();
    differenceStarts_.clear();
    overlooked_.clear();
    hiddenLines_ = 0;
    endingOnlyLines_ = 0;
    variantOnlyLines_ = 0;
    // Two files each with one kind of line end, the same, have no line that ends otherwise:
    // nothing to count, line by line, unless the lines are held as text.
    const LineEnding ending1 = first_.text->ending();
    const LineEnding ending2 = second_.text->ending();
    const bool endsAlike = ending1 == LineEnding::None || ending2 == LineEnding::None ||
                           (ending1 == ending2 && ending1 != LineEnding::Mixed);
    for (const Block& block : rows_.blocks()) {
        if (block.kind != RowKind::Common || (endsAlike && !byText)) continue;
        LineCursor x(*first_.text, block.first);
        LineCursor y(*second_.text, block.second);
        for (std::int32_t k = 0; k < block.count; ++k, x.Next(), y.Next()) {
            // A last line without a newline is the final newline's note, not this count.
            const LineEnding a = x.Ending();
            const LineEnding b = y.Ending();
            endingOnlyLines_ += a != b && a != LineEnding::None && b != LineEnding::None;
            if (byText)
                variantOnlyLines_ += x.Line() != y.Line() && !DifferUnified(x.Line(), y.Line());
        }
    }
    for (const std::size_t start : DifferenceStarts(rows_)) {
        if (options_.blankLines && BlankChange(start)) {
            overlooked_.push_back(start);
        } else {
            differenceStarts_.push_back(start);
        }
    }
    if (!options_.any()) return;
    for (const Block& block : rows_.blocks()) {
        if (block.kind != RowKind::Common) {
            if (Overlooked(block.row)) hiddenLines_ += static_cast<std::size_t>(block.count);
            continue;
        }
        LineCursor x(*first_.text, block.first);
        LineCursor y(*second_.text, block.second);
        for (std::int32_t k = 0; k < block.count; ++k, x.Next(), y.Next()) {
            hiddenLines_ += byText ? DifferUnified(x.Line(), y.Line()) : x.Line() != y.Line();
        }
    }
}

bool Comparison::BlankChange(std::size_t row) const {
    // The rows from `row` to the next common one, a block's lines walked one after another.
    const std::vector<Block>& blocks = rows_.blocks();
    for (std::size_t b = rows_.BlockIndex(row); b < blocks.size(); ++b) {
        const Block& block = blocks[b];
        if (block.kind == RowKind::Common) break;
        const bool added = block.kind == RowKind::Added;
        const TextFile& file = added ? *second_.text : *first_.text;
        const auto skip = static_cast<std::int32_t>(row > block.row ? row - block.row : 0);
        LineCursor line(file, (added ? block.second : block.first) + skip);
        for (std::int32_t k = skip; k < block.count; ++k, line.Next()) {
            for (const char16_t c : ShowControls(Decode(line.Line(), file.encoding()))) {
                if (!IsBlank(c)) return false;
            }
        }
    }
    return true;
}

bool Comparison::Overlooked(std::size_t row) const {
    if (overlooked_.empty() || row >= rows_.size() || rows_[row].kind == RowKind::Common) {
        return false;
    }
    // The change's first row is the last start at or before the row, with no common row between.
    const auto after = std::upper_bound(overlooked_.begin(), overlooked_.end(), row);
    if (after == overlooked_.begin()) return false;
    const std::vector<Block>& blocks = rows_.blocks();
    for (std::size_t b = rows_.BlockIndex(*std::prev(after)); b < rows_.BlockIndex(row); ++b) {
        if (blocks[b].kind == RowKind::Common) return false;
    }
    return true;
}

std::optional<std::size_t> Comparison::NextDifference(std::optional<std::size_t> current) const {
    const auto& starts = differenceStarts_;
    const auto next =
        current ? std::upper_bound(starts.begin(), starts.end(), *current) : starts.begin();
    if (next == starts.end()) return std::nullopt;
    return *next;
}

std::optional<std::size_t> Comparison::PreviousDifference(
    std::optional<std::size_t> current) const {
    if (!current) return std::nullopt;
    const auto& starts = differenceStarts_;
    const auto after = std::lower_bound(starts.begin(), starts.end(), *current);
    if (after == starts.begin()) return std::nullopt;
    return *std::prev(after);
}

std::size_t Comparison::DifferenceNumber(std::size_t row) const {
    if (row >= rows_.size() || rows_[row].kind == RowKind::Common) return 0;
    const auto& starts = differenceStarts_;
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), row) -
                                    starts.begin());
}

std::string_view Comparison::LineBytes(std::size_t row) const {
    const Row r = rows_[row];
    return r.first >= 0 ? first_.text->Line(r.first) : second_.text->Line(r.second);
}

bool Comparison::ByText() const {
    return outcome_ == Outcome::Text && (first_.text->encoding() != first_.encoding ||
                                         second_.text->encoding() != second_.encoding);
}

std::u16string Comparison::RowText(std::size_t row, bool withEnd,
                                   std::vector<MarkSpan>* byteMarks) const {
    const Row r = rows_[row];
    const TextFile& file = r.first >= 0 ? *first_.text : *second_.text;
    const std::int32_t line = r.first >= 0 ? r.first : r.second;
    std::u16string text = ShowControls(file.Display(line, byteMarks), byteMarks);
    if (withEnd) text += EndingShown(file.EndingOf(line));
    return text;
}

std::u16string Comparison::LineText(std::size_t row) const {
    return RowText(row, !options_.lineEnds);
}

LineMarks Comparison::MarksOf(std::size_t row) const {
    if (row >= rows_.size() || rows_[row].kind == RowKind::Common || Overlooked(row)) return {};
    // A change is a run of removed rows followed by a run of added rows.
    const std::vector<Block>& blocks = rows_.blocks();
    std::size_t index = rows_.BlockIndex(row);
    const bool removed = blocks[index].kind == RowKind::Removed;
    if (!removed) {
        if (index == 0 || blocks[index - 1].kind != RowKind::Removed) return {};
        --index;
    } else if (index + 1 == blocks.size() || blocks[index + 1].kind != RowKind::Added) {
        return {};
    }
    const Block& gone = blocks[index];
    const Block& come = blocks[index + 1];
    const auto n = static_cast<std::size_t>(gone.count);
    const auto m = static_cast<std::size_t>(come.count);

    std::optional<std::size_t> partner;
    if (n * m > kMostPairings) {
        // Too large to pair by likeness: line by line, in order, when alike.
        const std::size_t offset = row - (removed ? gone.row : come.row);
        if (offset < std::min(n, m)) {
            const std::size_t other = (removed ? come.row : gone.row) + offset;
            if (Likeness(LineText(row), LineText(other)) >= kLeastLikeness) partner = other;
        }
    } else {
        auto found = pairings_.find(gone.row);
        if (found == pairings_.end()) {
            std::vector<std::u16string> before, after;
            for (std::size_t i = 0; i < n; ++i) before.push_back(LineText(gone.row + i));
            for (std::size_t j = 0; j < m; ++j) after.push_back(LineText(come.row + j));
            found = pairings_.emplace(gone.row, PairLines(before, after)).first;
        }
        const std::vector<std::int32_t>& pairs = found->second;
        if (removed) {
            const std::int32_t j = pairs[row - gone.row];
            if (j >= 0) partner = come.row + static_cast<std::size_t>(j);
        } else {
            const auto at =
                std::find(pairs.begin(), pairs.end(), static_cast<std::int32_t>(row - come.row));
            if (at != pairs.end())
                partner = gone.row + static_cast<std::size_t>(at - pairs.begin());
        }
    }
    if (!partner) return {};
    LineMarks result;
    result.partner = partner;
    // Always the removed line first, so that both partners get their marks from one comparison:
    // where two alignments are as good, each order may pick another.
    std::vector<MarkSpan> theirs;
    if (removed) {
        InlineMarks(LineText(row), LineText(*partner), result.marks, theirs);
    } else {
        InlineMarks(LineText(*partner), LineText(row), theirs, result.marks);
    }
    return result;
}

ShownLine Comparison::Shown(std::size_t row, std::size_t longest) const {
    ShownLine shown;
    shown.text = RowText(row, !options_.lineEnds, &shown.byteMarks);
    shown.marks = MarksOf(row).marks;
    const std::u16string& text = shown.text;
    if (text.size() <= longest) return shown;
    auto lowSurrogate = [&](std::size_t at) {
        return at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF;
    };
    // Some context before the first difference, then as much as fits; never so much context
    // that a narrow pane ends before the difference.
    const std::size_t context = std::min<std::size_t>(40, longest / 2);
    const std::size_t anchor = shown.marks.empty() ? 0 : shown.marks.front().start;
    std::size_t start = anchor > context ? anchor - context : 0;
    start = std::min(start, text.size() - longest);
    if (lowSurrogate(start)) ++start;
    std::size_t end = std::min(text.size(), start + longest);
    if (lowSurrogate(end)) --end;

    auto clip = [&](const std::vector<MarkSpan>& whole) {
        std::vector<MarkSpan> part;
        for (const MarkSpan& mark : whole) {
            const std::size_t from = std::max<std::size_t>(mark.start, start);
            const std::size_t to = std::min<std::size_t>(mark.start + mark.length, end);
            if (from >= to) continue;
            part.push_back(
                {static_cast<std::uint32_t>(from - start), static_cast<std::uint32_t>(to - from)});
        }
        return part;
    };
    return {text.substr(start, end - start), clip(shown.marks), clip(shown.byteMarks), start,
            text.size() - end};
}

std::optional<BytesOnlyDifferences> Comparison::SameLines() const {
    if (outcome_ != Outcome::Text || identical_ || !differenceStarts_.empty()) return std::nullopt;
    const TextFile& a = *first_.text;
    const TextFile& b = *second_.text;
    BytesOnlyDifferences what;
    what.encoding = first_.encoding != second_.encoding;
    what.lineEnds = a.ending() != b.ending() && a.ending() != LineEnding::None &&
                    b.ending() != LineEnding::None;
    what.finalNewline = a.endsWithNewline() != b.endsWithNewline();
    return what;
}

std::optional<std::size_t> Comparison::Find(std::u16string_view needle,
                                            std::optional<std::size_t> from, bool forward) const {
    const std::size_t count = rows_.size();
    if (needle.empty() || count == 0) return std::nullopt;
    std::u16string folded(needle);
    for (char16_t& c : folded) c = FoldCase(c);
    const bool ascii =
        std::all_of(folded.begin(), folded.end(), [](char16_t c) { return c < 0x80; });
    const bool codes = ascii && MayMeetCode(folded);
    // Other needles are looked for by their longest run of characters that stand for themselves
    // alone, in its UTF-8 bytes: characters that no other character folds to and no control is
    // shown as.
    std::string anchor;
    if (!ascii) {
        std::string run;
        for (const char16_t c : folded) {
            const bool foldTarget = (c >= 0xE0 && c <= 0xFE) || (c >= 0x3B1 && c <= 0x3C9) ||
                                    (c >= 0x430 && c <= 0x45F) || (c >= 0xFF41 && c <= 0xFF5A);
            const bool shownFor = c >= 0x2400 && c <= 0x2421;  // controls, line ends
            if (c < 0x80 || foldTarget || shownFor || (c >= 0xD800 && c <= 0xDFFF)) {
                run.clear();
                continue;
            }
            if (c < 0x800) {
                run += static_cast<char>(0xC0 | c >> 6);
            } else {
                run += static_cast<char>(0xE0 | c >> 12);
                run += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            }
            run += static_cast<char>(0x80 | (c & 0x3F));
            if (run.size() > anchor.size()) anchor = run;
        }
    }
    // The first place in [at, end) where a line may show the needle; `end` if none does.
    auto mayShow = [&](const char* at, const char* end) {
        if (ascii) return MayShowAsciiAt(at, end, folded, codes);
        const std::size_t found =
            std::string_view(at, static_cast<std::size_t>(end - at)).find(anchor);
        return found == std::string_view::npos ? end : at + found;
    };
    auto holds = [&](std::size_t row) {
        std::u16string text = LineText(row);
        for (char16_t& c : text) c = FoldCase(c);
        return text.find(folded) != std::u16string::npos;
    };
    // The rows [lo, hi) of one block, in the order of the search: decoding every line of a long
    // file takes longer than a key may, so the needle is looked for in the bytes of UTF-8 lines
    // first, many lines at a step, and only the lines that may hold it are decoded.
    auto findIn = [&](const Block& block, std::size_t lo,
                      std::size_t hi) -> std::optional<std::size_t> {
        const TextFile& file = block.kind == RowKind::Added ? *second_.text : *first_.text;
        const bool bytewise =
            (ascii || !anchor.empty()) && !file.lossy() &&
            (file.encoding() == Encoding::Utf8 || file.encoding() == Encoding::Utf8Bom);
        if (!bytewise) {
            for (std::size_t k = 0; k < hi - lo; ++k) {
                const std::size_t row = forward ? lo + k : hi - 1 - k;
                if (holds(row)) return row;
            }
            return std::nullopt;
        }
        const std::int32_t firstLine = (block.kind == RowKind::Added ? block.second : block.first) -
                                       static_cast<std::int32_t>(block.row);
        constexpr std::size_t kStep = 4096;  // rows a look at the bytes takes in
        for (std::size_t done = 0; done < hi - lo; done += kStep) {
            const std::size_t take = std::min(kStep, hi - lo - done);
            const std::size_t stepLo = forward ? lo + done : hi - done - take;
            const auto line0 =
                static_cast<std::int32_t>(firstLine + static_cast<std::int64_t>(stepLo));
            const auto line1 = line0 + static_cast<std::int32_t>(take);  // past the last
            const std::string_view last = file.Line(line1 - 1);
            const char* at = file.Line(line0).data();
            const char* end = last.data() + last.size();
            std::optional<std::size_t> found;
            while (at < end) {
                at = mayShow(at, end);
                if (at == end) break;
                const std::int32_t line =
                    file.LineAt(static_cast<std::size_t>(at - file.bytes().data()));
                const auto row = static_cast<std::size_t>(line - firstLine);
                if (holds(row)) {
                    found = row;
                    if (forward) return found;
                }
                if (line + 1 >= line1) break;
                at = file.Line(line + 1).data();
            }
            if (found) return found;
        }
        return std::nullopt;
    };
    // From the row after `from` round to `from` itself, a block at a time.
    std::size_t row = from ? (forward ? (*from + 1) % count : (*from + count - 1) % count)
                           : (forward ? 0 : count - 1);
    for (std::size_t left = count; left > 0;) {
        const Block& block = rows_.BlockOf(row);
        const std::size_t blockEnd = block.row + static_cast<std::size_t>(block.count);
        const std::size_t lo =
            forward ? row : std::max(block.row, row + 1 - std::min(left, row + 1));
        const std::size_t hi = forward ? std::min(blockEnd, row + left) : row + 1;
        if (const auto found = findIn(block, lo, hi)) return found;
        left -= hi - lo;
        row = forward ? hi % count : (lo + count - 1) % count;
    }
    return std::nullopt;
}

std::optional<std::size_t> Comparison::RowOfLine(Side side, std::int64_t lineNumber) const {
    const bool inFirst = side == Side::First;
    const std::int32_t lines = (inFirst ? first_ : second_).text->LineCount();
    if (lines == 0 || lineNumber < 1) return std::nullopt;
    const auto index = static_cast<std::int32_t>(std::min<std::int64_t>(lineNumber, lines) - 1);
    for (const Block& block : rows_.blocks()) {
        if (block.kind == (inFirst ? RowKind::Added : RowKind::Removed)) continue;
        const std::int32_t start = inFirst ? block.first : block.second;
        if (index >= start && index < start + block.count) {
            return block.row + static_cast<std::size_t>(index - start);
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Comparison::RowToKeep(const std::optional<Row>& before) const {
    if (outcome_ != Outcome::Text) return std::nullopt;
    std::optional<std::size_t> row;
    if (before) {
        const bool inFirst = before->first >= 0;
        row = RowOfLine(inFirst ? Side::First : Side::Second,
                        (inFirst ? before->first : before->second) + 1);
    }
    if (!row && !differenceStarts_.empty()) row = differenceStarts_.front();
    return row;
}

std::u16string Comparison::CopyText(const std::vector<std::size_t>& rowList,
                                    std::size_t* strayBytes, std::size_t* nuls) const {
    std::u16string text;
    if (strayBytes != nullptr) *strayBytes = 0;
    if (nuls != nullptr) *nuls = 0;
    LinesInOrder firstLines(*first_.text);
    LinesInOrder secondLines(*second_.text);
    for (const std::size_t row : rowList) {
        if (row >= rows_.size()) continue;
        switch (rows_[row].kind) {
            case RowKind::Common:
                text += u' ';
                break;
            case RowKind::Removed:
                text += u'-';
                break;
            case RowKind::Added:
                text += u'+';
                break;
        }
        const Row r = rows_[row];
        const TextFile& file = r.first >= 0 ? *first_.text : *second_.text;
        const std::string_view bytes =
            r.first >= 0 ? firstLines.At(r.first).Line() : secondLines.At(r.second).Line();
        std::vector<MarkSpan> byteMarks;
        const std::u16string line = Decode(bytes, file.encoding(), &byteMarks);
        // Each stray byte is shown as four units, "<E9>".
        std::size_t at = 0;
        for (const MarkSpan& mark : byteMarks) {
            text.append(line, at, mark.start - at);
            text.append(mark.length / 4, u'\uFFFD');
            if (strayBytes != nullptr) *strayBytes += mark.length / 4;
            at = mark.start + mark.length;
        }
        text.append(line, at);
        text += u'\n';
    }
    for (char16_t& c : text) {
        if (c != u'\0') continue;
        c = u'\uFFFD';
        if (nuls != nullptr) ++*nuls;
    }
    return text;
}

}  // namespace viewer

#include "Comparison.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

std::int64_t FirstDifference(const std::string& a, const std::string& b) {
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

// Whether the text shown for a line of UTF-8 `bytes` without stray bytes may hold `needle`, ASCII
// and folded (FoldCase, which folds ASCII letters only to ASCII): where its bytes hold it in any
// case, or where the line has a character shown by its code ("<U+200B>", led by C2, E2 or EF).
bool MayShowAscii(std::string_view bytes, std::u16string_view needle) {
    const auto folded = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c - 'A' + 'a')
                                    : static_cast<char16_t>(static_cast<unsigned char>(c));
    };
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char c = bytes[at];
        if (c == '\xC2' || c == '\xE2' || c == '\xEF') return true;
        if (folded(c) != needle[0] || bytes.size() - at < needle.size()) continue;
        std::size_t i = 1;
        while (i < needle.size() && folded(bytes[at + i]) == needle[i]) ++i;
        if (i == needle.size()) return true;
    }
    return false;
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

std::u16string EndingName(LineEnding ending) {
    switch (ending) {
        case LineEnding::CrLf:
            return u"CR LF";
        case LineEnding::Lf:
            return u"LF";
        case LineEnding::Mixed:
            return u"混在";
        case LineEnding::None:
            break;
    }
    return u"なし";
}

std::u16string Number(std::uint64_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string EncodingText(const FileSide& side) {
    const std::u16string note = BadBytesNote(side.badBytes);
    return EncodingName(side.encoding) + (note.empty() ? u"" : u"、" + note);
}

Comparison Compare(const std::filesystem::path& firstPath, const std::filesystem::path& secondPath,
                   std::int64_t textLimitBytes, const IgnoreOptions& options,
                   const CancelFlag* cancel, const ChosenEncodings& chosen, MissingSides missing) {
    Comparison result;
    result.options = options;
    result.chosen = chosen;
    result.first.path = firstPath;
    result.second.path = secondPath;

    InputFile file1(firstPath, missing.first);
    InputFile file2(secondPath, missing.second);
    result.first.mayBeMissing = missing.first;
    result.second.mayBeMissing = missing.second;
    result.first.absent = file1.missing();
    result.second.absent = file2.missing();
    result.first.error = file1.error();
    result.second.error = file2.error();
    result.first.identity = file1.identity();
    result.second.identity = file2.identity();
    if (!file1.ok() || !file2.ok()) return result;

    if (file1.size() > textLimitBytes || file2.size() > textLimitBytes) {
        const StreamComparison blocks = CompareInBlocks(file1, file2);
        if (!blocks.ok) {
            result.first.error = blocks.errors.first;
            result.second.error = blocks.errors.second;
            return result;
        }
        result.outcome = Outcome::TooLarge;
        result.first.size = blocks.size1;
        result.second.size = blocks.size2;
        result.firstDifferentByte = blocks.firstDifference;
        result.identicalBytes = blocks.firstDifference < 0;
        return result;
    }

    std::string bytes1;
    std::string bytes2;
    if (!file1.ReadAll(bytes1)) result.first.error = file1.error();
    if (!file2.ReadAll(bytes2)) result.second.error = file2.error();
    if (result.first.error.failed() || result.second.error.failed()) return result;

    result.first.size = static_cast<std::int64_t>(bytes1.size());
    result.second.size = static_cast<std::int64_t>(bytes2.size());
    result.firstDifferentByte = FirstDifference(bytes1, bytes2);
    result.identicalBytes = result.firstDifferentByte < 0;

    auto binary = [](const std::string& bytes, std::optional<Encoding> encoding) {
        if (encoding && UnitBytes(*encoding) == 2) return false;
        return LooksBinary(bytes);
    };
    if (binary(bytes1, chosen.first) || binary(bytes2, chosen.second)) {
        result.outcome = Outcome::Binary;
        return result;
    }
    result.outcome = Outcome::Text;
    auto find = [](const std::string& bytes, std::optional<Encoding> encoding) {
        return encoding ? ReadAs(bytes, *encoding) : DetectEncoding(bytes);
    };
    // Identical files are read in the one encoding chosen for either.
    const DetectedEncoding found1 =
        find(bytes1, result.identicalBytes && !chosen.first ? chosen.second : chosen.first);
    if (result.identicalBytes) {
        // Nothing to diff: every line is its own partner, and one copy of the text serves both.
        TakeText(result.first, std::move(bytes1), found1, false);
        result.second.encoding = result.first.encoding;
        result.second.lossy = result.first.lossy;
        result.second.badBytes = result.first.badBytes;
        result.second.text = result.first.text;
        result.rows.Append(RowKind::Common, 0, 0, result.first.text->LineCount());
        return result;
    }
    const DetectedEncoding found2 = find(bytes2, chosen.second);
    // Text that decodes cleanly from two different encodings is compared as text; otherwise the
    // bytes are what there is to compare.
    const bool asUtf16 =
        !SameBytesForSameText(found1.encoding, found2.encoding) && !found1.lossy && !found2.lossy;
    TakeText(result.first, std::move(bytes1), found1, asUtf16);
    TakeText(result.second, std::move(bytes2), found2, asUtf16);
    result.Rediff(options, cancel);
    return result;
}

Comparison CompareAgain(const Comparison& earlier, const CancelFlag* cancel) {
    return CompareAgain(earlier, earlier.chosen, cancel);
}

Comparison CompareAgain(const Comparison& earlier, const ChosenEncodings& chosen,
                        const CancelFlag* cancel) {
    Comparison again =
        Compare(earlier.first.path, earlier.second.path, kTextLimitBytes, earlier.options, cancel,
                chosen, {earlier.first.mayBeMissing, earlier.second.mayBeMissing});
    again.first.label = earlier.first.label;
    again.second.label = earlier.second.label;
    return again;
}

void Comparison::Rediff(const IgnoreOptions& newOptions, const CancelFlag* cancel) {
    if (outcome != Outcome::Text) {
        options = newOptions;
        return;
    }
    // Nothing changes until the new rows are there, so a cancelled comparison leaves the old one.
    const bool byText = ByText();
    // Making the variants one costs a text a line; where neither file has one, it changes nothing.
    const bool unify = byText && (HasJisVariant(*first.text) || HasJisVariant(*second.text));
    Rows newRows = DiffLines(*first.text, *second.text, newOptions, cancel, unify);
    options = newOptions;
    rows = std::move(newRows);
    pairings_.clear();
    differenceStarts.clear();
    overlooked_.clear();
    hiddenLines = 0;
    endingOnlyLines_ = 0;
    variantOnlyLines_ = 0;
    // Two files each with one kind of line end, the same, have no line that ends otherwise:
    // nothing to count, line by line, unless the lines are held as text.
    const LineEnding ending1 = first.text->ending();
    const LineEnding ending2 = second.text->ending();
    const bool endsAlike = ending1 == LineEnding::None || ending2 == LineEnding::None ||
                           (ending1 == ending2 && ending1 != LineEnding::Mixed);
    for (const Block& block : rows.blocks()) {
        if (block.kind != RowKind::Common || (endsAlike && !byText)) continue;
        for (std::int32_t k = 0; k < block.count; ++k) {
            // A last line without a newline is the final newline's note, not this count.
            const LineEnding a = first.text->EndingOf(block.first + k);
            const LineEnding b = second.text->EndingOf(block.second + k);
            endingOnlyLines_ += a != b && a != LineEnding::None && b != LineEnding::None;
            if (byText) {
                const std::string_view x = first.text->Line(block.first + k);
                const std::string_view y = second.text->Line(block.second + k);
                variantOnlyLines_ += x != y && !DifferUnified(x, y);
            }
        }
    }
    for (const std::size_t start : DifferenceStarts(rows)) {
        if (options.blankLines && BlankChange(start)) {
            overlooked_.push_back(start);
        } else {
            differenceStarts.push_back(start);
        }
    }
    if (!options.any()) return;
    for (const Block& block : rows.blocks()) {
        if (block.kind != RowKind::Common) {
            if (Overlooked(block.row)) hiddenLines += static_cast<std::size_t>(block.count);
            continue;
        }
        for (std::int32_t k = 0; k < block.count; ++k) {
            const std::string_view x = first.text->Line(block.first + k);
            const std::string_view y = second.text->Line(block.second + k);
            hiddenLines += byText ? DifferUnified(x, y) : x != y;
        }
    }
}

bool Comparison::BlankChange(std::size_t row) const {
    for (std::size_t at = row; at < rows.size() && rows[at].kind != RowKind::Common; ++at) {
        for (const char16_t c : RowText(at, false)) {
            if (!IsBlank(c)) return false;
        }
    }
    return true;
}

bool Comparison::Overlooked(std::size_t row) const {
    if (overlooked_.empty() || row >= rows.size() || rows[row].kind == RowKind::Common) {
        return false;
    }
    // The change's first row is the last start at or before the row, with no common row between.
    const auto after = std::upper_bound(overlooked_.begin(), overlooked_.end(), row);
    if (after == overlooked_.begin()) return false;
    const std::vector<Block>& blocks = rows.blocks();
    for (std::size_t b = rows.BlockIndex(*std::prev(after)); b < rows.BlockIndex(row); ++b) {
        if (blocks[b].kind == RowKind::Common) return false;
    }
    return true;
}

std::optional<std::size_t> Comparison::NextDifference(std::optional<std::size_t> current) const {
    const auto& starts = differenceStarts;
    const auto next =
        current ? std::upper_bound(starts.begin(), starts.end(), *current) : starts.begin();
    if (next == starts.end()) return std::nullopt;
    return *next;
}

std::optional<std::size_t> Comparison::PreviousDifference(
    std::optional<std::size_t> current) const {
    if (!current) return std::nullopt;
    const auto& starts = differenceStarts;
    const auto after = std::lower_bound(starts.begin(), starts.end(), *current);
    if (after == starts.begin()) return std::nullopt;
    return *std::prev(after);
}

std::size_t Comparison::DifferenceNumber(std::size_t row) const {
    if (row >= rows.size() || rows[row].kind == RowKind::Common) return 0;
    const auto& starts = differenceStarts;
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), row) -
                                    starts.begin());
}

std::string_view Comparison::LineBytes(std::size_t row) const {
    const Row r = rows[row];
    return r.first >= 0 ? first.text->Line(r.first) : second.text->Line(r.second);
}

bool Comparison::ByText() const {
    return outcome == Outcome::Text &&
           (first.text->encoding() != first.encoding || second.text->encoding() != second.encoding);
}

std::u16string Comparison::RowText(std::size_t row, bool withEnd,
                                   std::vector<MarkSpan>* byteMarks) const {
    const Row r = rows[row];
    const TextFile& file = r.first >= 0 ? *first.text : *second.text;
    const std::int32_t line = r.first >= 0 ? r.first : r.second;
    std::u16string text = ShowControls(file.Display(line, byteMarks), byteMarks);
    if (withEnd) text += EndingShown(file.EndingOf(line));
    return text;
}

std::u16string Comparison::LineText(std::size_t row) const {
    return RowText(row, !options.lineEnds);
}

LineMarks Comparison::MarksOf(std::size_t row) const {
    if (row >= rows.size() || rows[row].kind == RowKind::Common || Overlooked(row)) return {};
    // A change is a run of removed rows followed by a run of added rows.
    const std::vector<Block>& blocks = rows.blocks();
    std::size_t index = rows.BlockIndex(row);
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
    shown.text = RowText(row, !options.lineEnds, &shown.byteMarks);
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

    std::u16string out;
    if (start > 0) out = u"（先頭 " + Number(start) + u" 文字は省略）… ";
    const std::size_t shift = out.size();
    out.append(text, start, end - start);
    if (end < text.size()) out += u" …（残り " + Number(text.size() - end) + u" 文字は省略）";
    auto clip = [&](const std::vector<MarkSpan>& whole) {
        std::vector<MarkSpan> part;
        for (const MarkSpan& mark : whole) {
            const std::size_t from = std::max<std::size_t>(mark.start, start);
            const std::size_t to = std::min<std::size_t>(mark.start + mark.length, end);
            if (from >= to) continue;
            part.push_back({static_cast<std::uint32_t>(from - start + shift),
                            static_cast<std::uint32_t>(to - from)});
        }
        return part;
    };
    return {std::move(out), clip(shown.marks), clip(shown.byteMarks)};
}

std::u16string Comparison::SameLinesNote() const {
    if (outcome != Outcome::Text || identicalBytes || !differenceStarts.empty()) return {};
    const TextFile& a = *first.text;
    const TextFile& b = *second.text;
    std::vector<std::u16string> reasons;
    if (first.encoding != second.encoding) reasons.push_back(u"文字コード");
    if (a.ending() != b.ending() && a.ending() != LineEnding::None &&
        b.ending() != LineEnding::None) {
        reasons.push_back(u"改行コード");
    }
    if (a.endsWithNewline() != b.endsWithNewline()) reasons.push_back(u"最終行の改行の有無");
    if (reasons.empty()) return u"行の内容は同じですが、ファイルのバイト列は異なります。";
    std::u16string joined;
    for (const std::u16string& reason : reasons) {
        if (!joined.empty()) joined += u"・";
        joined += reason;
    }
    return u"行の内容は同じですが、" + joined + u"が異なります。";
}

std::u16string Comparison::Message() const {
    switch (outcome) {
        case Outcome::Unreadable:
            return {};
        case Outcome::Binary:
        case Outcome::TooLarge:
            break;
        case Outcome::Text:
            if (identicalBytes) return u"2つのファイルは同一です。";
            return SameLinesNote();
    }
    std::u16string text = outcome == Outcome::TooLarge
                              ? u"ファイルが大きいため（" +
                                    Number(static_cast<std::uint64_t>(kTextLimitBytes >> 20)) +
                                    u" MiB を超えます）、行ではなくバイト単位で比較しました。"
                              : u"バイナリファイルです。";
    if (identicalBytes) {
        return text + u"\n2つのファイルは同一です（" +
               Number(static_cast<std::uint64_t>(first.size)) + u" バイト）。";
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string hex;
    for (auto at = static_cast<std::uint64_t>(firstDifferentByte);; at /= 16) {
        hex.insert(hex.begin(), static_cast<char16_t>(kHex[at % 16]));
        if (at < 16) break;
    }
    return text + u"\n2つのファイルは異なります。\n最初に異なるバイトの位置: " +
           Number(static_cast<std::uint64_t>(firstDifferentByte)) + u" (0x" + hex +
           u")\nサイズ: 第一 " + Number(static_cast<std::uint64_t>(first.size)) +
           u" バイト、第二 " + Number(static_cast<std::uint64_t>(second.size)) + u" バイト";
}

std::u16string Comparison::CountText(std::optional<std::size_t> current) const {
    switch (outcome) {
        case Outcome::Unreadable:
            return u"比較できません";
        case Outcome::Binary:
        case Outcome::TooLarge:
            return identicalBytes ? u"相違はありません" : u"相違があります";
        case Outcome::Text:
            break;
    }
    if (differenceStarts.empty()) return u"相違はありません";
    const std::u16string total = u"相違 " + Number(differenceStarts.size()) + u" 箇所";
    const std::size_t number = current ? DifferenceNumber(*current) : 0;
    if (number == 0) return total + u"　F8: 次の相違　Shift+F8 / F7: 前の相違";
    return total + u" (" + Number(number) + u" 番目)";
}

std::u16string Comparison::HiddenNote() const {
    std::vector<std::u16string> notes{OptionsNote()};
    if (outcome == Outcome::Text && !identicalBytes) {
        const TextFile& a = *first.text;
        const TextFile& b = *second.text;
        if (endingOnlyLines_ > 0) {
            notes.push_back(u"改行コードだけが異なる " + Number(endingOnlyLines_) +
                            u" 行を同じ行として表示しています");
        } else if (a.ending() != b.ending() && a.ending() != LineEnding::None &&
                   b.ending() != LineEnding::None) {
            notes.push_back(u"改行コードが異なります（第一: " + EndingName(a.ending()) +
                            u"、第二: " + EndingName(b.ending()) + u"）");
        }
        if (a.endsWithNewline() != b.endsWithNewline())
            notes.push_back(u"最終行の改行の有無が異なります");
        if (variantOnlyLines_ > 0) {
            notes.push_back(u"〜と～のように文字コードの変換表だけが異なる " +
                            Number(variantOnlyLines_) + u" 行を同じ行として表示しています");
        }
    }
    std::u16string joined;
    for (const std::u16string& note : notes) {
        if (note.empty()) continue;
        if (!joined.empty()) joined += u"　";
        joined += note;
    }
    return joined;
}

std::u16string Comparison::OptionsNote() const {
    if (hiddenLines == 0) return {};
    std::u16string what;
    auto add = [&](bool on, const char16_t* name) {
        if (!on) return;
        if (!what.empty()) what += u"・";
        what += name;
    };
    add(options.trailingBlanks, u"行末の空白");
    add(options.allBlanks, u"すべての空白");
    add(options.blankLines, u"空行");
    add(options.letterCase, u"大文字と小文字");
    return what + u"を無視しています（" + Number(hiddenLines) + u" 行の相違を表示していません）";
}

std::u16string Comparison::Title(const std::u16string& firstName,
                                 const std::u16string& secondName) const {
    std::u16string state;
    switch (outcome) {
        case Outcome::Unreadable:
            state = u"読み込めません";
            break;
        case Outcome::Binary:
        case Outcome::TooLarge:
            state = identicalBytes ? u"同一" : u"相違あり";
            break;
        case Outcome::Text:
            if (identicalBytes) {
                state = u"同一";
            } else if (differenceStarts.empty()) {
                state = u"相違なし";
            } else {
                state = u"相違 " + Number(differenceStarts.size()) + u" 箇所";
            }
            break;
    }
    return firstName + u" ⇔ " + secondName + u" — " + state + u" — Diff-Zarvo ビューアー";
}

std::optional<std::size_t> Comparison::Find(std::u16string_view needle,
                                            std::optional<std::size_t> from, bool forward) const {
    const std::size_t count = rows.size();
    if (needle.empty() || count == 0) return std::nullopt;
    std::u16string folded(needle);
    for (char16_t& c : folded) c = FoldCase(c);
    const bool ascii =
        std::all_of(folded.begin(), folded.end(), [](char16_t c) { return c < 0x80; });
    std::size_t row = from ? *from : (forward ? count - 1 : 0);
    for (std::size_t step = 0; step < count; ++step) {
        row = forward ? (row + 1) % count : (row + count - 1) % count;
        // Decoding every line of a long file takes longer than a key may: an ASCII needle is
        // looked for in the bytes of a UTF-8 line first.
        const Row r = rows[row];
        const TextFile& file = r.first >= 0 ? *first.text : *second.text;
        if (ascii && !file.lossy() &&
            (file.encoding() == Encoding::Utf8 || file.encoding() == Encoding::Utf8Bom) &&
            !MayShowAscii(file.Line(r.first >= 0 ? r.first : r.second), folded)) {
            continue;
        }
        std::u16string text = LineText(row);
        for (char16_t& c : text) c = FoldCase(c);
        if (text.find(folded) != std::u16string::npos) return row;
    }
    return std::nullopt;
}

std::optional<std::size_t> Comparison::RowOfLine(bool inFirst, std::int64_t lineNumber) const {
    const std::int32_t lines = (inFirst ? first : second).text->LineCount();
    if (lines == 0 || lineNumber < 1) return std::nullopt;
    const auto index = static_cast<std::int32_t>(std::min<std::int64_t>(lineNumber, lines) - 1);
    for (const Block& block : rows.blocks()) {
        if (block.kind == (inFirst ? RowKind::Added : RowKind::Removed)) continue;
        const std::int32_t start = inFirst ? block.first : block.second;
        if (index >= start && index < start + block.count) {
            return block.row + static_cast<std::size_t>(index - start);
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Comparison::RowToKeep(const std::optional<Row>& before) const {
    if (outcome != Outcome::Text) return std::nullopt;
    std::optional<std::size_t> row;
    if (before) {
        const bool inFirst = before->first >= 0;
        row = RowOfLine(inFirst, (inFirst ? before->first : before->second) + 1);
    }
    if (!row && !differenceStarts.empty()) row = differenceStarts.front();
    return row;
}

std::u16string Comparison::CopyText(const std::vector<std::size_t>& rowList,
                                    std::size_t* strayBytes, std::size_t* nuls) const {
    std::u16string text;
    if (strayBytes != nullptr) *strayBytes = 0;
    if (nuls != nullptr) *nuls = 0;
    for (const std::size_t row : rowList) {
        if (row >= rows.size()) continue;
        switch (rows[row].kind) {
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
        const Row r = rows[row];
        const TextFile& file = r.first >= 0 ? *first.text : *second.text;
        std::vector<MarkSpan> byteMarks;
        const std::u16string line = file.Display(r.first >= 0 ? r.first : r.second, &byteMarks);
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

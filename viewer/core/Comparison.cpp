#include "Comparison.h"

#include <algorithm>
#include <utility>

#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

std::int64_t FirstDifference(const std::string& a, const std::string& b) {
    const std::size_t shorter = std::min(a.size(), b.size());
    const auto at =
        std::mismatch(a.cbegin(), a.cbegin() + static_cast<std::ptrdiff_t>(shorter), b.cbegin());
    if (at.first != a.cbegin() + static_cast<std::ptrdiff_t>(shorter)) return at.first - a.cbegin();
    return a.size() == b.size() ? -1 : static_cast<std::int64_t>(shorter);
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
    bytes.erase(0, found.markBytes);
    if (asUtf16) {
        bytes = Utf16LeBytes(Decode(bytes, found.encoding));
        side.text = std::make_shared<const TextFile>(std::move(bytes), Encoding::Utf16Le);
        return;
    }
    side.text = std::make_shared<const TextFile>(std::move(bytes), found.encoding, found.lossy);
}

}  // namespace

Comparison Compare(const std::filesystem::path& firstPath, const std::filesystem::path& secondPath,
                   std::int64_t textLimitBytes) {
    Comparison result;
    result.first.path = firstPath;
    result.second.path = secondPath;

    InputFile file1(firstPath);
    InputFile file2(secondPath);
    result.first.error = file1.error();
    result.second.error = file2.error();
    if (!file1.ok() || !file2.ok()) return result;

    if (file1.size() > textLimitBytes || file2.size() > textLimitBytes) {
        const StreamComparison blocks = CompareInBlocks(file1, file2);
        if (!blocks.ok) {
            (blocks.failedSide == 1 ? result.first : result.second).error = blocks.error;
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
    if (!result.first.error.empty() || !result.second.error.empty()) return result;

    result.first.size = static_cast<std::int64_t>(bytes1.size());
    result.second.size = static_cast<std::int64_t>(bytes2.size());
    result.firstDifferentByte = FirstDifference(bytes1, bytes2);
    result.identicalBytes = result.firstDifferentByte < 0;

    if (LooksBinary(bytes1) || LooksBinary(bytes2)) {
        result.outcome = Outcome::Binary;
        return result;
    }
    result.outcome = Outcome::Text;
    const DetectedEncoding found1 = DetectEncoding(bytes1);
    if (result.identicalBytes) {
        // Nothing to diff: every line is its own partner, and one copy of the text serves both.
        TakeText(result.first, std::move(bytes1), found1, false);
        result.second.encoding = result.first.encoding;
        result.second.lossy = result.first.lossy;
        result.second.text = result.first.text;
        result.rows.Append(RowKind::Common, 0, 0, result.first.text->LineCount());
        return result;
    }
    const DetectedEncoding found2 = DetectEncoding(bytes2);
    // Text that decodes cleanly from two different encodings is compared as text; otherwise the
    // bytes are what there is to compare.
    const bool asUtf16 =
        !SameBytesForSameText(found1.encoding, found2.encoding) && !found1.lossy && !found2.lossy;
    TakeText(result.first, std::move(bytes1), found1, asUtf16);
    TakeText(result.second, std::move(bytes2), found2, asUtf16);
    result.rows = DiffLines(*result.first.text, *result.second.text);
    result.differenceStarts = DifferenceStarts(result.rows);
    return result;
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

std::u16string Comparison::LineText(std::size_t row) const {
    const Row r = rows[row];
    return r.first >= 0 ? first.text->Display(r.first) : second.text->Display(r.second);
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

}  // namespace viewer

#include "Comparison.h"

#include <algorithm>
#include <utility>

#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

qint64 FirstDifference(const QByteArray& a, const QByteArray& b) {
    const qsizetype shorter = std::min(a.size(), b.size());
    const auto at = std::mismatch(a.cbegin(), a.cbegin() + shorter, b.cbegin());
    if (at.first != a.cbegin() + shorter) return at.first - a.cbegin();
    return a.size() == b.size() ? -1 : shorter;
}

void TakeText(FileSide& side, const QByteArray& bytes) {
    DecodedText decoded = DecodeText(bytes);
    side.encoding = decoded.encoding;
    side.lossy = decoded.lossy;
    side.text = SplitLines(std::move(decoded.text));
}

}  // namespace

Comparison Compare(const QString& firstPath, const QString& secondPath, qint64 textLimitBytes) {
    Comparison result;
    result.first.path = firstPath;
    result.second.path = secondPath;

    InputFile file1(firstPath);
    InputFile file2(secondPath);
    if (!file1.ok()) result.errors << QStringLiteral("%1: %2").arg(firstPath, file1.error());
    if (!file2.ok()) result.errors << QStringLiteral("%1: %2").arg(secondPath, file2.error());
    if (!result.errors.isEmpty()) return result;

    if (file1.size() > textLimitBytes || file2.size() > textLimitBytes) {
        const StreamComparison blocks = CompareInBlocks(file1, firstPath, file2, secondPath);
        if (!blocks.ok) {
            result.errors << blocks.error;
            return result;
        }
        result.outcome = Outcome::TooLarge;
        result.first.size = blocks.size1;
        result.second.size = blocks.size2;
        result.firstDifferentByte = blocks.firstDifference;
        result.identicalBytes = blocks.firstDifference < 0;
        return result;
    }

    QByteArray bytes1;
    QByteArray bytes2;
    if (!file1.ReadAll(bytes1)) {
        result.errors << QStringLiteral("%1: %2").arg(firstPath, file1.error());
    }
    if (!file2.ReadAll(bytes2)) {
        result.errors << QStringLiteral("%1: %2").arg(secondPath, file2.error());
    }
    if (!result.errors.isEmpty()) return result;

    result.first.size = bytes1.size();
    result.second.size = bytes2.size();
    result.firstDifferentByte = FirstDifference(bytes1, bytes2);
    result.identicalBytes = result.firstDifferentByte < 0;

    if (LooksBinary(bytes1) || LooksBinary(bytes2)) {
        result.outcome = Outcome::Binary;
        return result;
    }
    result.outcome = Outcome::Text;
    // The bytes are let go one file at a time: only the decoded text stays.
    TakeText(result.first, std::exchange(bytes1, {}));
    if (result.identicalBytes) {
        // The same bytes decode to the same text, which QString shares rather than copies; and
        // there is nothing to diff: every line is its own partner.
        result.second.encoding = result.first.encoding;
        result.second.lossy = result.first.lossy;
        result.second.text = result.first.text;
        result.rows.reserve(static_cast<size_t>(result.first.text.LineCount()));
        for (qsizetype i = 0; i < result.first.text.LineCount(); ++i) {
            result.rows.push_back({RowKind::Same, i, i});
        }
        return result;
    }
    TakeText(result.second, std::exchange(bytes2, {}));
    result.rows = DiffLines(result.first.text, result.second.text);
    result.differenceStarts = DifferenceStarts(result.rows);
    return result;
}

QString Comparison::SameLinesNote() const {
    if (outcome != Outcome::Text || identicalBytes || !differenceStarts.empty()) return {};
    QStringList reasons;
    if (first.encoding != second.encoding) reasons << QStringLiteral("文字コード");
    if (first.text.ending != second.text.ending && first.text.ending != LineEnding::None &&
        second.text.ending != LineEnding::None) {
        reasons << QStringLiteral("改行コード");
    }
    if (first.text.endsWithNewline != second.text.endsWithNewline) {
        reasons << QStringLiteral("最終行の改行の有無");
    }
    if (reasons.isEmpty()) {
        return QStringLiteral("行の内容は同じですが、ファイルのバイト列は異なります。");
    }
    return QStringLiteral("行の内容は同じですが、%1が異なります。")
        .arg(reasons.join(QStringLiteral("・")));
}

}  // namespace viewer

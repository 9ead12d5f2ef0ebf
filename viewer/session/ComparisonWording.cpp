#include "ComparisonWording.h"

#include <vector>

#include "Texts.h"
#include "Wording.h"
#include "EncodingWords.h"

namespace viewer {

namespace {

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

std::u16string Joined(const std::vector<std::u16string>& parts, std::u16string_view between) {
    std::u16string joined;
    for (const std::u16string& part : parts) {
        if (part.empty()) continue;
        if (!joined.empty()) joined += between;
        joined += part;
    }
    return joined;
}

std::u16string Hex(std::uint64_t n) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string hex;
    do {
        hex.insert(hex.begin(), static_cast<char16_t>(kHex[n % 16]));
        n /= 16;
    } while (n > 0);
    return hex;
}

// What the options hide: "空行を無視しています（2 行の相違を表示していません）".
std::u16string OptionsNote(const Comparison& comparison) {
    if (comparison.hiddenLines() == 0) return {};
    const IgnoreOptions& options = comparison.options();
    std::vector<std::u16string> what;
    if (options.trailingBlanks) what.push_back(u"行末の空白");
    if (options.allBlanks) what.push_back(u"すべての空白");
    if (options.blankLines) what.push_back(u"空行");
    if (options.letterCase) what.push_back(u"大文字と小文字");
    return Joined(what, u"・") + u"を無視しています（" + Number(comparison.hiddenLines()) +
           u" 行の相違を表示していません）";
}

}  // namespace

std::u16string EncodingText(const FileSide& side) {
    const std::u16string note = BadBytesNote(side.badBytes);
    return EncodingName(side.encoding) + (note.empty() ? u"" : u"、" + note);
}

std::u16string SameLinesNote(const Comparison& comparison) {
    const std::optional<BytesOnlyDifferences> what = comparison.SameLines();
    if (!what) return {};
    std::vector<std::u16string> reasons;
    if (what->encoding) reasons.push_back(u"文字コード");
    if (what->lineEnds) reasons.push_back(u"改行コード");
    if (what->finalNewline) reasons.push_back(u"最終行の改行の有無");
    if (reasons.empty()) return u"行の内容は同じですが、ファイルのバイト列は異なります。";
    return u"行の内容は同じですが、" + Joined(reasons, u"・") + u"が異なります。";
}

std::u16string ComparisonMessage(const Comparison& comparison) {
    switch (comparison.outcome()) {
        case Outcome::Unreadable:
            return {};
        case Outcome::Binary:
        case Outcome::TooLarge:
            break;
        case Outcome::Text:
            if (comparison.identicalBytes()) return u"2つのファイルは同一です。";
            return SameLinesNote(comparison);
    }
    const auto size1 = static_cast<std::uint64_t>(comparison.first().size);
    const auto size2 = static_cast<std::uint64_t>(comparison.second().size);
    std::u16string text = u"バイナリファイルです。";
    if (comparison.outcome() == Outcome::TooLarge) {
        text = comparison.memoryShort()
                   ? u"メモリが足りないため、行ではなくバイト単位で比較しました。"
                   : u"ファイルが大きいため（" +
                         Number(static_cast<std::uint64_t>((kTextLimitBytes + 1) >> 20)) +
                         u" MiB 以上）、行ではなくバイト単位で比較しました。";
    }
    if (comparison.identicalBytes()) {
        return text + u"\n2つのファイルは同一です（" + Number(size1) + u" バイト）。";
    }
    const auto at = static_cast<std::uint64_t>(comparison.firstDifferentByte());
    return text + u"\n2つのファイルは異なります。\n最初に異なるバイトの位置: " + Number(at) +
           u" (0x" + Hex(at) + u")\nサイズ: 第一 " + Number(size1) + u" バイト、第二 " +
           Number(size2) + u" バイト";
}

std::u16string CountText(const Comparison& comparison, std::optional<std::size_t> current) {
    switch (comparison.outcome()) {
        case Outcome::Unreadable:
            return u"比較できません";
        case Outcome::Binary:
        case Outcome::TooLarge:
            return comparison.identicalBytes() ? u"相違はありません" : u"相違があります";
        case Outcome::Text:
            break;
    }
    const std::size_t count = comparison.differenceStarts().size();
    if (count == 0) return u"相違はありません";
    const std::u16string total = u"相違 " + Number(count) + u" 箇所";
    const std::size_t number = current ? comparison.DifferenceNumber(*current) : 0;
    if (number == 0) return total + u"　F8: 次の相違　Shift+F8 / F7: 前の相違";
    return total + u" (" + Number(number) + u" 番目)";
}

std::u16string HiddenNote(const Comparison& comparison) {
    std::vector<std::u16string> notes{OptionsNote(comparison)};
    if (comparison.outcome() == Outcome::Text && !comparison.identicalBytes()) {
        const TextFile& a = *comparison.first().text;
        const TextFile& b = *comparison.second().text;
        if (comparison.endingOnlyLines() > 0) {
            notes.push_back(u"改行コードだけが異なる " + Number(comparison.endingOnlyLines()) +
                            u" 行を同じ行として表示しています");
        } else if (a.ending() != b.ending() && a.ending() != LineEnding::None &&
                   b.ending() != LineEnding::None) {
            notes.push_back(u"改行コードが異なります（第一: " + EndingName(a.ending()) +
                            u"、第二: " + EndingName(b.ending()) + u"）");
        }
        if (a.endsWithNewline() != b.endsWithNewline())
            notes.push_back(u"最終行の改行の有無が異なります");
        if (comparison.variantOnlyLines() > 0) {
            notes.push_back(u"〜と～のように文字コードの変換表だけが異なる " +
                            Number(comparison.variantOnlyLines()) +
                            u" 行を同じ行として表示しています");
        }
    }
    return Joined(notes, u"　");
}

std::u16string ComparisonTitle(const Comparison& comparison, const std::u16string& firstName,
                               const std::u16string& secondName) {
    std::u16string state;
    switch (comparison.outcome()) {
        case Outcome::Unreadable:
            state = u"読み込めません";
            break;
        case Outcome::Binary:
        case Outcome::TooLarge:
            state = comparison.identicalBytes() ? u"同一" : u"相違あり";
            break;
        case Outcome::Text:
            if (comparison.identicalBytes()) {
                state = u"同一";
            } else if (comparison.differenceStarts().empty()) {
                state = u"相違なし";
            } else {
                state = u"相違 " + Number(comparison.differenceStarts().size()) + u" 箇所";
            }
            break;
    }
    return firstName + u" ⇔ " + secondName + u" — " + state + u" — " +
           std::u16string(texts::kProgram);
}

ShownLine WithOmissions(ShownLine shown) {
    if (shown.before == 0 && shown.after == 0) return shown;
    std::u16string text;
    if (shown.before > 0) text = u"（先頭 " + Number(shown.before) + u" 文字は省略）… ";
    const auto shift = static_cast<std::uint32_t>(text.size());
    text += shown.text;
    if (shown.after > 0) text += u" …（残り " + Number(shown.after) + u" 文字は省略）";
    for (MarkSpan& mark : shown.marks) mark.start += shift;
    for (MarkSpan& mark : shown.byteMarks) mark.start += shift;
    shown.text = std::move(text);
    return shown;
}

}  // namespace viewer

#include "Question.h"

#include "Wording.h"

namespace viewer {

std::size_t Question::ButtonOf(Answer answer) const {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].answer == answer) return i;
    }
    return buttons.empty() ? 0 : buttons.size() - 1;
}

namespace {

// A name in 「」 shows its first and last letters around "…" when longer than this: a name of
// thousands of letters would push the buttons off the screen.
constexpr std::size_t kMostNameLetters = 120;

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// `text` with each name in 「」 too long cut in its middle.
std::u16string ShortNames(std::u16string text) {
    for (std::size_t open = text.find(u'「'); open != std::u16string::npos;
         open = text.find(u'「', open + 1)) {
        const std::size_t close = text.find(u'」', open);
        if (close == std::u16string::npos) break;
        const std::size_t length = close - open - 1;
        if (length <= kMostNameLetters) continue;
        std::size_t head = open + 1 + kMostNameLetters / 2;
        std::size_t tail = close - (kMostNameLetters / 2 - 1);
        if (IsLowSurrogate(text[head])) --head;
        if (IsLowSurrogate(text[tail])) ++tail;
        text.replace(head, tail - head, u"…");
    }
    return text;
}

// A question whose first button does it and whose second does nothing: Enter does nothing.
Question DoOrCancel(std::u16string text, std::u16string doIt) {
    return {std::move(text),
            {{std::move(doIt), Answer::Yes}, {u"キャンセル", Answer::Cancel}},
            Answer::Cancel,
            Answer::Cancel};
}

}  // namespace

Question CloseUnsavedQuestion() {
    return {u"保存していない変更があります。保存しますか？",
            {{u"保存", Answer::Yes}, {u"保存しない", Answer::No}, {u"キャンセル", Answer::Cancel}},
            Answer::Yes,
            Answer::Cancel};
}

Question OverwriteQuestion(const std::u16string& why) {
    // Overwriting loses the other program's work and comparing again loses this window's:
    // Enter does neither.
    return {ShortNames(why) +
                u"\n上書き保存すると、ほかのプログラムによる変更は失われます。"
                u"比較し直すと、このウィンドウで保存していない変更が失われます。",
            {{u"上書き保存", Answer::Yes},
             {u"比較し直す", Answer::No},
             {u"キャンセル", Answer::Cancel}},
            Answer::Cancel,
            Answer::Cancel,
            true};
}

Question MakeFileQuestion(const std::u16string& shownName) {
    return DoOrCancel(
        ShortNames(u"「" + shownName + u"」はまだありません。新しく作って保存しますか？"),
        u"作って保存");
}

Question ReloadQuestion() {
    return DoOrCancel(u"保存していない変更は失われます。読み直しますか？", u"読み直す");
}

Question SaveWithConflictsQuestion(std::size_t left) {
    return DoOrCancel(
        u"未解決の競合が " + Number(left) + u" 件あります。競合の印を付けたまま保存しますか？",
        u"印を付けたまま保存");
}

Question OverwriteResultQuestion(const std::u16string& shownName) {
    Question question = DoOrCancel(
        ShortNames(u"「" + shownName +
                   u"」は読み込んだ後で他のプログラムに変更されています。上書きしますか？"),
        u"上書き保存");
    question.warning = true;
    return question;
}

Question CloseUnsavedMergeQuestion() {
    Question question = CloseUnsavedQuestion();
    question.text = u"マージの結果を保存していません。保存しますか？";
    return question;
}

}  // namespace viewer

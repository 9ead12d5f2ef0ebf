// The questions the windows ask, as records: a front shows the text and the buttons as they are
// and hands back the answer of the button pressed. Every button says what it does; a name in 「」
// longer than 120 letters shows its first 60 and last 59 around "…".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace viewer {

// The button the user pressed: the first choice, the second, or none of them.
enum class Answer : std::uint8_t { Yes, No, Cancel };

struct QuestionButton {
    std::u16string label;  // "保存"
    Answer answer;
    bool operator==(const QuestionButton&) const = default;
};

struct Question {
    std::u16string text;                  // may hold "\n" between paragraphs
    std::vector<QuestionButton> buttons;  // left to right
    Answer preferred = Answer::Cancel;    // the button Enter presses
    Answer dismissed = Answer::Cancel;    // Esc, the close box, a box that could not be shown
    bool warning = false;  // another program's work is at stake: the box says so by its icon
    bool operator==(const Question&) const = default;
    // The button that gives `answer`; the last when none does.
    std::size_t ButtonOf(Answer answer) const;
};

// Closing the file window with changes not saved.
Question CloseUnsavedQuestion();
// A save over a file that another program changed since it was read; `why` names it.
Question OverwriteQuestion(const std::u16string& why);
// A save that makes a file that is not there (a file of the other folder only).
Question MakeFileQuestion(const std::u16string& shownName);
// Reading the files again over changes not saved (both windows).
Question ReloadQuestion();
// The merge window: saving with `left` conflicts not resolved, a result file changed by another
// program since it was read, closing with the result not saved.
Question SaveWithConflictsQuestion(std::size_t left);
Question OverwriteResultQuestion(const std::u16string& shownName);
Question CloseUnsavedMergeQuestion();

}  // namespace viewer

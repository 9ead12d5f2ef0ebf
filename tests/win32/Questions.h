// The questions a window asks, as a user sees them: a thread timer, which a dialog's own message
// loop runs, looks for each dialog owned by the window, reads its buttons and presses one (Esc
// when there is none such: a question not expected fails the test instead of waiting forever).
// A menu opened by itself is counted and closed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

struct Questions {
    HWND owner = nullptr;
    std::vector<std::wstring> presses;               // the buttons to press, one per question
    std::vector<std::vector<std::wstring>> buttons;  // those of each question, in their order
    HWND answered = nullptr;                         // the last dialog answered
    int waited = 0;                                  // ticks since, while it stays
    int menus = 0;
};
extern Questions question;

// The thread timer's procedure: SetTimer(nullptr, 0, 50, AnswerQuestion) while questions are
// expected, KillTimer after.
void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR, DWORD);

}  // namespace testsupport

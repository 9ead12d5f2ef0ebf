#include "Questions.h"

#include <gtest/gtest.h>

namespace testsupport {

Questions question;

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::wstring ClassOf(HWND window) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return cls;
}

std::wstring TextOf(HWND control) {
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    return text;
}

}  // namespace

void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR, DWORD) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &thread) && (thread.flags & GUI_INMENUMODE)) {
        ++question.menus;
        EndMenu();
        return;
    }
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    HWND dialog = nullptr;
    for (HWND window : windows) {
        if (ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
            GetWindow(window, GW_OWNER) == question.owner) {
            dialog = window;
        }
    }
    if (dialog == nullptr) return;
    if (dialog == question.answered) {
        // Answered and still there after a second: it cannot be closed so.
        if (++question.waited < 20) return;
        ADD_FAILURE() << "a question stays after it was answered";
        EndDialog(dialog, IDCANCEL);
        return;
    }
    question.answered = dialog;
    question.waited = 0;
    std::wstring press;
    if (!question.presses.empty()) {
        press = question.presses.front();
        question.presses.erase(question.presses.begin());
    }
    std::vector<HWND> children;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&children));
    struct {
        std::vector<std::wstring> texts;
        HWND pressed = nullptr;
    } found;
    for (HWND child : children) {
        if (lstrcmpiW(ClassOf(child).c_str(), L"Button") != 0 || !IsWindowVisible(child)) continue;
        found.texts.push_back(TextOf(child));
        if (found.texts.back() == press) found.pressed = child;
    }
    question.buttons.push_back(found.texts);
    if (found.pressed != nullptr) {
        PostMessageW(found.pressed, BM_CLICK, 0, 0);
    } else {
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
    }
}
}  // namespace testsupport

#include "LineEditor.h"

#include <commctrl.h>

namespace viewer {

namespace {

constexpr UINT_PTR kEditSubclass = 1;

}  // namespace

LineEditor::LineEditor(HWND list) : list_(list) {
    edit_ = CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0,
                            list, nullptr, GetModuleHandleW(nullptr), nullptr);
    // A line is never cut at the edit's default limit of 32,767 characters.
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(edit_, &Procedure, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void LineEditor::Open(const RECT& area, const std::u16string& text) {
    quiet_ = true;
    SetWindowTextW(edit_, reinterpret_cast<const wchar_t*>(text.c_str()));
    quiet_ = false;
    Place(area);
    open_ = true;
    ShowWindow(edit_, SW_SHOW);
    SetFocus(edit_);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
    SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void LineEditor::Place(const RECT& area) {
    MoveWindow(edit_, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void LineEditor::Close() {
    if (!open_) return;
    open_ = false;
    // Hiding the focused edit would move the focus by itself, and say so through EN_KILLFOCUS.
    quiet_ = true;
    if (!leaving_ && GetFocus() == edit_) SetFocus(list_);
    ShowWindow(edit_, SW_HIDE);
    quiet_ = false;
}

void LineEditor::SetFont(HFONT font, int margin) {
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

void LineEditor::Notified(WORD code) {
    if (quiet_ || !open_) return;
    if (code == EN_CHANGE && onTyped) {
        std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, u'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(
            edit_, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
        onTyped(std::move(text));
    } else if (code == EN_KILLFOCUS && onFinish) {
        // The focus is on its way elsewhere: it stays where the user put it.
        leaving_ = true;
        onFinish(true);
        leaving_ = false;
    }
}

LRESULT CALLBACK LineEditor::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
    auto* editor = reinterpret_cast<LineEditor*>(data);
    switch (message) {
        case WM_KEYDOWN:
            if (wParam != VK_RETURN && wParam != VK_ESCAPE) break;
            if (editor->open_ && editor->onFinish) editor->onFinish(wParam == VK_RETURN);
            return 0;
        case WM_CHAR:
            // The characters of Enter and Esc: a single-line edit would only beep at them.
            if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B) return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &Procedure, kEditSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace viewer

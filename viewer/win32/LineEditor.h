// The editor of one line in place: a single-line edit over a cell of the rows, a child of the
// list as the list view's own label editor is. It keeps its keys while it has the focus (Enter
// keeps the line, Esc puts it back, the arrows, Home and End move in it) and says what the user
// did: each change typed, and the end of the edit, also when the focus goes elsewhere.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace viewer {

class LineEditor {
public:
    // `list` is its parent, whose WM_COMMAND from it goes to Notified.
    explicit LineEditor(HWND list);
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    HWND hwnd() const { return edit_; }
    bool open() const { return open_; }
    // Each change the user makes, with the whole text; never for the text Open sets.
    std::function<void(std::u16string)> onTyped;
    // Enter or a click elsewhere (true), Esc (false).
    std::function<void(bool keep)> onFinish;

    // Shows `text` over `area` (the list's client pixels), focused, the cursor at its end.
    void Open(const RECT& area, const std::u16string& text);
    // Goes to `area`, its text and cursor as they are.
    void Place(const RECT& area);
    // Hides it; the focus, when it was here, goes to the list. Says nothing of the end.
    void Close();
    void SetFont(HFONT font, int margin);
    // The parent's WM_COMMAND from the edit: EN_CHANGE, EN_KILLFOCUS.
    void Notified(WORD code);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);

    HWND list_;
    HWND edit_ = nullptr;
    bool open_ = false;
    bool quiet_ = false;    // its text or focus is being changed by us: nothing to say
    bool leaving_ = false;  // the focus is going elsewhere: Close leaves it there
};

}  // namespace viewer

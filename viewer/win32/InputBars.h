// The two bars under the rows: find (a text, 前へ, 次へ, 閉じる) and go to line (which file, the
// number, 移動, 閉じる). At most one shows; Enter in its field acts, Esc closes it. The controls
// are children of the window itself, so Tab moves through them as through the others.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "SessionView.h"

namespace viewer {

class InputBars {
public:
    // What a control of a bar asks for, by its WM_COMMAND id.
    enum Action : WORD {
        kFindPrevious = 60,
        kFindNext,
        kGoToLine,
        kCloseBar,
        kNone = 0,
    };

    // `lineFiles`: the go-to-line bar's choice of numbering, first chosen at first.
    explicit InputBars(HWND window, std::vector<std::u16string> lineFiles = {});

    HWND findText() const { return findText_; }
    HWND lineFile() const { return lineFile_; }
    HWND lineText() const { return lineText_; }

    // Shows `bar` (hides both for Bar::None) and puts the focus in its field.
    void Show(Bar bar);
    Bar shown() const { return shown_; }
    // Whether `control` belongs to the bar shown.
    bool Owns(HWND control) const;
    // What Enter in `control` does: find next, go to the line, or nothing.
    Action EnterIn(HWND control) const;
    std::u16string FindText() const;
    std::u16string LineText() const;
    bool LineInFirst() const;
    // Which of `lineFiles` is chosen.
    std::size_t LineFile() const;

    void SetFont(HFONT font);
    // Places the bar shown at `top` across `width`; its height (0 when none shows).
    int Place(int top, int width, int margin);

private:
    HWND Add(const wchar_t* cls, std::u16string_view text, DWORD style, WORD id,
             std::vector<HWND>& bar);

    HWND window_;
    Bar shown_ = Bar::None;
    std::vector<HWND> find_;
    std::vector<HWND> line_;
    HWND findText_ = nullptr;
    HWND lineFile_ = nullptr;
    HWND lineText_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<std::u16string> lineFiles_;
};

}  // namespace viewer

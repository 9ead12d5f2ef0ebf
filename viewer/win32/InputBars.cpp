#include "InputBars.h"

#include <commctrl.h>

#include <algorithm>

#include "Texts.h"
#include "WinText.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

namespace {

std::u16string TextOf(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return std::u16string(text.begin(), text.end());
}

int TextWidth(HWND control, HFONT font, std::u16string_view text) {
    const platform::win32::WindowDC dc(control, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                          static_cast<int>(text.size()), &size);
    return size.cx;
}

bool IsClass(HWND control, const wchar_t* name) {
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    return lstrcmpiW(cls, name) == 0;
}

}  // namespace

InputBars::InputBars(HWND window, std::vector<std::u16string> lineFiles)
    : window_(window), lineFiles_(std::move(lineFiles)) {
    if (lineFiles_.empty()) {
        lineFiles_ = {std::u16string(texts::kLineInFirst), std::u16string(texts::kLineInSecond)};
    }
    Add(L"STATIC", texts::kFindLabel, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, find_);
    findText_ = Add(WC_EDITW, u"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, find_);
    SendMessageW(findText_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Wide(texts::kFindPlaceholder).c_str()));
    Add(WC_BUTTONW, texts::kFindPrevious, WS_TABSTOP | BS_PUSHBUTTON, kFindPrevious, find_);
    Add(WC_BUTTONW, texts::kFindNext, WS_TABSTOP | BS_PUSHBUTTON, kFindNext, find_);
    Add(WC_BUTTONW, texts::kCloseBar, WS_TABSTOP | BS_PUSHBUTTON, kCloseBar, find_);

    Add(L"STATIC", texts::kLineLabel, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, line_);
    lineFile_ = Add(WC_COMBOBOXW, u"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, line_);
    for (const std::u16string& item : lineFiles_) {
        SendMessageW(lineFile_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    SendMessageW(lineFile_, CB_SETCURSEL, 0, 0);
    lineText_ = Add(WC_EDITW, u"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, line_);
    SendMessageW(lineText_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Wide(texts::kLinePlaceholder).c_str()));
    Add(WC_BUTTONW, texts::kLineGo, WS_TABSTOP | BS_PUSHBUTTON, kGoToLine, line_);
    Add(WC_BUTTONW, texts::kCloseBar, WS_TABSTOP | BS_PUSHBUTTON, kCloseBar, line_);
}

HWND InputBars::Add(const wchar_t* cls, std::u16string_view text, DWORD style, WORD id,
                    std::vector<HWND>& bar) {
    HWND control = CreateWindowExW(0, cls, Wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0,
                                   window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    bar.push_back(control);
    return control;
}

void InputBars::Show(Bar bar) {
    shown_ = bar;
    for (HWND control : find_) ShowWindow(control, bar == Bar::Find ? SW_SHOW : SW_HIDE);
    for (HWND control : line_) ShowWindow(control, bar == Bar::Line ? SW_SHOW : SW_HIDE);
    HWND field = bar == Bar::Find ? findText_ : bar == Bar::Line ? lineText_ : nullptr;
    if (field == nullptr) return;
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

bool InputBars::Owns(HWND control) const {
    if (control == nullptr) return false;
    // A combo box's list and field are its children.
    if (GetParent(control) == lineFile_) control = lineFile_;
    const std::vector<HWND>& bar = shown_ == Bar::Find ? find_ : line_;
    return shown_ != Bar::None && std::find(bar.begin(), bar.end(), control) != bar.end();
}

InputBars::Action InputBars::EnterIn(HWND control) const {
    if (!Owns(control)) return kNone;
    if (IsClass(control, WC_BUTTONW)) return static_cast<Action>(GetDlgCtrlID(control));
    return shown_ == Bar::Find ? kFindNext : kGoToLine;
}

std::u16string InputBars::FindText() const { return TextOf(findText_); }
std::u16string InputBars::LineText() const { return TextOf(lineText_); }
bool InputBars::LineInFirst() const { return SendMessageW(lineFile_, CB_GETCURSEL, 0, 0) != 1; }

std::size_t InputBars::LineFile() const {
    const LRESULT chosen = SendMessageW(lineFile_, CB_GETCURSEL, 0, 0);
    return chosen < 0 ? 0 : static_cast<std::size_t>(chosen);
}

void InputBars::SetFont(HFONT font) {
    font_ = font;
    for (const std::vector<HWND>* bar : {&find_, &line_}) {
        for (HWND control : *bar) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    }
}

int InputBars::Place(int top, int width, int margin) {
    if (shown_ == Bar::None) return 0;
    const std::vector<HWND>& bar = shown_ == Bar::Find ? find_ : line_;
    HWND field = shown_ == Bar::Find ? findText_ : lineText_;
    TEXTMETRICW metrics{};
    GetTextMetricsW(platform::win32::WindowDC(window_, font_), &metrics);
    const int height = metrics.tmHeight + 2 * margin;
    // Each control as wide as its text; the field takes what is left.
    std::vector<int> widths;
    int fixed = 0;
    for (HWND control : bar) {
        int w = 0;
        if (control == lineFile_) {
            // The longest item and the arrow.
            for (const std::u16string& item : lineFiles_)
                w = std::max(w, TextWidth(control, font_, item));
            w += GetSystemMetrics(SM_CXVSCROLL) + 2 * margin;
        } else if (control != field) {
            w = TextWidth(control, font_, TextOf(control)) +
                (IsClass(control, WC_BUTTONW) ? 4 * margin : margin);
        }
        widths.push_back(w);
        fixed += w + margin;
    }
    int x = margin;
    for (std::size_t i = 0; i < bar.size(); ++i) {
        const int w = bar[i] == field ? std::max(4 * height, width - fixed - margin) : widths[i];
        const int h = bar[i] == lineFile_ ? 10 * height : height;
        MoveWindow(bar[i], x, top, w, h, TRUE);
        x += w + margin;
    }
    return height + margin;
}

}  // namespace viewer

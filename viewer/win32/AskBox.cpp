#include "AskBox.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "WinText.h"
#include "platform/win32/GdiHandles.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

constexpr int kText = 99;
constexpr int kFirstButton = 100;

// A question box being shown: its record, its font, and its text laid out in lines.
struct Asking {
    const Question* question = nullptr;
    HWND owner = nullptr;
    int dpi = 96;
    platform::win32::FontHandle font;
    std::vector<std::wstring> lines;
    int lineHeight = 0;
    int Scale(int pixels) const { return MulDiv(pixels, dpi, 96); }
};

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsNameLetter(wchar_t c) { return c > L' ' && c < 0x7F; }
// What may not begin a line in Japanese: the line breaks before the letter in front of it.
bool StaysWithThePrevious(wchar_t c) {
    return std::wstring_view(L"、。，．」』）】〕！？ー…").find(c) != std::wstring_view::npos;
}

// Breaks each paragraph where the next letter would pass `width`: never inside a surrogate pair,
// before a closing mark or inside a run of ASCII letters (a file name) when the line has room
// for something before it.
std::vector<std::wstring> BreakLines(HDC dc, const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring_view paragraph(text.data() + start, end - start);
        do {
            int fit = 0;
            SIZE size{};
            GetTextExtentExPointW(dc, paragraph.data(), static_cast<int>(paragraph.size()), width,
                                  &fit, nullptr, &size);
            std::size_t cut = std::max<std::size_t>(1, static_cast<std::size_t>(fit));
            if (cut < paragraph.size()) {
                std::size_t better = cut;
                while (better > 0 && StaysWithThePrevious(paragraph[better])) --better;
                if (IsNameLetter(paragraph[better])) {
                    while (better > 0 && IsNameLetter(paragraph[better - 1])) --better;
                }
                if (better > 0) cut = better;
                if (cut < paragraph.size() && IsLowSurrogate(paragraph[cut])) --cut;
                if (cut == 0) cut = std::min<std::size_t>(2, paragraph.size());
            }
            lines.emplace_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(std::min(cut, paragraph.size()));
        } while (!paragraph.empty());
        if (end >= text.size()) break;
        start = end + 1;
    }
    return lines;
}

int WidthOf(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Lays the box out for its owner's resolution: the icon, the text, the buttons in a row on the
// right under it, each as wide as its label needs; the box centred over its owner.
void LayOut(HWND box, Asking& asking) {
    const Question& question = *asking.question;
    asking.dpi = platform::win32::DpiOf(asking.owner != nullptr ? asking.owner : box);
    asking.font.Reset(platform::win32::MakeDefaultGuiFont(asking.dpi));
    RECT over{};
    if (asking.owner == nullptr || !GetWindowRect(asking.owner, &over)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;

    HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, asking.font.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // Room between the lines and under the last, for the strokes a font draws below its cell.
    asking.lineHeight = static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading) +
                        std::max(asking.Scale(3), static_cast<int>(metrics.tmHeight) / 4);
    // A text too long for the screen (a name of thousands of letters) takes its width, then
    // loses its middle lines: the buttons stay on the screen.
    const std::size_t most = static_cast<std::size_t>(std::max(
        3, (static_cast<int>(work.bottom - work.top) - asking.Scale(140)) / asking.lineHeight));
    asking.lines = BreakLines(dc, Wide(question.text), asking.Scale(420));
    if (asking.lines.size() > most) {
        const int wide = static_cast<int>(work.right - work.left) - asking.Scale(120);
        asking.lines = BreakLines(dc, Wide(question.text), std::max(asking.Scale(420), wide));
    }
    if (asking.lines.size() > most) {
        const std::size_t head = most / 2, tail = most - 1 - head;
        asking.lines.erase(asking.lines.begin() + static_cast<std::ptrdiff_t>(head),
                           asking.lines.end() - static_cast<std::ptrdiff_t>(tail));
        asking.lines.insert(asking.lines.begin() + static_cast<std::ptrdiff_t>(head), L"…");
    }
    int textWidth = 0;
    for (const std::wstring& line : asking.lines)
        textWidth = std::max(textWidth, WidthOf(dc, line));
    std::vector<int> buttonWidths;
    for (const QuestionButton& button : question.buttons) {
        buttonWidths.push_back(
            std::max(asking.Scale(88), WidthOf(dc, Wide(button.label)) + asking.Scale(24)));
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);

    const int margin = asking.Scale(14), gap = asking.Scale(8), icon = asking.Scale(32);
    const int buttonHeight =
        std::max(asking.Scale(26), static_cast<int>(metrics.tmHeight) + asking.Scale(12));
    const int textHeight = static_cast<int>(asking.lines.size()) * asking.lineHeight;
    int buttonsWidth = 0;
    for (int width : buttonWidths) buttonsWidth += width + gap;
    buttonsWidth -= buttonWidths.empty() ? 0 : gap;
    const int width =
        std::max(margin + icon + gap + textWidth + margin, margin + buttonsWidth + margin);
    const int top = std::max(icon, textHeight) + 2 * margin;
    const int height = top + buttonHeight + margin;

    const HWND iconControl = GetDlgItem(box, kText - 1);
    MoveWindow(iconControl, margin, margin, icon, icon, FALSE);
    const HWND text = GetDlgItem(box, kText);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(asking.font.Get()), FALSE);
    MoveWindow(text, margin + icon + gap, margin, width - 2 * margin - icon - gap, textHeight,
               FALSE);
    int x = width - margin - buttonsWidth;
    for (std::size_t i = 0; i < buttonWidths.size(); ++i) {
        const HWND button = GetDlgItem(box, kFirstButton + static_cast<int>(i));
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(asking.font.Get()), FALSE);
        MoveWindow(button, x, top, buttonWidths[i], buttonHeight, FALSE);
        x += buttonWidths[i] + gap;
    }

    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const int left = std::clamp<int>((over.left + over.right - frameWidth) / 2, work.left,
                                     std::max<int>(work.left, work.right - frameWidth));
    const int y = std::clamp<int>((over.top + over.bottom - frameHeight) / 2, work.top,
                                  std::max<int>(work.top, work.bottom - frameHeight));
    SetWindowPos(box, nullptr, left, y, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MakeControls(HWND box, const Asking& asking) {
    const Question& question = *asking.question;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND icon =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, 0,
                        0, 0, 0, box, reinterpret_cast<HMENU>(kText - 1), instance, nullptr);
    SendMessageW(
        icon, STM_SETICON,
        reinterpret_cast<WPARAM>(LoadIconW(nullptr, question.warning ? IDI_WARNING : IDI_QUESTION)),
        0);
    // The text is the control's own, for screen readers; the box draws it (WM_DRAWITEM).
    CreateWindowExW(0, L"STATIC", Wide(question.text).c_str(),
                    WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOPREFIX, 0, 0, 0, 0, box,
                    reinterpret_cast<HMENU>(kText), instance, nullptr);
    const std::size_t preferred = question.ButtonOf(question.preferred);
    for (std::size_t i = 0; i < question.buttons.size(); ++i) {
        const DWORD style = i == preferred ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        CreateWindowExW(0, L"BUTTON", Wide(question.buttons[i].label).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, box,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButton + i)), instance,
                        nullptr);
    }
    SendMessageW(box, DM_SETDEFID, static_cast<WPARAM>(kFirstButton + preferred), 0);
}

void PaintText(const DRAWITEMSTRUCT& item, const Asking& asking) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ old = SelectObject(item.hDC, asking.font.Get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    int y = item.rcItem.top;
    for (const std::wstring& line : asking.lines) {
        TextOutW(item.hDC, item.rcItem.left, y, line.c_str(), static_cast<int>(line.size()));
        y += asking.lineHeight;
    }
    SelectObject(item.hDC, old);
}

INT_PTR CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* asking = reinterpret_cast<Asking*>(GetWindowLongPtrW(box, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            asking = reinterpret_cast<Asking*>(lParam);
            SetWindowLongPtrW(box, DWLP_USER, lParam);
            SetWindowTextW(box, platform::win32::WindowText(asking->owner).c_str());
            MakeControls(box, *asking);
            LayOut(box, *asking);
            const Question& question = *asking->question;
            SetFocus(GetDlgItem(
                box, kFirstButton + static_cast<int>(question.ButtonOf(question.preferred))));
            return FALSE;  // the focus is set
        }
        case WM_DRAWITEM:
            if (asking == nullptr || wParam != kText) return FALSE;
            PaintText(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *asking);
            return TRUE;
        case WM_COMMAND: {
            if (asking == nullptr) return FALSE;
            const Question& question = *asking->question;
            const int id = LOWORD(wParam);
            // Esc and the close box answer as the question says; Enter presses the button that
            // has the focus, the preferred one at first.
            if (id == IDCANCEL) {
                EndDialog(box,
                          kFirstButton + static_cast<int>(question.ButtonOf(question.dismissed)));
            } else if (id >= kFirstButton &&
                       id < kFirstButton + static_cast<int>(question.buttons.size())) {
                EndDialog(box, id);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

Answer AskBox(HWND owner, const Question& question) {
    if (question.buttons.empty()) return question.dismissed;
    // A template with no controls, in memory: the box makes its own, sized for its text.
    std::vector<DWORD> memory(16, 0);
    DLGTEMPLATE layout{};
    layout.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
    std::memcpy(memory.data(), &layout, sizeof layout);  // no menu, class or title follow
    Asking asking;
    asking.question = &question;
    asking.owner = owner;
    const INT_PTR pressed = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(memory.data()), owner,
        BoxProcedure, reinterpret_cast<LPARAM>(&asking));
    const INT_PTR index = pressed - kFirstButton;
    if (index < 0 || index >= static_cast<INT_PTR>(question.buttons.size())) {
        return question.dismissed;  // the box could not be shown
    }
    return question.buttons[static_cast<std::size_t>(index)].answer;
}

}  // namespace viewer

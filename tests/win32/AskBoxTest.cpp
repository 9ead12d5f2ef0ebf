// The question box of the Win32 viewer under Wine with its Japanese font: what it shows of a
// question record (title, text, buttons, the preferred one), every stroke of a file name drawn
// (the underscore of "b_sjis.txt" included), and the answer each key or button gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AskBox.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {
namespace {

const Question kOverwrite{
    u"「b_sjis.txt」は、読み込んだ後にほかのプログラムによって変更されています。\n"
    u"上書き保存すると、ほかのプログラムによる変更は失われます。"
    u"比較し直すと、このウィンドウで保存していない変更が失われます。",
    {{u"上書き保存", Answer::Yes}, {u"比較し直す", Answer::No}, {u"キャンセル", Answer::Cancel}},
    Answer::Cancel,
    Answer::Cancel,
    true};

// What the box showed, as the test's timer saw it, and what it pressed.
struct Seen {
    HWND owner = nullptr;
    std::wstring press;  // a button's text; empty: Esc
    std::wstring title;
    std::vector<std::wstring> buttons;
    std::wstring preferred;  // the default button's text
    std::wstring focused;
    HWND text = nullptr;  // the control that shows the question's text
    std::wstring shownText;
    int underscoreInk = -1;
    bool inWorkArea = false;
    bool done = false;
};
Seen seen;

std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// The pixels of a rectangle of `dc` that are not `background`.
int Ink(HDC dc, const RECT& area, COLORREF background) {
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) ink += GetPixel(dc, x, y) != background;
    }
    return ink;
}

// A text drawn alone in `font`, with room all around, in the box's colours.
class Alone {
public:
    static constexpr int kSize = 200, kTop = 50;
    Alone(HFONT font, const wchar_t* text) : dc_(CreateCompatibleDC(nullptr)) {
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, kSize, kSize);
        ReleaseDC(nullptr, screen);
        SelectObject(dc_, bitmap_);
        SelectObject(dc_, font);
        HBRUSH brush = CreateSolidBrush(background);
        const RECT all{0, 0, kSize, kSize};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, GetSysColor(COLOR_BTNTEXT));
        TextOutW(dc_, 0, kTop, text, lstrlenW(text));
    }
    ~Alone() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    int Width(const wchar_t* text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_, text, lstrlenW(text), &size);
        return size.cx;
    }
    int Ink(const RECT& area) const { return viewer::Ink(dc_, area, background); }
    const COLORREF background = GetSysColor(COLOR_BTNFACE);

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
};

// The underscore of "「b_" as the font draws it alone, and as the box drew it at the start of its
// text: the same pixels where the font puts its ink, between "「b" and "「b_".
void MeasureUnderscore(HWND text) {
    const Alone alone(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), L"「b_");
    const int left = alone.Width(L"「b"), right = alone.Width(L"「b_");
    int top = Alone::kSize, bottom = 0;
    for (int y = 0; y < Alone::kSize; ++y) {
        if (alone.Ink({left, y, right, y + 1}) == 0) continue;
        top = std::min(top, y);
        bottom = y + 1;
    }
    const int whole = alone.Ink({left, top, right, bottom});
    HDC shown = GetDC(text);
    const int ink =
        Ink(shown, {left, top - Alone::kTop, right, bottom - Alone::kTop}, alone.background);
    ReleaseDC(text, shown);
    seen.underscoreInk = whole > 0 && ink == whole ? ink : -whole * 1000 - ink;
}

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    HWND box = nullptr;
    for (HWND window : windows) {
        if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == seen.owner) box = window;
    }
    if (box == nullptr || seen.done) return;
    seen.done = true;
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    seen.title = TextOf(box);
    std::vector<HWND> children;
    EnumChildWindows(box, Collect, reinterpret_cast<LPARAM>(&children));
    const LRESULT preferred = SendMessageW(box, DM_GETDEFID, 0, 0);
    HWND pressed = nullptr;
    for (HWND child : children) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        const std::wstring text = TextOf(child);
        if (lstrcmpiW(cls, L"Button") == 0) {
            seen.buttons.push_back(text);
            if (HIWORD(preferred) == DC_HASDEFID && GetDlgCtrlID(child) == LOWORD(preferred)) {
                seen.preferred = text;
            }
            if (GetFocus() == child) seen.focused = text;
            if (text == seen.press) pressed = child;
        } else if (text.size() > 20) {
            seen.text = child;
            seen.shownText = text;
        }
    }
    if (seen.text != nullptr) MeasureUnderscore(seen.text);
    // The box and every button wholly on the screen's work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    seen.inWorkArea = true;
    children.push_back(box);
    for (HWND child : children) {
        RECT place{};
        GetWindowRect(child, &place);
        seen.inWorkArea = seen.inWorkArea && place.left >= work.left && place.top >= work.top &&
                          place.right <= work.right && place.bottom <= work.bottom;
    }
    if (pressed != nullptr) {
        PostMessageW(pressed, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
    }
}

Answer AskOver(HWND owner, const Question& question, const std::wstring& press) {
    seen = {};
    seen.owner = owner;
    seen.press = press;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Look);
    const Answer answer = AskBox(owner, question);
    KillTimer(nullptr, timer);
    return answer;
}

TEST(AskBox, ShowsTheRecordWholeAndAnswersAsItSays) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"b_sjis.txt ⇔ c.txt — Diff-Zarvo ビューアー",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);

    // Esc answers as the record says; the preferred button has the focus and is the default.
    EXPECT_EQ(AskOver(owner, kOverwrite, L""), Answer::Cancel);
    EXPECT_EQ(seen.title, L"b_sjis.txt ⇔ c.txt — Diff-Zarvo ビューアー");
    EXPECT_EQ(seen.buttons,
              (std::vector<std::wstring>{L"上書き保存", L"比較し直す", L"キャンセル"}));
    EXPECT_EQ(seen.preferred, L"キャンセル");
    EXPECT_EQ(seen.focused, L"キャンセル");
    EXPECT_TRUE(seen.inWorkArea);
    // The text whole, for screen readers, and every pixel of the underscore drawn.
    ASSERT_NE(seen.text, nullptr);
    EXPECT_EQ(seen.shownText,
              L"「b_sjis.txt」は、読み込んだ後にほかのプログラムによって変更されています。\n"
              L"上書き保存すると、ほかのプログラムによる変更は失われます。"
              L"比較し直すと、このウィンドウで保存していない変更が失われます。");
    EXPECT_GT(seen.underscoreInk, 0) << "the underscore's pixels, as -(whole * 1000 + shown)";

    // Each button gives its own answer.
    EXPECT_EQ(AskOver(owner, kOverwrite, L"比較し直す"), Answer::No);
    EXPECT_EQ(AskOver(owner, kOverwrite, L"上書き保存"), Answer::Yes);

    // A question whose preferred button is its first, and whose Esc answers otherwise.
    const Question close{u"保存していない変更があります。保存しますか？",
                         {{u"保存", Answer::Yes}, {u"保存しない", Answer::No}},
                         Answer::Yes,
                         Answer::No};
    EXPECT_EQ(AskOver(owner, close, L""), Answer::No);
    EXPECT_EQ(seen.preferred, L"保存");
    EXPECT_EQ(seen.focused, L"保存");

    // A name of 4,000 kanji: the box and its buttons stay on the screen.
    Question longName = kOverwrite;
    longName.text = u"「" + std::u16string(4000, u'字') + u"」を保存しますか？";
    EXPECT_EQ(AskOver(owner, longName, L"上書き保存"), Answer::Yes);
    EXPECT_TRUE(seen.inWorkArea);
    DestroyWindow(owner);
}

int UnderscoreInk(HFONT font) {
    const Alone alone(font, L"_");
    return alone.Ink({0, 0, Alone::kSize, Alone::kSize});
}

TEST(AskBox, ItsFontDrawsAnUnderscoreWhereAJapaneseFontsSmallBitmapsHaveNone) {
    // IPAGothic at 12 pixels (9 points at 96 dpi), drawn by Wine from the font's own bitmaps,
    // has no underscore: the next size up that has one.
    LOGFONTW wanted{};
    wanted.lfHeight = -12;
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(wanted.lfFaceName, L"IPAGothic");
    HFONT plain = CreateFontIndirectW(&wanted);
    HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, plain);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int plainInk = UnderscoreInk(plain);
    DeleteObject(plain);
    if (std::wstring(face) != L"IPAGothic" || plainInk > 0) {
        GTEST_SKIP() << "IPAGothic is not installed, or draws its underscore at 12 pixels";
    }
    HFONT made = platform::win32::MakeFontDrawingUnderscores(wanted);
    LOGFONTW chosen{};
    GetObjectW(made, sizeof chosen, &chosen);
    EXPECT_EQ(chosen.lfHeight, -13);
    EXPECT_EQ(std::wstring(chosen.lfFaceName), L"IPAGothic");
    EXPECT_GT(UnderscoreInk(made), 0);
    DeleteObject(made);

    // A size that draws one is kept.
    wanted.lfHeight = -15;
    made = platform::win32::MakeFontDrawingUnderscores(wanted);
    GetObjectW(made, sizeof chosen, &chosen);
    EXPECT_EQ(chosen.lfHeight, -15);
    DeleteObject(made);
}

}  // namespace
}  // namespace viewer

#include "ViewerWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Progress.h"

namespace viewer {

namespace {

constexpr wchar_t kClassName[] = L"DiffZarvoViewer";

enum Command : WORD { kNext = 101, kPrevious, kFirst, kLast, kCopy, kReload };
enum Column : int { kFirstNumber, kSecondNumber, kMark, kContent };

// The colours of the Qt viewer: light red and blue rows, stronger shades for the changed runs.
constexpr COLORREF kRemoved = RGB(0xff, 0xd4, 0xd4);
constexpr COLORREF kAdded = RGB(0xcc, 0xee, 0xff);
constexpr COLORREF kRemovedMark = RGB(0xff, 0x99, 0x99);
constexpr COLORREF kAddedMark = RGB(0x80, 0xcc, 0xff);
constexpr COLORREF kCurrentFrame = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kError = RGB(0xb0, 0x00, 0x00);

const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
std::wstring Wide(const std::u16string& text) { return W(text); }

const wchar_t* KindMark(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return L"<!";
        case RowKind::Added:
            return L"!>";
        case RowKind::Common:
            break;
    }
    return L"";
}

COLORREF KindColour(RowKind kind) {
    return kind == RowKind::Removed ? kRemoved
           : kind == RowKind::Added ? kAdded
                                    : GetSysColor(COLOR_WINDOW);
}

COLORREF MarkColour(RowKind kind) { return kind == RowKind::Removed ? kRemovedMark : kAddedMark; }

// A selected row keeps its colour, a shade darker (as 108% darker in the Qt viewer).
COLORREF Selected(COLORREF colour) {
    auto darker = [](int channel) { return static_cast<BYTE>(channel * 100 / 108); };
    return RGB(darker(GetRValue(colour)), darker(GetGValue(colour)), darker(GetBValue(colour)));
}

// The window's resolution: the monitor's where the system knows it (Windows 10), else the system's.
UINT DpiOf(HWND hwnd) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpi(hwnd); dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

std::wstring SideText(const wchar_t* title, const FileSide& side, Outcome outcome) {
    std::wstring text = std::wstring(title) + L": " + side.Name(true).wstring();
    if (outcome == Outcome::Text) {
        text += L"　(" + Wide(EncodingText(side)) + L")";
    }
    return text;
}

std::wstring ErrorLines(const Comparison& c) {
    std::wstring lines;
    for (const FileSide* side : {&c.first, &c.second}) {
        if (side->error.empty()) continue;
        lines += L"\n" + side->path.wstring() + L": " + Wide(side->error);
    }
    return lines;
}

void RegisterClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

ViewerWindow::ViewerWindow(Comparison comparison) : comparison_(std::move(comparison)) {
    RegisterClassOnce();
    const bool text = comparison_.outcome == Outcome::Text;
    hwnd_ = CreateWindowExW(0, kClassName, L"Diff-Zarvo ビューアー", WS_OVERLAPPEDWINDOW,
                            CW_USEDEFAULT, CW_USEDEFAULT, 1000, 700, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    dpi_ = DpiOf(hwnd_);
    SetWindowPos(hwnd_, nullptr, 0, 0, Scale(text ? 1000 : 680, dpi_),
                 Scale(text ? 700 : 260, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    removedBrush_ = CreateSolidBrush(kRemoved);
    addedBrush_ = CreateSolidBrush(kAdded);
    const ACCEL keys[] = {{FVIRTKEY, VK_F8, kNext},
                          {FVIRTKEY | FSHIFT, VK_F8, kPrevious},
                          {FVIRTKEY, VK_F7, kPrevious},
                          {FVIRTKEY | FCONTROL, VK_HOME, kFirst},
                          {FVIRTKEY | FCONTROL, VK_END, kLast},
                          {FVIRTKEY | FCONTROL, 'C', kCopy},
                          {FVIRTKEY, VK_F5, kReload}};
    keys_ = CreateAcceleratorTableW(const_cast<ACCEL*>(keys), static_cast<int>(std::size(keys)));
    CreateControls();
    MakeFonts(dpi_);
    ShowComparison();
    // Open where the files part, as every comparison tool does.
    if (text && !comparison_.differenceStarts.empty())
        GoToRow(comparison_.differenceStarts.front());
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetFocus(text ? list_ : hwnd_);
}

ViewerWindow::~ViewerWindow() {
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    DestroyAcceleratorTable(keys_);
    DeleteObject(uiFont_);
    DeleteObject(listFont_);
    DeleteObject(removedBrush_);
    DeleteObject(addedBrush_);
}

void ViewerWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               nullptr);
    };
    names_ = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 1);
    legendRemoved_ = child(L"STATIC", L" <! 第一のファイルだけにある行 ", SS_LEFT | SS_NOPREFIX, 2);
    legendAdded_ = child(L"STATIC", L" !> 第二のファイルだけにある行 ", SS_LEFT | SS_NOPREFIX, 3);
    message_ = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 4);
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        0, 0, hwnd_, reinterpret_cast<HMENU>(5), instance, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const wchar_t* titles[] = {L"第一", L"第二", L"", L"内容"};
    for (int column = kFirstNumber; column <= kContent; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        info.fmt = column == kContent ? LVCFMT_LEFT
                   : column == kMark  ? LVCFMT_CENTER
                                      : LVCFMT_RIGHT;
        info.cx = 50;
        info.pszText = const_cast<wchar_t*>(titles[column]);
        ListView_InsertColumn(list_, column, &info);
    }
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, hwnd_, reinterpret_cast<HMENU>(6), instance, nullptr);
}

void ViewerWindow::MakeFonts(UINT dpi) {
    dpi_ = dpi;
    if (uiFont_ != nullptr) DeleteObject(uiFont_);
    if (listFont_ != nullptr) DeleteObject(listFont_);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The system's message font, as a Japanese one: a Western face has no kana or kanji.
    LOGFONTW ui = metrics.lfMessageFont;
    ui.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    ui.lfCharSet = SHIFTJIS_CHARSET;
    if (GetACP() != 932) lstrcpynW(ui.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    uiFont_ = CreateFontIndirectW(&ui);
    // A fixed-pitch Japanese font for the lines, so that columns of text stay aligned.
    listFont_ = CreateFontW(-MulDiv(10, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                            FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    for (HWND control : {names_, legendRemoved_, legendAdded_, message_, status_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), TRUE);
    }
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), TRUE);
    SizeColumns();
    Layout();
}

void ViewerWindow::SizeColumns() {
    HDC dc = GetDC(list_);
    HGDIOBJ old = SelectObject(dc, listFont_);
    auto width = [dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::int32_t lines =
        std::max(comparison_.first.text->LineCount(), comparison_.second.text->LineCount());
    const int number =
        std::max(width(std::wstring(std::to_wstring(lines).size() + 1, L'0')) + Scale(12, dpi_),
                 Scale(44, dpi_));
    ListView_SetColumnWidth(list_, kFirstNumber, number);
    ListView_SetColumnWidth(list_, kSecondNumber, number);
    ListView_SetColumnWidth(list_, kMark, width(L"<!") + Scale(16, dpi_));
    // Wide enough for the longest line of either file, so long lines scroll instead of being cut.
    int content = Scale(400, dpi_);
    for (const FileSide* side : {&comparison_.first, &comparison_.second}) {
        const TextFile& text = *side->text;
        if (text.longestLine() < 0) continue;
        std::u16string longest = text.Display(text.longestLine());
        longest.resize(std::min(longest.size(), kLongestShown + 40));
        content = std::max(content, width(Wide(longest)) + Scale(24, dpi_));
    }
    ListView_SetColumnWidth(list_, kContent, content);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
}

void ViewerWindow::Layout() {
    if (status_ == nullptr) return;  // sized before its controls exist
    RECT client;
    GetClientRect(hwnd_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(status_, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int parts[] = {client.right / 3, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));

    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, uiFont_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight + metrics.tmExternalLeading;
    const int margin = Scale(6, dpi_);
    const int width = std::max(0, static_cast<int>(client.right) - 2 * margin);
    int y = margin;
    MoveWindow(names_, margin, y, width, 2 * line, TRUE);
    y += 2 * line + margin / 2;
    const bool text = comparison_.outcome == Outcome::Text;
    if (text) {
        SIZE size{};
        wchar_t legend[64];
        GetWindowTextW(legendRemoved_, legend, 64);
        GetTextExtentPoint32W(dc, legend, lstrlenW(legend), &size);
        MoveWindow(legendRemoved_, margin, y, size.cx, line, TRUE);
        GetWindowTextW(legendAdded_, legend, 64);
        GetTextExtentPoint32W(dc, legend, lstrlenW(legend), &size);
        RECT removed;
        GetWindowRect(legendRemoved_, &removed);
        MoveWindow(legendAdded_, margin + (removed.right - removed.left) + margin, y, size.cx, line,
                   TRUE);
        y += line + margin / 2;
    }
    if (IsWindowVisible(message_)) {
        const int length = GetWindowTextLengthW(message_);
        std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(message_, shown.data(), length + 1);
        RECT need{0, 0, width, 0};
        DrawTextW(dc, shown.c_str(), length, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        MoveWindow(message_, margin, y, width, need.bottom, TRUE);
        y += need.bottom + margin / 2;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    MoveWindow(list_, margin, y, width,
               std::max(0, static_cast<int>(client.bottom) - statusHeight - y), TRUE);
}

void ViewerWindow::ShowComparison() {
    const bool text = comparison_.outcome == Outcome::Text;
    SetWindowTextW(hwnd_,
                   W(comparison_.Title(
                       reinterpret_cast<const char16_t*>(comparison_.first.Name(false).c_str()),
                       reinterpret_cast<const char16_t*>(comparison_.second.Name(false).c_str()))));
    SetWindowTextW(names_, (SideText(L"第一", comparison_.first, comparison_.outcome) + L"\n" +
                            SideText(L"第二", comparison_.second, comparison_.outcome))
                               .c_str());
    ShowWindow(legendRemoved_, text ? SW_SHOW : SW_HIDE);
    ShowWindow(legendAdded_, text ? SW_SHOW : SW_HIDE);
    ShowWindow(list_, text ? SW_SHOW : SW_HIDE);
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(comparison_.HiddenNote())));
    errorMessage_ = false;
    // The core says what to show instead of rows; unreadable files are named with their reasons.
    std::wstring message = Wide(comparison_.Message());
    if (comparison_.outcome == Outcome::Unreadable) {
        message = L"ファイルを読み込めません。" + ErrorLines(comparison_);
        errorMessage_ = true;
    }
    if (text) {
        ListView_SetItemCountEx(list_, static_cast<int>(comparison_.rows.size()),
                                LVSICF_NOINVALIDATEALL);
    }
    UpdateCount();
    SetWindowTextW(message_, message.c_str());
    ShowWindow(message_, message.empty() ? SW_HIDE : SW_SHOW);
    Layout();
}

RowKind ViewerWindow::KindOf(std::size_t row) const {
    // An overlooked change is shown as it is, but not as a difference.
    return comparison_.Overlooked(row) ? RowKind::Common : comparison_.rows[row].kind;
}

std::optional<std::size_t> ViewerWindow::CurrentRow() const {
    const int item = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (item < 0) return std::nullopt;
    return static_cast<std::size_t>(item);
}

void ViewerWindow::GoToRow(std::size_t row) {
    const int item = static_cast<int>(row);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // Into the middle of the list, with the rows around it in sight.
    const int top = ListView_GetTopIndex(list_);
    const int page = ListView_GetCountPerPage(list_);
    if (page > 0 && (item < top || item >= top + page)) {
        RECT bounds{};
        ListView_GetItemRect(list_, 0, &bounds, LVIR_BOUNDS);
        const int height = std::max(1, static_cast<int>(bounds.bottom - bounds.top));
        ListView_Scroll(list_, 0, (item - top - page / 2) * height);
    }
    ListView_EnsureVisible(list_, item, FALSE);
    UpdateCount();
}

void ViewerWindow::NextDifference() {
    if (const auto row = comparison_.NextDifference(CurrentRow())) GoToRow(*row);
}

void ViewerWindow::PreviousDifference() {
    if (const auto row = comparison_.PreviousDifference(CurrentRow())) GoToRow(*row);
}

void ViewerWindow::FirstDifference() {
    if (!comparison_.differenceStarts.empty()) GoToRow(comparison_.differenceStarts.front());
}

void ViewerWindow::LastDifference() {
    if (!comparison_.differenceStarts.empty()) GoToRow(comparison_.differenceStarts.back());
}

void ViewerWindow::UpdateCount() {
    SendMessageW(status_, SB_SETTEXTW, 1,
                 reinterpret_cast<LPARAM>(W(comparison_.CountText(CurrentRow()))));
}

void ViewerWindow::CopyRows() {
    std::vector<std::size_t> rows;
    for (int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED); item >= 0;
         item = ListView_GetNextItem(list_, item, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(item));
    }
    if (rows.empty()) return;
    std::wstring text;
    for (const char16_t c : comparison_.CopyText(rows)) {
        if (c == u'\n') text += L'\r';
        text += static_cast<wchar_t>(c);
    }
    if (!OpenClipboard(hwnd_)) return;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes); memory != nullptr) {
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
    const std::wstring said = std::to_wstring(rows.size()) + L" 行をコピーしました";
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(said.c_str()));
}

void ViewerWindow::Reload() {
    const std::optional<std::size_t> current = CurrentRow();
    const std::optional<Row> before = current && *current < comparison_.rows.size()
                                          ? std::optional<Row>(comparison_.rows[*current])
                                          : std::nullopt;
    std::optional<Comparison> again =
        RunWithProgress(hwnd_, [earlier = comparison_](const CancelFlag* cancel) {
            return CompareAgain(earlier, cancel);
        });
    if (!again) return;
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    comparison_ = std::move(*again);
    ShowComparison();
    InvalidateRect(list_, nullptr, TRUE);
    if (comparison_.HiddenNote().empty()) {
        SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"再読み込みしました"));
    }
    if (const auto row = comparison_.RowToKeep(before)) GoToRow(*row);
    if (IsWindowVisible(list_) && GetFocus() == hwnd_) SetFocus(list_);
}

bool ViewerWindow::TranslateKeys(MSG& msg) {
    return TranslateAcceleratorW(hwnd_, keys_, &msg) != 0;
}

LRESULT ViewerWindow::Notify(NMHDR* header) {
    if (header->hwndFrom != list_) return 0;
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
            if (!(info->item.mask & LVIF_TEXT) || info->item.iItem < 0) return 0;
            const auto row = static_cast<std::size_t>(info->item.iItem);
            if (row >= comparison_.rows.size()) return 0;
            const Row shown = comparison_.rows[row];
            switch (info->item.iSubItem) {
                case kFirstNumber:
                    buffer_ = shown.first < 0 ? L"" : std::to_wstring(shown.first + 1);
                    break;
                case kSecondNumber:
                    buffer_ = shown.second < 0 ? L"" : std::to_wstring(shown.second + 1);
                    break;
                case kMark:
                    buffer_ = KindMark(KindOf(row));
                    break;
                default:
                    buffer_ = Wide(comparison_.Shown(row).text);
                    break;
            }
            info->item.pszText = buffer_.data();
            return 0;
        }
        case LVN_ITEMCHANGED:
            UpdateCount();
            return 0;
        case NM_CUSTOMDRAW:
            return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        default:
            return 0;
    }
}

LRESULT ViewerWindow::CustomDraw(NMLVCUSTOMDRAW* draw) {
    const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            // The row keeps its colour when current; a frame shows it instead of the selection.
            draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
            return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            if (row >= comparison_.rows.size()) return CDRF_DODEFAULT;
            // The current row has its frame instead; the others of a selection turn darker.
            const bool selected =
                ListView_GetItemState(list_, static_cast<int>(row), LVIS_SELECTED) != 0 &&
                CurrentRow() != row;
            const COLORREF kindColour = KindColour(KindOf(row));
            const COLORREF background = selected ? Selected(kindColour) : kindColour;
            draw->clrTextBk = background;
            draw->clrText = RGB(0, 0, 0);
            if (draw->iSubItem != kContent) return CDRF_NEWFONT;
            RECT cell{};
            ListView_GetSubItemRect(list_, static_cast<int>(row), kContent, LVIR_BOUNDS, &cell);
            DrawContent(draw->nmcd.hdc, row, cell, background);
            return CDRF_SKIPDEFAULT;
        }
        case CDDS_ITEMPOSTPAINT: {
            if (CurrentRow() != row) return CDRF_DODEFAULT;
            RECT bounds{};
            ListView_GetItemRect(list_, static_cast<int>(row), &bounds, LVIR_BOUNDS);
            HBRUSH frame = CreateSolidBrush(kCurrentFrame);
            FrameRect(draw->nmcd.hdc, &bounds, frame);
            DeleteObject(frame);
            return CDRF_DODEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

// The line's text, with the runs that changed inside it on the stronger shade of its colour.
void ViewerWindow::DrawContent(HDC dc, std::size_t row, const RECT& cell, COLORREF background) {
    const ShownLine shown = comparison_.Shown(row);
    const RowKind kind = KindOf(row);
    HBRUSH fill = CreateSolidBrush(background);
    FillRect(dc, &cell, fill);
    DeleteObject(fill);
    HGDIOBJ old = SelectObject(dc, listFont_);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    const auto* text = reinterpret_cast<const wchar_t*>(shown.text.data());
    const auto length = static_cast<std::uint32_t>(shown.text.size());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int y = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
    int x = cell.left + Scale(6, dpi_);
    auto run = [&](std::uint32_t from, std::uint32_t to, COLORREF colour) {
        if (to <= from) return;
        SetBkColor(dc, colour);
        const int count = static_cast<int>(to - from);
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &cell, text + from, static_cast<UINT>(count), nullptr);
        SIZE size{};
        GetTextExtentPoint32W(dc, text + from, count, &size);
        x += size.cx;
    };
    std::uint32_t at = 0;
    if (kind != RowKind::Common) {
        for (const MarkSpan& mark : shown.marks) {
            const std::uint32_t start = std::min(mark.start, length);
            const std::uint32_t end = std::min(start + mark.length, length);
            run(at, start, background);
            run(start, end, MarkColour(kind));
            at = std::max(at, end);
        }
    }
    run(at, length, background);
    SelectObject(dc, old);
}

LRESULT CALLBACK ViewerWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<ViewerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->Handle(message, wParam, lParam);
}

LRESULT ViewerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SETFOCUS:
            if (IsWindowVisible(list_)) SetFocus(list_);
            return 0;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lParam));
        case WM_COMMAND:
            // F5 reads files that could not be compared again; the rest needs rows.
            if (LOWORD(wParam) == kReload) {
                Reload();
                return 0;
            }
            if (comparison_.outcome != Outcome::Text) break;
            switch (LOWORD(wParam)) {
                case kNext:
                    NextDifference();
                    return 0;
                case kPrevious:
                    PreviousDifference();
                    return 0;
                case kFirst:
                    FirstDifference();
                    return 0;
                case kLast:
                    LastDifference();
                    return 0;
                case kCopy:
                    CopyRows();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CTLCOLORSTATIC: {
            const auto control = reinterpret_cast<HWND>(lParam);
            const auto dc = reinterpret_cast<HDC>(wParam);
            if (control == legendRemoved_ || control == legendAdded_) {
                SetTextColor(dc, RGB(0, 0, 0));
                SetBkColor(dc, control == legendRemoved_ ? kRemoved : kAdded);
                return reinterpret_cast<LRESULT>(control == legendRemoved_ ? removedBrush_
                                                                           : addedBrush_);
            }
            if (control == message_ && errorMessage_) SetTextColor(dc, kError);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case 0x02E0: {  // WM_DPICHANGED: new fonts, and the size the system suggests
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            MakeFonts(HIWORD(wParam));
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace viewer

#include "FolderWindow.h"

#include <algorithm>
#include <string>

#include "AccessibleNames.h"
#include "Progress.h"
#include "Settings.h"
#include "Texts.h"
#include "ViewerWindow.h"
#include "WinText.h"
#include "WorkArea.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

constexpr UINT kWake = WM_APP + 20;  // from the comparison's thread: there is news
constexpr UINT kBack = WM_APP + 21;  // the file view was closed: back to the list
constexpr UINT_PTR kFileSubclass = 1;
constexpr UINT_PTR kPollTimer = 1;
// News is taken at most this often: a timer's message waits behind the keys and the painting,
// so that a busy comparison never holds up Esc or the close box.
constexpr UINT kPollMilliseconds = 40;
enum Child : int { kNames = 1, kHideSame, kPatternLabel, kPattern, kList, kProgress, kStatus };

bool IsEdit(HWND control) {
    wchar_t cls[16] = {};
    GetClassNameW(control, cls, 16);
    return lstrcmpiW(cls, WC_EDITW) == 0;
}

}  // namespace

FolderWindow::FolderWindow(std::filesystem::path first, std::filesystem::path second,
                           std::filesystem::path settingsFile)
    : settingsFile_(std::move(settingsFile)) {
    Create(kFolderWindowClass, 0, WS_EX_CONTROLPARENT, 900, 600);
    FitToWorkArea(hwnd_, Scale(900), Scale(600));
    // News comes on the comparison's thread: one poll at a time is posted to the window, which
    // polls on its own thread. The session (and its thread) ends before the window goes.
    session_ = std::make_unique<FolderSession>(std::move(first), std::move(second),
                                               LoadFolderFilters(settingsFile_), [this] {
                                                   if (!woken_.exchange(true))
                                                       PostMessageW(hwnd_, kWake, 0, 0);
                                               });
    CreateControls();
    MakeFonts(dpi());
    Refresh();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetFocus(list_);
}

FolderWindow::~FolderWindow() {
    file_.reset();
    session_.reset();
    Destroy();
}

void FolderWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, std::u16string_view text, DWORD style, int id) {
        return CreateWindowExW(0, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                               0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance, nullptr);
    };
    const DWORD nameStyle = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
    firstName_ = child(L"STATIC", session_->HeaderLine(Side::First), nameStyle, kNames);
    secondName_ = child(L"STATIC", session_->HeaderLine(Side::Second), nameStyle, kNames);
    hideSame_ =
        child(WC_BUTTONW, kHideSameLabel, WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, kHideSame);
    patternLabel_ =
        child(L"STATIC", kNamePatternLabel, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kPatternLabel);
    pattern_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                               hwnd_, reinterpret_cast<HMENU>(kPattern), instance, nullptr);
    SendMessageW(pattern_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Wide(kNamePatternPlaceholder).c_str()));
    refreshing_ = true;
    SendMessageW(hideSame_, BM_SETCHECK, session_->filters().hideSame ? BST_CHECKED : BST_UNCHECKED,
                 0);
    SetWindowTextW(pattern_, Wide(session_->filters().namePattern).c_str());
    refreshing_ = false;

    list_ = ListView(hwnd_, kList, WS_VISIBLE | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    for (std::u16string_view title : kFolderColumns) list_.AddColumn(title);
    progress_ = child(L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kProgress);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kStatus), instance, nullptr);
    NameForScreenReaders();
}

// The list is named by the window's title (the folders and the counts), each row by its cells;
// the pattern line by its label. Asked through the handles only: a screen reader may ask after
// the window is gone.
void FolderWindow::NameForScreenReaders() {
    NameListForScreenReaders(list_);
    NameFieldForScreenReaders(pattern_, kNamePatternLabel);
}

void FolderWindow::MakeFonts(int dpi) {
    font_.Reset(platform::win32::MakeDefaultGuiFont(dpi));
    for (HWND control : {firstName_, secondName_, hideSame_, patternLabel_, pattern_, list_.hwnd(),
                         progress_, status_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
    Layout();
}

void FolderWindow::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = static_cast<int>(client.right);
    const int margin = Scale(6);
    const int line = Scale(18);
    const int field = Scale(24);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(status_, &bar);
    const int statusHeight = static_cast<int>(bar.bottom - bar.top);
    const int parts[] = {width * 3 / 5, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));

    int y = margin;
    MoveWindow(firstName_, margin, y, width - 2 * margin, line, TRUE);
    y += line;
    MoveWindow(secondName_, margin, y, width - 2 * margin, line, TRUE);
    y += line + margin;
    const int boxWidth = Scale(170);
    const int labelWidth = Scale(80);
    MoveWindow(hideSame_, margin, y, boxWidth, field, TRUE);
    MoveWindow(patternLabel_, margin + boxWidth, y, labelWidth, field, TRUE);
    const int patternLeft = margin + boxWidth + labelWidth;
    MoveWindow(pattern_, patternLeft, y, std::max(Scale(60), width - margin - patternLeft), field,
               TRUE);
    y += field + margin;
    const int bottom = static_cast<int>(client.bottom) - statusHeight;
    const int progressTop = bottom - line - margin / 2;
    MoveWindow(list_, margin, y, width - 2 * margin, std::max(0, progressTop - margin / 2 - y),
               TRUE);
    MoveWindow(progress_, margin, progressTop, width - 2 * margin, line, TRUE);
    // The mark and both sides keep their width; the name and the state share what is left, so
    // that the second side's column stays in the list at any size.
    RECT inside{};
    GetClientRect(list_, &inside);
    const int mark = Scale(36), side = Scale(130);
    const int room = std::max(Scale(200), static_cast<int>(inside.right) - mark - 2 * side);
    const int widths[] = {mark, room * 3 / 5, room - room * 3 / 5, side, side};
    for (int column = 0; column < 5; ++column)
        ListView_SetColumnWidth(list_, column, widths[column]);
}

void FolderWindow::Refresh() {
    // The rows are laid out anew; the current row and the scroll stay where they were.
    ListView_SetItemCountEx(list_, static_cast<int>(session_->RowCount()), LVSICF_NOSCROLL);
    if (const std::optional<std::size_t> row = session_->CurrentRow()) {
        const UINT both = LVIS_FOCUSED | LVIS_SELECTED;
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list_, static_cast<int>(*row), both, both);
    }
    InvalidateRect(list_, nullptr, FALSE);
    SetWindowTextW(progress_, W(session_->ProgressText()));
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(session_->CountText())));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(W(session_->HiddenNote())));
    SetWindowTextW(hwnd_, W(session_->Title()));
}

void FolderWindow::FiltersChanged() {
    if (refreshing_) return;
    const int length = GetWindowTextLengthW(pattern_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(pattern_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    session_->ChangeFilters({SendMessageW(hideSame_, BM_GETCHECK, 0, 0) == BST_CHECKED,
                             std::u16string(text.begin(), text.end())},
                            settingsFile_);
    Refresh();
}

void FolderWindow::Activate(int row) {
    if (file_ != nullptr || row < 0) return;
    Act(session_->Activate(static_cast<std::size_t>(row), settingsFile_));
}

void FolderWindow::Act(const RowAction& action) {
    if (action.kind == RowAction::Kind::Redraw) return Refresh();
    if (action.kind != RowAction::Kind::Compare) return;
    std::optional<Comparison> comparison = RunWithProgress(hwnd_, action.compare);
    if (!comparison) return;  // stopped: the list stays
    // The file view stands where the list stood, as one window that changes its page.
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    GetWindowPlacement(hwnd_, &place);
    file_ = std::make_unique<ViewerWindow>(std::move(*comparison), settingsFile_);
    SetWindowSubclass(file_->hwnd(), &FileProcedure, kFileSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    SetWindowPlacement(file_->hwnd(), &place);
    ShowWindow(hwnd_, SW_HIDE);
    SetForegroundWindow(file_->hwnd());
    SetFocus(file_->list());
}

void FolderWindow::Back() {
    if (file_ == nullptr) return;
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    GetWindowPlacement(file_->hwnd(), &place);
    SetWindowPlacement(hwnd_, &place);
    ShowWindow(hwnd_, place.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    file_.reset();
    SetForegroundWindow(hwnd_);
    // A save there may have changed the pair: its row and the counts follow.
    session_->PairClosed();
    Refresh();
    const int row = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (row >= 0) ListView_EnsureVisible(list_, row, FALSE);
    SetFocus(list_);
}

bool FolderWindow::TranslateKeys(MSG& msg) {
    if (file_ != nullptr) {
        const HWND file = file_->hwnd();
        if (msg.hwnd != file && !IsChild(file, msg.hwnd)) return false;
        // Backspace (outside a text field): back to the list. Alt+Left stays the file view's own
        // key (taking a change into the first file), as in a file view opened on its own.
        const bool back = msg.message == WM_KEYDOWN && msg.wParam == VK_BACK && !IsEdit(msg.hwnd);
        if (back) {
            // Changes taken across in the pair are saved, dropped or kept as the user says.
            if (file_->session().MayClose()) Back();
            return true;
        }
        return file_->TranslateKeys(msg);
    }
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    // The page's keys, as the session says: Esc and F5 anywhere in the window, the others in
    // the list.
    const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (msg.message == WM_KEYDOWN && plain) {
        std::optional<FolderKey> pressed;
        if (msg.wParam == VK_ESCAPE) pressed = FolderKey::Escape;
        if (msg.wParam == VK_F5) pressed = FolderKey::F5;
        if (msg.hwnd == list_ && msg.wParam == VK_RETURN) pressed = FolderKey::Enter;
        if (msg.hwnd == list_ && msg.wParam == VK_LEFT) pressed = FolderKey::Left;
        if (msg.hwnd == list_ && msg.wParam == VK_RIGHT) pressed = FolderKey::Right;
        if (pressed) {
            const RowAction action = session_->Key(*pressed, settingsFile_);
            if (action.kind != RowAction::Kind::PassOn) {
                Act(action);
                return true;
            }
        }
    }
    // Tab and Shift+Tab move between the controls, as in a dialog.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && msg.wParam == VK_TAB) {
        return IsDialogMessageW(hwnd_, &msg) != 0;
    }
    return false;
}

LRESULT FolderWindow::Notify(NMHDR* header) {
    if (header->hwndFrom != list_) return 0;
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
            if (!(info->item.mask & LVIF_TEXT) || info->item.iItem < 0 ||
                static_cast<std::size_t>(info->item.iItem) >= session_->RowCount()) {
                return 0;
            }
            buffer_ = Wide(session_->CellAt(static_cast<std::size_t>(info->item.iItem),
                                            static_cast<std::size_t>(info->item.iSubItem)));
            info->item.pszText = buffer_.data();
            return 0;
        }
        case NM_DBLCLK:
            Activate(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
            return 0;
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if (change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED) &&
                !(change->uOldState & LVIS_FOCUSED)) {
                session_->SetCurrent(static_cast<std::size_t>(change->iItem));
            }
            return 0;
        }
        case NM_CUSTOMDRAW: {
            // Each row in its state's colour; the current row as the system marks a selection.
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
            const std::size_t row = draw->nmcd.dwItemSpec;
            if (row < session_->RowCount()) {
                draw->clrTextBk = Ref(session_->Row(row).background);
                draw->clrText = Ref(ColourRole::Text);
            }
            return CDRF_DODEFAULT;
        }
        default:
            return 0;
    }
}

LRESULT CALLBACK FolderWindow::FileProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
    auto* window = reinterpret_cast<FolderWindow*>(data);
    switch (message) {
        case WM_CLOSE:
            // The file view's 閉じる (or its window's): back to the list, once this message is
            // done with the file view; its unsaved changes are asked about first.
            if (!window->file_->session().MayClose()) return 0;
            PostMessageW(window->hwnd_, kBack, 0, 0);
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &FileProcedure, kFileSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT FolderWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kWake:
            SetTimer(hwnd_, kPollTimer, kPollMilliseconds, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam != kPollTimer) break;
            KillTimer(hwnd_, kPollTimer);
            woken_ = false;
            if (session_->Poll()) Refresh();
            return 0;
        case kBack:
            Back();
            return 0;
        case WM_SETFOCUS:
            SetFocus(list_);
            return 0;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lParam));
        case WM_COMMAND: {
            const auto control = reinterpret_cast<HWND>(lParam);
            if ((control == hideSame_ && HIWORD(wParam) == BN_CLICKED) ||
                (control == pattern_ && HIWORD(wParam) == EN_CHANGE)) {
                FiltersChanged();
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, Ref(ColourRole::Text));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_CLOSE:
            // Closing stops the comparison at once.
            session_->Stop();
            DestroyWindow(hwnd_);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace viewer

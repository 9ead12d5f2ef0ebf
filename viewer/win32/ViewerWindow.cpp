#include "ViewerWindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "AccessibleNames.h"
#include "Cells.h"
#include "ChoiceMenus.h"
#include "CommandBar.h"
#include "FolderWatch.h"
#include "Fonts.h"
#include "InputBars.h"
#include "LineEditor.h"
#include "NoticeBar.h"
#include "OverviewStrip.h"
#include "Progress.h"
#include "Texts.h"
#include "WinText.h"
#include "WorkArea.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

constexpr wchar_t kClassName[] = L"DiffZarvoViewer";
constexpr UINT_PTR kListSubclass = 1;
enum Child : int {
    kToolbar = 1,
    kNames,
    kLegend,
    kMessage,
    kNotice,
    kReloadButton,
    kList,
    kStatus,
    kStrip
};

}  // namespace

ViewerWindow::ViewerWindow(Comparison comparison, std::filesystem::path settingsFile)
    : session_(std::move(comparison), *this, std::move(settingsFile)) {
    const bool rows = session_.ShowsRows();
    Create(kClassName, CS_HREDRAW | CS_VREDRAW, 0, 1000, 700);
    FitToWorkArea(hwnd_, Scale(rows ? 1000 : 680), Scale(rows ? 700 : 300));
    removedBrush_.Reset(CreateSolidBrush(Ref(ColourRole::Removed)));
    addedBrush_.Reset(CreateSolidBrush(Ref(ColourRole::Added)));
    noticeBrush_.Reset(CreateSolidBrush(Ref(ColourRole::Notice)));
    CreateControls();
    MakeFonts(dpi());
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    session_.Open();
    SetFocus(rows ? list_ : hwnd_);
}

ViewerWindow::~ViewerWindow() {
    watch_.reset();
    // Going with the window, the editor's loss of focus ends no edit.
    editor_->onTyped = nullptr;
    editor_->onFinish = nullptr;
    strip_.reset();
    Destroy();
    commands_.reset();
}

HWND ViewerWindow::toolbar() const { return commands_->toolbar(); }
HWND ViewerWindow::strip() const { return strip_->hwnd(); }
HWND ViewerWindow::editor() const { return editor_->hwnd(); }
int ViewerWindow::textMargin() const { return Scale(4); }

void ViewerWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, std::u16string_view text, DWORD style, int id) {
        return CreateWindowExW(0, cls, Wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               nullptr);
    };
    commands_ = std::make_unique<CommandBar>(hwnd_, kToolbar);
    // Each name ends in the file's own name and its encoding, which stay when the folder is long.
    const DWORD nameStyle = WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
    firstName_ = child(L"STATIC", u"", nameStyle, kNames);
    secondName_ = child(L"STATIC", u"", nameStyle, kNames);
    legendRemoved_ = child(L"STATIC", KindLegend(RowKind::Removed), SS_LEFT | SS_NOPREFIX, kLegend);
    legendAdded_ = child(L"STATIC", KindLegend(RowKind::Added), SS_LEFT | SS_NOPREFIX, kLegend);
    message_ = child(L"STATIC", u"", SS_LEFT | SS_NOPREFIX, kMessage);
    // Drawn by the window (WM_DRAWITEM) with a margin before its text, and clipped round its
    // button, which lies over it and would otherwise be painted over until the pointer passes.
    notice_ = child(L"STATIC", texts::kChangedOnDisk, SS_OWNERDRAW | WS_CLIPSIBLINGS, kNotice);
    noticeButton_ =
        child(WC_BUTTONW, texts::kReloadButton, WS_TABSTOP | BS_PUSHBUTTON, kReloadButton);
    list_ = ListView(hwnd_, kList, LVS_SHOWSELALWAYS);
    SetWindowSubclass(list_, &ListProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    editor_ = std::make_unique<LineEditor>(list_);
    editor_->onTyped = [this](std::u16string text) { session_.Typed(text); };
    editor_->onFinish = [this](bool keep) { session_.FinishEdit(keep); };
    strip_ = std::make_unique<OverviewStrip>(hwnd_, kStrip, Wide(texts::kStripTip));
    strip_->onClick = [this](int y, int height) {
        session_.ClickStrip(y, height);
        SetFocus(list_);
    };
    bars_ = std::make_unique<InputBars>(hwnd_);
    NameForScreenReaders();
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kStatus), instance, nullptr);
}

// What a screen reader says of the parts that show no text of their own: the list is named by
// the window's title (the files and the count), each row by its cells; the bars' fields by their
// labels. Asked through the handles only: a screen reader may ask after the window is gone.
void ViewerWindow::NameForScreenReaders() {
    NameListForScreenReaders(list_);
    NameFieldForScreenReaders(bars_->findText(), texts::kFindLabel);
    NameFieldForScreenReaders(bars_->lineFile(), texts::kLineLabel);
    NameFieldForScreenReaders(bars_->lineText(), texts::kLinePlaceholder);
    NameFieldForScreenReaders(editor_->hwnd(), InfoOf(Command::EditLine).label);
}

void ViewerWindow::MakeFonts(int dpi) {
    uiFont_.Reset(platform::win32::MakeDefaultGuiFont(dpi));
    // The cells keep columns aligned in any font.
    listFont_.Reset(MakeLinesFont(dpi));
    for (HWND control : {firstName_, secondName_, legendRemoved_, legendAdded_, message_, notice_,
                         noticeButton_, status_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.Get()), TRUE);
    }
    commands_->SetFont(uiFont_);
    bars_->SetFont(uiFont_);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.Get()), TRUE);
    // The editor's text where the row's is drawn, inside its frame of one pixel.
    editor_->SetFont(listFont_, textMargin() - 1);
    const platform::win32::WindowDC dc(list_, listFont_);
    // A cell holds a half-width character; a wide one takes two.
    cellWidth_ = std::max({1, TextWidth(dc, u"0"), (TextWidth(dc, u"漢") + 1) / 2});
    // The East Asian Ambiguous characters this font draws in two cells (※ ○ → in MS Gothic).
    std::vector<char32_t> wide;
    for (const char32_t c : AmbiguousCharacters()) {
        // Past U+FFFF a character is two code units.
        std::u16string one;
        if (c > 0xFFFF) {
            one = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                   static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
        } else {
            one = {static_cast<char16_t>(c)};
        }
        if (TextWidth(dc, one) * 10 > cellWidth_ * 11) wide.push_back(c);
    }
    SetWideAmbiguous(std::move(wide));
    // A control character's letters, a cell each ("ESC" in three), inside its frame.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    controlFont_.Reset(CreateFontW(-(metrics.tmHeight * 2 / 3), std::max(2, cellWidth_ - 2), 0, 0,
                                   FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                   FF_SWISS, L"Tahoma"));
    SizeColumns();
    Layout();
    if (editor_->open()) editor_->Place(EditorArea());
}

void ViewerWindow::RunCommand(Command command) {
    // What the list shows selected is what is copied or taken across.
    if (command == Command::Copy || command == Command::TakeToFirst ||
        command == Command::TakeToSecond) {
        std::vector<RowSpan> spans;
        for (const auto& [first, last] : list_.SelectedRuns()) spans.push_back({first, last});
        session_.SetSelection(std::move(spans));
    }
    if (command == Command::FindNext || command == Command::FindPrevious) {
        session_.SetFindText(bars_->FindText());
    }
    session_.Run(command);
}

void ViewerWindow::OnBarAction(WORD action) {
    switch (action) {
        case InputBars::kFindNext:
        case InputBars::kFindPrevious:
            session_.SetFindText(bars_->FindText());
            session_.Find(action == InputBars::kFindNext);
            return;
        case InputBars::kGoToLine:
            session_.GoToLine(bars_->LineInFirst() ? Side::First : Side::Second, bars_->LineText());
            if (GetFocus() != list_ && session_.status().kind != StatusKind::Warning) {
                SetFocus(list_);
            }
            return;
        case InputBars::kCloseBar:
            session_.CloseBar();
            return;
        default:
            return;
    }
}

bool ViewerWindow::TranslateKeys(MSG& msg) {
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    const HWND focus = msg.hwnd;
    // Enter in a bar finds or goes to the line (Esc closes the bar: the session's Close).
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && bars_->Owns(focus)) {
        if (const WORD action = bars_->EnterIn(focus); action != InputBars::kNone) {
            OnBarAction(action);
            return true;
        }
    }
    // Enter and Esc end the edit in the editor, which keeps them from the window's keys.
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) &&
        focus == editor_->hwnd()) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && focus == noticeButton_) {
        session_.Reload();
        return true;
    }
    // A text field keeps the keys it edits with: Ctrl+C copies its text, not the rows.
    wchar_t cls[16] = {};
    GetClassNameW(focus, cls, 16);
    const bool inField = lstrcmpiW(cls, WC_EDITW) == 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool editKey =
        msg.message == WM_KEYDOWN && control &&
        (msg.wParam == 'C' || msg.wParam == 'X' || msg.wParam == 'V' || msg.wParam == 'A' ||
         msg.wParam == 'Z' || msg.wParam == VK_HOME || msg.wParam == VK_END);
    // Ctrl+A in the list selects every row, as it does in the Qt list.
    if (msg.message == WM_KEYDOWN && control && msg.wParam == 'A' && focus == list_.hwnd()) {
        ListView_SetItemState(list_.hwnd(), -1, LVIS_SELECTED, LVIS_SELECTED);
        return true;
    }
    if (!(inField && editKey) && commands_->TranslateKeys(msg)) return true;
    // Tab and Shift+Tab move between the controls, as in a dialog.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && msg.wParam == VK_TAB) {
        return IsDialogMessageW(hwnd_, &msg) != 0;
    }
    return false;
}

Side ViewerWindow::PaneAtMouse() const {
    const DWORD at = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(list_, &point);
    LVHITTESTINFO hit{};
    hit.pt = point;
    if (ListView_SubItemHitTest(list_, &hit) < 0 || hit.iSubItem < 0) return Side::First;
    return PaneOf(session_, static_cast<std::size_t>(hit.iSubItem));
}

LRESULT ViewerWindow::Notify(NMHDR* header) {
    if (header->code == TTN_GETDISPINFOW) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
        if (const wchar_t* text = commands_->Tip(tip->hdr.idFrom)) {
            tip->lpszText = const_cast<wchar_t*>(text);
        }
        return 0;
    }
    if (header->hwndFrom != list_) return 0;
    const auto cellText = [this](std::size_t row, int column) {
        return session_.CellAt(row, static_cast<std::size_t>(column)).text;
    };
    if (list_.GiveText(header, cellText)) return 0;
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            const bool focused =
                (change->uNewState & LVIS_FOCUSED) && !(change->uOldState & LVIS_FOCUSED);
            if (!moving_ && focused && change->iItem >= 0) {
                session_.SetCurrent(static_cast<std::size_t>(change->iItem), PaneAtMouse());
            }
            InvalidateRect(list_, nullptr, FALSE);
            return 0;
        }
        case LVN_ODSTATECHANGED:
            InvalidateRect(list_, nullptr, FALSE);
            return 0;
        case NM_DBLCLK: {
            // On a line's text: edit it, in the pane clicked.
            const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
            const std::vector<Column>& columns = session_.Columns();
            if (click->iItem < 0 || click->iSubItem < 0 ||
                static_cast<std::size_t>(click->iSubItem) >= columns.size() ||
                !columns[static_cast<std::size_t>(click->iSubItem)].content) {
                return 0;
            }
            const Side pane = PaneOf(session_, static_cast<std::size_t>(click->iSubItem));
            PostMessageW(hwnd_, kEditAt, static_cast<WPARAM>(click->iItem),
                         static_cast<LPARAM>(pane));
            return 0;
        }
        case NM_CUSTOMDRAW:
            return ListView::CustomDraw(header, false, [this](NMLVCUSTOMDRAW& draw) {
                PaintRow(draw.nmcd.hdc, static_cast<std::size_t>(draw.nmcd.dwItemSpec));
                return CDRF_SKIPDEFAULT;
            });
        default:
            return 0;
    }
}

LRESULT CALLBACK ViewerWindow::ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
    auto* window = reinterpret_cast<ViewerWindow*>(data);
    switch (message) {
        case WM_SIZE: {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            window->SizeColumns();
            window->UpdateStrip();
            if (window->editor_->open()) window->editor_->Place(window->EditorArea());
            return result;
        }
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) != window->editor_->hwnd()) break;
            window->editor_->Notified(HIWORD(wParam));
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_MOUSEWHEEL:
            // Scrolled by the user, the rows leave the editor behind: the edit ends, kept, as
            // the list view's own editor of labels does.
            if (window->editor_->open() && !window->moving_) window->session_.FinishEdit(true);
            [[fallthrough]];
        case WM_KEYDOWN:
        case LVM_SCROLL:
        case LVM_ENSUREVISIBLE: {
            // The strip's frame follows the rows on screen, however they moved.
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            window->UpdateStrip();
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &ListProcedure, kListSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT ViewerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            if (IsWindowVisible(list_)) SetFocus(list_);
            return 0;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lParam));
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            if (lParam != 0 && HIWORD(wParam) != BN_CLICKED) break;
            if (reinterpret_cast<HWND>(lParam) == noticeButton_) {
                session_.Reload();
                return 0;
            }
            if (lParam != 0 && reinterpret_cast<HWND>(lParam) != commands_->toolbar()) {
                OnBarAction(id);
                return 0;
            }
            if (const auto choice = ChoiceOf(id)) {
                session_.Choose(choice->first, choice->second);
                commands_->Update(session_);
                return 0;
            }
            if (const std::optional<Command> command = CommandOf(id)) RunCommand(*command);
            return 0;
        }
        case kFilesChanged:
            if (wParam == watchGeneration_) session_.FilesChanged();
            return 0;
        case kEditAt:
            session_.EditAt(static_cast<std::size_t>(wParam), static_cast<Side>(lParam));
            return 0;
        case kMeasured:
            if (session_.TakeMeasured()) SizeColumns();
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->hwndItem != notice_) break;
            DrawNoticeBar(*item, noticeBrush_, uiFont_, Scale(6));
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            const auto control = reinterpret_cast<HWND>(lParam);
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, Ref(ColourRole::Text));
            if (control == legendRemoved_ || control == legendAdded_ || control == notice_) {
                const ColourRole role = control == legendRemoved_ ? ColourRole::Removed
                                        : control == legendAdded_ ? ColourRole::Added
                                                                  : ColourRole::Notice;
                SetBkColor(dc, Ref(role));
                return reinterpret_cast<LRESULT>(control == legendRemoved_ ? removedBrush_.Get()
                                                 : control == legendAdded_ ? addedBrush_.Get()
                                                                           : noticeBrush_.Get());
            }
            if (control == message_ && session_.MessageIsError()) {
                SetTextColor(dc, Ref(ColourRole::Error));
            }
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_CLOSE:
            if (!session_.MayClose()) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace viewer

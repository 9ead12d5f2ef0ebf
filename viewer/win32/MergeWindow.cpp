#include "MergeWindow.h"

#include <algorithm>
#include <map>
#include <vector>

#include "AccessibleNames.h"
#include "AskBox.h"
#include "Clipboard.h"
#include "CommandBar.h"
#include "Fonts.h"
#include "InputBars.h"
#include "LineEditor.h"
#include "NoticeBar.h"
#include "OverviewStrip.h"
#include "StatusLayout.h"
#include "StripBands.h"
#include "Texts.h"
#include "WinText.h"
#include "WorkArea.h"
#include "platform/win32/ScreenReaderNames.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

constexpr wchar_t kClassName[] = L"DiffZarvoMerge";
constexpr wchar_t kStripClassName[] = L"DiffZarvoMergeStrip";
constexpr UINT_PTR kListSubclass = 1;
enum Child : int { kNames = 1, kList, kStrip, kStatus, kNotice, kReloadButton };

// A merge command's WM_COMMAND id.
constexpr WORD kFirstCommandId = 300;
WORD MergeCommandId(MergeCommand command) {
    return static_cast<WORD>(kFirstCommandId + static_cast<int>(command));
}
// An entry of a command's submenu of choices (MergeCommandInfo::choices).
constexpr WORD kFirstChoiceId = 0x5000;
constexpr WORD kMostChoices = 32;
WORD MergeChoiceId(MergeCommand command, std::size_t index) {
    return static_cast<WORD>(kFirstChoiceId + static_cast<int>(command) * kMostChoices + index);
}

}  // namespace

MergeWindow::MergeWindow(MergeSources sources, std::filesystem::path settingsFile)
    : MergeWindow(Merged(std::move(sources)), std::move(settingsFile)) {}

MergeWindow::MergeWindow(std::unique_ptr<MergedFiles> merged, std::filesystem::path settingsFile)
    : session_(std::move(merged), *this, std::move(settingsFile)) {
    Create(kClassName, CS_HREDRAW | CS_VREDRAW, 0, 1200, 760);
    FitToWorkArea(hwnd_, Scale(1200), Scale(760));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, DWORD style, int id, void* object = nullptr) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, object);
    };
    for (HWND& name : names_)
        name = child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, kNames);
    list_ = ListView(hwnd_, kList, WS_VISIBLE | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    SetWindowSubclass(list_, &ListProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    // Drawn by the window (WM_DRAWITEM) with a margin before its text, and clipped round its
    // button, which lies over it and would otherwise be painted over until the pointer passes.
    notice_ = child(L"STATIC", SS_OWNERDRAW | WS_CLIPSIBLINGS, kNotice);
    SetWindowTextW(notice_, Wide(texts::kChangedOnDisk).c_str());
    noticeButton_ = child(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kReloadButton);
    SetWindowTextW(noticeButton_, Wide(texts::kReloadButton).c_str());
    ShowWindow(notice_, SW_HIDE);
    ShowWindow(noticeButton_, SW_HIDE);
    noticeBrush_.Reset(CreateSolidBrush(Ref(ColourRole::Notice)));
    RegisterWindowClass({kStripClassName, &StripProcedure, CS_VREDRAW, false});
    strip_ = child(kStripClassName, 0, kStrip, this);
    SetWindowTextW(strip_, Wide(texts::kStripTip).c_str());
    status_ = child(STATUSCLASSNAMEW, 0, kStatus);
    std::vector<std::u16string> lineFiles;
    for (const MergeLineFile& file : MergeLineFiles()) lineFiles.push_back(file.label);
    bars_ = std::make_unique<InputBars>(hwnd_, std::move(lineFiles));
    NameForScreenReaders();

    for (std::size_t c = 0; c < kMergeColumns; ++c) {
        // The numbers to the right.
        list_.AddColumn(session_.ColumnTitle(static_cast<MergeColumn>(c)),
                        c % 2 == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
    editor_ = std::make_unique<LineEditor>(list_);
    MakeFonts(dpi());
    editor_->onTyped = [this](std::u16string text) { session_.Typed(text); };
    editor_->onFinish = [this](bool keep) {
        session_.FinishEdit(keep);
        UpdateCommands();
    };
    MakeCommands();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    Layout();
    session_.Open();
    UpdateWindow(hwnd_);
    SetFocus(list_);
}

MergeWindow::~MergeWindow() {
    // Going with the window, the editor's loss of focus ends no edit.
    editor_->onTyped = nullptr;
    editor_->onFinish = nullptr;
    watch_.reset();
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(strip_, GWLP_USERDATA, 0);
        RemoveWindowSubclass(list_, &ListProcedure, kListSubclass);
    }
    Destroy();
    if (keys_ != nullptr) DestroyAcceleratorTable(keys_);
}

HWND MergeWindow::editor() const { return editor_->hwnd(); }

void MergeWindow::MakeFonts(int dpi) {
    // The system's message font at this resolution, and the lines in a fixed-pitch Japanese
    // font, as the comparison window has them.
    uiFont_.Reset(platform::win32::MakeDefaultGuiFont(dpi));
    listFont_.Reset(MakeLinesFont(dpi));
    for (HWND name : names_)
        SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.Get()), TRUE);
    for (HWND control : {status_, notice_, noticeButton_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.Get()), TRUE);
    }
    bars_->SetFont(uiFont_);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.Get()), TRUE);
    editor_->SetFont(listFont_, 2);
}

// What a screen reader says of the parts that show no text of their own: the list is named by
// the window's title, each row by its cells, each file's after its title ("自分 5 mine"); the
// bars' fields by their labels. Asked through the handles only: a screen reader may ask after
// the window is gone.
void MergeWindow::NameForScreenReaders() {
    using platform::win32::NameForScreenReaders;
    NameForScreenReaders(list_, [list = list_.hwnd()](LONG child) {
        if (child == CHILDID_SELF) {
            wchar_t title[1024] = {};
            GetWindowTextW(GetParent(list), title, 1024);
            return std::wstring(title);
        }
        auto text = [&](int column) {
            wchar_t cell[1024] = {};
            ListView_GetItemText(list, child - 1, column, cell, 1024);
            return std::wstring(cell);
        };
        std::wstring name = text(0);  // the mark: "<", ">", "=", "!", "*"
        const int columns = Header_GetItemCount(ListView_GetHeader(list));
        for (int column = 2; column < columns; column += 2) {
            const std::wstring number = text(column - 1);
            if (number.empty()) continue;  // no line of this file on the row
            HDITEMW item{};
            wchar_t title[64] = {};
            item.mask = HDI_TEXT;
            item.pszText = title;
            item.cchTextMax = 64;
            Header_GetItem(ListView_GetHeader(list), column, &item);
            if (!name.empty()) name += L' ';
            name += std::wstring(title) + L' ' + number + L' ' + text(column);
        }
        return name;
    });
    NameFieldForScreenReaders(bars_->findText(), texts::kFindLabel);
    NameFieldForScreenReaders(bars_->lineFile(), texts::kLineLabel);
    NameFieldForScreenReaders(bars_->lineText(), texts::kLinePlaceholder);
}

void MergeWindow::ShowChangeNotice(bool shown) {
    ShowWindow(notice_, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(noticeButton_, shown ? SW_SHOW : SW_HIDE);
    Layout();
}

void MergeWindow::WatchFiles(const std::vector<std::filesystem::path>& files) {
    watch_.reset();
    ++watchGeneration_;
    watch_ = std::make_unique<FolderWatch>(hwnd_, kFilesChanged, watchGeneration_, files);
}

// The width of a control's text in its font.
int MergeWindow::TextWidthOf(HWND control) const {
    const platform::win32::WindowDC dc(control, uiFont_);
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return static_cast<int>(size.cx);
}

void MergeWindow::MakeCommands() {
    menu_ = CreateMenu();
    std::vector<ACCEL> keys;
    std::map<Menu, HMENU> menus;
    for (const MergeCommandInfo& info : MergeCommandTable()) {
        const HMENU submenu = MenuFor(menu_, menus, info.menu, info.separatorBefore);
        if (!info.choices.empty()) {
            const HMENU choices = CreatePopupMenu();
            for (std::size_t i = 0; i < info.choices.size(); ++i) {
                AppendMenuW(choices, MF_STRING, MergeChoiceId(info.command, i),
                            Wide(info.choices[i]).c_str());
            }
            AppendMenuW(submenu, MF_POPUP, reinterpret_cast<UINT_PTR>(choices),
                        Wide(info.label).c_str());
            continue;
        }
        AppendCommandItem(submenu, MergeCommandId(info.command), info.label, info.keys, keys);
    }
    SetMenu(hwnd_, menu_);
    keys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

bool MergeWindow::TranslateKeys(MSG& msg) {
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    // The editor keeps its own keys (Esc puts the line back rather than closing).
    if (editor_->open() && msg.hwnd == editor_->hwnd()) return false;
    // Enter in a bar finds or goes to the line (Esc closes the bar: the session's Close).
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && bars_->Owns(msg.hwnd)) {
        if (const WORD action = bars_->EnterIn(msg.hwnd); action != InputBars::kNone) {
            OnBarAction(action);
            return true;
        }
    }
    // A text field keeps the keys it edits with: Ctrl+Z undoes typing there, not the merge.
    wchar_t cls[16] = {};
    GetClassNameW(msg.hwnd, cls, 16);
    const bool editKey = msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
                         (msg.wParam == 'C' || msg.wParam == 'X' || msg.wParam == 'V' ||
                          msg.wParam == 'A' || msg.wParam == 'Z' || msg.wParam == 'Y');
    if (lstrcmpiW(cls, WC_EDITW) == 0 && editKey) return false;
    if (TranslateAcceleratorW(hwnd_, keys_, &msg) == 0) return false;
    // Alt+Left taken as a command is no press of Alt alone: the default procedure, which watches
    // for one (in Wine), must see the key, or letting go of Alt opens the menu bar.
    if (msg.message == WM_SYSKEYDOWN) DefWindowProcW(hwnd_, msg.message, msg.wParam, msg.lParam);
    return true;
}

void MergeWindow::UpdateCommands() {
    for (const MergeCommandInfo& info : MergeCommandTable()) {
        // A submenu's entries: the session's choice checked as a radio item.
        for (std::size_t i = 0; i < info.choices.size(); ++i) {
            const UINT check =
                i == session_.Chosen(info.command) ? MFT_RADIOCHECK | MF_CHECKED : MF_UNCHECKED;
            CheckMenuItem(menu_, MergeChoiceId(info.command, i), MF_BYCOMMAND | check);
        }
        if (!info.choices.empty()) continue;
        if (info.checkable) {
            CheckMenuItem(
                menu_, MergeCommandId(info.command),
                MF_BYCOMMAND | (session_.Checked(info.command) ? MF_CHECKED : MF_UNCHECKED));
        }
        EnableMenuItem(menu_, MergeCommandId(info.command),
                       MF_BYCOMMAND | (session_.Enabled(info.command) ? MF_ENABLED : MF_GRAYED));
    }
    DrawMenuBar(hwnd_);
}

void MergeWindow::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = static_cast<int>(client.right);
    SendMessageW(status_, WM_SIZE, 0, 0);
    SizeStatusParts();
    RECT statusArea{};
    GetWindowRect(status_, &statusArea);
    const int statusHeight = static_cast<int>(statusArea.bottom - statusArea.top);
    TEXTMETRICW text{};
    GetTextMetricsW(platform::win32::WindowDC(hwnd_, uiFont_), &text);
    const int margin = Scale(4);
    const int line = text.tmHeight + margin;
    for (int i = 0; i < 4; ++i) {
        MoveWindow(names_[i], margin + (i % 2) * (width / 2), margin / 2 + (i / 2) * line,
                   width / 2 - 2 * margin, line, TRUE);
    }
    int top = 2 * line + margin;
    if (IsWindowVisible(notice_)) {
        // The notice across the window under the names, its button at its right end.
        const int buttonWidth = TextWidthOf(noticeButton_) + 6 * margin;
        MoveWindow(notice_, 0, top, width, line + 2 * margin, TRUE);
        MoveWindow(noticeButton_, std::max(0, width - buttonWidth - margin), top + margin / 2,
                   buttonWidth, line + margin, TRUE);
        SetWindowPos(noticeButton_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        top += line + 2 * margin + margin / 2;
    }
    const int stripWidth = Scale(16);
    const int barHeight = bars_->Place(0, width, Scale(3));
    const int height =
        std::max(0, static_cast<int>(client.bottom) - statusHeight - barHeight - top);
    if (barHeight > 0) bars_->Place(top + height, width, Scale(3));
    MoveWindow(list_, 0, top, std::max(0, width - stripWidth), height, TRUE);
    MoveWindow(strip_, std::max(0, width - stripWidth), top, stripWidth, height, TRUE);
    SizeColumns();
}

ListMetrics MergeWindow::Metrics() const {
    const int digit = TextWidth(platform::win32::WindowDC(list_, listFont_), u"0");
    RECT client{};
    GetClientRect(list_, &client);
    return {static_cast<double>(digit), 3 * digit / 2,
            static_cast<int>(client.right) - GetSystemMetrics(SM_CXVSCROLL)};
}

void MergeWindow::SizeColumns() {
    // The four files share the width; a longer line widens its file, and the list scrolls.
    const std::array<int, kMergeColumns> widths = session_.ColumnWidths(Metrics());
    for (std::size_t c = 0; c < kMergeColumns; ++c) {
        ListView_SetColumnWidth(list_, static_cast<int>(c), widths[c]);
    }
}

void MergeWindow::Redraw() {
    list_.SetRowCount(session_.RowCount());
    const MergeColumn named[] = {MergeColumn::Mine, MergeColumn::Base, MergeColumn::Theirs,
                                 MergeColumn::Result};
    for (int i = 0; i < 4; ++i) SetWindowTextW(names_[i], W(session_.HeaderLine(named[i])));
    SizeColumns();
    InvalidateRect(list_, nullptr, FALSE);
    InvalidateRect(strip_, nullptr, TRUE);
    UpdateCommands();
}

void MergeWindow::ScrollTo(std::size_t row, std::size_t column) {
    const int item = static_cast<int>(row);
    moving_ = true;
    list_.SelectOnly(item);
    // The row in the middle of the list, up and down.
    const int visible = std::max(1, ListView_GetCountPerPage(list_));
    const int top = ListView_GetTopIndex(list_);
    RECT rowArea{};
    ListView_GetItemRect(list_, 0, &rowArea, LVIR_BOUNDS);
    const int rowHeight = std::max(1, static_cast<int>(rowArea.bottom - rowArea.top));
    ListView_Scroll(list_, 0, (std::max(0, item - visible / 2) - top) * rowHeight);
    ListView_EnsureVisible(list_, item, FALSE);
    // Sideways, to MINE's text when it is off screen.
    int columnLeft = 0;
    for (int c = 0; c < static_cast<int>(MergeColumn::Mine); ++c) {
        columnLeft += ListView_GetColumnWidth(list_, c);
    }
    ListView_GetItemRect(list_, item, &rowArea, LVIR_BOUNDS);
    const int scrolled = -static_cast<int>(rowArea.left);
    const int want = SidewaysScroll(columnLeft, column, Metrics(), scrolled);
    if (want != scrolled) ListView_Scroll(list_, want - scrolled, 0);
    moving_ = false;
    UpdateCommands();
}

void MergeWindow::ShowStatus(const StatusMessage& message) {
    SizeStatusParts();
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(message.text)));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(W(session_.CountText())));
    InvalidateRect(list_, nullptr, FALSE);
}

// The count of conflicts left keeps its whole width at the right; the message takes the rest.
void MergeWindow::SizeStatusParts() {
    RECT client{};
    GetClientRect(status_, &client);
    const int count =
        TextWidth(platform::win32::WindowDC(status_, uiFont_), session_.CountText()) + Scale(16);
    const StatusLayout parts = LayOutStatus(static_cast<int>(client.right) - Scale(16), 0, count);
    const int rights[] = {parts.hiddenRight, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
}

void MergeWindow::ShowBar(Bar bar) {
    bars_->Show(bar);
    Layout();
    if (bar == Bar::None) SetFocus(list_);
}

void MergeWindow::OnBarAction(WORD action) {
    switch (action) {
        case InputBars::kFindNext:
        case InputBars::kFindPrevious:
            session_.SetFindText(bars_->FindText());
            session_.Find(action == InputBars::kFindNext);
            return;
        case InputBars::kGoToLine:
            session_.GoToLine(MergeLineFiles()[bars_->LineFile()].file, bars_->LineText());
            if (session_.status().kind != StatusKind::Warning) SetFocus(list_);
            return;
        case InputBars::kCloseBar:
            session_.CloseBar();
            return;
    }
}

void MergeWindow::SetTitle(const std::u16string& title) { SetWindowTextW(hwnd_, W(title)); }

void MergeWindow::CopyToClipboard(const std::u16string& text) { CopyText(hwnd_, text); }

void MergeWindow::CloseWindow() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

Answer MergeWindow::Ask(const Question& question) { return AskBox(hwnd_, question); }

void MergeWindow::OpenEditor(std::size_t row, std::size_t column, const std::u16string& text) {
    editRow_ = row;
    ListView_EnsureVisible(list_, static_cast<int>(row), FALSE);
    RECT area{};
    ListView_GetSubItemRect(list_, static_cast<int>(row), static_cast<int>(column), LVIR_BOUNDS,
                            &area);
    editor_->Open(area, text);
}

void MergeWindow::CloseEditor() { editor_->Close(); }

void MergeWindow::MeasuredInBackground() {
    // A message of the window's own thread; none once the window is gone.
    PostMessageW(hwnd_, kMeasured, 0, 0);
}

LRESULT MergeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            SetFocus(list_);
            return 0;
        case kFilesChanged:
            if (wParam == watchGeneration_) session_.FilesChanged();
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
        case WM_COMMAND:
            if (lParam != 0 && reinterpret_cast<HWND>(lParam) == noticeButton_) {
                session_.Run(MergeCommand::Reload);
                UpdateCommands();
                return 0;
            }
            if (LOWORD(wParam) >= InputBars::kFindPrevious &&
                LOWORD(wParam) <= InputBars::kCloseBar) {
                OnBarAction(LOWORD(wParam));
                return 0;
            }
            for (const MergeCommandInfo& info : MergeCommandTable()) {
                for (std::size_t i = 0; i < info.choices.size(); ++i) {
                    if (LOWORD(wParam) != MergeChoiceId(info.command, i)) continue;
                    session_.Choose(info.command, i);
                    UpdateCommands();
                    return 0;
                }
                if (LOWORD(wParam) != MergeCommandId(info.command)) continue;
                // What the find bar holds now is what is found.
                if (bars_->shown() == Bar::Find) session_.SetFindText(bars_->FindText());
                session_.Run(info.command);
                UpdateCommands();
                return 0;
            }
            break;
        case WM_NOTIFY:
            return Notify(reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            if (session_.MayClose()) DestroyWindow(hwnd_);
            return 0;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT MergeWindow::Notify(NMHDR* header) {
    if (header->hwndFrom != list_) return 0;
    const auto cellText = [this](std::size_t row, int column) {
        return session_.CellAt(row, static_cast<MergeColumn>(column)).text;
    };
    if (list_.GiveText(header, cellText)) return 0;
    switch (header->code) {
        case NM_CUSTOMDRAW:
            return ListView::CustomDraw(header, true, [this](NMLVCUSTOMDRAW& draw) {
                // Each row in its colour: whose change, a conflict unresolved or resolved.
                const MergeCell cell =
                    session_.CellAt(draw.nmcd.dwItemSpec, static_cast<MergeColumn>(draw.iSubItem));
                draw.clrTextBk = Ref(cell.background);
                draw.clrText = Ref(ColourRole::Text);
                return CDRF_NEWFONT;
            });
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if (!moving_ && change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED) != 0) {
                session_.SetCurrent(static_cast<std::size_t>(change->iItem));
                UpdateCommands();
            }
            return 0;
        }
        case NM_DBLCLK: {
            const auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
            if (click->iItem < 0 || click->iSubItem != static_cast<int>(MergeColumn::Result))
                return 0;
            session_.SetCurrent(static_cast<std::size_t>(click->iItem));
            session_.Run(MergeCommand::EditLine);
            return 0;
        }
    }
    return 0;
}

LRESULT CALLBACK MergeWindow::ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
    auto* window = reinterpret_cast<MergeWindow*>(data);
    // The editor is the list's child: what it says comes here.
    if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == window->editor_->hwnd()) {
        window->editor_->Notified(HIWORD(wParam));
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MergeWindow::StripProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* window = ObjectOf<MergeWindow>(hwnd, message, lParam);
    if (window != nullptr && message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        RECT area{};
        GetClientRect(hwnd, &area);
        window->PaintStrip(dc, area);
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (window != nullptr && message == WM_LBUTTONDOWN) {
        RECT area{};
        GetClientRect(hwnd, &area);
        window->session_.ClickStrip(static_cast<short>(HIWORD(lParam)), area.bottom);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void MergeWindow::PaintStrip(HDC dc, const RECT& area) {
    PaintStripBands(dc, area, StripBands(session_, area.bottom));
}

}  // namespace viewer

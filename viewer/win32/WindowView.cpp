// What the window does when its session asks (SessionView): redraw, go to a row, say something
// in the status bar, copy, show a bar or the notice, watch the files, edit a line, ask, run long
// work, close.
#include <algorithm>
#include <vector>

#include "AskBox.h"
#include "Clipboard.h"
#include "CommandBar.h"
#include "FolderWatch.h"
#include "InputBars.h"
#include "LineEditor.h"
#include "OverviewStrip.h"
#include "Progress.h"
#include "StatusLayout.h"
#include "ViewerWindow.h"
#include "WinText.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

void ViewerWindow::Redraw() {
    const bool rows = session_.ShowsRows();
    SetTitle(session_.Title());
    SetWindowTextW(firstName_, W(session_.HeaderLine(Side::First)));
    SetWindowTextW(secondName_, W(session_.HeaderLine(Side::Second)));
    ShowWindow(legendRemoved_, rows ? SW_SHOW : SW_HIDE);
    ShowWindow(legendAdded_, rows ? SW_SHOW : SW_HIDE);
    const std::u16string message = session_.Message();
    SetWindowTextW(message_, W(message));
    ShowWindow(message_, message.empty() ? SW_HIDE : SW_SHOW);
    // Only a message to show: keep it under the header, and drop the rows and their tools.
    ShowWindow(commands_->toolbar(), rows ? SW_SHOW : SW_HIDE);
    ShowWindow(strip_->hwnd(), rows ? SW_SHOW : SW_HIDE);
    const bool hadFocus = GetFocus() == list_;
    moving_ = true;
    list_.ClearSelection();
    MakeColumns();
    list_.SetRowCount(session_.RowCount());
    // The list's keys go on from the session's row.
    if (const std::optional<std::size_t> current = session_.CurrentViewRow()) {
        list_.SelectOnly(static_cast<int>(*current));
    }
    moving_ = false;
    ShowWindow(list_, rows ? SW_SHOW : SW_HIDE);
    if (!rows && hadFocus) SetFocus(hwnd_);
    commands_->Update(session_);
    Layout();
    ShowStatus(session_.status());
}

void ViewerWindow::ScrollTo(std::size_t viewRow, std::size_t column) {
    if (viewRow >= session_.RowCount()) return;
    const int row = static_cast<int>(viewRow);
    moving_ = true;
    list_.SelectOnly(row);
    moving_ = false;
    // Up and down, the row in the middle of the list.
    RECT item{};
    ListView_GetItemRect(list_, row, &item, LVIR_BOUNDS);
    const int height = std::max(1, static_cast<int>(item.bottom - item.top));
    const int perPage = ListView_GetCountPerPage(list_);
    const int top = std::max(0, row - perPage / 2);
    ListView_Scroll(list_, 0, (top - ListView_GetTopIndex(list_)) * height);
    // Sideways, only when the cell is off screen.
    const std::vector<Column>& columns = session_.Columns();
    int columnLeft = 0;
    for (std::size_t c = 0; c < columns.size() && !columns[c].content; ++c) {
        columnLeft += ListView_GetColumnWidth(list_, static_cast<int>(c));
    }
    const int scrolled = -static_cast<int>(item.left);
    const int want = SidewaysScroll(columnLeft, column, Metrics(), scrolled);
    if (want != scrolled) ListView_Scroll(list_, want - scrolled, 0);
    InvalidateRect(list_, nullptr, FALSE);
    UpdateStrip();
}

void ViewerWindow::ShowStatus(const StatusMessage& message) {
    SizeStatusParts();
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(message.text)));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(W(session_.HiddenNote())));
    SendMessageW(status_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(W(session_.CountText())));
    commands_->Update(session_);
}

void ViewerWindow::SizeStatusParts() {
    const std::u16string hidden = session_.HiddenNote();
    const std::u16string count = session_.CountText();
    RECT client{};
    GetClientRect(status_, &client);
    const platform::win32::WindowDC dc(status_, uiFont_);
    const int pad = Scale(16);
    const int countWidth = TextWidth(dc, count) + pad;
    const int hiddenWidth = hidden.empty() ? 0 : TextWidth(dc, hidden) + pad;
    const StatusLayout parts =
        LayOutStatus(static_cast<int>(client.right) - Scale(16), hiddenWidth, countWidth);
    const int rights[] = {parts.messageRight, parts.hiddenRight, -1};
    SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights));
}

void ViewerWindow::SetTitle(const std::u16string& title) { SetWindowTextW(hwnd_, W(title)); }

void ViewerWindow::CopyToClipboard(const std::u16string& text) { CopyText(hwnd_, text); }

void ViewerWindow::ShowBar(Bar bar) {
    bars_->Show(bar);
    Layout();
    if (bar == Bar::None && IsWindowVisible(list_)) SetFocus(list_);
}

void ViewerWindow::ShowChangeNotice(bool shown) {
    ShowWindow(notice_, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(noticeButton_, shown ? SW_SHOW : SW_HIDE);
    Layout();
}

void ViewerWindow::WatchFiles(const std::vector<std::filesystem::path>& files) {
    watch_.reset();
    ++watchGeneration_;
    watch_ = std::make_unique<FolderWatch>(hwnd_, kFilesChanged, watchGeneration_, files);
}

void ViewerWindow::CloseWindow() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

Answer ViewerWindow::Ask(const Question& question) { return AskBox(hwnd_, question); }

RECT ViewerWindow::EditorArea() const {
    RECT area{};
    const int row = static_cast<int>(editRow_);
    const int column = static_cast<int>(editColumn_);
    ListView_GetSubItemRect(list_, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &area);
    RECT client{};
    GetClientRect(list_, &client);
    area.left = std::max(area.left, client.left);
    area.right = std::min(area.right, client.right);
    // The frame's pixel above and below the row, so that the text has the row's height.
    InflateRect(&area, 0, 1);
    return area;
}

void ViewerWindow::OpenEditor(std::size_t viewRow, std::size_t column, const std::u16string& text) {
    editRow_ = viewRow;
    editColumn_ = column;
    moving_ = true;
    ListView_EnsureVisible(list_, static_cast<int>(viewRow), FALSE);
    moving_ = false;
    editor_->Open(EditorArea(), text);
}

void ViewerWindow::MoveEditor(std::size_t viewRow) {
    editRow_ = viewRow;
    moving_ = true;  // scrolled by us: no scroll of the user's, which would end the edit
    ListView_EnsureVisible(list_, static_cast<int>(viewRow), FALSE);
    moving_ = false;
    editor_->Place(EditorArea());
}

void ViewerWindow::CloseEditor() { editor_->Close(); }

std::optional<Comparison> ViewerWindow::RunLong(
    const std::function<Comparison(const CancelFlag*)>& work) {
    return RunWithProgress(hwnd_, work);
}

void ViewerWindow::MeasuredInBackground() {
    // A message of the window's own thread; none once the window is gone.
    PostMessageW(hwnd_, kMeasured, 0, 0);
}

}  // namespace viewer

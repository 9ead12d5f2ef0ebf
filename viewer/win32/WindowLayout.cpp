// The window's layout: the columns of the view shown, sized by their cells, and every part of
// the window placed for its size and resolution; the strip's bands where the session puts them.
#include <algorithm>

#include "CommandBar.h"
#include "InputBars.h"
#include "ListLayout.h"
#include "OverviewStrip.h"
#include "ViewerWindow.h"
#include "WinText.h"
#include "platform/win32/GdiHandles.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

void ViewerWindow::MakeColumns() {
    const std::vector<Column>& columns = session_.Columns();
    list_.RemoveColumns();
    for (const Column& column : columns) {
        list_.AddColumn(column.title, column.align == Align::Left     ? LVCFMT_LEFT
                                      : column.align == Align::Center ? LVCFMT_CENTER
                                                                      : LVCFMT_RIGHT);
    }
    columnCount_ = columns.size();
}

ListMetrics ViewerWindow::Metrics() const {
    RECT client{};
    GetClientRect(list_, &client);
    // The header draws a title 3 edges in from each side of its item, inside a divider of one
    // edge, and cuts it to "..." where that room is short.
    const int edge = GetSystemMetrics(SM_CXEDGE);
    return {static_cast<double>(cellWidth_), textMargin(), static_cast<int>(client.right),
            7 * edge};
}

// Numbers and marks as wide as their cells; content fills the rest of the list, and one list's
// content is as wide as its widest line, which then scrolls sideways.
void ViewerWindow::SizeColumns() {
    if (columnCount_ == 0 || !session_.ShowsRows()) return;
    const std::vector<int> widths = FitColumns(session_, Metrics());
    for (std::size_t c = 0; c < widths.size() && c < columnCount_; ++c) {
        ListView_SetColumnWidth(list_, static_cast<int>(c), widths[c]);
    }
    InvalidateRect(list_, nullptr, FALSE);
}

void ViewerWindow::Layout() {
    if (status_ == nullptr) return;  // sized before its controls exist
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = static_cast<int>(client.right);
    SendMessageW(status_, WM_SIZE, 0, 0);
    SizeStatusParts();
    RECT statusRect;
    GetWindowRect(status_, &statusRect);
    const int bottom = static_cast<int>(client.bottom) - (statusRect.bottom - statusRect.top);

    const platform::win32::WindowDC dc(hwnd_, uiFont_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight + metrics.tmExternalLeading;
    const int margin = Scale(6);
    const int inner = std::max(0, width - 2 * margin);
    int y = commands_->Place(width) + margin / 2;
    MoveWindow(firstName_, margin, y, inner, line, TRUE);
    y += line;
    MoveWindow(secondName_, margin, y, inner, line, TRUE);
    y += line + margin / 2;
    if (IsWindowVisible(legendRemoved_)) {
        const int removed = TextWidth(dc, KindLegend(RowKind::Removed));
        MoveWindow(legendRemoved_, margin, y, removed, line, TRUE);
        MoveWindow(legendAdded_, 2 * margin + removed, y, TextWidth(dc, KindLegend(RowKind::Added)),
                   line, TRUE);
        y += line + margin / 2;
    }
    if (IsWindowVisible(message_)) {
        RECT text{0, 0, inner, 0};
        const std::wstring shown = platform::win32::WindowText(message_);
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        MoveWindow(message_, margin, y, inner, text.bottom, TRUE);
        y += text.bottom + margin;
    }
    if (IsWindowVisible(notice_)) {
        const std::wstring button = platform::win32::WindowText(noticeButton_);
        SIZE size{};
        GetTextExtentPoint32W(dc, button.c_str(), static_cast<int>(button.size()), &size);
        const int height = line + 2 * margin;
        const int buttonWidth = size.cx + 4 * margin;
        MoveWindow(notice_, 0, y, width, height, TRUE);
        MoveWindow(noticeButton_, width - buttonWidth - margin, y + margin / 2, buttonWidth,
                   height - margin, TRUE);
        SetWindowPos(noticeButton_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        y += height + margin / 2;
    }

    const int barHeight = bars_->Place(0, width, margin / 2);
    const int rowsBottom = bottom - barHeight;
    if (barHeight > 0) bars_->Place(rowsBottom, width, margin / 2);
    const int stripWidth = Scale(16);
    if (IsWindowVisible(list_)) {
        MoveWindow(list_, 0, y, std::max(0, width - stripWidth - 2), std::max(0, rowsBottom - y),
                   TRUE);
        MoveWindow(strip_->hwnd(), width - stripWidth, y, stripWidth, std::max(0, rowsBottom - y),
                   TRUE);
        SizeColumns();
        UpdateStrip();
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ViewerWindow::UpdateStrip() {
    if (!session_.ShowsRows()) return;
    RECT client{};
    GetClientRect(strip_->hwnd(), &client);
    const auto first = static_cast<std::size_t>(std::max(0, ListView_GetTopIndex(list_)));
    const auto count = static_cast<std::size_t>(std::max(0, ListView_GetCountPerPage(list_)));
    strip_->Set(StripBands(session_, client.bottom),
                FrameOfRows(session_, first, count, client.bottom));
}

}  // namespace viewer

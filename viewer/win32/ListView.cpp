#include "ListView.h"

#include "WinText.h"

namespace viewer {

ListView::ListView(HWND parent, int id, DWORD style)
    : hwnd_(CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | style, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr)) {
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

void ListView::AddColumn(std::u16string_view title, int format) {
    std::wstring text = Wide(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.fmt = format;
    column.cx = 40;
    column.pszText = text.data();
    ListView_InsertColumn(hwnd_, ColumnCount(), &column);
}

void ListView::RemoveColumns() {
    for (int column = ColumnCount(); column > 0; --column) ListView_DeleteColumn(hwnd_, column - 1);
}

int ListView::ColumnCount() const { return Header_GetItemCount(ListView_GetHeader(hwnd_)); }

void ListView::SetRowCount(std::size_t rows) {
    ListView_SetItemCountEx(hwnd_, static_cast<int>(rows), 0);
}

std::vector<std::pair<std::size_t, std::size_t>> ListView::SelectedRuns() const {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    // All of them (Shift+End from the top of millions of rows) without asking row by row.
    const int rows = ListView_GetItemCount(hwnd_);
    if (rows > 0 && ListView_GetSelectedCount(hwnd_) == static_cast<UINT>(rows)) {
        runs.emplace_back(0, static_cast<std::size_t>(rows) - 1);
        return runs;
    }
    for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED)) {
        const auto at = static_cast<std::size_t>(row);
        if (!runs.empty() && runs.back().second + 1 == at) {
            runs.back().second = at;
        } else {
            runs.emplace_back(at, at);
        }
    }
    return runs;
}

void ListView::ClearSelection() {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::SelectOnly(int row) {
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    ClearSelection();
    ListView_SetItemState(hwnd_, row, both, both);
    ListView_SetSelectionMark(hwnd_, row);
}

bool ListView::GiveText(NMHDR* header,
                        const std::function<std::u16string(std::size_t row, int column)>& text) {
    if (header->hwndFrom != hwnd_ || header->code != LVN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if ((info->item.mask & LVIF_TEXT) == 0 || info->item.iItem < 0) return true;
    text_ = Wide(text(static_cast<std::size_t>(info->item.iItem), info->item.iSubItem));
    info->item.pszText = text_.data();
    return true;
}

LRESULT ListView::CustomDraw(NMHDR* header, bool cells,
                             const std::function<LRESULT(NMLVCUSTOMDRAW& draw)>& draw) {
    auto* custom = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (custom->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return cells ? CDRF_NOTIFYSUBITEMDRAW : draw(*custom);
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            return cells ? draw(*custom) : CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

}  // namespace viewer

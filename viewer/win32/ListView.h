// The windows' lists: an owner-data list view in report view, whole rows selected, that asks its
// owner for each cell's text as it draws it. Stands for its HWND where one is wanted.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace viewer {

class ListView {
public:
    ListView() = default;
    // A child of `parent` with the id `id`; `style` adds to the list's own (WS_VISIBLE,
    // LVS_SINGLESEL, LVS_SHOWSELALWAYS).
    ListView(HWND parent, int id, DWORD style);

    HWND hwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // A column at the end, aligned by `format` (LVCFMT_LEFT, _RIGHT, _CENTER).
    void AddColumn(std::u16string_view title, int format = LVCFMT_LEFT);
    void RemoveColumns();
    int ColumnCount() const;
    void SetRowCount(std::size_t rows);

    // The selected rows, as runs of rows next to each other, first to last.
    std::vector<std::pair<std::size_t, std::size_t>> SelectedRuns() const;
    // Nothing selected, and no row with the focus.
    void ClearSelection();
    // Only `row` selected, with the focus and the mark a Shift+click extends from.
    void SelectOnly(int row);

    // LVN_GETDISPINFO: the cell's text from `text`, kept until the next one is asked for. False
    // for any other notification.
    bool GiveText(NMHDR* header,
                  const std::function<std::u16string(std::size_t row, int column)>& text);
    // NM_CUSTOMDRAW: `draw` asked for each row, or for each cell of it when `cells`; it returns
    // what the list is to do (CDRF_SKIPDEFAULT where it painted the row itself).
    static LRESULT CustomDraw(NMHDR* header, bool cells,
                              const std::function<LRESULT(NMLVCUSTOMDRAW& draw)>& draw);

private:
    HWND hwnd_ = nullptr;
    std::wstring text_;  // the text last handed to the list view
};

}  // namespace viewer

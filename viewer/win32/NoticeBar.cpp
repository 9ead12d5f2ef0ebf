#include "NoticeBar.h"

#include <string>

#include "WinText.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

void DrawNoticeBar(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font, int indent) {
    FillRect(item.hDC, &item.rcItem, background);
    const std::wstring text = platform::win32::WindowText(item.hwndItem);
    RECT area = item.rcItem;
    area.left += indent;
    HGDIOBJ oldFont = SelectObject(item.hDC, font);
    SetTextColor(item.hDC, Ref(ColourRole::Text));
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, oldFont);
}

}  // namespace viewer

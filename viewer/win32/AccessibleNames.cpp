#include "AccessibleNames.h"

#include <commctrl.h>

#include <string>

#include "WinText.h"
#include "platform/win32/ScreenReaderNames.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

void NameListForScreenReaders(HWND list) {
    platform::win32::NameForScreenReaders(list, [list](LONG child) {
        if (child == CHILDID_SELF) return platform::win32::WindowText(GetParent(list));
        std::wstring name;
        const int columns = Header_GetItemCount(ListView_GetHeader(list));
        for (int column = 0; column < columns; ++column) {
            wchar_t text[1024] = {};
            ListView_GetItemText(list, child - 1, column, text, 1024);
            if (text[0] == L'\0') continue;
            if (!name.empty()) name += L' ';
            name += text;
        }
        return name;
    });
}

void NameFieldForScreenReaders(HWND field, std::u16string_view label) {
    std::wstring name = Wide(label);
    while (!name.empty() && (name.back() == L':' || name.back() == L' ')) name.pop_back();
    platform::win32::NameForScreenReaders(field, [name = std::move(name)](LONG child) {
        return child == CHILDID_SELF ? name : std::wstring();
    });
}

}  // namespace viewer

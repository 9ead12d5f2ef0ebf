#include "Clipboard.h"

#include <algorithm>

namespace viewer {

void CopyText(HWND owner, const std::u16string& text) {
    std::wstring copied;
    for (const char16_t c : text) {
        if (c == u'\n') copied += L'\r';
        copied += static_cast<wchar_t>(c);
    }
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    const SIZE_T bytes = (copied.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes); memory != nullptr) {
        std::copy_n(copied.c_str(), copied.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
}

}  // namespace viewer

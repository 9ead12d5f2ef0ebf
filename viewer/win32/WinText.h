// The session's UTF-16 texts as the wide strings of Win32, which are UTF-16 too.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "Look.h"

namespace viewer {

inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline COLORREF Ref(Rgb colour) { return RGB(colour.r, colour.g, colour.b); }
inline COLORREF Ref(ColourRole role) { return Ref(Colour(role)); }

// How wide a text is drawn in the font selected into `dc`.
inline int TextWidth(HDC dc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                          static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace viewer

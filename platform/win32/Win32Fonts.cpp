// Win32 backend: fonts by name at their point sizes for the window's DPI, falling back to the
// system's Japanese font, and the system's message font for the other controls, at a size that
// draws an underscore.
#include <algorithm>
#include <cmath>
#include <cwchar>

#include "Win32Internal.h"

namespace platform::win32 {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool HasFamily(const wchar_t* family, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    wcsncpy(query.lfFaceName, family, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

int CALLBACK TakeFirstHorizontal(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) {
    if (font->lfFaceName[0] == L'@') return 1;  // vertical variants lie on their side
    *reinterpret_cast<std::wstring*>(out) = font->lfFaceName;
    return 0;
}

// The Japanese UI fonts of Windows, newest first, then any font the system has for Japanese.
std::wstring JapaneseFallback() {
    for (const wchar_t* preferred : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"MS PGothic",
                                     L"IPAPGothic", L"Noto Sans CJK JP"}) {
        if (HasFamily(preferred, SHIFTJIS_CHARSET)) return preferred;
    }
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    std::wstring any;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, TakeFirstHorizontal, reinterpret_cast<LPARAM>(&any), 0);
    ReleaseDC(nullptr, screen);
    return any;
}

// Whether `font` draws any ink for an underscore.
bool DrawsUnderscore(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int width = std::max(8, static_cast<int>(metrics.tmMaxCharWidth) * 2);
    const int height = std::max(8, static_cast<int>(metrics.tmHeight) * 2);
    HBITMAP bitmap = CreateBitmap(width, height, 1, 1, nullptr);  // black and white
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, width / 4, 0, L"_", 1);
    bool ink = false;
    for (int y = 0; y < height && !ink; ++y) {
        for (int x = 0; x < width && !ink; ++x) ink = GetPixel(dc, x, y) != RGB(255, 255, 255);
    }
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ink;
}

int HeightFor(double points, int dpi) {
    return -static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace

int DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

HFONT MakeNamedFont(const FontSpec& design, int dpi) {
    LOGFONTW font{};
    font.lfHeight = HeightFor(design.points, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wstring family = design.family;
    if (!HasFamily(design.family, SHIFTJIS_CHARSET)) family = JapaneseFallback();
    wcsncpy(font.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

HFONT MakeFontDrawingUnderscores(const LOGFONTW& wanted) {
    LOGFONTW font = wanted;
    HFONT made = CreateFontIndirectW(&font);
    for (int grown = 1; grown <= 4 && !DrawsUnderscore(made); ++grown) {
        font.lfHeight = wanted.lfHeight < 0 ? wanted.lfHeight - grown : wanted.lfHeight + grown;
        DeleteObject(made);
        made = CreateFontIndirectW(&font);
    }
    if (DrawsUnderscore(made)) return made;
    DeleteObject(made);
    return CreateFontIndirectW(&wanted);
}

HFONT MakeDefaultGuiFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto parametersForDpi = reinterpret_cast<ParametersForDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    bool found = false;
    if (parametersForDpi != nullptr) {
        found = parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                 static_cast<UINT>(dpi));
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        // The system DPI's metrics, scaled to this window's.
        HDC screen = GetDC(nullptr);
        const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
        found = true;
    }
    LOGFONTW font = metrics.lfMessageFont;
    if (!found) {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfHeight = MulDiv(font.lfHeight, dpi, USER_DEFAULT_SCREEN_DPI);
    }
    // The texts are Japanese: a message font without Japanese letters (a Western system) gives
    // way to the system's Japanese font at the same height.
    if (!HasFamily(font.lfFaceName, SHIFTJIS_CHARSET)) {
        const std::wstring fallback = JapaneseFallback();
        if (!fallback.empty()) {
            wcsncpy(font.lfFaceName, fallback.c_str(), LF_FACESIZE - 1);
            font.lfCharSet = SHIFTJIS_CHARSET;
        }
    }
    return MakeFontDrawingUnderscores(font);
}

}  // namespace platform::win32

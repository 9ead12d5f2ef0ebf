#include "Fonts.h"

#include "platform/win32/WindowBasics.h"

namespace viewer {

HFONT MakeLinesFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(10, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
    return platform::win32::MakeFontDrawingUnderscores(font);
}

}  // namespace viewer

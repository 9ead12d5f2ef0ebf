// What the tests of underscores share: the system's message font in a Japanese face, and where
// two paintings of a name, with an underscore and with a blank in its place, first differ.
#pragma once

#include <windows.h>

namespace testsupport {

// The system's message font in another face for as long as it lives; the one before after. The
// setting is the whole session's: this holds because the Wine tests run one at a time.
class MessageFontFace {
public:
    explicit MessageFontFace(const wchar_t* face) {
        before_.cbSize = sizeof before_;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof before_, &before_, 0);
        NONCLIENTMETRICSW changed = before_;
        lstrcpynW(changed.lfMessageFont.lfFaceName, face, LF_FACESIZE);
        changed.lfMessageFont.lfCharSet = SHIFTJIS_CHARSET;
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0);
    }
    ~MessageFontFace() {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof before_, &before_, 0);
    }
    MessageFontFace(const MessageFontFace&) = delete;
    MessageFontFace& operator=(const MessageFontFace&) = delete;

private:
    NONCLIENTMETRICSW before_{};
};

// The pixels of the first column, from the left, where two rectangles of `dc` of one size
// differ: those above the middle of their height (where no underscore reaches) and below it.
// A proportional font moves the letters after an underscore, which is wider or narrower than a
// blank: they differ too, but further right.
struct Difference {
    int above = 0;
    int below = 0;
};

inline Difference FirstDifference(HDC dc, const RECT& with, const RECT& without) {
    const int height = with.bottom - with.top;
    for (int x = 0; x < with.right - with.left; ++x) {
        Difference column;
        for (int y = 0; y < height; ++y) {
            if (GetPixel(dc, with.left + x, with.top + y) ==
                GetPixel(dc, without.left + x, without.top + y)) {
                continue;
            }
            ++(y < height / 2 ? column.above : column.below);
        }
        if (column.above + column.below > 0) return column;
    }
    return {};
}

}  // namespace testsupport

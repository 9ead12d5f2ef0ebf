// A strip beside the rows that shows where every difference of the whole comparison lies: bands
// on its left half, its right half or across, and the rows on screen as a frame. A click tells
// the owner the height clicked. Where the bands go is the session's to say (StripBands.h).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "StripBands.h"

namespace viewer {

// The strip's background over `client`, and the bands (both windows' strips).
void PaintStripBands(HDC dc, const RECT& client, const std::vector<StripBand>& bands);

class OverviewStrip {
public:
    // A child of `parent` named `name` for screen readers and in its tip.
    OverviewStrip(HWND parent, int id, const std::wstring& name);
    ~OverviewStrip();
    OverviewStrip(const OverviewStrip&) = delete;
    OverviewStrip& operator=(const OverviewStrip&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The bands, and the frame (none: every row is on screen).
    void Set(std::vector<StripBand> bands, std::optional<StripFrame> frame);
    // Called with the height clicked and the strip's height.
    std::function<void(int y, int height)> onClick;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc, const RECT& client) const;

    HWND hwnd_ = nullptr;
    HWND tip_ = nullptr;
    std::wstring name_;
    std::vector<StripBand> bands_;
    std::optional<StripFrame> frame_;
};

}  // namespace viewer

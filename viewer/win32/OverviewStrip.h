// A strip beside the rows that shows where every difference of the whole comparison lies: bands
// on its left half, its right half or across, and the rows on screen as a frame. A click tells
// the owner the height clicked. Where the bands go is the owner's to say.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace viewer {

class OverviewStrip {
public:
    enum class Half { Left, Right, Whole };
    struct Band {
        int top = 0;  // client pixels
        int bottom = 0;
        Half half = Half::Whole;
        COLORREF colour = 0;
    };
    struct Look {
        COLORREF background = 0;
        COLORREF frame = 0;
    };

    // A child of `parent` named `name` for screen readers and in its tip.
    OverviewStrip(HWND parent, int id, const std::wstring& name);
    ~OverviewStrip();
    OverviewStrip(const OverviewStrip&) = delete;
    OverviewStrip& operator=(const OverviewStrip&) = delete;

    HWND hwnd() const { return hwnd_; }
    void SetLook(const Look& look);
    // The bands, and the frame's top and bottom (none: every row is on screen).
    void Set(std::vector<Band> bands, std::optional<std::pair<int, int>> frame);
    // Called with the height clicked and the strip's height.
    std::function<void(int y, int height)> onClick;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc, const RECT& client) const;

    HWND hwnd_ = nullptr;
    HWND tip_ = nullptr;
    std::wstring name_;
    Look look_;
    std::vector<Band> bands_;
    std::optional<std::pair<int, int>> frame_;
};

}  // namespace viewer

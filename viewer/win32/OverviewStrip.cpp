#include "OverviewStrip.h"

#include <commctrl.h>

#include <algorithm>

#include "WinText.h"
#include "WindowBase.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

namespace {

constexpr wchar_t kClassName[] = L"DiffZarvoOverview";

void FillColour(HDC dc, const RECT& area, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

}  // namespace

void PaintStripBands(HDC dc, const RECT& client, const std::vector<StripBand>& bands) {
    FillColour(dc, client, Ref(ColourRole::StripBackground));
    const int width = client.right;
    const int half = width / 2;
    for (const StripBand& band : bands) {
        const RECT area{band.half == StripHalf::Left    ? 0
                        : band.half == StripHalf::Right ? half
                                                        : 1,
                        band.top,
                        band.half == StripHalf::Left    ? half
                        : band.half == StripHalf::Right ? width
                                                        : width - 1,
                        band.bottom};
        FillColour(dc, area, Ref(band.colour));
    }
}

OverviewStrip::OverviewStrip(HWND parent, int id, const std::wstring& name) : name_(name) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(
        {kClassName, &Procedure, CS_HREDRAW | CS_VREDRAW, false, IDC_HAND, nullptr});
    // The window text is the name a screen reader gives it.
    hwnd_ = CreateWindowExW(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, parent, nullptr, instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = name_.data();
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

OverviewStrip::~OverviewStrip() {
    if (IsWindow(tip_)) DestroyWindow(tip_);
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void OverviewStrip::Set(std::vector<StripBand> bands, std::optional<StripFrame> frame) {
    bands_ = std::move(bands);
    frame_ = frame;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void OverviewStrip::Paint(HDC dc, const RECT& client) const {
    PaintStripBands(dc, client, bands_);
    if (frame_) {
        const RECT frame{0, frame_->top, client.right, frame_->bottom};
        const platform::win32::BrushHandle brush(CreateSolidBrush(Ref(ColourRole::StripFrame)));
        FrameRect(dc, &frame, brush);
    }
}

LRESULT CALLBACK OverviewStrip::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* strip = ObjectOf<OverviewStrip>(hwnd, message, lParam);
    if (strip == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT client{};
            GetClientRect(hwnd, &client);
            strip->Paint(dc, client);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (strip->onClick) {
                RECT client{};
                GetClientRect(hwnd, &client);
                strip->onClick(static_cast<short>(HIWORD(lParam)), client.bottom);
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace viewer

// What the viewer's top-level windows share: their class, registered by the first window made
// with it; one window procedure that finds the object behind a handle and hands it the messages;
// the resolution, with the fonts and sizes made anew when it changes (WM_DPICHANGED); the layout
// made anew at each size; and the program's end when its window goes.
#pragma once

#include <windows.h>

namespace viewer {

// The object that made a window, passed as the last argument of CreateWindowEx: kept at
// WM_NCCREATE (GWLP_USERDATA) and read back for each later message; null once let go.
template <typename Object>
Object* ObjectOf(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Object*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// A window class of ours, registered unless it already is. A top-level window's has the
// program's icon; each has a cursor, and its background in the dialog colour unless told.
struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    UINT style = 0;
    bool icon = true;
    const wchar_t* cursor = IDC_ARROW;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};
void RegisterWindowClass(const WindowClass& windowClass);

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }

protected:
    WindowBase() = default;
    // The window goes with its object, if it is still there (Destroy).
    virtual ~WindowBase();

    // Makes the window, of the class `className` (registered with `classStyle` at the first
    // call), `width` by `height` pixels, titled with the program's name. Until this returns, its
    // messages take the default course: the object's controls do not exist yet.
    void Create(const wchar_t* className, UINT classStyle, DWORD extendedStyle, int width,
                int height);
    // Lets the window go: its messages reach this object no more, and it is destroyed.
    void Destroy();

    int dpi() const { return dpi_; }
    // Pixels at 96 dpi, at the window's resolution.
    int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    // The window's messages, but for those handled here: its size (Layout), its resolution
    // (MakeFonts, then the place the system suggests) and its destruction.
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The fonts, and what is measured with them, for the resolution `dpi` (as dpi() says now).
    virtual void MakeFonts(int dpi) = 0;
    // Every part placed for the window's size now.
    virtual void Layout() = 0;

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int dpi_ = 96;
    bool destroyed_ = false;
};

}  // namespace viewer

// GDI objects owned by handles: a font, a brush or a pen is deleted with its owner, and a
// window's device context is released with it, the object selected into it put back first.
#pragma once

#include <windows.h>

namespace platform::win32 {

// A font, brush or pen that is deleted with its owner; it stands for its handle where one is
// wanted.
template <typename Object>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Object object) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    void Reset(Object object = nullptr) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }
    Object Get() const { return object_; }
    operator Object() const { return object_; }

private:
    Object object_ = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;

// A window's device context (the screen's for no window), released with its owner; `object`,
// when given, is selected into it meanwhile.
class WindowDC {
public:
    explicit WindowDC(HWND window, HGDIOBJ object = nullptr) : window_(window), dc_(GetDC(window)) {
        if (object != nullptr) old_ = SelectObject(dc_, object);
    }
    ~WindowDC() {
        if (old_ != nullptr) SelectObject(dc_, old_);
        ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace platform::win32

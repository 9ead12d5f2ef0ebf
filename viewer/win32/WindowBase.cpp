#include "WindowBase.h"

#include <commctrl.h>

#include "Texts.h"
#include "WinText.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, named by the SDK only for a later WINVER

}  // namespace

void RegisterWindowClass(const WindowClass& windowClass) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW registered{};
    if (GetClassInfoExW(instance, windowClass.name, &registered)) return;
    // The lists, bars and buttons of the windows.
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW made{};
    made.cbSize = sizeof made;
    made.style = windowClass.style;
    made.lpfnWndProc = windowClass.procedure;
    made.hInstance = instance;
    made.hIcon = windowClass.icon ? LoadIconW(instance, MAKEINTRESOURCEW(1)) : nullptr;
    made.hCursor = LoadCursorW(nullptr, windowClass.cursor);
    made.hbrBackground = windowClass.background;
    made.lpszClassName = windowClass.name;
    RegisterClassExW(&made);
}

WindowBase::~WindowBase() { Destroy(); }

void WindowBase::Create(const wchar_t* className, UINT classStyle, DWORD extendedStyle, int width,
                        int height) {
    RegisterWindowClass({className, &Procedure, classStyle});
    hwnd_ = CreateWindowExW(extendedStyle, className, W(std::u16string(texts::kProgram)),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = platform::win32::DpiOf(hwnd_);
}

void WindowBase::Destroy() {
    if (hwnd_ == nullptr || destroyed_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    destroyed_ = true;
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = ObjectOf<WindowBase>(hwnd, message, lParam);
    if (window == nullptr || window->hwnd_ == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->destroyed_ = true;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_SIZE:
            window->Layout();
            return 0;
        case kDpiChanged: {
            // New fonts, and the size the system suggests for the new resolution.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            window->dpi_ = HIWORD(wParam);
            window->MakeFonts(window->dpi_);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            // The program ends with its window (a file view shown for the folder window is let
            // go before it is destroyed, and ends nothing).
            PostQuitMessage(0);
            return 0;
        default:
            return window->Handle(message, wParam, lParam);
    }
}

}  // namespace viewer

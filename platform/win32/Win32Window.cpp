// Win32 backend: the top-level window, its client area sized in twips at the window's DPI, its
// icons, the clicks its buttons report and the re-layout when the DPI changes.
#include <algorithm>

#include "Resources.h"
#include "Win32Internal.h"

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"DiffZarvoForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

Window* WindowFromHandle(HWND hwnd) {
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Control* ControlFromHandle(Window& window, HWND hwnd) {
    for (Control* control : window.impl().controls) {
        if (control->impl().hwnd == hwnd) return control;
    }
    return nullptr;
}

void OnCommand(Window& window, WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) return;
    Control* control = ControlFromHandle(window, reinterpret_cast<HWND>(lParam));
    if (control == nullptr) return;
    if (control->impl().design->kind == ControlKind::ComboBox) {
        win32::OnComboNotification(control->impl(), HIWORD(wParam));
        return;
    }
    if (HIWORD(wParam) != BN_CLICKED || control->impl().design->kind != ControlKind::Button) return;
    auto& button = static_cast<Button&>(*control);
    if (button.onClick) button.onClick();
}

void FocusFirstOrLast(Window& window) {
    Window::Impl& impl = window.impl();
    HWND target = impl.lastFocus;
    if (target == nullptr || !IsChild(impl.hwnd, target)) {
        target = GetNextDlgTabItem(impl.hwnd, nullptr, FALSE);
    }
    if (target != nullptr) SetFocus(target);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Window* window = WindowFromHandle(hwnd);
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            OnCommand(*window, wParam, lParam);
            return 0;
        case DM_GETDEFID:
            // Enter presses the focused button: the dialog keys ask for the default button.
            return win32::FocusedButtonId(*window);
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            window->impl().LayOut();
            return 0;
        }
        case WM_ACTIVATE:
            // The focus leaves with the window and comes back to the same control, as in a
            // dialog; the first time, to the first control in tab order.
            if (LOWORD(wParam) == WA_INACTIVE) {
                window->impl().lastFocus = GetFocus();
                return 0;
            }
            if (HIWORD(wParam) == 0) FocusFirstOrLast(*window);  // not while minimized
            return 0;
        case WM_SETFOCUS:
            FocusFirstOrLast(*window);
            return 0;
        case WM_CLOSE:
            window->impl().closingByUser = true;
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            // Closing the window ends the program; a window the program itself destroys does not.
            if (window->impl().closingByUser) PostQuitMessage(0);
            window->impl().hwnd = nullptr;
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The icon at the size the system shows it, scaled from the nearest image where it has none of
// that size; it lives as long as the window class, that is, the process.
HICON LoadAppIcon(HINSTANCE instance, int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ZARVO_ICON), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                         LR_DEFAULTCOLOR));
}

void RegisterFormClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kClassName, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = FormProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

// The outer size whose client area is width x height pixels at dpi.
SIZE FrameSize(int width, int height, int dpi) {
    RECT rect{0, 0, width, height};
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Window* win32::FormWindow(HWND hwnd) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, 32);
    return std::wstring(className) == kClassName ? WindowFromHandle(hwnd) : nullptr;
}

void Window::Impl::LayOut() {
    const int dpi = Dpi();
    guiFont.Reset(win32::MakeDefaultGuiFont(dpi));
    for (Control* control : controls) control->impl().LayOut(dpi);
    const SIZE frame = FrameSize(TwipsToPixels(design->clientWidth, dpi),
                                 TwipsToPixels(design->clientHeight, dpi), dpi);
    SetWindowPos(hwnd, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Should the real frame differ from the system's own estimate of it (a theme, a window
    // manager), correct by the difference once.
    RECT client;
    GetClientRect(hwnd, &client);
    const int dx = TwipsToPixels(design->clientWidth, dpi) - (client.right - client.left);
    const int dy = TwipsToPixels(design->clientHeight, dpi) - (client.bottom - client.top);
    if (dx == 0 && dy == 0) return;
    SetWindowPos(hwnd, nullptr, 0, 0, frame.cx + dx, frame.cy + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Window::Window(const WindowSpec& design) : impl_(std::make_unique<Impl>()) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterFormClass(instance);
    impl_->design = &design;
    impl_->owner = this;
    // Created at the default place, then sized once its monitor, and so its DPI, is known.
    impl_->hwnd =
        CreateWindowExW(kExStyle, kClassName, design.caption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (impl_->hwnd == nullptr) {
        const DWORD error = GetLastError();
        throw Error(L"ウィンドウを作成できません: " + win32::SystemMessage(error));
    }
    impl_->LayOut();
    impl_->drops = std::make_unique<win32::DropRegistration>(impl_->hwnd, onDrop);
}

Window::~Window() {
    impl_->drops.reset();
    if (impl_->hwnd != nullptr) {
        HWND hwnd = impl_->hwnd;
        DestroyWindow(hwnd);
    }
}

void Window::Show() {
    if (!loaded_) {
        loaded_ = true;
        if (onLoad) onLoad();
    }
    ShowWindow(impl_->hwnd, SW_SHOWNORMAL);
    UpdateWindow(impl_->hwnd);
    SetForegroundWindow(impl_->hwnd);
}

bool Window::IsVisible() const { return impl_->hwnd != nullptr && IsWindowVisible(impl_->hwnd); }

}  // namespace platform

// Win32 backend: OLE for drag and drop, the common controls, per-monitor DPI awareness for
// programs without a manifest, and the message loop (its keys in Win32Keys.cpp).
#include "Win32Internal.h"

#include <commctrl.h>

#include "../Application.h"
#include "../Process.h"

namespace platform {

namespace {

// The manifest asks for per-monitor awareness; a program built without it (a test) asks here.
void BecomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr) {
        SetProcessDPIAware();  // before Windows 10: system-DPI awareness is the best there is
        return;
    }
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; refused harmlessly when the manifest set it.
    setContext(reinterpret_cast<HANDLE>(-4));
}

}  // namespace

struct Application::Impl {
    bool oleReady = false;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
    SetArguments(argc, argv);
    BecomeDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Drops arrive through OLE, which wants a single-threaded apartment on the GUI thread.
    impl_->oleReady = SUCCEEDED(OleInitialize(nullptr));
}

Application::~Application() {
    if (impl_->oleReady) OleUninitialize();
}

int Application::Run() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        win32::ProcessMessage(message);
    }
}

}  // namespace platform

#include "Progress.h"

#include <utility>

#include "Texts.h"
#include "WindowBase.h"
#include "platform/win32/GdiHandles.h"
#include "platform/win32/WindowBasics.h"

namespace viewer {

namespace {

const wchar_t* W(std::u16string_view text) {
    // The texts are string literals, ended by their NUL.
    return reinterpret_cast<const wchar_t*>(text.data());
}

constexpr UINT kFinished = WM_APP + 1;  // posted by the worker once the work is over
constexpr UINT_PTR kQuietTimer = 1;
constexpr UINT kQuietMillis = 500;
constexpr int kStopButton = 1;

struct State {
    RunningWork* job = nullptr;
    bool finished = false;
};

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case kFinished:
            if (state != nullptr) state->finished = true;
            return 0;
        case WM_TIMER:
            KillTimer(hwnd, kQuietTimer);
            ShowWindow(hwnd, SW_SHOW);
            SetForegroundWindow(hwnd);
            SetFocus(GetDlgItem(hwnd, kStopButton));
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kStopButton && state != nullptr) state->job->Cancel();
            return 0;
        case WM_CLOSE:
            if (state != nullptr) state->job->Cancel();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The small window, hidden until the work has run for half a second, centred on its owner; its
// controls in `font`, made here, which the caller keeps until the window is gone.
HWND MakeWindow(HWND owner, platform::win32::FontHandle& font) {
    RegisterWindowClass({kProgressClass, &Procedure, 0, false, IDC_WAIT});
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font.Reset(platform::win32::MakeFontDrawingUnderscores(metrics.lfMessageFont));
    const int unit = metrics.lfMessageFont.lfHeight < 0 ? -metrics.lfMessageFont.lfHeight : 12;
    RECT frame = {0, 0, unit * 24, unit * 7};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) GetWindowRect(owner, &around);
    HWND hwnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressClass, W(texts::kProgram), style,
                                (around.left + around.right - width) / 2,
                                (around.top + around.bottom - height) / 2, width, height, owner,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) return nullptr;
    HWND text = CreateWindowExW(0, L"STATIC", W(texts::kComparing),
                                WS_CHILD | WS_VISIBLE | SS_CENTER, unit, unit, unit * 22, unit * 2,
                                hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", W(texts::kStop),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, unit * 8,
                                  unit * 4, unit * 8, unit * 2 + unit / 2, hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStopButton)),
                                  GetModuleHandleW(nullptr), nullptr);
    for (HWND control : {text, button}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    return hwnd;
}

}  // namespace

std::optional<Comparison> RunWithProgress(HWND owner, Background::Work work) {
    RunningComparison job(std::move(work));
    return WaitWithProgress(owner, job);
}

std::optional<Comparison> WaitWithProgress(HWND owner, RunningComparison& job) {
    const bool going = WaitForWork(owner, job);
    std::optional<Comparison> result = job.Take();
    if (!going) return std::nullopt;
    return result;
}

bool WaitForWork(HWND owner, RunningWork& job) {
    platform::win32::FontHandle font;
    HWND hwnd = MakeWindow(owner, font);
    if (hwnd == nullptr) return true;  // no window to say so: the caller's take waits
    State state;
    state.job = &job;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    job.WhenDone([hwnd] { PostMessageW(hwnd, kFinished, 0, 0); });
    SetTimer(hwnd, kQuietTimer, kQuietMillis, nullptr);
    HWND focus = GetFocus();
    const bool ownerWasEnabled = owner != nullptr && !EnableWindow(owner, FALSE);
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!state.finished) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            // The program is ending: stop the work, and leave the quit to the outer loop.
            quit = true;
            quitCode = msg.wParam;
            job.Cancel();
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            job.Cancel();
            continue;
        }
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    job.WhenDone(nullptr);  // a call under way ends before the window goes
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    if (ownerWasEnabled) {
        SetActiveWindow(owner);
        if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return !quit;
}

}  // namespace viewer

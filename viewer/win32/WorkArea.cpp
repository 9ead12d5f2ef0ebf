#include "WorkArea.h"

#include <algorithm>

namespace viewer {

void FitToWorkArea(HWND window, int width, int height) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    RECT placed{};
    GetWindowRect(window, &placed);
    SetWindowPos(window, nullptr, std::clamp<int>(placed.left, work.left, work.right - width),
                 std::clamp<int>(placed.top, work.top, work.bottom - height), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace viewer

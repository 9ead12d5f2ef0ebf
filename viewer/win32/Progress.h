// Runs a comparison off the window's thread. Past half a second a small window says it is
// working; Esc, its 中止 button or closing it stops the work at once. The owner's input waits
// meanwhile, as under a dialog, while it still paints.
#pragma once

#include <windows.h>

#include <optional>

#include "Background.h"
#include "RunningComparison.h"

namespace viewer {

// The class of the window that says a comparison is running, for tests to find it.
inline constexpr wchar_t kProgressClass[] = L"DiffZarvoViewerProgress";

// The comparison, or nothing when the user stopped it. `owner` may be null.
std::optional<Comparison> RunWithProgress(HWND owner, Background::Work work);
// The same for a comparison already running, started before the window was.
std::optional<Comparison> WaitWithProgress(HWND owner, RunningComparison& job);
// The same for any work already running (the merge's), whose end (or stop) the caller then
// takes: false when the program is ending (a WM_QUIT came meanwhile, posted again).
bool WaitForWork(HWND owner, RunningWork& job);

}  // namespace viewer

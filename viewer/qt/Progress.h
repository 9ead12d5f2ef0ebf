// Runs a comparison off the window's thread. Past half a second a dialog says it is working;
// Esc, its button or closing it (or the window) stops the work at once.
#pragma once

#include <optional>

#include "Background.h"
#include "RunningComparison.h"

class QWidget;

namespace viewer {

// The comparison, or nothing when the user stopped it. `parent` (may be null) is the window the
// dialog belongs to; its input waits meanwhile.
std::optional<Comparison> RunWithProgress(QWidget* parent, Background::Work work);
// The same for a comparison already running, started before the window (or Qt) was.
std::optional<Comparison> WaitWithProgress(QWidget* parent, RunningComparison& job);
// The same for any work already running (the merge's), whose end (or stop) the caller then
// takes: false when the user closed `parent` meanwhile.
bool WaitForWork(QWidget* parent, RunningWork& job);

}  // namespace viewer

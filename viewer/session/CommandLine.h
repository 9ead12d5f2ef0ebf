// What the viewer's command line does without a window, as both fronts run it, and what it says
// when it is wrong.
#pragma once

#include <optional>
#include <string>

#include "Arguments.h"
#include "Unified.h"

namespace viewer {

// `-u` (WriteUnified) and `--merge` (WriteMerge) write their output, their troubles worded as
// the window words them, and give their exit code; nothing when a window is to open. `streams`
// needs only `out` and `err`.
std::optional<int> RunWithoutWindow(const Arguments& arguments, UnifiedStreams streams);

// What the viewer says of its command line when it is wrong.
std::u16string Usage();

}  // namespace viewer

// What the viewer does for its command line, decided once for both fronts before any window:
// which window opens on what, or the exit code and the message when none does. A front turns the
// plan into its windows and output; it writes `errorOutput` to standard error as it is (where it
// has one) and shows `message` in a box when it has a display.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Comparison.h"
#include "MergeSession.h"
#include "RunningComparison.h"

namespace viewer {

enum class StartWindow : std::uint8_t {
    None,     // nothing opens: the program ends with `exitCode` after the message
    Output,   // -u, --merge: RunWithoutWindow(arguments, ...) writes and gives the exit code
    Files,    // the file view on CompareFiles(arguments); FilesOpened says the rest
    Folders,  // the folder window on `first` and `second`; the exit code is 0
    Merge,    // the merge window on `merge`, merged first (RunningMerge); the exit code is its
              // session's ExitCode()
};

struct StartPlan {
    StartWindow window = StartWindow::None;
    Arguments arguments;
    std::filesystem::path first;  // Folders: the two folders
    std::filesystem::path second;
    std::optional<MergeSources> merge;  // Merge: the files read
    int exitCode = 0;                   // None
    std::u16string message;             // None: what is wrong, for a box over no window
    std::string errorOutput;            // None: the same for standard error, in UTF-8
};

// `arguments` without the program's name.
StartPlan PlanStart(const std::vector<std::filesystem::path>& arguments);

// The file view's comparison, begun at once on a thread of its own under the ignore options kept
// in `settingsFile`, so that the toolkit starts while it runs: read before the window, with no
// toolkit.
std::unique_ptr<RunningComparison> StartFilesComparison(const Arguments& arguments,
                                                        const std::filesystem::path& settingsFile);

// The file view's comparison, once made: what goes to standard error (a line for each file that
// could not be read) and the exit code when its window closes (1 then, else 0).
struct FilesStart {
    int exitCode = 0;
    std::string errorOutput;
};
FilesStart FilesOpened(const Comparison& comparison);

// The user stopped the comparison (or the merge) before the file view (or the merge window)
// opened.
inline constexpr int kStoppedExitCode = 2;

}  // namespace viewer

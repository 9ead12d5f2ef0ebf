// How wide the merge window's file columns are: the widest line of each of MINE, BASE and
// THEIRS in display cells, as the grid shows it. A merge too long to measure before its window
// is drawn is measured on a thread of its own, and its columns sized again once that is done.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Cancel.h"
#include "MarkSpan.h"
#include "TextDecode.h"

namespace viewer {

// A line without its end (LF, or CR LF).
std::string_view Body(std::string_view line);

// A line of a merge's file as the grid shows it: without its end, a first line without the
// file's byte order mark, controls as their letters.
std::u16string ShownMergeLine(const DetectedEncoding& encoding, std::string_view line, bool first,
                              std::vector<MarkSpan>* byteMarks);

// The cells of the widest of `lines`, the file's own from its first line; nothing once `cancel`
// is set.
std::optional<std::size_t> WidestMergeLine(std::span<const std::string_view> lines,
                                           const DetectedEncoding& encoding,
                                           const CancelFlag* cancel);

class MergeWidestInBackground {
public:
    struct File {
        std::span<const std::string_view> lines;
        DetectedEncoding encoding;
    };
    // The files' lines must stay as they are until this is gone. `done` is called on the worker
    // thread once the measure is over; not when it was cancelled.
    MergeWidestInBackground(std::array<File, 3> files, std::function<void()> done);
    // Cancels the measure and waits for its thread.
    ~MergeWidestInBackground();
    MergeWidestInBackground(const MergeWidestInBackground&) = delete;
    MergeWidestInBackground& operator=(const MergeWidestInBackground&) = delete;

    // Each file's widest line, once the measure is over.
    std::optional<std::array<std::size_t, 3>> Result() const;

private:
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    std::array<std::size_t, 3> cells_{};
    std::thread thread_;  // last: it uses the members above
};

}  // namespace viewer

// The widest line of a comparison too long to measure before its window is drawn, measured on a
// thread of its own: the window shows its rows at once, its content column as wide as the lines
// measured so far, and sizes the column again once this is done.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Cancel.h"
#include "Comparison.h"

namespace viewer {

class WidestInBackground {
public:
    // Keeps the comparison's files and a copy of its blocks, so that the comparison may change
    // or go meanwhile. `done` is called on the worker thread once the measure is over; not when
    // it was cancelled.
    WidestInBackground(const Comparison& comparison, std::function<void()> done);
    // Cancels the measure and waits for its thread.
    ~WidestInBackground();
    WidestInBackground(const WidestInBackground&) = delete;
    WidestInBackground& operator=(const WidestInBackground&) = delete;

    // The widest line's cells once the measure is over.
    std::optional<std::size_t> Result() const;

private:
    std::shared_ptr<const TextFile> first_, second_;
    std::vector<Block> blocks_;
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    std::size_t cells_ = 0;
    std::thread thread_;  // last: it uses the members above
};

}  // namespace viewer

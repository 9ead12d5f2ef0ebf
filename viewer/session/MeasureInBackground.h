// A measure too long to make before a window is drawn, made on a thread of its own: the window
// draws with what it measured so far, and measures its columns again once this is done. The widths
// of the file view's and the merge window's lines are measured so.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

#include "Cancel.h"

namespace viewer {

template <typename Measured>
class MeasureInBackground {
public:
    // `measure` answers nothing when it finds the cancel set. It must hold what it reads (shared
    // files, a copy of the rows), as the session may change meanwhile. `done` is called on the
    // worker thread once the measure is over; not when it was cancelled.
    using Measure = std::function<std::optional<Measured>(const CancelFlag* cancel)>;
    MeasureInBackground(Measure measure, std::function<void()> done)
        : thread_([this, measure = std::move(measure), done = std::move(done)] {
              std::optional<Measured> measured = measure(&cancel_);
              if (!measured) return;
              measured_ = std::move(*measured);
              done_.store(true, std::memory_order_release);
              done();
          }) {}
    // Cancels the measure and waits for its thread.
    ~MeasureInBackground() {
        cancel_.store(true);
        thread_.join();
    }
    MeasureInBackground(const MeasureInBackground&) = delete;
    MeasureInBackground& operator=(const MeasureInBackground&) = delete;

    // What was measured, once the measure is over.
    std::optional<Measured> Result() const {
        if (!done_.load(std::memory_order_acquire)) return std::nullopt;
        return measured_;
    }

private:
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    Measured measured_{};
    std::thread thread_;  // last: it uses the members above
};

}  // namespace viewer

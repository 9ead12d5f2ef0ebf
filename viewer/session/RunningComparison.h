// A comparison under way on a thread of its own, which a front waits for once it is ready to:
// started before the toolkit (the program's own comparison) or by a window (a reload). Unlike a
// bare Background, who is told of its end is said after it has started.
#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "Background.h"

namespace viewer {

class RunningComparison {
public:
    explicit RunningComparison(Background::Work work);
    // Cancels what is still running and waits for it.
    ~RunningComparison() = default;
    RunningComparison(const RunningComparison&) = delete;
    RunningComparison& operator=(const RunningComparison&) = delete;

    // `finished` is called once the work has ended: from the worker thread, or here at once when
    // it already has. It replaces what an earlier call gave.
    void WhenDone(std::function<void()> finished);

    void Cancel() { job_.Cancel(); }
    bool Done() const { return job_.Done(); }
    // Waits for the end: the comparison, or nothing when it was cancelled; rethrows what the
    // work threw.
    std::optional<Comparison> Take() { return job_.Take(); }

private:
    void Ended();

    std::mutex mutex_;
    bool ended_ = false;
    std::function<void()> finished_;
    Background job_;  // last: its thread uses the members above
};

}  // namespace viewer

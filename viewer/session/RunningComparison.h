// Work under way on a thread of its own, which a front waits for once it is ready to: the
// program's own comparison or merge, started before the toolkit, or a window's reload. Unlike a
// bare thread, who is told of its end is said after it has started.
#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "Background.h"

namespace viewer {

// What a front's progress window waits for and stops (Progress.h), whatever the work makes.
class RunningWork {
public:
    RunningWork() = default;
    RunningWork(const RunningWork&) = delete;
    RunningWork& operator=(const RunningWork&) = delete;

    // `finished` is called once the work has ended: from the worker thread, or here at once when
    // it already has. It replaces what an earlier call gave.
    void WhenDone(std::function<void()> finished);

    virtual void Cancel() = 0;
    virtual bool Done() const = 0;

protected:
    ~RunningWork() = default;
    // Called by the worker thread once the work has ended, done, cancelled or failed.
    void Ended();

private:
    std::mutex mutex_;
    bool ended_ = false;
    std::function<void()> finished_;
};

class RunningComparison final : public RunningWork {
public:
    explicit RunningComparison(Background::Work work);
    // Cancels what is still running and waits for it.
    ~RunningComparison() = default;

    void Cancel() override { job_.Cancel(); }
    bool Done() const override { return job_.Done(); }
    // Waits for the end: the comparison, or nothing when it was cancelled; rethrows what the
    // work threw.
    std::optional<Comparison> Take() { return job_.Take(); }

private:
    Background job_;  // last: its thread uses the members above
};

}  // namespace viewer

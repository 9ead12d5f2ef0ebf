// A comparison worked out on a thread of its own, so that the window stays alive while it runs:
// the front starts it, may cancel it (the work stops at its next check), and is told on the
// worker thread when it is over, which each front turns into an event of its own thread.
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <thread>

#include "Cancel.h"
#include "Comparison.h"

namespace viewer {

class Background {
public:
    using Work = std::function<Comparison(const CancelFlag* cancel)>;

    // Starts `work`; `finished` is called from the worker thread once it has ended, done,
    // cancelled or failed.
    Background(Work work, std::function<void()> finished);
    // Cancels what is still running and waits for it.
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    void Cancel() { cancel_.store(true); }
    bool Done() const { return done_.load(); }
    // Once done: the comparison, or nothing when it was cancelled; rethrows what the work threw.
    std::optional<Comparison> Take();

private:
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    std::optional<Comparison> result_;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace viewer

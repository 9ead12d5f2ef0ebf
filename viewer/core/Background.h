// Work (a comparison, a merge) done on a thread of its own, so that the window stays alive while
// it runs: the front starts it, may cancel it (the work stops at its next check), and is told on
// the worker thread when it is over, which each front turns into an event of its own thread.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

#include "Cancel.h"
#include "Comparison.h"

namespace viewer {

template <typename Result>
class BackgroundWork {
public:
    using Work = std::function<Result(const CancelFlag* cancel)>;

    // Starts `work`; `finished` is called from the worker thread once it has ended, done,
    // cancelled or failed.
    BackgroundWork(Work work, std::function<void()> finished) {
        thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
            try {
                result_ = work(&cancel_);
            } catch (const Cancelled&) {
            } catch (...) {
                failure_ = std::current_exception();
            }
            done_.store(true);
            if (finished) finished();
        });
    }
    // Cancels what is still running and waits for it.
    ~BackgroundWork() {
        Cancel();
        if (thread_.joinable()) thread_.join();
    }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    void Cancel() { cancel_.store(true); }
    bool Done() const { return done_.load(); }
    // Waits for the end: the result, or nothing when it was cancelled; rethrows what the work
    // threw.
    std::optional<Result> Take() {
        if (thread_.joinable()) thread_.join();
        if (failure_) std::rethrow_exception(failure_);
        return std::move(result_);
    }

private:
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    std::optional<Result> result_;
    std::exception_ptr failure_;
    std::thread thread_;
};

// A comparison worked out so.
using Background = BackgroundWork<Comparison>;

}  // namespace viewer

// The merge window's merge (Merged), worked out on a thread of its own while the toolkit starts;
// the front waits for it as for a comparison (Progress.h).
#pragma once

#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "MergeSession.h"
#include "RunningComparison.h"

namespace viewer {

class RunningMerge final : public RunningWork {
public:
    explicit RunningMerge(MergeSources sources);
    // Cancels what is still running and waits for it.
    ~RunningMerge();

    void Cancel() override { cancel_.store(true); }
    bool Done() const override { return done_.load(); }
    // Waits for the end: the merge, or none when it was cancelled; rethrows what the work threw.
    std::unique_ptr<MergedFiles> Take();

private:
    CancelFlag cancel_{false};
    std::atomic<bool> done_{false};
    std::unique_ptr<MergedFiles> result_;
    std::exception_ptr failure_;
    std::thread thread_;  // last: it uses the members above
};

}  // namespace viewer

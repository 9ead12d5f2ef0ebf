// The merge window's merge (Merged), worked out on a thread of its own while the toolkit starts;
// the front waits for it as for a comparison (Progress.h).
#pragma once

#include <memory>

#include "Background.h"
#include "MergeSession.h"
#include "RunningComparison.h"

namespace viewer {

class RunningMerge final : public RunningWork {
public:
    explicit RunningMerge(MergeSources sources);
    // Cancels what is still running and waits for it.
    ~RunningMerge() = default;

    void Cancel() override { job_.Cancel(); }
    bool Done() const override { return job_.Done(); }
    // Waits for the end: the merge, or none when it was cancelled; rethrows what the work threw.
    std::unique_ptr<MergedFiles> Take() { return job_.Take().value_or(nullptr); }

private:
    BackgroundWork<std::unique_ptr<MergedFiles>> job_;  // its thread calls Ended()
};

}  // namespace viewer

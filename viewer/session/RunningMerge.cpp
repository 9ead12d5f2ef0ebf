#include "RunningMerge.h"

#include <utility>

namespace viewer {

RunningMerge::RunningMerge(MergeSources sources)
    : job_([sources = std::move(sources)](
               const CancelFlag* cancel) mutable { return Merged(std::move(sources), cancel); },
           [this] { Ended(); }) {}

}  // namespace viewer

#include "RunningMerge.h"

#include <utility>

namespace viewer {

RunningMerge::RunningMerge(MergeSources sources)
    : thread_([this, sources = std::move(sources)]() mutable {
          try {
              result_ = Merged(std::move(sources), &cancel_);
          } catch (const Cancelled&) {
          } catch (...) {
              failure_ = std::current_exception();
          }
          done_.store(true);
          Ended();
      }) {}

RunningMerge::~RunningMerge() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

std::unique_ptr<MergedFiles> RunningMerge::Take() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return std::move(result_);
}

}  // namespace viewer

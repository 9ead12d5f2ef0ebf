#include "RunningComparison.h"

#include <utility>

namespace viewer {

void RunningWork::WhenDone(std::function<void()> finished) {
    const std::lock_guard<std::mutex> lock(mutex_);
    finished_ = std::move(finished);
    if (ended_ && finished_) finished_();
}

void RunningWork::Ended() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    if (finished_) finished_();
}

RunningComparison::RunningComparison(Background::Work work)
    : job_(std::move(work), [this] { Ended(); }) {}

}  // namespace viewer

#include "Background.h"

#include <utility>

namespace viewer {

Background::Background(Work work, std::function<void()> finished) {
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

Background::~Background() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

std::optional<Comparison> Background::Take() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return std::move(result_);
}

}  // namespace viewer

// Stopping a long comparison from another thread: the window sets the flag, the work polls it
// and gives up by throwing Cancelled, leaving what it was to change as it was.
#pragma once

#include <atomic>

namespace viewer {

using CancelFlag = std::atomic<bool>;

struct Cancelled {};

inline void ThrowIfCancelled(const CancelFlag* cancel) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw Cancelled{};
}

}  // namespace viewer

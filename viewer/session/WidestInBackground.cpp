#include "WidestInBackground.h"

#include <utility>

#include "Widest.h"

namespace viewer {

WidestInBackground::WidestInBackground(const Comparison& comparison, std::function<void()> done)
    : first_(comparison.first().text),
      second_(comparison.second().text),
      blocks_(comparison.rows().blocks()),
      thread_([this, done = std::move(done)] {
          const std::optional<std::size_t> cells =
              WidestLineCells(*first_, *second_, blocks_, &cancel_);
          if (!cells) return;
          cells_ = *cells;
          done_.store(true, std::memory_order_release);
          done();
      }) {}

WidestInBackground::~WidestInBackground() {
    cancel_.store(true);
    thread_.join();
}

std::optional<std::size_t> WidestInBackground::Result() const {
    if (!done_.load(std::memory_order_acquire)) return std::nullopt;
    return cells_;
}

}  // namespace viewer

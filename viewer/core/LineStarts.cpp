#include "LineStarts.h"

namespace viewer {

void LineStarts::reserve(std::size_t lines) {
    near_.reserve(lines);
    groups_.reserve(lines / kGroup + 1);
}

void LineStarts::push_back(std::uint32_t start) {
    if (size_ % kGroup == 0) groups_.push_back({start, kNarrow});
    Group& group = groups_.back();
    const std::uint32_t distance = start - group.base;
    if (group.wide == kNarrow && distance > UINT16_MAX) {
        // Too far for 16 bits: this group's starts move to the wide table.
        group.wide = static_cast<std::uint32_t>(wide_.size());
        for (std::size_t line = size_ - size_ % kGroup; line < size_; ++line) {
            wide_.push_back(group.base + near_[line]);
        }
    }
    if (group.wide != kNarrow) wide_.push_back(start);
    near_.push_back(group.wide == kNarrow ? static_cast<std::uint16_t>(distance) : 0);
    ++size_;
}

std::ptrdiff_t LineStarts::LastAtOrBefore(std::uint32_t offset) const {
    std::size_t low = 0;
    std::size_t high = size_;  // the answer is below `high`: the first line after `offset`
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if ((*this)[middle] <= offset) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return static_cast<std::ptrdiff_t>(low) - 1;
}

}  // namespace viewer

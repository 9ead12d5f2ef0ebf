// Myers' O(ND) difference algorithm in linear space, with the cut-off GNU diff uses: where a
// minimal diff would cost more than about sqrt(N) rounds at one split, the best point reached so
// far is taken instead, so the time stays of the order of N * sqrt(N) at worst and the result is
// a valid, near-minimal diff. Equal elements are only ever paired after comparing them equal.
#pragma once

#include <cstdint>
#include <vector>

#include "Cancel.h"

namespace viewer {

// Marks the elements of `a` and of `b` that are left out of a common subsequence (1: changed);
// the unmarked elements of both, taken in order, pair equal values. `changedA` and `changedB`
// are resized to a's and b's sizes. Throws Cancelled once `cancel` is set.
void MarkChanges(const std::vector<int>& a, const std::vector<int>& b,
                 std::vector<std::uint8_t>& changedA, std::vector<std::uint8_t>& changedB,
                 const CancelFlag* cancel = nullptr);

}  // namespace viewer

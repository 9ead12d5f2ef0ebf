// What changed inside a line: the lines of a change are paired by likeness, and each pair is
// compared word by word (a Japanese character is a word of its own), so that the view can mark
// the runs that differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "MarkSpan.h"

namespace viewer {

// The runs of `a` and of `b` that differ from the other line. Common runs of one or two
// characters between two changes are marked too, so the marks read as whole changes.
void InlineMarks(std::u16string_view a, std::u16string_view b, std::vector<MarkSpan>& marksA,
                 std::vector<MarkSpan>& marksB);

// Lines less alike than this are not paired: their rows are changes as a whole.
constexpr double kLeastLikeness = 0.4;
// Changes with more removed × added lines than this are paired line by line, in order.
constexpr std::size_t kMostPairings = 10000;

// How alike two lines are, from 0 (nothing in common) to 1 (the same).
double Likeness(std::u16string_view a, std::u16string_view b);

// Pairs the removed lines of a change with its added lines, in order, each with the one most like
// it: for each removed line, the index of its added partner or -1. Lines too unlike anything stay
// alone. Large changes are paired in order, line by line, to keep the cost bounded.
std::vector<std::int32_t> PairLines(const std::vector<std::u16string>& removed,
                                    const std::vector<std::u16string>& added);

}  // namespace viewer

// A run of a line's text that the view marks: a change within the line, or bytes shown as their
// values because they are not valid in the file's encoding.
#pragma once

#include <cstdint>

namespace viewer {

// In UTF-16 code units from the start of the line.
struct MarkSpan {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    bool operator==(const MarkSpan&) const = default;
};

}  // namespace viewer

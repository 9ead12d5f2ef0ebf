// A line number as the user types it in a go-to-line bar, for every window of the viewer.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace viewer {

// Digits (ASCII or full-width) between blanks; none for anything else. A number too large for
// any file is as good as the last line.
std::optional<std::int64_t> ParseLineNumber(std::u16string_view typed);

}  // namespace viewer

// Which of the two files compared: the first (the left pane, the removed lines) or the second.
// One name for it everywhere, from the core to the window.
#pragma once

#include <cstdint>

namespace viewer {

enum class Side : std::uint8_t { First, Second };

}  // namespace viewer

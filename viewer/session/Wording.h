// How the window writes a number and a file's path in its texts: one rule for the two-way and
// the merge window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace viewer {

// A count or a line number in decimal digits, with no grouping ("12345").
std::u16string Number(std::uint64_t n);

// A path as the user typed it: on Windows its own UTF-16, elsewhere its bytes read as UTF-8; a
// newline or another control character in it shown as "<LF>" (ShownName).
std::u16string ShownPath(const std::filesystem::path& path);

}  // namespace viewer

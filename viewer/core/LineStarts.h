// Where the lines of a text begin, in a few bytes for each KiB of text rather than for each line:
// the index keeps how many newlines come before each block of bytes, and a line is found by
// counting newlines within its block, eight bytes at a time. Sixty million empty lines cost
// 240 KB of index.
//
// A newline is the code unit LF: one byte, or in UTF-16 two bytes at an even offset. The index
// does not hold the bytes; every look-up is given them again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace viewer {

// How a text's code units are laid out: one byte, or two in either order.
enum class Units : std::uint8_t { Bytes, Utf16Le, Utf16Be };

class LineStarts {
public:
    LineStarts() = default;
    // One pass over `bytes`, which must be under 4 GiB.
    LineStarts(std::string_view bytes, Units units);

    std::size_t newlines() const { return newlines_; }
    // How many newlines have a CR just before them.
    std::size_t crlfs() const { return crlfs_; }
    // Where the `count`-th newline (from 1) is; count must be 1 to newlines().
    std::size_t Newline(std::string_view bytes, std::size_t count) const;
    // How many newlines lie wholly before `offset`.
    std::size_t NewlinesBefore(std::string_view bytes, std::size_t offset) const;
    // The first newline at or after `from` (a unit boundary); bytes.size() when there is none.
    std::size_t NextNewline(std::string_view bytes, std::size_t from) const;
    // Whether the code unit at `at` is the ASCII character `c`.
    bool UnitIs(std::string_view bytes, std::size_t at, char c) const;
    std::size_t unit() const { return units_ == Units::Bytes ? 1 : 2; }
    Units units() const { return units_; }

private:
    static constexpr std::size_t kBlock = 1024;  // bytes; a multiple of the word
    Units units_ = Units::Bytes;
    std::size_t newlines_ = 0;
    std::size_t crlfs_ = 0;
    std::vector<std::uint32_t> before_;  // by block: the newlines before its first byte
};

}  // namespace viewer

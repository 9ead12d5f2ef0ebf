// Runs of ASCII, the bulk of most text files, stepped over sixteen bytes at a time: the scans that
// tell a file's encoding look at its bytes outside ASCII one by one, and at the rest by the word.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace viewer {

// The first byte at or after `at` that is not ASCII (0x80 or above), or `end`.
inline const unsigned char* SkipAscii(const unsigned char* at, const unsigned char* end) {
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    // Where in a word the first of its high bits is, in memory order.
    const auto first = [](std::uint64_t highs) {
        return std::endian::native == std::endian::little ? std::countr_zero(highs) / 8
                                                          : std::countl_zero(highs) / 8;
    };
    while (end - at >= 16) {
        std::uint64_t one, two;
        std::memcpy(&one, at, 8);
        std::memcpy(&two, at + 8, 8);
        if (((one | two) & kHighs) == 0) {
            at += 16;
            continue;
        }
        if ((one & kHighs) != 0) return at + first(one & kHighs);
        return at + 8 + first(two & kHighs);
    }
    while (at < end && *at < 0x80) ++at;
    return at;
}

}  // namespace viewer

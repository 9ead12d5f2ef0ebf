// What the overview strip beside a list paints, for a strip `height` pixels high: a band for
// each change (two pixels at the least, so one changed line in a million still shows) and a
// frame round the rows on screen. Both fronts, both windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Look.h"

namespace viewer {

class Session;
class MergeSession;

enum class StripHalf : std::uint8_t {
    Left,   // the first file's lines
    Right,  // the second's
    Across  // the whole width but a pixel at each side
};

struct StripBand {
    int top = 0;
    int bottom = 0;  // past the band's last pixel
    StripHalf half = StripHalf::Across;
    Rgb colour;
};

// The two-way window: removed lines on the left half, added on the right.
std::vector<StripBand> StripBands(const Session& session, int height);
// The merge window: each change across, in its row's colour a shade darker.
std::vector<StripBand> StripBands(const MergeSession& session, int height);

struct StripFrame {
    int top = 0;
    int bottom = 0;  // past the frame's last pixel
};
// The frame round `count` rows on screen from `first`; none while every row is on screen.
std::optional<StripFrame> FrameOfRows(const Session& session, std::size_t first, std::size_t count,
                                      int height);

}  // namespace viewer

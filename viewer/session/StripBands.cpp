#include "StripBands.h"

#include <algorithm>

#include "MergeSession.h"
#include "Session.h"

namespace viewer {

namespace {

template <typename Strip>
StripBand Band(const Strip& session, std::size_t row, std::size_t count, int height) {
    const int top = session.StripY(row, height);
    return {top, std::max(top + 2, session.StripY(row + count, height)), StripHalf::Across, {}};
}

}  // namespace

std::vector<StripBand> StripBands(const Session& session, int height) {
    std::vector<StripBand> bands;
    for (const StripMark& mark : session.StripMarks()) {
        StripBand band = Band(session, mark.row, mark.count, height);
        band.half = mark.kind == RowKind::Removed ? StripHalf::Left : StripHalf::Right;
        band.colour = StripColour(mark.kind);
        bands.push_back(band);
    }
    return bands;
}

std::vector<StripBand> StripBands(const MergeSession& session, int height) {
    std::vector<StripBand> bands;
    for (const MergeStripMark& mark : session.StripMarks()) {
        StripBand band = Band(session, mark.row, mark.count, height);
        band.colour = Darker(Colour(mark.colour), 130);
        bands.push_back(band);
    }
    return bands;
}

std::optional<StripFrame> FrameOfRows(const Session& session, std::size_t first, std::size_t count,
                                      int height) {
    if (count == 0 || count >= session.RowCount()) return std::nullopt;
    const int top = session.StripY(first, height);
    return StripFrame{top, std::max(top + 3, session.StripY(first + count, height))};
}

}  // namespace viewer

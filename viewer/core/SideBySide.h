// The rows of the two-pane view: each shows a line of the first file on the left and a line of
// the second on the right. Common lines face their partners; in a change, the removed lines face
// the added ones in order, and the shorter side is padded with empty places.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "LineDiff.h"

namespace viewer {

struct SideRow {
    std::optional<std::size_t> left;   // a row of the one-list view, from the first file
    std::optional<std::size_t> right;  // a row of the one-list view, from the second file
};

class SideBySide {
public:
    SideBySide() = default;
    explicit SideBySide(const Rows& rows);

    std::size_t size() const { return size_; }
    SideRow operator[](std::size_t sideRow) const;
    // The two-pane row that shows a row of the one-list view.
    std::size_t SideRowOf(std::size_t row) const;

private:
    // Common lines, or one change: `leftCount` removed rows beside `rightCount` added rows.
    struct Segment {
        std::size_t sideRow = 0;
        std::size_t listRow = 0;  // its first row in the one-list view
        std::size_t left = 0;
        std::size_t leftCount = 0;
        std::size_t right = 0;
        std::size_t rightCount = 0;
    };
    std::vector<Segment> segments_;
    std::size_t size_ = 0;
};

}  // namespace viewer

#include "SideBySide.h"

#include <algorithm>

namespace viewer {

SideBySide::SideBySide(const Rows& rows) {
    const std::vector<Block>& blocks = rows.blocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const Block& block = blocks[b];
        const auto count = static_cast<std::size_t>(block.count);
        Segment segment{size_, block.row, block.row, 0, block.row, 0};
        switch (block.kind) {
            case RowKind::Common:
                segment.leftCount = segment.rightCount = count;
                break;
            case RowKind::Removed:
                segment.leftCount = count;
                // The added lines that replace them, if any, face them.
                if (b + 1 < blocks.size() && blocks[b + 1].kind == RowKind::Added) {
                    segment.right = blocks[b + 1].row;
                    segment.rightCount = static_cast<std::size_t>(blocks[++b].count);
                }
                break;
            case RowKind::Added:
                segment.rightCount = count;
                break;
        }
        segments_.push_back(segment);
        size_ += std::max(segment.leftCount, segment.rightCount);
    }
}

SideRow SideBySide::operator[](std::size_t sideRow) const {
    const auto after =
        std::upper_bound(segments_.begin(), segments_.end(), sideRow,
                         [](std::size_t r, const Segment& s) { return r < s.sideRow; });
    const Segment& segment = *std::prev(after);
    const std::size_t offset = sideRow - segment.sideRow;
    SideRow row;
    if (offset < segment.leftCount) row.left = segment.left + offset;
    if (offset < segment.rightCount) row.right = segment.right + offset;
    return row;
}

std::size_t SideBySide::SideRowOf(std::size_t row) const {
    const auto after =
        std::upper_bound(segments_.begin(), segments_.end(), row,
                         [](std::size_t r, const Segment& s) { return r < s.listRow; });
    if (after == segments_.begin()) return 0;
    const Segment& segment = *std::prev(after);
    if (row >= segment.left && row < segment.left + segment.leftCount) {
        return segment.sideRow + (row - segment.left);
    }
    if (row >= segment.right && row < segment.right + segment.rightCount) {
        return segment.sideRow + (row - segment.right);
    }
    return size_ == 0 ? 0 : size_ - 1;
}

}  // namespace viewer

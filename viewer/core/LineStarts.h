// Where each line of a file begins, in about two bytes a line: lines go in groups of 64, each
// group with its 32-bit start and its lines' 16-bit distances from it. A group that spans 64 KiB
// or more (long lines) keeps full 32-bit starts instead. Sixty million empty lines thus cost
// 124 MB, not 240.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace viewer {

class LineStarts {
public:
    std::size_t size() const { return size_; }
    void reserve(std::size_t lines);
    // Starts must come in ascending order.
    void push_back(std::uint32_t start);
    std::uint32_t operator[](std::size_t line) const {
        const Group& group = groups_[line / kGroup];
        if (group.wide != kNarrow) return wide_[group.wide + line % kGroup];
        return group.base + near_[line];
    }
    // The last line that starts at or before `offset`; -1 when none does.
    std::ptrdiff_t LastAtOrBefore(std::uint32_t offset) const;

private:
    static constexpr std::size_t kGroup = 64;
    static constexpr std::uint32_t kNarrow = UINT32_MAX;
    struct Group {
        std::uint32_t base = 0;
        std::uint32_t wide = kNarrow;  // where the group's starts are in wide_, if there
    };
    std::vector<Group> groups_;
    std::vector<std::uint16_t> near_;  // one a line, wide groups' ones unused
    std::vector<std::uint32_t> wide_;
    std::size_t size_ = 0;
};

}  // namespace viewer

// The line-by-line comparison of two files: one row per line shown, in the order shown, kept as
// runs of rows of one kind so that a million common lines cost one entry, not a million.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Cancel.h"
#include "Ignore.h"
#include "TextFile.h"

namespace viewer {

enum class RowKind : std::uint8_t {
    Common,   // in both files
    Removed,  // only in the first file
    Added,    // only in the second file
};

struct Row {
    RowKind kind = RowKind::Common;
    std::int32_t first = -1;   // line index in the first file (from 0), -1 when the row has none
    std::int32_t second = -1;  // line index in the second file (from 0), -1 when the row has none
};

// Consecutive rows of one kind whose line indexes go up by one.
struct Block {
    RowKind kind = RowKind::Common;
    std::int32_t first = 0;   // the first file's line of the block's first row (Common, Removed)
    std::int32_t second = 0;  // the second file's line of the block's first row (Common, Added)
    std::int32_t count = 0;
    std::size_t row = 0;  // the block's first row
};

class Rows {
public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Row operator[](std::size_t row) const;
    const std::vector<Block>& blocks() const { return blocks_; }
    // The block that holds `row`, and its index in blocks().
    const Block& BlockOf(std::size_t row) const { return blocks_[BlockIndex(row)]; }
    std::size_t BlockIndex(std::size_t row) const;

    // Adds `count` rows after the last one, joining the last block when they continue it.
    void Append(RowKind kind, std::int32_t first, std::int32_t second, std::int32_t count);

private:
    std::vector<Block> blocks_;
    std::size_t size_ = 0;
};

// A common subsequence of lines, compared by their bytes (or, with an option that reduces lines,
// by their reduced text): the longest one, unless finding it would cost far more than GNU diff
// spends (Myers.h), when it is a near-longest one. Every common row joins two equal lines, and
// every line of each file has one row, in order. Between two common lines the first file's lines
// come before the second file's. A moved line shows as removed in one place and added in
// another. Where several placements of a change give the same length, the one with fewer, whole
// changes is taken. Lines are compared without their ends unless `options.lineEnds` is off;
// `unifyJisVariants` compares files decoded from two encodings with the characters that their
// tables map apart made one (UnifyJisVariant). Throws Cancelled once `cancel` is set.
Rows DiffLines(const TextFile& first, const TextFile& second, const IgnoreOptions& options = {},
               const CancelFlag* cancel = nullptr, bool unifyJisVariants = false);

// The same for lines cut as GNU diff cuts them, compared as they are: each keeps its LF, so a
// last line without one differs from the same line with one, and a CR is a byte like another.
Rows DiffRawLines(const std::vector<std::string_view>& first,
                  const std::vector<std::string_view>& second, const CancelFlag* cancel = nullptr);

// How many bytes the two begin with alike, and end with alike: many bytes at a step.
std::size_t EqualHead(std::string_view a, std::string_view b);
std::size_t EqualTail(std::string_view a, std::string_view b);

// The row where each run of differing rows begins, in order.
std::vector<std::size_t> DifferenceStarts(const Rows& rows);

}  // namespace viewer

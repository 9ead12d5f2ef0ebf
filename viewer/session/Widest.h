// How wide the one-list view's content column is: the widest line of a comparison's rows, in
// display cells, found without measuring every line.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "Cancel.h"
#include "Comparison.h"

namespace viewer {

// The cells of the widest line the rows show (a common or removed row the first file's line, an
// added row the second's). Lines too short to pass the widest measured so far are passed over by
// their length; the others' cells are bounded from their bytes, and only the lines whose bound
// passes the widest are measured.
std::size_t WidestLineCells(const Comparison& comparison);
// The same for the rows of `blocks` over the two files; nothing once `cancel` is set (it is looked
// at every 65,536 lines).
std::optional<std::size_t> WidestLineCells(const TextFile& first, const TextFile& second,
                                           std::span<const Block> blocks, const CancelFlag* cancel);
// The same for the comparison's first `rows` rows only.
std::size_t WidestOfFirstRows(const Comparison& comparison, std::size_t rows);

// The cells a line of `file` takes in the list, measured: a line shown in part
// (Comparison::Shown) by its start, with room for the notes on what is left out.
std::size_t LineCells(const TextFile& file, std::string_view line);

}  // namespace viewer

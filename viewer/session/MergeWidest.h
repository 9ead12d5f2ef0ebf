// How wide the merge window's file columns are: the widest line of each of MINE, BASE and
// THEIRS in display cells, as the grid shows it. A merge too long to measure before its window
// is drawn is measured on a thread of its own (MeasureInBackground).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Cancel.h"
#include "MarkSpan.h"
#include "TextDecode.h"

namespace viewer {

// A line without its end (LF, or CR LF).
std::string_view Body(std::string_view line);

// A line of a merge's file as the grid shows it: without its end, a first line without the
// file's byte order mark, controls as their letters.
std::u16string ShownMergeLine(const DetectedEncoding& encoding, std::string_view line, bool first,
                              std::vector<MarkSpan>* byteMarks);

// The cells of the widest of `lines`, the file's own from its first line; nothing once `cancel`
// is set.
std::optional<std::size_t> WidestMergeLine(std::span<const std::string_view> lines,
                                           const DetectedEncoding& encoding,
                                           const CancelFlag* cancel);

}  // namespace viewer

// The line-by-line comparison of two files: one row per line shown, in the order shown.
#pragma once

#include <vector>

#include "TextFile.h"

namespace viewer {

enum class RowKind { Same, OnlyFirst, OnlySecond };

struct DiffRow {
    RowKind kind = RowKind::Same;
    qsizetype first = -1;   // line index in the first file, -1 when the row has none
    qsizetype second = -1;  // line index in the second file, -1 when the row has none
};

// A longest common subsequence of lines; between two common lines the first file's lines come
// before the second file's. A moved line shows as removed in one place and added in another.
std::vector<DiffRow> DiffLines(const TextFile& first, const TextFile& second);

// The row where each run of differing rows begins, in order.
std::vector<qsizetype> DifferenceStarts(const std::vector<DiffRow>& rows);

}  // namespace viewer

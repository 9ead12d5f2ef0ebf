// `--merge`, as both fronts run it: the three-way merge of three files written without a window.
#pragma once

#include "Arguments.h"
#include "Unified.h"

namespace viewer {

// Merges MINE and THEIRS against BASE (Merge.h), conflicts named by the labels or else by the
// names as given, and writes the result to standard output or, with `-o`, in place of that file
// (whole or not at all). Returns diff3's exit code: 0 merged without a conflict, 1 with
// conflicts, 2 trouble (a file that cannot be read or written; nothing is written then).
int WriteMerge(const Arguments& arguments, const UnifiedStreams& streams);

}  // namespace viewer

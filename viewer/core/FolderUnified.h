// Two folders as `diff -ruN` writes them: each text file pair that differs as a unified diff,
// a file in one folder only against an empty file, one line for each binary pair that differs.
// The paths in the headers start at each folder's own name ("a/src/x.c"), so that `patch -p1
// -E` run in a copy of the first folder makes it the second.
#pragma once

#include <filesystem>

#include "Unified.h"

namespace viewer {

// Returns as diff does: 0 when the folders are the same, 1 when they differ, 2 when something
// could not be read (the rest is still written).
int WriteFolderUnified(const std::filesystem::path& first, const std::filesystem::path& second,
                       const UnifiedStreams& output);

}  // namespace viewer

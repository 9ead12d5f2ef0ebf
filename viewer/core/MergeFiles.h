// `--merge`, as both fronts run it: the three-way merge of three files written without a window.
#pragma once

#include <filesystem>
#include <string>

#include "Arguments.h"
#include "SaveFile.h"
#include "Unified.h"

namespace viewer {

// Merges MINE and THEIRS against BASE (Merge.h), conflicts named by the labels or else by the
// names as given, and writes the result to standard output or, with `-o`, in place of that file
// (whole or not at all). Returns diff3's exit code: 0 merged without a conflict, 1 with
// conflicts, 2 trouble (a file that cannot be read or written; nothing is written then).
int WriteMerge(const Arguments& arguments, const UnifiedStreams& streams);

// Writes a merge's result in place of `path` as ReplaceContent does, or as a new file where there
// is none (-o may name one): an empty file stands there while it is written, and is taken away
// again when the write fails.
WriteResult WriteMergeResult(const std::filesystem::path& path, const std::string& content,
                             const StillAsRead& stillAsRead);

}  // namespace viewer

// What the viewer's command line asks for. The front end starts it with exactly two file names,
// and those are always two files, whatever they are called ("-u" included); options are read
// only from a longer command line, as diff reads them: `-u` (`--unified`), `-L LABEL`
// (`--label LABEL`, `--label=LABEL`) once or twice, `--` before names that begin with "-".
// Either name may be a folder: two folders are compared entry by entry, and a file and a folder
// as diff takes them, the file against its namesake in the folder.
// Three files are a three-way merge, taken as diff3 and the merge tools take them: MINE BASE
// THEIRS (the common ancestor in the middle), `-L` up to three times naming them in that order,
// `-o FILE` (`--output FILE`, `--output=FILE`) where the result goes (MINE when not given), and
// `--merge` to write the merge without a window. Options may stand before or after the names.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Cancel.h"
#include "Comparison.h"
#include "Unified.h"

namespace viewer {

struct Arguments {
    bool unified = false;
    bool merge = false;          // --merge: write the three-way merge, no window
    bool exitWhenShown = false;  // the benchmark's hidden option: quit once the window is painted
    std::filesystem::path first;
    std::filesystem::path second;
    std::filesystem::path firstLabel;  // empty: none
    std::filesystem::path secondLabel;
    // A three-way merge: `first` is MINE, `second` THEIRS, and this their common ancestor.
    std::filesystem::path base;
    std::filesystem::path baseLabel;
    std::filesystem::path output;  // -o: where the merge is written; empty: MINE (or stdout)
    bool threeWay() const { return !base.empty(); }
};

// `arguments` without the program's name; nothing when they are not a valid command line.
std::optional<Arguments> ParseArguments(const std::vector<std::filesystem::path>& arguments);

// The comparison the window shows for them, its files named by their labels, under `options`.
Comparison CompareFiles(const Arguments& arguments, const CancelFlag* cancel = nullptr,
                        const IgnoreOptions& options = {});

// `-u`, as both fronts run it: `diff -u` for two files, `diff -ruN` for two folders. Returns
// diff's exit code: 0 the same, 1 different, 2 trouble (the rest is still written).
int WriteUnified(const Arguments& arguments, const UnifiedStreams& streams);

}  // namespace viewer

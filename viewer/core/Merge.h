// The three-way merge of MINE and THEIRS against BASE, their common ancestor, as `diff3 -m`
// makes it: each file is compared with BASE line by line (LineDiff.h), the changes of the two
// sides that touch or overlap in BASE are taken together, and each such stretch comes from the
// one side that changed it, from either when both changed it alike, or is a conflict. Lines are
// compared as the bytes they are, each with its LF: any bytes, CR LF and a last line without an
// end go through as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Cancel.h"

namespace viewer {

// Lines [begin, end) of one file, from 0.
struct LineRange {
    std::int32_t begin = 0;
    std::int32_t end = 0;
    std::int32_t size() const { return end - begin; }
    bool operator==(const LineRange&) const = default;
};

enum class MergeKind : std::uint8_t {
    Same,      // all three alike
    Mine,      // only MINE changed it: MINE's lines are taken
    Theirs,    // only THEIRS changed it: THEIRS' lines are taken
    Both,      // both changed it the same way: taken once
    Conflict,  // both changed it, differently
};

// One stretch of the merge, with where it lies in each file. Stretches follow each other without
// a gap in all three files.
struct MergeChunk {
    MergeKind kind = MergeKind::Same;
    LineRange mine;
    LineRange base;
    LineRange theirs;
    bool operator==(const MergeChunk&) const = default;
};

// The files' lines as RawLines cuts them (Unified.h); the views must outlive the call only.
// Throws Cancelled once `cancel` is set.
std::vector<MergeChunk> MergeLines(const std::vector<std::string_view>& mine,
                                   const std::vector<std::string_view>& base,
                                   const std::vector<std::string_view>& theirs,
                                   const CancelFlag* cancel = nullptr);

// What names the three sides in a conflict's marker lines.
struct MergeLabels {
    std::string mine;
    std::string base;
    std::string theirs;
};

struct MergedText {
    std::string text;
    int conflicts = 0;
};

// The merged file: each stretch's lines, and each conflict as diff3 and git write it:
// "<<<<<<< MINE", MINE's lines, "||||||| BASE", BASE's lines, "=======", THEIRS' lines,
// ">>>>>>> THEIRS", each marker on a line of its own (a side's last line without an end gets one
// before the next marker), the markers ended with CR LF when MINE's first line is.
MergedText MergeText(std::string_view mine, std::string_view base, std::string_view theirs,
                     const MergeLabels& labels, const CancelFlag* cancel = nullptr);

// How a conflict's marker lines end: "\r\n" when MINE's first line does, else "\n".
std::string_view MarkerLineEnd(const std::vector<std::string_view>& mine);

// Appends one conflict, its marker lines ended as `lineEnd` says ("\n" or "\r\n").
void AppendConflict(std::string& out, const std::vector<std::string_view>& mine,
                    const std::vector<std::string_view>& base,
                    const std::vector<std::string_view>& theirs, const MergeChunk& chunk,
                    const MergeLabels& labels, std::string_view lineEnd);

}  // namespace viewer

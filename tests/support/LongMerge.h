// A merge too long to measure before its window is drawn, the same for both fronts' tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "Arguments.h"
#include "MergeSession.h"

namespace testsupport {

// Three files in `dir` of 30,000 49-letter lines (4.5 MB together), BASE's line 25,001 of 200
// letters; MINE (and THEIRS, the same) changes the first line. Read as the program reads them.
inline std::optional<viewer::MergeSources> MergeWithAWideBaseLine(
    const std::filesystem::path& dir) {
    std::string base;
    for (int i = 0; i < 30000; ++i) base += std::string(49, i == 25000 ? 'w' : 'x') + "\n";
    std::string mine = base;
    mine[0] = 'y';
    base.replace(25000 * 50, 50, std::string(200, 'w') + "\n");
    for (const auto& [name, bytes] : {std::pair{"mine.txt", &mine}, std::pair{"base.txt", &base},
                                      std::pair{"theirs.txt", &mine}}) {
        std::ofstream(dir / name, std::ios::binary) << *bytes;
    }
    const auto parsed =
        viewer::ParseArguments({dir / "mine.txt", dir / "base.txt", dir / "theirs.txt"});
    if (!parsed) return std::nullopt;
    std::u16string why;
    return viewer::ReadMergeSources(*parsed, why);
}

}  // namespace testsupport

// What the viewer's command line asks for. The front end starts it with exactly two file names,
// and those are always two files, whatever they are called ("-u" included); options are read
// only from a longer command line, as diff reads them: `-u` (`--unified`), `-L LABEL`
// (`--label LABEL`, `--label=LABEL`) once or twice, `--` before names that begin with "-".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Cancel.h"
#include "Comparison.h"

namespace viewer {

struct Arguments {
    bool unified = false;
    bool exitWhenShown = false;  // the benchmark's hidden option: quit once the window is painted
    std::filesystem::path first;
    std::filesystem::path second;
    std::filesystem::path firstLabel;  // empty: none
    std::filesystem::path secondLabel;
};

// `arguments` without the program's name; nothing when they are not a valid command line.
std::optional<Arguments> ParseArguments(const std::vector<std::filesystem::path>& arguments);

// The comparison the window shows for them, its files named by their labels, under `options`.
Comparison CompareFiles(const Arguments& arguments, const CancelFlag* cancel = nullptr,
                        const IgnoreOptions& options = {});

// What the viewer says of its command line when it is wrong.
std::u16string Usage();

}  // namespace viewer

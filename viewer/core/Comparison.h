// Everything the window shows about two files, worked out before the window opens. Standard C++
// only, shared by the Qt and the Win32 fronts; texts to show are UTF-16 (std::u16string).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LineDiff.h"
#include "TextFile.h"

namespace viewer {

enum class Outcome {
    Unreadable,  // one file or both could not be read; each side's `error` says why
    Binary,      // at least one file is binary: compared byte by byte
    TooLarge,    // a file is larger than the text limit: compared byte by byte, in blocks
    Text,        // both are text: compared line by line
};

struct FileSide {
    std::filesystem::path path;
    std::u16string error;  // why the file could not be read; empty when it was read
    std::int64_t size = 0;
    Encoding encoding = Encoding::Utf8;  // text files only: what the file is written in
    bool lossy = false;                  // text files only: some bytes show as U+FFFD
    // Text files only; never null. Identical files share one. Lines are compared by their
    // bytes; two files in different encodings are both held as UTF-16, so that the same text
    // in two encodings is the same line.
    std::shared_ptr<const TextFile> text = std::make_shared<const TextFile>();
};

struct Comparison {
    Outcome outcome = Outcome::Unreadable;
    FileSide first;
    FileSide second;
    bool identicalBytes = false;
    std::int64_t firstDifferentByte = -1;  // offset of the first byte that differs, -1 if none
    Rows rows;
    std::vector<std::size_t> differenceStarts;  // the first row of each difference

    // Moving between differences, as F8 and Shift+F8 do: the first row of the next difference
    // below `current` (from the top when there is no current row), or of the previous one above
    // it (from inside a difference, its own first row); nothing when there is none.
    std::optional<std::size_t> NextDifference(std::optional<std::size_t> current) const;
    std::optional<std::size_t> PreviousDifference(std::optional<std::size_t> current) const;
    // Which difference, counted from 1, holds `row`; 0 for a common row.
    std::size_t DifferenceNumber(std::size_t row) const;

    // The bytes of a row's line, from the file that has it.
    std::string_view LineBytes(std::size_t row) const;
    // A row's line as text to show.
    std::u16string LineText(std::size_t row) const;
    // Text whose lines all match although the bytes differ: why, in a sentence.
    std::u16string SameLinesNote() const;
};

// Beyond this size a file is not read into memory as text, so that a pair of disk images cannot
// exhaust memory; it is compared byte by byte instead.
constexpr std::int64_t kTextLimitBytes = std::int64_t{64} << 20;

Comparison Compare(const std::filesystem::path& firstPath, const std::filesystem::path& secondPath,
                   std::int64_t textLimitBytes = kTextLimitBytes);

}  // namespace viewer

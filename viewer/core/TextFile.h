// A text file as its bytes, cut into lines: the lines are compared by their bytes and decoded
// only to be shown. A line costs about two bytes beyond its own (LineStarts).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LineStarts.h"
#include "TextDecode.h"

namespace viewer {

enum class LineEnding { None, Lf, CrLf, Mixed };

class TextFile {
public:
    TextFile() = default;
    // LF and CR LF both end a line; a CR elsewhere is part of the line. A final line without a
    // newline is still a line, and a final newline does not start an empty one, so "a\nb" and
    // "a\nb\n" both have two lines and an empty text has none. `bytes` come without the byte
    // order mark and must be under 4 GiB. In UTF-16 a line ends at the code unit LF.
    TextFile(std::string bytes, Encoding encoding, bool lossy = false);

    Encoding encoding() const { return encoding_; }
    bool lossy() const { return lossy_; }  // some bytes show as U+FFFD
    LineEnding ending() const { return ending_; }
    bool endsWithNewline() const { return endsWithNewline_; }  // false for an empty file too
    std::int32_t longestLine() const { return longestLine_; }  // the most bytes; -1 if no line
    const std::string& bytes() const { return bytes_; }

    std::int32_t LineCount() const { return static_cast<std::int32_t>(starts_.size()); }
    // A line's bytes, without its line ending.
    std::string_view Line(std::int32_t index) const;
    // A line's bytes with its line ending (LF, CR LF, or none for a last line without one).
    std::string_view LineWithEnding(std::int32_t index) const;
    // The line that holds the byte at `offset`; -1 before the first line.
    std::int32_t LineAt(std::size_t offset) const;
    // How the line ends: LF, CR LF, or None for a last line without a newline.
    LineEnding EndingOf(std::int32_t index) const;
    // A line as text, to show it; the runs that are stray bytes ("<E9>") go to `byteMarks`.
    std::u16string Display(std::int32_t index, std::vector<MarkSpan>* byteMarks = nullptr) const {
        return Decode(Line(index), encoding_, byteMarks);
    }

private:
    std::string bytes_;
    LineStarts starts_;  // where each line begins in bytes_
    Encoding encoding_ = Encoding::Utf8;
    bool lossy_ = false;
    LineEnding ending_ = LineEnding::None;
    bool endsWithNewline_ = false;
    std::int32_t longestLine_ = -1;
};

}  // namespace viewer

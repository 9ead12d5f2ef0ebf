// A text file as its bytes, cut into lines: the lines are compared by their bytes and decoded
// only to be shown. Its lines are found through an index of a few bytes for each KiB of text
// (LineStarts), not kept one by one: Line() looks a line up, LineCursor walks many.
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
    // order mark and must be under 4 GiB. In UTF-16 a line ends at the code unit LF. Throws
    // std::bad_alloc for more lines than 32 bits count, as for more than memory holds.
    TextFile(std::string bytes, Encoding encoding, bool lossy = false);

    Encoding encoding() const { return encoding_; }
    bool lossy() const { return lossy_; }  // some bytes show as U+FFFD
    LineEnding ending() const { return ending_; }
    bool endsWithNewline() const { return endsWithNewline_; }  // false for an empty file too
    const std::string& bytes() const { return bytes_; }

    std::int32_t LineCount() const { return lines_; }
    // A line's bytes, without its line ending. Looked up in its block of the index: for the
    // rows on screen; what walks many lines walks them with a LineCursor.
    std::string_view Line(std::int32_t index) const;
    // A line's bytes with its line ending (LF, CR LF, or none for a last line without one).
    std::string_view LineWithEnding(std::int32_t index) const;
    // The line that holds the byte at `offset` (past the end, the last line); -1 when there is
    // no line.
    std::int32_t LineAt(std::size_t offset) const;
    // How the line ends: LF, CR LF, or None for a last line without a newline.
    LineEnding EndingOf(std::int32_t index) const;
    // A line as text, to show it; the runs that are stray bytes ("<E9>") go to `byteMarks`.
    std::u16string Display(std::int32_t index, std::vector<MarkSpan>* byteMarks = nullptr) const {
        return Decode(Line(index), encoding_, byteMarks);
    }

private:
    friend class LineCursor;
    // Where line `index` (up to LineCount()) begins.
    std::size_t StartOf(std::int32_t index) const;

    std::string bytes_;
    LineStarts starts_;
    Encoding encoding_ = Encoding::Utf8;
    bool lossy_ = false;
    LineEnding ending_ = LineEnding::None;
    bool endsWithNewline_ = false;
    std::int32_t lines_ = 0;
};

// A file's lines one after another, from any line on: the way to walk many lines. A step looks
// only at the bytes of the line it comes to, where each Line() call would count its way through
// the line's block again.
class LineCursor {
public:
    // At line `index`, from 0 to the file's LineCount(), where there is no line. The file must
    // outlive the cursor.
    LineCursor(const TextFile& file, std::int32_t index);
    std::int32_t index() const { return index_; }
    // The line's bytes, without its line ending.
    std::string_view Line() const;
    // The line's bytes with its line ending.
    std::string_view LineWithEnding() const;
    LineEnding Ending() const;
    // On to the next line.
    void Next();
    // On to the first line from this one on, before line `end`, that has more than `bytes` bytes;
    // false, at line `end`, when none has. Runs of shorter lines are passed eight bytes at a
    // time.
    bool SkipShorter(std::size_t bytes, std::int32_t end);

private:
    void Place(std::int32_t index, std::size_t begin);
    bool HasNewline() const { return newline_ < file_->bytes_.size(); }

    const TextFile* file_;
    std::int32_t index_ = 0;
    std::size_t begin_ = 0;    // where the line begins
    std::size_t newline_ = 0;  // where its newline is; the file's size when it has none
};

// A file's lines asked for mostly in order, as a walk over rows asks for them: each line after
// the one before is a step of a LineCursor, any other is looked up.
class LinesInOrder {
public:
    explicit LinesInOrder(const TextFile& file) : file_(&file), at_(file, 0) {}
    const LineCursor& At(std::int32_t index) {
        if (index == at_.index() + 1) {
            at_.Next();
        } else if (index != at_.index()) {
            at_ = LineCursor(*file_, index);
        }
        return at_;
    }

private:
    const TextFile* file_;
    LineCursor at_;
};

}  // namespace viewer

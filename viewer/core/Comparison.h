// Everything the window shows about two files, worked out before the window opens. Standard C++
// only, shared by the Qt and the Win32 fronts; texts to show are UTF-16 (std::u16string).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Cancel.h"
#include "FileRead.h"
#include "Ignore.h"
#include "Side.h"
#include "InlineDiff.h"
#include "LineDiff.h"
#include "TextFile.h"

namespace viewer {

enum class Outcome {
    Unreadable,  // one file or both could not be read; each side's `error` says why
    Binary,      // at least one file is binary: compared byte by byte
    TooLarge,    // a file is larger than the text limit, or memory cannot hold the two as lines
                 // (memoryShort()): compared byte by byte, in blocks
    Text,        // both are text: compared line by line
};

// The encodings the user chose for the two files (the menu of EncodingChoices()); none where it
// is found from the file's bytes.
struct ChosenEncodings {
    std::optional<Encoding> first;
    std::optional<Encoding> second;
    bool operator==(const ChosenEncodings&) const = default;
};

struct FileSide {
    std::filesystem::path path;
    // What the window calls the file instead of its path, when not empty (`-L`): version control
    // tools hand the viewer temporary files.
    std::filesystem::path label;
    FileError error;  // why the file could not be read; none when it was read
    // The state of the file that was read, from the open file; none when it was not there.
    std::optional<FileIdentity> identity;
    std::int64_t size = 0;
    Encoding encoding = Encoding::Utf8;  // text files only: what the file is written in
    std::string mark;                    // text files only: its byte order mark, as read
    bool lossy = false;                  // text files only: some bytes are not valid in it
    std::size_t badBytes = 0;            // text files only: how many
    // A file of one folder only: the other folder's name for it, which may not be there. It is
    // then compared as an empty file (`absent`), and a save makes it.
    bool mayBeMissing = false;
    bool absent = false;  // not there when read
    // Text files only; never null. Identical files share one. Lines are compared by their
    // bytes; two files in different encodings are both held as UTF-16, so that the same text
    // in two encodings is the same line.
    std::shared_ptr<const TextFile> text = std::make_shared<const TextFile>();

    // The name to show: the label, else the path (`whole`) or its last part.
    std::filesystem::path Name(bool whole) const {
        return !label.empty() ? label : whole ? path : path.filename();
    }
};

// A changed line's partner in its change (the removed line it replaces, or the added line that
// replaces it), and the runs of its text that differ from the partner's.
struct LineMarks {
    std::optional<std::size_t> partner;  // the partner's row; none for a line changed as a whole
    std::vector<MarkSpan> marks;         // in the line's text (LineText)
};

// A row's text as a list shows it, with its marks in that text: the runs that differ from its
// partner, and apart from them the bytes not valid in the file's encoding, shown as "<E9>",
// which a front draws in a style of their own. A long line is shown in part: `text` is then the
// part, and `before` and `after` count the code units left out on each side.
struct ShownLine {
    std::u16string text;
    std::vector<MarkSpan> marks;
    std::vector<MarkSpan> byteMarks;
    std::size_t before = 0;
    std::size_t after = 0;
};

// Laying out megabytes of text for one row would stall every repaint; longer lines are shown in
// part, always with their first difference.
constexpr std::size_t kLongestShown = 2000;

// What differs between two texts whose lines all match although their bytes differ.
struct BytesOnlyDifferences {
    bool encoding = false;      // written in two encodings
    bool lineEnds = false;      // their lines end differently (LF, CR LF)
    bool finalNewline = false;  // one ends with a newline, the other does not
};

// The most a file may hold to be compared as text: a file's lines are found by 32-bit offsets,
// and a 32-bit program has no room for more than this twice over. A larger file is compared byte
// by byte, in blocks. Saves read a file back whole up to this size.
constexpr std::int64_t kTextLimitBytes =
    sizeof(void*) >= 8 ? (std::int64_t{4} << 30) - 1 : std::int64_t{512} << 20;

// Which of the two files may be missing (FileSide::mayBeMissing).
struct MissingSides {
    bool first = false;
    bool second = false;
};

class Comparison;
class InputFile;

// A file whose encoding is chosen is read in it, whatever its bytes (UTF-16 is text then, for all
// its NUL bytes).
Comparison Compare(const std::filesystem::path& firstPath, const std::filesystem::path& secondPath,
                   std::int64_t textLimitBytes = kTextLimitBytes, const IgnoreOptions& options = {},
                   const CancelFlag* cancel = nullptr, const ChosenEncodings& chosen = {},
                   MissingSides missing = {});

// Two files compared: by lines when both are text, else byte by byte. Made by Compare; only its
// own operations change it (other options, labels, the texts of an edit), so that what it
// keeps about the rows always agrees with them.
class Comparison {
public:
    Outcome outcome() const { return outcome_; }
    const FileSide& first() const { return first_; }
    const FileSide& second() const { return second_; }
    // Whether the two files hold the same bytes, their byte order marks included.
    bool identicalBytes() const { return identical_; }
    // The offset of the first byte that differs; -1 when none does, or when it is not known:
    // texts edited in two encodings, which are held as UTF-16, not as their bytes.
    std::int64_t firstDifferentByte() const { return firstDifferentByte_; }
    // Whether text files were compared byte by byte (TooLarge) as memory could not hold their
    // lines, not for their size.
    bool memoryShort() const { return memoryShort_; }
    const Rows& rows() const { return rows_; }
    const std::vector<std::size_t>& differenceStarts() const { return differenceStarts_; }
    const IgnoreOptions& options() const { return options_; }  // what the rows were compared under
    const ChosenEncodings& chosen() const { return chosen_; }  // the encodings chosen by hand
    // Lines whose bytes differ but which the options show as common or overlook: the count the
    // status bar gives, so that a hidden difference is never silently lost.
    std::size_t hiddenLines() const { return hiddenLines_; }
    // Common rows whose lines end differently (LF, CR LF), shown as the same line.
    std::size_t endingOnlyLines() const { return endingOnlyLines_; }
    // Common rows whose lines differ only in characters the two encodings' tables map apart.
    std::size_t variantOnlyLines() const { return variantOnlyLines_; }
    // Text whose lines all match although the bytes differ: what differs. None for files with
    // differences, identical ones and anything but text.
    std::optional<BytesOnlyDifferences> SameLines() const;

    // Compares the lines again under other options; the files are not read again. Throws
    // Cancelled once `cancel` is set, the comparison left as it was.
    void Rediff(const IgnoreOptions& newOptions, const CancelFlag* cancel = nullptr);
    // What the window calls the files instead of their paths (`-L`); empty for the path.
    void SetLabels(std::filesystem::path firstLabel, std::filesystem::path secondLabel);
    // The files' texts after an edit, compared again under the same options: each must be held
    // as the one it replaces (its own bytes, or UTF-16 for two encodings). Throws Cancelled once
    // `cancel` is set, the comparison then left half made: run it on a copy.
    void ReplaceTexts(std::shared_ptr<const TextFile> firstText,
                      std::shared_ptr<const TextFile> secondText,
                      const CancelFlag* cancel = nullptr);

    // A change that the options overlook (blank lines only): shown, but neither counted nor
    // coloured.
    bool Overlooked(std::size_t row) const;

    // Moving between differences, as F8 and Shift+F8 do: the first row of the next difference
    // below `current` (from the top when there is no current row), or of the previous one above
    // it (from inside a difference, its own first row); nothing when there is none.
    std::optional<std::size_t> NextDifference(std::optional<std::size_t> current) const;
    std::optional<std::size_t> PreviousDifference(std::optional<std::size_t> current) const;
    // Which difference, counted from 1, holds `row`; 0 for a common row.
    std::size_t DifferenceNumber(std::size_t row) const;

    // The bytes of a row's line, from the file that has it.
    std::string_view LineBytes(std::size_t row) const;
    // A row's line as text to show; with the line ends not ignored, its end drawn after it
    // ("␍␊", "␊").
    std::u16string LineText(std::size_t row) const;
    // The row's partner and marks. Common rows have neither. The pairing of a change is worked
    // out the first time one of its rows is asked for.
    LineMarks MarksOf(std::size_t row) const;
    // The row's line whole when it has at most `longest` code units; otherwise the part around
    // its first mark (or its start), with the numbers of units left out on each side.
    ShownLine Shown(std::size_t row, std::size_t longest = kLongestShown) const;

    // The next row (or previous, `forward` false) after `from` whose text holds `needle`, letters
    // compared without case; the search wraps round the end. None when no row holds it.
    std::optional<std::size_t> Find(std::u16string_view needle, std::optional<std::size_t> from,
                                    bool forward) const;
    // The row of a file's line, counted from 1 as the list shows it; `inFirst` picks the file.
    // A number past the end gives the file's last line.
    std::optional<std::size_t> RowOfLine(Side side, std::int64_t lineNumber) const;
    // Where a window stays once the files are read again: at the line of `before` (the current
    // row of the earlier comparison) where it is still there, else at the first difference.
    std::optional<std::size_t> RowToKeep(const std::optional<Row>& before) const;
    // Rows as text to copy, one line each, marked as in a unified diff: " " common, "-" only in
    // the first file, "+" only in the second. A copy holds the lines' own characters (a lone CR,
    // an ESC, a zero-width space), not the marks drawn for them, and no line ending but the LF
    // between lines; a stray byte, which is no character, becomes U+FFFD, counted in
    // `strayBytes` when given, and so does a NUL, which no clipboard holds inside a text, counted
    // in `nuls`.
    std::u16string CopyText(const std::vector<std::size_t>& rowList,
                            std::size_t* strayBytes = nullptr, std::size_t* nuls = nullptr) const;

private:
    friend Comparison Compare(const std::filesystem::path&, const std::filesystem::path&,
                              std::int64_t, const IgnoreOptions&, const CancelFlag*,
                              const ChosenEncodings&, MissingSides);
    // Reads the rest of two text files, whose starts are `bytes1` and `bytes2`, and compares
    // them by their lines (Text), unless they are binary once read whole.
    void TakeLines(InputFile& file1, InputFile& file2, std::string bytes1, std::string bytes2,
                   const CancelFlag* cancel);
    // Whether the files hold the same bytes, and where they first differ: the one rule for
    // "identical", from the bytes as read or, after an edit, the texts as they would be written.
    void SetIdentity(std::string_view firstBytes, std::string_view secondBytes);

    // Whether every line of the change holding `row` is blank.
    bool BlankChange(std::size_t row) const;
    // Whether the files, in two encodings, are held as UTF-16 and compared by their text, the
    // JIS variants made one.
    bool ByText() const;
    // A row's line as text, its end drawn after it when `withEnd`; the marks of its stray bytes
    // to `byteMarks`.
    std::u16string RowText(std::size_t row, bool withEnd,
                           std::vector<MarkSpan>* byteMarks = nullptr) const;

    Outcome outcome_ = Outcome::Unreadable;
    FileSide first_;
    FileSide second_;
    bool identical_ = false;
    std::int64_t firstDifferentByte_ = -1;
    bool memoryShort_ = false;
    Rows rows_;
    std::vector<std::size_t> differenceStarts_;  // the first row of each difference
    IgnoreOptions options_;
    ChosenEncodings chosen_;
    std::size_t hiddenLines_ = 0;
    std::size_t endingOnlyLines_ = 0;      // common rows whose lines end differently
    std::size_t variantOnlyLines_ = 0;     // common rows whose lines differ in JIS variants only
    std::vector<std::size_t> overlooked_;  // the first row of each overlooked change
    // By a change's first removed row: each removed line's partner, as an index among the
    // change's added lines, or -1.
    mutable std::map<std::size_t, std::vector<std::int32_t>> pairings_;
};

// The same two files read and compared again, under the same options, with the same labels and
// encodings chosen by hand.
Comparison CompareAgain(const Comparison& earlier, const CancelFlag* cancel = nullptr);
// The same with other encodings chosen, as the encoding menus do.
Comparison CompareAgain(const Comparison& earlier, const ChosenEncodings& chosen,
                        const CancelFlag* cancel = nullptr);

}  // namespace viewer

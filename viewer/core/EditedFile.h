// One file of a comparison as the user edits it: the lines as read, with the lines taken across
// or typed put in their place. Lines not edited keep their bytes and their own line ends; the
// file keeps its encoding, its byte order mark and its final newline or the lack of one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Comparison.h"
#include "FileError.h"

namespace viewer {

// A line that cannot be put in a file: its number (from 1) and the encoding it fails in, with the
// character that encoding cannot hold, or `notText` when its bytes are no text in it.
struct LineProblem {
    std::int64_t line = 0;
    Encoding encoding = Encoding::Utf8;
    std::u16string character;
    bool notText = false;
    bool operator==(const LineProblem&) const = default;
};

// A run of lines of the edited file: `count` lines as read from `first` on, or one line put in
// by an edit (`count` 1), held as the comparison holds the file's lines.
struct Piece {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::shared_ptr<const std::string> line;  // the new line's bytes, when it is one
    // A new line's end: its own (taken across with it), or that of the line it took the place
    // of; None for the line above's.
    LineEnding ending = LineEnding::None;
    // A line edited in place where the comparison holds the file in another encoding: its bytes
    // in the file's own, the characters not typed in their bytes as read.
    std::shared_ptr<const std::string> disk;
    bool operator==(const Piece&) const = default;
};
using Pieces = std::vector<Piece>;

// What undo and redo put back: the lines, and whether the last one ends in a line break.
struct FileState {
    Pieces pieces;
    bool finalNewline = false;
    bool operator==(const FileState&) const = default;
};

// Lines put in by EditedFile::Replace: their bytes, and how they end.
struct NewLines {
    std::vector<std::string_view> lines;
    // Each line's own end, taken across with it; empty: each ends as the line it takes the
    // place of.
    std::vector<LineEnding> endings;
    // The file's final newline afterwards, when the lines put in are the last of their file.
    std::optional<bool> finalNewline;
};

// `count` lines of the file from `at` (as it is before the replacement) that `added` takes the
// place of.
struct Replacement {
    std::int32_t at = 0;
    std::int32_t count = 0;
    NewLines added;
};

class EditedFile {
public:
    // `side` as the comparison read it; `other` gives a line end and a final newline to a file
    // that has none of its own (an empty one).
    EditedFile(const FileSide& side, const FileSide& other);

    // The lines as the comparison holds them now: in the held encoding (UTF-16 when the two
    // files are in different encodings), each with its line end.
    const std::shared_ptr<const TextFile>& text() const { return text_; }
    // Whether the lines differ from those on disk (as read, or as last saved). Asked at every
    // command update: the same text is not compared byte by byte with itself.
    bool changed() const { return text_ != saved_ && text_->bytes() != saved_->bytes(); }
    std::int32_t LineCount() const { return text_->LineCount(); }

    // Reads the file again to keep its bytes for the save: the comparison may hold them only as
    // text. Once; none when done, else why not: it cannot be read, or it is not as it was
    // compared (FileProblem::ChangedSinceCompared).
    FileError Load();

    // Each replacement's lines put in, in `encoding`, in one step: the replacements in order,
    // none overlapping the next. Why not when a line is not valid text in it or has a character
    // this file's encoding cannot hold (only where the comparison holds the file in its own
    // encoding: otherwise the save finds it): the first such line, and the file is left as it was.
    std::optional<LineProblem> Replace(const std::vector<Replacement>& replacements,
                                       Encoding encoding);
    // The line `at` becomes `text`; the characters it keeps at its start and end keep their
    // bytes (CP932 has two codes for some characters, and the user changed neither). Why not
    // when this file's encoding cannot hold a character of it.
    std::optional<LineProblem> EditLine(std::int32_t at, std::u16string_view text);
    FileState state() const { return {pieces_, finalNewline_}; }
    void Restore(FileState state);

    // The file's bytes to write, or the line that cannot be written.
    bool DiskBytes(std::string& out, LineProblem& why) const;
    // Whether `present` (the file on disk now; nullptr when it is not there) is still what was
    // read or last saved.
    bool StillAsRead(const std::string* present) const;
    // Not on disk, as read: a save makes it.
    bool absent() const { return absent_; }
    // Its permission bits when read (0 when not known), for a save that has to make it again.
    std::uint32_t permissions() const { return permissions_; }
    // After a save: `written` is on disk now.
    void Saved(std::string written);

    Encoding diskEncoding() const { return side_.encoding; }

private:
    // Calls `each(piece, index in the piece, line end)` for every line in order.
    template <typename Each>
    void ForEachLine(Each each) const;
    void Rebuild();

    FileSide side_;
    std::shared_ptr<const TextFile> held_;  // the lines as the comparison first held them
    std::shared_ptr<const TextFile> disk_;  // the same lines as on disk, once loaded
    std::string mark_;                      // the byte order mark as read
    std::optional<std::string> written_;    // the whole file as last saved
    bool absent_ = false;
    std::uint32_t permissions_ = 0;
    bool finalNewline_ = false;
    LineEnding fallbackEnding_ = LineEnding::Lf;
    Pieces pieces_;
    std::shared_ptr<const TextFile> text_;
    std::shared_ptr<const TextFile> saved_;
};

}  // namespace viewer

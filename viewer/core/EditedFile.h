// One file of a comparison as the user edits it: the lines as read, with the lines taken across
// or typed put in their place. Lines not edited keep their bytes and their own line ends; the
// file keeps its encoding, its byte order mark and its final newline or the lack of one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Comparison.h"

namespace viewer {

// A run of lines of the edited file: `count` lines as read from `first` on, or one line put in
// by an edit (`count` 1), held as the comparison holds the file's lines.
struct Piece {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::shared_ptr<const std::string> line;  // the new line's bytes, when it is one
    // A new line's end: that of the line it took the place of; None for the line above's.
    LineEnding ending = LineEnding::None;
    bool operator==(const Piece&) const = default;
};
using Pieces = std::vector<Piece>;

class EditedFile {
public:
    // `side` as the comparison read it; `other` gives a line end and a final newline to a file
    // that has none of its own (an empty one).
    EditedFile(const FileSide& side, const FileSide& other);

    // The lines as the comparison holds them now: in the held encoding (UTF-16 when the two
    // files are in different encodings), each with its line end.
    const std::shared_ptr<const TextFile>& text() const { return text_; }
    // Whether the lines differ from those on disk (as read, or as last saved).
    bool changed() const { return text_->bytes() != saved_->bytes(); }
    std::int32_t LineCount() const { return text_->LineCount(); }

    // Reads the file again to keep its bytes for the save: the comparison may hold them only as
    // text. Once; an empty text when done, else why not: the file is not as it was compared.
    std::u16string Load();

    // `count` lines from `at` replaced by `lines`, in `encoding`; why not when one is not valid
    // text in it or has a character this file's encoding cannot hold (only where the comparison
    // holds the file in its own encoding: otherwise the save finds it).
    std::optional<std::u16string> Replace(std::int32_t at, std::int32_t count,
                                          const std::vector<std::string_view>& lines,
                                          Encoding encoding);
    const Pieces& pieces() const { return pieces_; }
    void Restore(Pieces pieces);

    // The file's bytes to write, or why they cannot be (why: "12 行目の「é」は … で書けません").
    bool DiskBytes(std::string& out, std::u16string& why) const;
    // Whether `present` (the file on disk now) is still what was read or last saved.
    bool StillAsRead(const std::string& present) const;
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
    bool finalNewline_ = false;
    LineEnding fallbackEnding_ = LineEnding::Lf;
    Pieces pieces_;
    std::shared_ptr<const TextFile> text_;
    std::shared_ptr<const TextFile> saved_;
};

}  // namespace viewer

#include "EditedFile.h"

#include <algorithm>

#include "FileRead.h"
#include "TextEncode.h"

namespace viewer {

namespace {

LineProblem CannotWrite(std::int64_t line, const std::u16string& character, Encoding encoding) {
    return {line, encoding, character, false};
}

LineProblem NotText(std::int64_t line, Encoding encoding) { return {line, encoding, {}, true}; }

// The lines [from, to) of the file that `pieces` make.
Pieces Cut(const Pieces& pieces, std::int32_t from, std::int32_t to) {
    Pieces out;
    std::int32_t at = 0;
    for (const Piece& piece : pieces) {
        const std::int32_t begin = std::max(from, at);
        const std::int32_t end = std::min(to, at + piece.count);
        if (begin < end) {
            out.push_back(
                {piece.first + (begin - at), end - begin, piece.line, piece.ending, piece.disk});
        }
        at += piece.count;
    }
    return out;
}

// Joins runs of lines as read that follow each other.
void Append(Pieces& pieces, const Piece& piece) {
    if (!pieces.empty() && !piece.line && !pieces.back().line &&
        pieces.back().first + pieces.back().count == piece.first) {
        pieces.back().count += piece.count;
        return;
    }
    pieces.push_back(piece);
}

}  // namespace

EditedFile::EditedFile(const FileSide& side, const FileSide& other)
    : side_(side), held_(side.text), absent_(side.absent), text_(side.text), saved_(side.text) {
    const TextFile& text = *held_;
    // An empty file takes its first lines' ends, and its final newline, from the other file.
    finalNewline_ = text.LineCount() > 0 ? text.endsWithNewline() : other.text->endsWithNewline();
    fallbackEnding_ = other.text->ending() == LineEnding::CrLf ? LineEnding::CrLf : LineEnding::Lf;
    if (text.LineCount() > 0)
        pieces_.push_back({0, text.LineCount(), nullptr, LineEnding::None, nullptr});
}

template <typename Each>
void EditedFile::ForEachLine(Each each) const {
    std::int32_t total = 0;
    for (const Piece& piece : pieces_) total += piece.count;
    // A line without an end of its own (one put in where none was, or the last line as read
    // once it is no longer last) ends as the line above it does, or at the top as the first.
    LineEnding above = fallbackEnding_;
    if (held_->LineCount() > 0 && held_->EndingOf(0) != LineEnding::None)
        above = held_->EndingOf(0);
    std::int32_t number = 0;
    LinesInOrder held(*held_);
    for (const Piece& piece : pieces_) {
        for (std::int32_t k = 0; k < piece.count; ++k) {
            const LineEnding own = piece.line ? piece.ending : held.At(piece.first + k).Ending();
            if (own != LineEnding::None) above = own;
            each(piece, k, ++number == total && !finalNewline_ ? LineEnding::None : above);
        }
    }
}

void EditedFile::Rebuild() {
    const Encoding encoding = held_->encoding();
    std::string bytes;
    bytes.reserve(held_->bytes().size());
    LinesInOrder held(*held_);
    ForEachLine([&](const Piece& piece, std::int32_t k, LineEnding ending) {
        bytes += piece.line ? std::string_view(*piece.line) : held.At(piece.first + k).Line();
        bytes += EndingBytes(ending, encoding);
    });
    text_ = std::make_shared<const TextFile>(std::move(bytes), encoding, held_->lossy());
}

FileError EditedFile::Load() {
    if (disk_) return {};
    const FileError changed{FileProblem::ChangedSinceCompared, 0, side_.path};
    InputFile file(side_.path, side_.absent);
    std::string bytes;
    if (!file.ok() || !file.ReadAll(bytes)) return file.error();
    if (file.missing() != side_.absent) return changed;
    // In the encoding the comparison read it in, found or chosen by hand.
    const DetectedEncoding found = ReadAs(bytes, side_.encoding);
    if (found.encoding != side_.encoding) return changed;
    std::string rest = bytes.substr(found.markBytes);
    std::shared_ptr<const TextFile> disk;
    if (SameByteForm(held_->encoding(), side_.encoding)) {
        if (rest != held_->bytes()) return changed;
        disk = held_;
    } else {
        // Held as UTF-16 text for comparing; the bytes as read are what unchanged lines keep.
        if (Encode(Decode(rest, side_.encoding), held_->encoding()) != held_->bytes()) {
            return changed;
        }
        disk = std::make_shared<const TextFile>(std::move(rest), side_.encoding, found.lossy);
        if (disk->LineCount() != held_->LineCount()) return changed;
    }
    mark_ = bytes.substr(0, found.markBytes);
    disk_ = std::move(disk);
    permissions_ = file.permissions();
    return {};
}

std::optional<LineProblem> EditedFile::Replace(const std::vector<Replacement>& replacements,
                                               Encoding encoding) {
    const Encoding heldEncoding = held_->encoding();
    // New lines end as the lines they take the place of, any more as the last of those: the
    // ends as the file has them before the step. Asked for in order, as the lines are walked.
    LinesInOrder before(*text_);
    auto endingAt = [&](std::int32_t line) {
        return line < text_->LineCount() ? before.At(line).Ending() : LineEnding::None;
    };
    // One walk down the pieces: those between the replacements kept, those they replace left.
    Pieces pieces;
    auto piece = pieces_.begin();
    std::int32_t pieceAt = 0;  // the first line of *piece
    std::int32_t walked = 0;   // the first line not yet kept or left
    auto walkTo = [&](std::int32_t to, bool keep) {
        while (walked < to && piece != pieces_.end()) {
            const std::int32_t end = std::min(to, pieceAt + piece->count);
            if (keep) {
                Append(pieces, {piece->first + (walked - pieceAt), end - walked, piece->line,
                                piece->ending, piece->disk});
            }
            walked = end;
            if (walked == pieceAt + piece->count) {
                pieceAt = walked;
                ++piece;
            }
        }
    };
    bool finalNewline = finalNewline_;
    std::int64_t moved = 0;  // how far the replacements above move a line down
    for (const Replacement& replacement : replacements) {
        const std::int32_t at = replacement.at, count = replacement.count;
        const NewLines& added = replacement.added;
        walkTo(at, true);
        for (std::size_t i = 0; i < added.lines.size(); ++i) {
            // Its number in the file as the step would make it.
            const std::int64_t number = at + moved + static_cast<std::int64_t>(i) + 1;
            const LineEnding ending =
                !added.endings.empty() ? added.endings[i]
                : count == 0           ? LineEnding::None
                             : endingAt(at + std::min(static_cast<std::int32_t>(i), count - 1));
            std::string held(added.lines[i]);
            if (!SameByteForm(encoding, heldEncoding)) {
                const std::optional<std::u16string> text = DecodeExactly(held, encoding);
                if (!text) return NotText(number, encoding);
                std::u16string character;
                std::optional<std::string> bytes = Encode(*text, heldEncoding, &character);
                if (!bytes) return CannotWrite(number, character, heldEncoding);
                held = std::move(*bytes);
            }
            pieces.push_back(
                {0, 1, std::make_shared<const std::string>(std::move(held)), ending, nullptr});
        }
        walkTo(at + count, false);
        moved += std::ssize(added.lines) - count;
        finalNewline = added.finalNewline.value_or(finalNewline);
    }
    walkTo(INT32_MAX, true);
    Restore({std::move(pieces), finalNewline});
    return std::nullopt;
}

std::optional<LineProblem> EditedFile::EditLine(std::int32_t at, std::u16string_view text) {
    const Encoding encoding = held_->encoding();
    std::u16string character;
    std::optional<std::string> bytes = EncodeKeeping(text, encoding, text_->Line(at), &character);
    if (!bytes) return CannotWrite(std::int64_t{at} + 1, character, encoding);
    Piece edited{0, 1, std::make_shared<const std::string>(std::move(*bytes)), text_->EndingOf(at),
                 nullptr};
    // Held in another encoding: the bytes it keeps are those on disk, as read or as last typed.
    const Pieces before = Cut(pieces_, at, at + 1);
    if (!SameByteForm(encoding, side_.encoding) && disk_ && before.size() == 1) {
        const Piece& old = before.front();
        const std::string_view reference = !old.line  ? disk_->Line(old.first)
                                           : old.disk ? std::string_view(*old.disk)
                                                      : std::string_view();
        if (auto written = EncodeKeeping(text, side_.encoding, reference)) {
            edited.disk = std::make_shared<const std::string>(std::move(*written));
        }
    }
    Pieces pieces = Cut(pieces_, 0, at);
    pieces.push_back(std::move(edited));
    for (const Piece& piece : Cut(pieces_, at + 1, INT32_MAX)) Append(pieces, piece);
    Restore({std::move(pieces), finalNewline_});
    return std::nullopt;
}

void EditedFile::Restore(FileState state) {
    pieces_ = std::move(state.pieces);
    finalNewline_ = state.finalNewline;
    Rebuild();
}

bool EditedFile::DiskBytes(std::string& out, LineProblem& why) const {
    const Encoding encoding = side_.encoding;
    const Encoding heldEncoding = held_->encoding();
    out = mark_;
    out.reserve(mark_.size() + disk_->bytes().size());
    std::int64_t number = 0;
    bool ok = true;
    LinesInOrder disk(*disk_);
    ForEachLine([&](const Piece& piece, std::int32_t k, LineEnding ending) {
        ++number;
        if (!ok) return;
        if (!piece.line) {
            out += disk.At(piece.first + k).Line();
        } else if (SameByteForm(heldEncoding, encoding)) {
            out += *piece.line;
        } else {
            std::u16string character;
            const std::optional<std::u16string> text = DecodeExactly(*piece.line, heldEncoding);
            std::optional<std::string> bytes;
            if (piece.disk) {
                bytes = *piece.disk;
            } else if (text) {
                bytes = Encode(*text, encoding, &character);
            }
            if (!bytes) {
                why = text ? CannotWrite(number, character, encoding) : NotText(number, encoding);
                ok = false;
                return;
            }
            out += *bytes;
        }
        out += EndingBytes(ending, encoding);
    });
    return ok;
}

bool EditedFile::StillAsRead(const std::string* present) const {
    if (written_) return present != nullptr && *present == *written_;
    if (absent_ || present == nullptr) return absent_ && present == nullptr;
    const std::string_view view(*present);
    return view.size() == mark_.size() + disk_->bytes().size() && view.starts_with(mark_) &&
           view.substr(mark_.size()) == disk_->bytes();
}

void EditedFile::Saved(std::string written) {
    written_ = std::move(written);
    absent_ = false;
    saved_ = text_;
}

}  // namespace viewer

#include "EditedFile.h"

#include <algorithm>

#include "FileRead.h"
#include "TextEncode.h"

namespace viewer {

namespace {

std::u16string Number(std::int64_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string CannotWrite(std::int64_t line, const std::u16string& character, Encoding encoding) {
    return Number(line) + u" 行目の「" + character + u"」は " + EncodingName(encoding) +
           u" で書けません";
}

std::u16string NotText(std::int64_t line, Encoding encoding) {
    return Number(line) + u" 行目には " + EncodingName(encoding) +
           u" の文字として読めないバイトがあります";
}

// The lines [from, to) of the file that `pieces` make.
Pieces Cut(const Pieces& pieces, std::int32_t from, std::int32_t to) {
    Pieces out;
    std::int32_t at = 0;
    for (const Piece& piece : pieces) {
        const std::int32_t begin = std::max(from, at);
        const std::int32_t end = std::min(to, at + piece.count);
        if (begin < end) {
            out.push_back({piece.first + (begin - at), end - begin, piece.line, piece.ending});
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
    : side_(side), held_(side.text), text_(side.text), saved_(side.text) {
    const TextFile& text = *held_;
    // An empty file takes its first lines' ends, and its final newline, from the other file.
    finalNewline_ = text.LineCount() > 0 ? text.endsWithNewline() : other.text->endsWithNewline();
    fallbackEnding_ = other.text->ending() == LineEnding::CrLf ? LineEnding::CrLf : LineEnding::Lf;
    if (text.LineCount() > 0) pieces_.push_back({0, text.LineCount(), nullptr});
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
    for (const Piece& piece : pieces_) {
        for (std::int32_t k = 0; k < piece.count; ++k) {
            const LineEnding own = piece.line ? piece.ending : held_->EndingOf(piece.first + k);
            if (own != LineEnding::None) above = own;
            each(piece, k, ++number == total && !finalNewline_ ? LineEnding::None : above);
        }
    }
}

void EditedFile::Rebuild() {
    const Encoding encoding = held_->encoding();
    std::string bytes;
    bytes.reserve(held_->bytes().size());
    ForEachLine([&](const Piece& piece, std::int32_t k, LineEnding ending) {
        bytes += piece.line ? std::string_view(*piece.line) : held_->Line(piece.first + k);
        bytes += EndingBytes(ending, encoding);
    });
    text_ = std::make_shared<const TextFile>(std::move(bytes), encoding, held_->lossy());
}

std::u16string EditedFile::Load() {
    if (disk_) return {};
    const std::u16string changed = u"比較した後にファイルが変更されています";
    InputFile file(side_.path);
    std::string bytes;
    if (!file.ok() || !file.ReadAll(bytes)) return file.error();
    const DetectedEncoding found = DetectEncoding(bytes);
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
    return {};
}

std::optional<std::u16string> EditedFile::Replace(std::int32_t at, std::int32_t count,
                                                  const std::vector<std::string_view>& lines,
                                                  Encoding encoding) {
    const Encoding heldEncoding = held_->encoding();
    // New lines end as the lines they take the place of; any more as the last of those.
    auto endingAt = [&](std::int32_t line) {
        return line < text_->LineCount() ? text_->EndingOf(line) : LineEnding::None;
    };
    Pieces added;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::int64_t number = at + static_cast<std::int64_t>(i) + 1;
        const LineEnding ending =
            count == 0 ? LineEnding::None
                       : endingAt(at + std::min(static_cast<std::int32_t>(i), count - 1));
        std::string held(lines[i]);
        if (!SameByteForm(encoding, heldEncoding)) {
            const std::optional<std::u16string> text = DecodeExactly(lines[i], encoding);
            if (!text) return NotText(number, encoding);
            std::u16string character;
            std::optional<std::string> bytes = Encode(*text, heldEncoding, &character);
            if (!bytes) return CannotWrite(number, character, heldEncoding);
            held = std::move(*bytes);
        }
        added.push_back({0, 1, std::make_shared<const std::string>(std::move(held)), ending});
    }
    Pieces pieces;
    for (const Piece& piece : Cut(pieces_, 0, at)) Append(pieces, piece);
    for (const Piece& piece : added) Append(pieces, piece);
    for (const Piece& piece : Cut(pieces_, at + count, INT32_MAX)) Append(pieces, piece);
    Restore(std::move(pieces));
    return std::nullopt;
}

void EditedFile::Restore(Pieces pieces) {
    pieces_ = std::move(pieces);
    Rebuild();
}

bool EditedFile::DiskBytes(std::string& out, std::u16string& why) const {
    const Encoding encoding = side_.encoding;
    const Encoding heldEncoding = held_->encoding();
    out = mark_;
    out.reserve(mark_.size() + disk_->bytes().size());
    std::int64_t number = 0;
    bool ok = true;
    ForEachLine([&](const Piece& piece, std::int32_t k, LineEnding ending) {
        ++number;
        if (!ok) return;
        if (!piece.line) {
            out += disk_->Line(piece.first + k);
        } else if (SameByteForm(heldEncoding, encoding)) {
            out += *piece.line;
        } else {
            std::u16string character;
            const std::optional<std::u16string> text = DecodeExactly(*piece.line, heldEncoding);
            const std::optional<std::string> bytes =
                text ? Encode(*text, encoding, &character) : std::nullopt;
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

bool EditedFile::StillAsRead(const std::string& present) const {
    if (written_) return present == *written_;
    const std::string_view view(present);
    return view.size() == mark_.size() + disk_->bytes().size() && view.starts_with(mark_) &&
           view.substr(mark_.size()) == disk_->bytes();
}

void EditedFile::Saved(std::string written) {
    written_ = std::move(written);
    saved_ = text_;
}

}  // namespace viewer

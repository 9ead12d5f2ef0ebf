#include "TextFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace viewer {

namespace {

Units UnitsOf(Encoding encoding) {
    if (encoding == Encoding::Utf16Le) return Units::Utf16Le;
    if (encoding == Encoding::Utf16Be) return Units::Utf16Be;
    return Units::Bytes;
}

}  // namespace

TextFile::TextFile(std::string bytes, Encoding encoding, bool lossy)
    : bytes_(std::move(bytes)),
      starts_(bytes_, UnitsOf(encoding)),
      encoding_(encoding),
      lossy_(lossy) {
    const std::size_t unit = starts_.unit();
    const std::size_t size = bytes_.size();
    // Whole code units only: an odd byte at the end of UTF-16 stays in the last line.
    endsWithNewline_ =
        size >= unit && size % unit == 0 && starts_.UnitIs(bytes_, size - unit, '\n');
    const std::size_t lines = starts_.newlines() + (size > 0 && !endsWithNewline_ ? 1 : 0);
    // Rows and lines are counted in 32 bits: more lines than that are more than the window
    // holds, and the file is compared as one too large for memory is.
    if (lines > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::bad_alloc();
    lines_ = static_cast<std::int32_t>(lines);
    if (starts_.newlines() > 0) {
        ending_ = starts_.crlfs() == 0                    ? LineEnding::Lf
                  : starts_.crlfs() == starts_.newlines() ? LineEnding::CrLf
                                                          : LineEnding::Mixed;
    }
}

std::size_t TextFile::StartOf(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    if (i == 0) return 0;
    if (i > starts_.newlines()) return bytes_.size();
    return starts_.Newline(bytes_, i) + starts_.unit();
}

std::int32_t TextFile::LineAt(std::size_t offset) const {
    // The lines that begin at or before `offset` are those after the newlines wholly before it.
    if (lines_ == 0) return -1;
    const std::size_t before = starts_.NewlinesBefore(bytes_, offset);
    return static_cast<std::int32_t>(std::min<std::size_t>(before, lines_ - 1));
}

LineEnding TextFile::EndingOf(std::int32_t index) const {
    return LineCursor(*this, index).Ending();
}

std::string_view TextFile::LineWithEnding(std::int32_t index) const {
    return LineCursor(*this, index).LineWithEnding();
}

std::string_view TextFile::Line(std::int32_t index) const {
    return LineCursor(*this, index).Line();
}

LineCursor::LineCursor(const TextFile& file, std::int32_t index) : file_(&file) {
    Place(index, file.StartOf(index));
}

void LineCursor::Place(std::int32_t index, std::size_t begin) {
    index_ = index;
    begin_ = begin;
    newline_ = index < file_->lines_ ? file_->starts_.NextNewline(file_->bytes_, begin)
                                     : file_->bytes_.size();
}

std::string_view LineCursor::Line() const {
    std::size_t end = newline_;
    const std::size_t unit = file_->starts_.unit();
    if (HasNewline() && end >= begin_ + unit &&
        file_->starts_.UnitIs(file_->bytes_, end - unit, '\r'))
        end -= unit;
    return std::string_view(file_->bytes_).substr(begin_, end - begin_);
}

std::string_view LineCursor::LineWithEnding() const {
    const std::size_t end = HasNewline() ? newline_ + file_->starts_.unit() : newline_;
    return std::string_view(file_->bytes_).substr(begin_, end - begin_);
}

LineEnding LineCursor::Ending() const {
    if (!HasNewline()) return LineEnding::None;
    const std::size_t unit = file_->starts_.unit();
    return newline_ >= begin_ + unit && file_->starts_.UnitIs(file_->bytes_, newline_ - unit, '\r')
               ? LineEnding::CrLf
               : LineEnding::Lf;
}

void LineCursor::Next() {
    Place(index_ + 1, HasNewline() ? newline_ + file_->starts_.unit() : file_->bytes_.size());
}

bool LineCursor::SkipShorter(std::size_t bytes, std::int32_t end) {
    const std::string_view text = file_->bytes_;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    constexpr std::uint64_t kLow = 0x7F7F7F7F7F7F7F7F;
    constexpr std::uint64_t kLf = 0x0A0A0A0A0A0A0A0A;
    for (;;) {
        if (index_ >= end) {
            if (index_ > end) *this = LineCursor(*file_, end);
            return false;
        }
        if (Line().size() > bytes) return true;
        if (!HasNewline() || file_->starts_.units() != Units::Bytes) {
            Next();
            continue;
        }
        // The next line that may be longer, from the newlines alone: a line (with its CR, if
        // any) is as long as the distance between two of them.
        std::int32_t index = index_ + 1;
        std::size_t start = newline_ + 1;
        for (std::size_t at = start;; at += 8) {
            if (index >= end || at >= text.size()) {
                Place(index, start);
                break;
            }
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + at, std::min<std::size_t>(8, text.size() - at));
            if (word == kLf && at - start <= bytes) {  // eight newlines, the lines all short
                index += 8;
                start = at + 8;
                continue;
            }
            const std::uint64_t x = word ^ kLf;
            const std::uint64_t lf = ~(((x & kLow) + kLow) | x) & kHigh;
            if (lf == 0) {
                if (std::min(at + 8, text.size()) - start > bytes) {
                    Place(index, start);
                    break;
                }
                continue;
            }
            const std::size_t first = at + static_cast<std::size_t>(std::countr_zero(lf)) / 8;
            if (first - start > bytes) {
                Place(index, start);
                break;
            }
            // The lines between the word's newlines are shorter than eight bytes; where they
            // are all empty, or may all be passed over, nothing is looked at one by one.
            const std::uint64_t firstBit = lf & -lf;
            const std::uint64_t lastBit = std::uint64_t{1} << (63 - std::countl_zero(lf));
            const bool allEmpty = (((lastBit << 1) - firstBit) & kHigh) == lf;
            if (!allEmpty && bytes < 6) {
                std::size_t previous = first;
                std::int32_t line = index + 1;
                bool found = false;
                for (std::uint64_t rest = lf & (lf - 1); rest != 0; rest &= rest - 1, ++line) {
                    const std::size_t next =
                        at + static_cast<std::size_t>(std::countr_zero(rest)) / 8;
                    if (next - previous - 1 > bytes) {
                        Place(line, previous + 1);
                        found = true;
                        break;
                    }
                    previous = next;
                }
                if (found) break;
            }
            index += static_cast<std::int32_t>(((lf >> 7) * 0x0101010101010101) >> 56);
            start = at + static_cast<std::size_t>(63 - std::countl_zero(lf)) / 8 + 1;
        }
    }
}

}  // namespace viewer

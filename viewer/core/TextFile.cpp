#include "TextFile.h"

#include <algorithm>
#include <cstring>

namespace viewer {

namespace {

LineEnding Combine(LineEnding seen, LineEnding next) {
    if (seen == LineEnding::None || seen == next) return next;
    return LineEnding::Mixed;
}

// The code unit at `at` (a byte offset) is `unit`, in the file's byte order.
bool UnitIs(const std::string& bytes, std::size_t at, Encoding encoding, char unit) {
    switch (UnitBytes(encoding)) {
        case 1:
            return bytes[at] == unit;
        default:
            if (encoding == Encoding::Utf16Le) return bytes[at] == unit && bytes[at + 1] == 0;
            return bytes[at] == 0 && bytes[at + 1] == unit;
    }
}

}  // namespace

TextFile::TextFile(std::string bytes, Encoding encoding, bool lossy)
    : bytes_(std::move(bytes)), encoding_(encoding), lossy_(lossy) {
    const std::size_t unit = UnitBytes(encoding_);
    const std::size_t size = bytes_.size();
    // Whole code units only: an odd byte at the end of UTF-16 stays in the last line.
    const std::size_t units = size / unit * unit;
    std::size_t start = 0;
    std::size_t longestLength = 0;
    auto addLine = [&](std::size_t begin, std::size_t length) {
        if (longestLine_ < 0 || length > longestLength) {
            longestLine_ = static_cast<std::int32_t>(starts_.size());
            longestLength = length;
        }
        starts_.push_back(static_cast<std::uint32_t>(begin));
    };
    if (unit == 1)
        starts_.reserve(static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n')) +
                        1);
    while (start < size) {
        std::size_t newline = start;
        if (unit == 1) {
            // Short lines are found by hand; memchr pays off on long ones.
            const std::size_t near = std::min(size, start + 16);
            while (newline < near && bytes_[newline] != '\n') ++newline;
            if (newline == near && near < size) {
                const void* found = std::memchr(bytes_.data() + near, '\n', size - near);
                newline = found == nullptr ? size : static_cast<const char*>(found) - bytes_.data();
            }
        } else {
            while (newline < units && !UnitIs(bytes_, newline, encoding_, '\n')) newline += unit;
            if (newline >= units) newline = size;
        }
        if (newline == size) {
            addLine(start, size - start);
            break;
        }
        const bool crlf =
            newline >= start + unit && UnitIs(bytes_, newline - unit, encoding_, '\r');
        ending_ = Combine(ending_, crlf ? LineEnding::CrLf : LineEnding::Lf);
        addLine(start, newline - start - (crlf ? unit : 0));
        start = newline + unit;
    }
    endsWithNewline_ =
        size >= unit && size == units && UnitIs(bytes_, size - unit, encoding_, '\n');
}

std::int32_t TextFile::LineAt(std::size_t offset) const {
    return static_cast<std::int32_t>(starts_.LastAtOrBefore(static_cast<std::uint32_t>(offset)));
}

LineEnding TextFile::EndingOf(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    if (i + 1 == starts_.size() && !endsWithNewline_) return LineEnding::None;
    const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : bytes_.size();
    const std::size_t unit = UnitBytes(encoding_);
    const std::size_t content = static_cast<const char*>(Line(index).data()) - bytes_.data();
    return end - content - Line(index).size() > unit ? LineEnding::CrLf : LineEnding::Lf;
}

std::string_view TextFile::LineWithEnding(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : bytes_.size();
    return std::string_view(bytes_).substr(starts_[i], end - starts_[i]);
}

std::string_view TextFile::Line(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    const std::size_t begin = starts_[i];
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : bytes_.size();
    // Every line but the last ends in a newline; the last one does when the file does.
    if (i + 1 < starts_.size() || endsWithNewline_) {
        const std::size_t unit = UnitBytes(encoding_);
        end -= unit;
        if (end >= begin + unit && UnitIs(bytes_, end - unit, encoding_, '\r')) end -= unit;
    }
    return std::string_view(bytes_).substr(begin, end - begin);
}

}  // namespace viewer

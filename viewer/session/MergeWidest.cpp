#include "MergeWidest.h"

#include <algorithm>
#include <utility>

#include "Cells.h"

namespace viewer {

std::string_view Body(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

namespace {

// The cells of a line of printable ASCII and tabs, counted from its bytes (in every encoding the
// merge takes, such bytes are those characters); none for any other line, which is decoded.
std::optional<std::size_t> PlainCells(std::string_view line) {
    std::size_t cells = 0;
    for (const char byte : line) {
        if (byte == '\t') {
            cells += kTabCells - cells % kTabCells;
        } else if (byte >= 0x20 && byte < 0x7F) {
            ++cells;
        } else {
            return std::nullopt;
        }
    }
    return cells;
}

}  // namespace

std::u16string ShownMergeLine(const DetectedEncoding& encoding, std::string_view line, bool first,
                              std::vector<MarkSpan>* byteMarks) {
    line = Body(line);
    // The byte order mark is the file's, not its first line's text.
    if (first) line.remove_prefix(std::min(line.size(), encoding.markBytes));
    return ShowControls(Decode(line, encoding.encoding, byteMarks), byteMarks);
}

std::optional<std::size_t> WidestMergeLine(std::span<const std::string_view> lines,
                                           const DetectedEncoding& encoding,
                                           const CancelFlag* cancel) {
    std::size_t most = 0;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const std::optional<std::size_t> plain = PlainCells(Body(lines[at]));
        most = std::max(
            most,
            plain ? *plain : TextCells(ShownMergeLine(encoding, lines[at], at == 0, nullptr)));
    }
    return most;
}

}  // namespace viewer

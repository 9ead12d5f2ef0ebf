#include "Widest.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Cells.h"

namespace viewer {

namespace {

// The bytes of a line measured at most (a line is shown in part past kLongestShown characters),
// and the cells of the notes around a line shown in part.
constexpr std::size_t kMeasuredBytes = 4 * kLongestShown;
constexpr std::size_t kMarkersCells = 60;

// What MostCells needs of a line's bytes: its tabs and, for UTF-8, its continuation bytes and
// its lead bytes of three or four bytes. Eight bytes at a time: a file is looked at whole before
// the first paint.
struct ByteCounts {
    std::size_t tabs = 0;
    std::size_t continuations = 0;  // 10xxxxxx
    std::size_t wideLeads = 0;      // 111xxxxx
    std::size_t high = 0;           // 1xxxxxxx
};

ByteCounts CountBytes(std::string_view bytes) {
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    constexpr std::uint64_t kLow = 0x7F7F7F7F7F7F7F7F;
    constexpr std::uint64_t kTabs = 0x0909090909090909;
    // The bytes of a word with their top bit set: `marks` has no other bits.
    const auto count = [](std::uint64_t marks) {
        return static_cast<std::size_t>(((marks >> 7) * 0x0101010101010101) >> 56);
    };
    ByteCounts counts;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        // A byte of `notTab` is zero where the byte is a tab; its top bit is then the only one
        // left clear (the addition carries into the top bit of every byte that is not zero).
        const std::uint64_t notTab = word ^ kTabs;
        counts.tabs += count(~(((notTab & kLow) + kLow) | notTab) & kHigh);
        // Shifted left, a byte's next bits come to its top bit.
        counts.continuations += count(word & ~(word << 1) & kHigh);
        counts.wideLeads += count(word & (word << 1) & (word << 2) & kHigh);
        counts.high += count(word & kHigh);
    }
    for (; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        counts.tabs += byte == '\t';
        counts.continuations += (byte & 0xC0) == 0x80;
        counts.wideLeads += byte >= 0xE0;
        counts.high += byte >= 0x80;
    }
    return counts;
}

// The cells of each byte past ASCII in Windows-1252, where each is a character of its own: one,
// or two for those a Japanese font draws wide (é, ×).
using HighByteCells = std::array<std::uint8_t, 128>;

HighByteCells Windows1252Cells() {
    HighByteCells cells{};
    for (std::size_t byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        cells[byte - 0x80] =
            static_cast<std::uint8_t>(TextCells(Decode(one, Encoding::Windows1252)));
    }
    return cells;
}

// At least LineCells, from the bytes alone. A tab takes at most eight cells and a stray byte
// four ("<E9>"). Otherwise no character takes more cells than it has bytes (a wide one has two
// or more in every encoding but Windows-1252, whose bytes past ASCII have their own cells in
// `high`), and in UTF-8 a character of two bytes takes one cell.
std::size_t MostCells(const TextFile& file, std::string_view line, const HighByteCells& high) {
    const std::string_view measured = line.substr(0, kMeasuredBytes);
    const std::size_t notes = line.size() > kMeasuredBytes ? kMarkersCells : 0;
    const ByteCounts counts = CountBytes(measured);
    const std::size_t tabs = counts.tabs * (kTabCells - 1);
    if (file.lossy()) return measured.size() * 4 + counts.tabs * (kTabCells - 4) + notes;
    if (file.encoding() == Encoding::Windows1252) {
        std::size_t cells = measured.size() + tabs + notes;
        if (counts.high == 0) return cells;
        for (const char c : measured) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) cells += high[byte - 0x80] - std::size_t{1};
        }
        return cells;
    }
    if (file.encoding() == Encoding::Utf8 || file.encoding() == Encoding::Utf8Bom) {
        return measured.size() - counts.continuations + counts.wideLeads + tabs + notes;
    }
    return measured.size() + tabs + notes;
}

// The most cells a byte of the file takes: a tab eight, a stray byte four ("<E9>"), a byte of
// Windows-1252 its character's; any other no more than one, as above.
std::size_t MostCellsPerByte(const TextFile& file, const HighByteCells& high) {
    const std::string& bytes = file.bytes();
    if (std::memchr(bytes.data(), '\t', bytes.size()) != nullptr) return kTabCells;
    if (file.lossy()) return 4;
    if (file.encoding() == Encoding::Windows1252)
        return *std::max_element(high.begin(), high.end());
    return 1;
}

}  // namespace

std::size_t LineCells(const TextFile& file, std::string_view line) {
    if (line.size() > kMeasuredBytes) {
        return TextCells(Decode(line.substr(0, kMeasuredBytes), file.encoding())) + kMarkersCells;
    }
    return TextCells(Decode(line, file.encoding()));
}

std::optional<std::size_t> WidestLineCells(const TextFile& first, const TextFile& second,
                                           std::span<const Block> blocks,
                                           const CancelFlag* cancel) {
    // Measuring a line means decoding it and walking its clusters; bounding its cells from its
    // bytes is far cheaper, and from its length alone cheaper still. So the lines too short to
    // pass the widest measured so far are passed over by their newlines, eight bytes at a time;
    // the others are bounded from their bytes, and measured only where the bound passes the
    // widest.
    std::size_t widest = 0;
    const HighByteCells high =
        first.encoding() == Encoding::Windows1252 || second.encoding() == Encoding::Windows1252
            ? Windows1252Cells()
            : HighByteCells{};
    // How many cells a byte of each file may take, looked for (a look at all its bytes) only
    // once the widest line is wide enough for the answer to pass over more lines: until then
    // a tab's eight cells are assumed.
    std::size_t perByte[2] = {0, 0};
    auto mostPerByte = [&](const TextFile& file, bool added) {
        std::size_t& most = perByte[added && &file != &first ? 1 : 0];
        if (most == 0 && widest >= kTabCells) most = MostCellsPerByte(file, high);
        return most == 0 ? kTabCells : most;
    };
    // Lines are passed over a stretch at a time, and measured one at a time, so that a cancel is
    // seen soon.
    const auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    };
    constexpr std::int32_t kStretch = 1 << 16;
    for (const Block& block : blocks) {
        // A common or removed row shows the first file's line, an added row the second's.
        const bool added = block.kind == RowKind::Added;
        const TextFile& file = added ? second : first;
        const std::int32_t from = added ? block.second : block.first;
        const std::int32_t end = from + block.count;
        LineCursor line(file, from);
        while (line.index() < end) {
            if (cancelled()) return std::nullopt;
            const std::int32_t stretchEnd =
                end - line.index() > kStretch ? line.index() + kStretch : end;
            while (widest < mostPerByte(file, added) * kMeasuredBytes + kMarkersCells &&
                   line.SkipShorter(std::min(widest / mostPerByte(file, added), kMeasuredBytes),
                                    stretchEnd)) {
                if (cancelled()) return std::nullopt;
                const std::string_view bytes = line.Line();
                if (MostCells(file, bytes, high) > widest)
                    widest = std::max(widest, LineCells(file, bytes));
                line.Next();
            }
            if (line.index() < stretchEnd) break;  // wide enough: no line can pass it
        }
    }
    return widest;
}

std::size_t WidestLineCells(const Comparison& comparison) {
    return *WidestLineCells(*comparison.first().text, *comparison.second().text,
                            comparison.rows().blocks(), nullptr);
}

std::size_t WidestOfFirstRows(const Comparison& comparison, std::size_t rows) {
    std::vector<Block> first;
    for (Block block : comparison.rows().blocks()) {
        if (block.row >= rows) break;
        block.count = static_cast<std::int32_t>(
            std::min<std::size_t>(static_cast<std::size_t>(block.count), rows - block.row));
        first.push_back(block);
    }
    return *WidestLineCells(*comparison.first().text, *comparison.second().text, first, nullptr);
}

}  // namespace viewer

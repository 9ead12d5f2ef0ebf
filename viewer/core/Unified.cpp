#include "Unified.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "FileRead.h"
#include "LineDiff.h"
#include "TextDecode.h"

namespace viewer {

std::string HeaderTime(const std::filesystem::path& path) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) return {};
    using namespace std::chrono;
    const auto time = time_point_cast<nanoseconds>(file_clock::to_sys(written));
    const auto day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss<nanoseconds> clock(time - day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%09lld +0000",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()),
                  static_cast<long long>(clock.subseconds().count()));
    return text;
}

namespace {

// "-4,3": a range of `count` lines from line `start` (from 0), as a unified hunk names it: an
// empty range by the line before it, one line by its number alone.
std::string Range(char sign, std::int32_t start, std::int32_t count) {
    std::string text(1, sign);
    if (count == 0) return text + std::to_string(start) + ",0";
    text += std::to_string(start + 1);
    if (count != 1) text += ',' + std::to_string(count);
    return text;
}

void AddLine(std::string& out, char sign, std::string_view line) {
    out += sign;
    out += line;
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::vector<std::string_view> RawLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(start, next - start));
        start = next;
    }
    return lines;
}

namespace {

// Lines left on each side of the part that is diffed, past the equal head and tail: more than a
// change may slide (LineDiff), so that the rows are those of the whole files.
constexpr std::int32_t kSlideRoom = 30000;

// The start of the line `lines` lines before the one that starts at `at` (or the text's start).
std::size_t LinesBack(std::string_view text, std::size_t at, std::int32_t lines) {
    for (; lines > 0 && at > 0; --lines) {
        const std::size_t newline = at >= 2 ? text.rfind('\n', at - 2) : std::string_view::npos;
        at = newline == std::string_view::npos ? 0 : newline + 1;
    }
    return at;
}

// The start of the line `lines` lines after the one that starts at `at` (or the text's end).
std::size_t LinesOn(std::string_view text, std::size_t at, std::int32_t lines) {
    for (; lines > 0 && at < text.size(); --lines) {
        const std::size_t newline = text.find('\n', at);
        at = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    return at;
}

// Two texts as their equal head, the parts between, and their equal tail, each of whole lines:
// only the parts between are cut into lines and diffed, so that sixty million equal lines cost
// a look at their bytes, not a diff.
struct Middle {
    std::size_t headBytes = 0;
    std::int32_t headLines = 0;
    std::string_view first;
    std::string_view second;
};

Middle MiddleOf(std::string_view a, std::string_view b) {
    const std::size_t differs = EqualHead(a, b);
    // The head: the whole lines before the first byte that differs, less the room to slide.
    const std::size_t lineOfDifference = LinesBack(a, differs + 1, 1);
    Middle middle;
    middle.headBytes = LinesBack(a, lineOfDifference, kSlideRoom);
    middle.headLines = static_cast<std::int32_t>(
        std::count(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(middle.headBytes), '\n'));
    // The tail: equal bytes from the end, after the head, starting at a line in both files
    // (after a newline that lies in the equal part itself).
    const std::size_t same = EqualTail(a.substr(lineOfDifference), b.substr(lineOfDifference));
    const std::size_t newline = a.find('\n', a.size() - same);
    const std::size_t tailStart = newline == std::string_view::npos ? a.size() : newline + 1;
    const std::size_t tailBytes = a.size() - LinesOn(a, tailStart, kSlideRoom);
    middle.first = a.substr(middle.headBytes, a.size() - tailBytes - middle.headBytes);
    middle.second = b.substr(middle.headBytes, b.size() - tailBytes - middle.headBytes);
    return middle;
}

}  // namespace

std::string UnifiedHunks(std::string_view first, std::string_view second, int context,
                         const CancelFlag* cancel) {
    const Middle middle = MiddleOf(first, second);
    const std::vector<std::string_view> lines1 = RawLines(middle.first);
    const std::vector<std::string_view> lines2 = RawLines(middle.second);
    const Rows rows = DiffRawLines(lines1, lines2, cancel);
    const std::vector<Block>& blocks = rows.blocks();
    // Where each block begins in each file.
    std::vector<std::int32_t> at1(blocks.size() + 1, 0), at2(blocks.size() + 1, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        at1[b + 1] = at1[b] + (blocks[b].kind != RowKind::Added ? blocks[b].count : 0);
        at2[b + 1] = at2[b] + (blocks[b].kind != RowKind::Removed ? blocks[b].count : 0);
    }
    // The head's lines come before the rows; the room left to slide keeps every hunk's context
    // among the lines cut.
    auto line = [&](std::int32_t index, bool inFirst) {
        return (inFirst ? lines1 : lines2)[static_cast<std::size_t>(index)];
    };
    const std::int32_t skipped = middle.headLines;
    std::string out;
    for (std::size_t b = 0; b < blocks.size();) {
        if (blocks[b].kind == RowKind::Common) {
            ++b;
            continue;
        }
        // A hunk runs from this change to the last one that follows it within 2 * context
        // common lines.
        std::size_t last = b;
        for (;;) {
            const std::size_t next = last + 1;
            if (next < blocks.size() && blocks[next].kind != RowKind::Common) {
                last = next;
            } else if (next + 1 < blocks.size() && blocks[next].count <= 2 * context) {
                last = next + 1;
            } else {
                break;
            }
        }
        const std::int32_t before = b > 0 ? std::min(context, blocks[b - 1].count) : 0;
        const std::int32_t after =
            last + 1 < blocks.size() ? std::min(context, blocks[last + 1].count) : 0;
        const std::int32_t start1 = at1[b] - before, start2 = at2[b] - before;
        const std::int32_t end1 = at1[last + 1] + after, end2 = at2[last + 1] + after;
        out += "@@ " + Range('-', skipped + start1, end1 - start1) + ' ' +
               Range('+', skipped + start2, end2 - start2) + " @@\n";
        for (std::int32_t k = start1; k < at1[b]; ++k) AddLine(out, ' ', line(k, true));
        for (std::size_t k = b; k <= last; ++k) {
            const Block& block = blocks[k];
            for (std::int32_t n = 0; n < block.count; ++n) {
                if (block.kind == RowKind::Added) {
                    AddLine(out, '+', line(block.second + n, false));
                } else {
                    AddLine(out, block.kind == RowKind::Common ? ' ' : '-',
                            line(block.first + n, true));
                }
            }
        }
        for (std::int32_t k = at1[last + 1]; k < end1; ++k) AddLine(out, ' ', line(k, true));
        b = last + 1;
    }
    return out;
}

std::string PrintedName(const std::filesystem::path& path) {
#ifdef _WIN32
    return ToUtf8(path.u16string());
#else
    return path.native();
#endif
}

void UnifiedStreams::Trouble(const std::string& name, const std::string& reason) const {
    err("diff-zarvo-view: " + name + ": " + reason + '\n');
}

UnifiedOutput UnifiedDiff(const std::filesystem::path& first, const std::filesystem::path& second,
                          const std::string& firstLabel, const std::string& secondLabel) {
    UnifiedOutput result;
    std::string bytes[2];
    FileError* errors[] = {&result.errors.first, &result.errors.second};
    const std::filesystem::path* paths[] = {&first, &second};
    for (int side = 0; side < 2; ++side) {
        InputFile file(*paths[side]);
        if (!file.ok() || !file.ReadAll(bytes[side])) *errors[side] = file.error();
    }
    if (result.errors.any()) return result;
    if (bytes[0] == bytes[1]) {
        result.exitCode = 0;
        return result;
    }
    result.exitCode = 1;
    const std::string name1 = firstLabel.empty() ? PrintedName(first) : firstLabel;
    const std::string name2 = secondLabel.empty() ? PrintedName(second) : secondLabel;
    if (LooksBinary(bytes[0]) || LooksBinary(bytes[1])) {
        result.out = "Binary files " + name1 + " and " + name2 + " differ\n";
        return result;
    }
    auto header = [](const std::string& name, const std::string& label,
                     const std::filesystem::path& path) {
        if (!label.empty()) return name;
        const std::string time = HeaderTime(path);
        return time.empty() ? name : name + '\t' + time;
    };
    result.out = "--- " + header(name1, firstLabel, first) + "\n+++ " +
                 header(name2, secondLabel, second) + '\n' + UnifiedHunks(bytes[0], bytes[1]);
    return result;
}

}  // namespace viewer

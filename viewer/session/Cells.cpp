#include "Cells.h"

#include <algorithm>
#include <iterator>

namespace viewer {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Full-width characters, and the emoji shown as such.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x3029},
    {0x3030, 0x303E},   {0x3041, 0x3098},   {0x309B, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x16FE0, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F2FF},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC},
    {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

// Characters drawn on the one before them: combining marks (Mn, Me and the Mc of the scripts a
// file is likely to hold), joiners, variation selectors, emoji modifiers and tags.
constexpr Range kJoining[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489},   {0x0591, 0x05BD},   {0x05BF, 0x05BF},   {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7},   {0x0610, 0x061A},   {0x064B, 0x065F},   {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4},   {0x06E7, 0x06E8},   {0x06EA, 0x06ED},   {0x0711, 0x0711},
    {0x0730, 0x074A}, {0x07A6, 0x07B0},   {0x07EB, 0x07F3},   {0x0816, 0x082D},   {0x0859, 0x085B},
    {0x08D3, 0x08FF}, {0x0900, 0x0903},   {0x093A, 0x094F},   {0x0951, 0x0957},   {0x0962, 0x0963},
    {0x0981, 0x0983}, {0x09BC, 0x09D7},   {0x0A01, 0x0A03},   {0x0A3C, 0x0A51},   {0x0A81, 0x0A83},
    {0x0ABC, 0x0ACD}, {0x0B01, 0x0B03},   {0x0B3C, 0x0B57},   {0x0BBE, 0x0BCD},   {0x0C00, 0x0C04},
    {0x0C3E, 0x0C56}, {0x0CBC, 0x0CD6},   {0x0D00, 0x0D03},   {0x0D3B, 0x0D57},   {0x0DCA, 0x0DDF},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A},   {0x0E47, 0x0E4E},   {0x0EB1, 0x0EB1},   {0x0EB4, 0x0EBC},
    {0x0EC8, 0x0ECD}, {0x0F18, 0x0F19},   {0x0F35, 0x0F39},   {0x0F71, 0x0F84},   {0x102B, 0x103E},
    {0x1160, 0x11FF}, {0x135D, 0x135F},   {0x17B4, 0x17D3},   {0x180B, 0x180F},   {0x1AB0, 0x1AFF},
    {0x1B00, 0x1B04}, {0x1DC0, 0x1DFF},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},
    {0x20D0, 0x20FF}, {0x302A, 0x302F},   {0x3099, 0x309A},   {0xFE00, 0xFE0F},   {0xFE20, 0xFE2F},
    {0xFEFF, 0xFEFF}, {0x1F3FB, 0x1F3FF}, {0xE0000, 0xE007F}, {0xE0100, 0xE01EF},
};

constexpr char32_t kZeroWidthJoiner = 0x200D;

bool In(const Range* begin, const Range* end, char32_t c) {
    const Range* found =
        std::upper_bound(begin, end, c, [](char32_t v, const Range& r) { return v < r.first; });
    return found != begin && c <= std::prev(found)->last;
}

bool Joins(char32_t c) {
    return c == kZeroWidthJoiner || In(std::begin(kJoining), std::end(kJoining), c);
}

bool RegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// The character at `at` and the index after it; a lone surrogate is a character of its own.
char32_t CharAt(std::u16string_view text, std::size_t at, std::size_t& next) {
    const char16_t c = text[at];
    next = at + 1;
    if (c >= 0xD800 && c <= 0xDBFF && next < text.size() && text[next] >= 0xDC00 &&
        text[next] <= 0xDFFF) {
        ++next;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    }
    return c;
}

// The width of the cluster at `at`, before tabs: the widest of its characters, so that an emoji
// sequence counts as one wide emoji.
std::size_t ClusterAt(std::u16string_view text, std::size_t at, std::size_t& end) {
    std::size_t next = 0;
    const char32_t base = CharAt(text, at, next);
    int cells = CharCells(base);
    if (base == u'\r' && next < text.size() && text[next] == u'\n') {
        end = next + 1;
        return 0;
    }
    if (RegionalIndicator(base) && next < text.size()) {
        std::size_t after = 0;
        if (RegionalIndicator(CharAt(text, next, after))) {
            end = after;
            return 2;
        }
    }
    bool joined = false;
    while (next < text.size()) {
        std::size_t after = 0;
        const char32_t c = CharAt(text, next, after);
        if (!joined && !Joins(c)) break;
        joined = c == kZeroWidthJoiner;
        cells = std::max(cells, CharCells(c));
        next = after;
    }
    end = next;
    return static_cast<std::size_t>(cells);
}

}  // namespace

int CharCells(char32_t c) {
    if (c == 0) return 0;
    if (Joins(c)) return 0;
    if (c < 0x1100) return 1;
    return In(std::begin(kWide), std::end(kWide), c) ? 2 : 1;
}

std::size_t ClusterEnd(std::u16string_view text, std::size_t at) {
    if (at >= text.size()) return text.size();
    std::size_t end = at;
    ClusterAt(text, at, end);
    return end;
}

std::vector<Cluster> Clusters(std::u16string_view text) {
    std::vector<Cluster> clusters;
    std::size_t column = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at;
        std::size_t cells = ClusterAt(text, at, end);
        if (text[at] == u'\t') cells = kTabCells - column % kTabCells;
        clusters.push_back({at, end - at, column, cells});
        column += cells;
        at = end;
    }
    return clusters;
}

std::size_t CellColumn(std::u16string_view text, std::size_t at) {
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size() && i < at;) {
        std::size_t end = i;
        const std::size_t cells = ClusterAt(text, i, end);
        column += text[i] == u'\t' ? kTabCells - column % kTabCells : cells;
        i = end;
    }
    return column;
}

std::size_t TextCells(std::u16string_view text) { return CellColumn(text, text.size()); }

std::vector<MarkSpan> WholeClusters(std::u16string_view text, const std::vector<MarkSpan>& marks) {
    std::vector<MarkSpan> whole;
    if (marks.empty()) return whole;
    const std::vector<Cluster> clusters = Clusters(text);
    for (const MarkSpan& mark : marks) {
        std::size_t start = std::min<std::size_t>(mark.start, text.size());
        std::size_t end = std::min<std::size_t>(std::size_t{mark.start} + mark.length, text.size());
        // The cluster holding the start, and the one holding the last marked unit.
        const auto holding = [&](std::size_t at) {
            return std::prev(
                std::upper_bound(clusters.begin(), clusters.end(), at,
                                 [](std::size_t v, const Cluster& c) { return v < c.start; }));
        };
        if (start >= end || clusters.empty()) continue;
        const auto first = holding(start);
        const auto last = holding(end - 1);
        start = first->start;
        end = last->start + last->length;
        // Marks that now touch or overlap join.
        if (!whole.empty() && whole.back().start + whole.back().length >= start) {
            const std::size_t joinedEnd =
                std::max<std::size_t>(whole.back().start + whole.back().length, end);
            whole.back().length = static_cast<std::uint32_t>(joinedEnd - whole.back().start);
            continue;
        }
        whole.push_back(
            {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)});
    }
    return whole;
}

}  // namespace viewer

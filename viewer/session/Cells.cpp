#include "Cells.h"

#include <algorithm>
#include <iterator>

#include "TextDecode.h"

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

// East Asian Ambiguous characters of the BMP (but the private use area and the marks that join
// the character before them).
constexpr Range kAmbiguous[] = {
    {0x00A1, 0x00A1}, {0x00A4, 0x00A4}, {0x00A7, 0x00A8}, {0x00AA, 0x00AA}, {0x00AE, 0x00AE},
    {0x00B0, 0x00B4}, {0x00B6, 0x00BA}, {0x00BC, 0x00BF}, {0x00C6, 0x00C6}, {0x00D0, 0x00D0},
    {0x00D7, 0x00D8}, {0x00DE, 0x00E1}, {0x00E6, 0x00E6}, {0x00E8, 0x00EA}, {0x00EC, 0x00ED},
    {0x00F0, 0x00F0}, {0x00F2, 0x00F3}, {0x00F7, 0x00FA}, {0x00FC, 0x00FC}, {0x00FE, 0x00FE},
    {0x0101, 0x0101}, {0x0111, 0x0111}, {0x0113, 0x0113}, {0x011B, 0x011B}, {0x0126, 0x0127},
    {0x012B, 0x012B}, {0x0131, 0x0133}, {0x0138, 0x0138}, {0x013F, 0x0142}, {0x0144, 0x0144},
    {0x0148, 0x014B}, {0x014D, 0x014D}, {0x0152, 0x0153}, {0x0166, 0x0167}, {0x016B, 0x016B},
    {0x01CE, 0x01CE}, {0x01D0, 0x01D0}, {0x01D2, 0x01D2}, {0x01D4, 0x01D4}, {0x01D6, 0x01D6},
    {0x01D8, 0x01D8}, {0x01DA, 0x01DA}, {0x01DC, 0x01DC}, {0x0251, 0x0251}, {0x0261, 0x0261},
    {0x02C4, 0x02C4}, {0x02C7, 0x02C7}, {0x02C9, 0x02CB}, {0x02CD, 0x02CD}, {0x02D0, 0x02D0},
    {0x02D8, 0x02DB}, {0x02DD, 0x02DD}, {0x02DF, 0x02DF}, {0x0391, 0x03A1}, {0x03A3, 0x03A9},
    {0x03B1, 0x03C1}, {0x03C3, 0x03C9}, {0x0401, 0x0401}, {0x0410, 0x044F}, {0x0451, 0x0451},
    {0x2010, 0x2010}, {0x2013, 0x2016}, {0x2018, 0x2019}, {0x201C, 0x201D}, {0x2020, 0x2022},
    {0x2024, 0x2027}, {0x2030, 0x2030}, {0x2032, 0x2033}, {0x2035, 0x2035}, {0x203B, 0x203B},
    {0x203E, 0x203E}, {0x2074, 0x2074}, {0x207F, 0x207F}, {0x2081, 0x2084}, {0x20AC, 0x20AC},
    {0x2103, 0x2103}, {0x2105, 0x2105}, {0x2109, 0x2109}, {0x2113, 0x2113}, {0x2116, 0x2116},
    {0x2121, 0x2122}, {0x2126, 0x2126}, {0x212B, 0x212B}, {0x2153, 0x2154}, {0x215B, 0x215E},
    {0x2160, 0x216B}, {0x2170, 0x2179}, {0x2189, 0x2189}, {0x2190, 0x2199}, {0x21B8, 0x21B9},
    {0x21D2, 0x21D2}, {0x21D4, 0x21D4}, {0x21E7, 0x21E7}, {0x2200, 0x2200}, {0x2202, 0x2203},
    {0x2207, 0x2208}, {0x220B, 0x220B}, {0x220F, 0x220F}, {0x2211, 0x2211}, {0x2215, 0x2215},
    {0x221A, 0x221A}, {0x221D, 0x2220}, {0x2223, 0x2223}, {0x2225, 0x2225}, {0x2227, 0x222C},
    {0x222E, 0x222E}, {0x2234, 0x2237}, {0x223C, 0x223D}, {0x2248, 0x2248}, {0x224C, 0x224C},
    {0x2252, 0x2252}, {0x2260, 0x2261}, {0x2264, 0x2267}, {0x226A, 0x226B}, {0x226E, 0x226F},
    {0x2282, 0x2283}, {0x2286, 0x2287}, {0x2295, 0x2295}, {0x2299, 0x2299}, {0x22A5, 0x22A5},
    {0x22BF, 0x22BF}, {0x2312, 0x2312}, {0x2460, 0x24E9}, {0x24EB, 0x254B}, {0x2550, 0x2573},
    {0x2580, 0x258F}, {0x2592, 0x2595}, {0x25A0, 0x25A1}, {0x25A3, 0x25A9}, {0x25B2, 0x25B3},
    {0x25B6, 0x25B7}, {0x25BC, 0x25BD}, {0x25C0, 0x25C1}, {0x25C6, 0x25C8}, {0x25CB, 0x25CB},
    {0x25CE, 0x25D1}, {0x25E2, 0x25E5}, {0x25EF, 0x25EF}, {0x2605, 0x2606}, {0x2609, 0x2609},
    {0x260E, 0x260F}, {0x261C, 0x261C}, {0x261E, 0x261E}, {0x2640, 0x2640}, {0x2642, 0x2642},
    {0x2660, 0x2661}, {0x2663, 0x2665}, {0x2667, 0x266A}, {0x266C, 0x266D}, {0x266F, 0x266F},
    {0x269E, 0x269F}, {0x26BF, 0x26BF}, {0x26C6, 0x26CD}, {0x26CF, 0x26D3}, {0x26D5, 0x26E1},
    {0x26E3, 0x26E3}, {0x26E8, 0x26E9}, {0x26EB, 0x26F1}, {0x26F4, 0x26F4}, {0x26F6, 0x26F9},
    {0x26FB, 0x26FC}, {0x26FE, 0x26FF}, {0x273D, 0x273D}, {0x2776, 0x277F}, {0x2B56, 0x2B59},
    {0x3248, 0x324F}, {0xFFFD, 0xFFFD},
};

// The ambiguous characters the list font draws wide, sorted.
std::vector<char32_t>& WideAmbiguous() {
    static std::vector<char32_t> wide;
    return wide;
}

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
    if (c < 0xA1) return 1;
    if (const std::size_t letters = ControlLetters(c).size(); letters > 0)
        return static_cast<int>(std::max<std::size_t>(2, letters));
    if (In(std::begin(kWide), std::end(kWide), c)) return 2;
    const std::vector<char32_t>& wide = WideAmbiguous();
    return std::binary_search(wide.begin(), wide.end(), c) ? 2 : 1;
}

std::u16string_view ControlLetters(char32_t c) {
    static constexpr std::u16string_view kLetters[] = {
        u"NUL", u"SOH", u"STX", u"ETX", u"EOT", u"ENQ", u"ACK", u"BEL", u"BS",  u"HT",  u"LF",
        u"VT",  u"FF",  u"CR",  u"SO",  u"SI",  u"DLE", u"DC1", u"DC2", u"DC3", u"DC4", u"NAK",
        u"SYN", u"ETB", u"CAN", u"EM",  u"SUB", u"ESC", u"FS",  u"GS",  u"RS",  u"US"};
    if (c >= 0x2400 && c < 0x2420) return kLetters[c - 0x2400];
    return c == 0x2421 ? u"DEL" : u"";
}

std::u16string ShownName(std::u16string_view name) {
    std::u16string shown;
    for (const char16_t c : ShowControls(std::u16string(name))) {
        const std::u16string_view letters = ControlLetters(c == u'\t' ? u'\u2409' : c);
        if (letters.empty()) {
            shown += c;
        } else {
            shown += u'<';
            shown += letters;
            shown += u'>';
        }
    }
    return shown;
}

std::vector<char32_t> AmbiguousCharacters() {
    std::vector<char32_t> all;
    for (const Range& range : kAmbiguous) {
        for (char32_t c = range.first; c <= range.last; ++c) all.push_back(c);
    }
    return all;
}

void SetWideAmbiguous(std::vector<char32_t> wide) {
    std::sort(wide.begin(), wide.end());
    WideAmbiguous() = std::move(wide);
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

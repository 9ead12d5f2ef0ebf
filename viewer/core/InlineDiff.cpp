#include "InlineDiff.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "Myers.h"

namespace viewer {

namespace {

// Beyond these sizes the work is bounded instead of exact.
constexpr std::size_t kMostTokens = 2000;     // per line, for the word diff
constexpr std::size_t kMostUnits = 100000;    // per changed middle, before it is cut into words
constexpr std::size_t kLikenessWindow = 500;  // code units of each line's changed middle
constexpr std::size_t kLongestWord = 40;

bool IsWordUnit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           c == u'_' || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether a cut at `at` would split a word or a surrogate pair.
bool InsideToken(std::u16string_view s, std::size_t at) {
    if (at == 0 || at >= s.size()) return false;
    return IsLowSurrogate(s[at]) || (IsWordUnit(s[at - 1]) && IsWordUnit(s[at]));
}

struct Token {
    std::uint32_t start;
    std::uint32_t length;
};

// Words (runs of letters, digits and '_'), and every other character on its own.
std::vector<Token> Tokens(std::u16string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t end = i + 1;
        if (IsWordUnit(s[i])) {
            while (end < s.size() && IsWordUnit(s[end])) ++end;
        } else if (end < s.size() && IsLowSurrogate(s[end])) {
            ++end;
        }
        tokens.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(end - i)});
        i = end;
    }
    return tokens;
}

std::size_t CommonPrefix(std::u16string_view a, std::u16string_view b) {
    return static_cast<std::size_t>(
        std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin()).first -
        a.begin());
}

std::size_t CommonSuffix(std::u16string_view a, std::u16string_view b, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

void AddMark(std::vector<MarkSpan>& marks, std::size_t start, std::size_t length) {
    if (length == 0) return;
    if (!marks.empty() && marks.back().start + marks.back().length == start) {
        marks.back().length += static_cast<std::uint32_t>(length);
        return;
    }
    marks.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
}

// The tokens of the two middles that are common to both, as index pairs in order.
std::vector<std::pair<std::size_t, std::size_t>> CommonTokens(std::u16string_view a,
                                                              const std::vector<Token>& ta,
                                                              std::u16string_view b,
                                                              const std::vector<Token>& tb) {
    std::unordered_map<std::u16string_view, int> ids;
    auto number = [&](std::u16string_view s, const std::vector<Token>& tokens) {
        std::vector<int> out;
        out.reserve(tokens.size());
        for (const Token& t : tokens) {
            out.push_back(ids.emplace(s.substr(t.start, t.length), static_cast<int>(ids.size()))
                              .first->second);
        }
        return out;
    };
    const std::vector<int> ia = number(a, ta);
    const std::vector<int> ib = number(b, tb);
    std::vector<std::pair<std::size_t, std::size_t>> common;
    std::vector<std::uint8_t> changedA, changedB;
    MarkChanges(ia, ib, changedA, changedB);
    for (std::size_t i = 0, j = 0; i < ia.size() && j < ib.size(); ++i, ++j) {
        while (i < ia.size() && changedA[i]) ++i;
        while (j < ib.size() && changedB[j]) ++j;
        if (i < ia.size() && j < ib.size()) common.emplace_back(i, j);
    }
    return common;
}

// Bigrams of a text (single characters when it is shorter than two), sorted.
std::vector<std::uint32_t> Grams(std::u16string_view s) {
    std::vector<std::uint32_t> grams;
    if (s.size() < 2) {
        for (const char16_t c : s) grams.push_back(c);
    } else {
        for (std::size_t i = 0; i + 1 < s.size(); ++i) {
            grams.push_back(static_cast<std::uint32_t>(s[i]) << 16 | s[i + 1]);
        }
    }
    std::sort(grams.begin(), grams.end());
    return grams;
}

}  // namespace

void InlineMarks(std::u16string_view a, std::u16string_view b, std::vector<MarkSpan>& marksA,
                 std::vector<MarkSpan>& marksB) {
    marksA.clear();
    marksB.clear();
    // The common head and tail, cut back to whole words, are not looked at again.
    // A word longer than kLongestWord (a run of one letter, a hash) is cut where it differs.
    const std::size_t prefix = CommonPrefix(a, b);
    std::size_t head = prefix;
    while (head > 0 && (InsideToken(a, head) || InsideToken(b, head))) --head;
    if (prefix - head > kLongestWord) head = prefix;
    const std::size_t suffix = CommonSuffix(a, b, std::min(a.size(), b.size()) - head);
    std::size_t tail = suffix;
    while (tail > 0 && (InsideToken(a, a.size() - tail) || InsideToken(b, b.size() - tail))) {
        --tail;
    }
    if (suffix - tail > kLongestWord) tail = suffix;
    const std::u16string_view middleA = a.substr(head, a.size() - head - tail);
    const std::u16string_view middleB = b.substr(head, b.size() - head - tail);
    const bool huge = middleA.size() > kMostUnits || middleB.size() > kMostUnits;
    const std::vector<Token> ta = huge ? std::vector<Token>() : Tokens(middleA);
    const std::vector<Token> tb = huge ? std::vector<Token>() : Tokens(middleB);
    if (ta.empty() || tb.empty() || ta.size() > kMostTokens || tb.size() > kMostTokens) {
        AddMark(marksA, head, middleA.size());
        AddMark(marksB, head, middleB.size());
        return;
    }
    std::vector<std::pair<std::size_t, std::size_t>> common =
        CommonTokens(middleA, ta, middleB, tb);

    // A short common run with changes on both sides (a space, a comma) is marked with them.
    std::vector<bool> keep(common.size(), true);
    for (std::size_t run = 0; run < common.size();) {
        std::size_t end = run + 1;
        std::size_t units = ta[common[run].first].length;
        while (end < common.size() && common[end].first == common[end - 1].first + 1 &&
               common[end].second == common[end - 1].second + 1) {
            units += ta[common[end].first].length;
            ++end;
        }
        const bool changeBefore = common[run].first > 0 || common[run].second > 0;
        const bool changeAfter =
            common[end - 1].first + 1 < ta.size() || common[end - 1].second + 1 < tb.size();
        if (units <= 2 && changeBefore && changeAfter) {
            std::fill(keep.begin() + static_cast<std::ptrdiff_t>(run),
                      keep.begin() + static_cast<std::ptrdiff_t>(end), false);
        }
        run = end;
    }
    std::vector<bool> commonA(ta.size(), false), commonB(tb.size(), false);
    for (std::size_t k = 0; k < common.size(); ++k) {
        if (!keep[k]) continue;
        commonA[common[k].first] = true;
        commonB[common[k].second] = true;
    }
    for (std::size_t i = 0; i < ta.size(); ++i) {
        if (!commonA[i]) AddMark(marksA, head + ta[i].start, ta[i].length);
    }
    for (std::size_t j = 0; j < tb.size(); ++j) {
        if (!commonB[j]) AddMark(marksB, head + tb[j].start, tb[j].length);
    }
}

double Likeness(std::u16string_view a, std::u16string_view b) {
    if (a.empty() && b.empty()) return 1.0;
    const std::size_t head = CommonPrefix(a, b);
    const std::size_t tail = CommonSuffix(a, b, std::min(a.size(), b.size()) - head);
    const std::u16string_view middleA = a.substr(head, a.size() - head - tail);
    const std::u16string_view middleB = b.substr(head, b.size() - head - tail);
    const std::vector<std::uint32_t> ga = Grams(middleA.substr(0, kLikenessWindow));
    const std::vector<std::uint32_t> gb = Grams(middleB.substr(0, kLikenessWindow));
    std::size_t shared = 0;
    for (std::size_t i = 0, j = 0; i < ga.size() && j < gb.size();) {
        if (ga[i] < gb[j]) {
            ++i;
        } else if (gb[j] < ga[i]) {
            ++j;
        } else {
            ++shared, ++i, ++j;
        }
    }
    const double dice = ga.empty() || gb.empty() ? 0.0
                                                 : 2.0 * static_cast<double>(shared) /
                                                       static_cast<double>(ga.size() + gb.size());
    const double alike = 2.0 * static_cast<double>(head + tail) +
                         dice * static_cast<double>(middleA.size() + middleB.size());
    return alike / static_cast<double>(a.size() + b.size());
}

std::vector<std::int32_t> PairLines(const std::vector<std::u16string>& removed,
                                    const std::vector<std::u16string>& added) {
    const std::size_t n = removed.size();
    const std::size_t m = added.size();
    std::vector<std::int32_t> partner(n, -1);
    if (n == 0 || m == 0) return partner;
    if (n * m > kMostPairings) {
        for (std::size_t i = 0; i < std::min(n, m); ++i) {
            if (Likeness(removed[i], added[i]) >= kLeastLikeness) {
                partner[i] = static_cast<std::int32_t>(i);
            }
        }
        return partner;
    }
    // The order-keeping pairing with the greatest total likeness (as an alignment of the two
    // lists), where only pairs alike enough count.
    std::vector<double> like(n * m);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < m; ++j) like[i * m + j] = Likeness(removed[i], added[j]);
    }
    std::vector<double> best((n + 1) * (m + 1), 0.0);
    auto at = [&](std::size_t i, std::size_t j) -> double& { return best[i * (m + 1) + j]; };
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            double value = std::max(at(i - 1, j), at(i, j - 1));
            const double pair = like[(i - 1) * m + (j - 1)];
            if (pair >= kLeastLikeness) value = std::max(value, at(i - 1, j - 1) + pair);
            at(i, j) = value;
        }
    }
    for (std::size_t i = n, j = m; i > 0 && j > 0;) {
        const double pair = like[(i - 1) * m + (j - 1)];
        if (pair >= kLeastLikeness && at(i, j) == at(i - 1, j - 1) + pair) {
            partner[i - 1] = static_cast<std::int32_t>(j - 1);
            --i, --j;
        } else if (at(i, j) == at(i - 1, j)) {
            --i;
        } else {
            --j;
        }
    }
    return partner;
}

}  // namespace viewer

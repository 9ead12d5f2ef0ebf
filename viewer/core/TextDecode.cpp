#include "TextDecode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "AsciiRun.h"
#include "BothAtOnce.h"
#include "Cp932Check.h"
#include "Japanese.h"
#include "JapaneseText.h"
#include "Utf8Vector.h"

namespace viewer {

namespace {

constexpr std::size_t kBinaryProbeBytes = 8000;
constexpr char16_t kReplacement = u'\uFFFD';

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

bool HasUtf16Mark(std::string_view bytes) {
    return StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF");
}

// UTF-16 written without a byte order mark, as some Windows tools do: whole units, surrogates in
// pairs, no unit U+0000 or a control other than tab, CR and LF, at least one unit in sixteen in
// ASCII (line ends, digits), and no more units U+0A00..U+0AFF (a byte 0A as the high half) than
// line feeds. Binary data, or text with a stray NUL, is seldom all of that: its line feeds are
// single bytes, about half of them the high half of a unit, where UTF-16 text ends its lines with
// the unit LF (a byte 0A as the low half, as in 上, is any text's). The byte order is the one
// that reads more ASCII units.
std::optional<Encoding> Utf16WithoutMark(std::string_view bytes) {
    if (bytes.empty() || bytes.size() % 2 != 0 || bytes.find('\0') == std::string_view::npos)
        return std::nullopt;
    std::optional<Encoding> best;
    std::size_t bestAscii = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (const bool bigEndian : {false, true}) {
        bool fits = true;
        bool wantLow = false;
        std::size_t ascii = 0, lineFeeds = 0, highLineFeeds = 0;
        for (std::size_t i = 0; fits && i < bytes.size(); i += 2) {
            const unsigned unit =
                bigEndian ? (data[i] << 8) | data[i + 1] : (data[i + 1] << 8) | data[i];
            const bool control = unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\r';
            const bool isLow = unit >= 0xDC00 && unit <= 0xDFFF;
            fits = !control && isLow == wantLow;
            wantLow = unit >= 0xD800 && unit <= 0xDBFF;
            ascii += unit < 0x80;
            lineFeeds += unit == '\n';
            highLineFeeds += (unit >> 8) == '\n';
        }
        if (fits && !wantLow && ascii * 16 >= bytes.size() / 2 && highLineFeeds <= lineFeeds &&
            ascii > bestAscii) {
            best = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
            bestAscii = ascii;
        }
    }
    return best;
}

// What a lead byte may start in well-formed UTF-8: the sequence's length (0 for a byte that
// starts none) and the range of its second byte; the bytes after the second are 80..BF. The
// narrow second bytes keep out overlong forms (E0, F0), surrogates (ED) and code points past
// U+10FFFF (F4).
struct Utf8Lead {
    unsigned char length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

constexpr std::array<Utf8Lead, 256> kUtf8Leads = [] {
    std::array<Utf8Lead, 256> leads{};
    for (unsigned byte = 0; byte < 0x80; ++byte) leads[byte].length = 1;
    for (unsigned byte = 0xC2; byte <= 0xDF; ++byte) leads[byte].length = 2;
    for (unsigned byte = 0xE0; byte <= 0xEF; ++byte) leads[byte].length = 3;
    for (unsigned byte = 0xF0; byte <= 0xF4; ++byte) leads[byte].length = 4;
    leads[0xE0].low = 0xA0;
    leads[0xED].high = 0x9F;
    leads[0xF0].low = 0x90;
    leads[0xF4].high = 0x8F;
    return leads;
}();

// The length of the valid UTF-8 sequence at `at`, or 0 when it is not one: Utf8Sequence's
// answer, without the code point.
std::size_t Utf8Length(const unsigned char* at, const unsigned char* end) {
    const Utf8Lead lead = kUtf8Leads[at[0]];
    const std::size_t length = lead.length;
    if (length <= 1) return length;
    if (static_cast<std::size_t>(end - at) < length) return 0;
    bool valid = at[1] >= lead.low && at[1] <= lead.high;
    if (length >= 3) valid = valid && (at[2] & 0xC0) == 0x80;
    if (length == 4) valid = valid && (at[3] & 0xC0) == 0x80;
    return valid ? length : 0;
}

// How well bytes fit UTF-8: the bytes of its valid sequences of two bytes or more, and the bytes
// that start none (each shown as "<E9>").
Fit Utf8Fit(std::string_view bytes) {
    Fit fit;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while ((at = SkipAscii(at, end)) != end) {
        // A run of bytes outside ASCII, a character or a stray byte at a time.
        do {
            const std::size_t length = Utf8Length(at, end);
            fit.good += length;
            fit.bad += length == 0;
            at += length == 0 ? 1 : length;
        } while (at != end && *at >= 0x80);
    }
    return fit;
}

// Whether bytes are strict UTF-8 and, if so, whether they are all ASCII and whether they hold a
// NUL byte or an escape byte.
struct Utf8Scan {
    bool valid = true;
    bool ascii = true;
    bool nul = false;
    bool escape = false;
};

Utf8Scan ScanUtf8(const unsigned char* at, const unsigned char* end) {
    // Sixteen bytes at a step where the processor can, the last few a character at a time.
    BlockSigns signs;
    at = CheckUtf8Blocks(at, end, signs);
    if (at == nullptr) return {false, false, false, false};
    const std::size_t rest = static_cast<std::size_t>(end - at);
    Utf8Scan scan{true, !signs.notAscii,
                  signs.nul || (rest > 0 && std::memchr(at, 0, rest) != nullptr),
                  signs.escape || (rest > 0 && std::memchr(at, 0x1B, rest) != nullptr)};
    while ((at = SkipAscii(at, end)) != end) {
        scan.ascii = false;
        // Characters outside ASCII come in runs: a run is read a character at a time.
        do {
            const std::size_t length = Utf8Length(at, end);
            if (length == 0) return {false, false, false, false};
            at += length;
        } while (at != end && *at >= 0x80);
    }
    return scan;
}

// A pass over a whole file, on its two halves at once where both cores may work on it. They part
// after the first line feed past the middle, which no character of UTF-8, Shift_JIS or EUC-JP
// holds: each half reads as it does within the whole, and `join` makes the halves' results one.
template <typename Result, typename Pass, typename Join>
Result InHalves(std::string_view bytes, Cores cores, Pass pass, Join join) {
    constexpr std::size_t kWorthAThread = std::size_t{1} << 20;
    if (cores == Cores::One || bytes.size() < kWorthAThread) return pass(bytes);
    const std::size_t lineFeed = bytes.find('\n', bytes.size() / 2);
    if (lineFeed == std::string_view::npos) return pass(bytes);
    Result first{}, second{};
    BothAtOnce([&] { first = pass(bytes.substr(0, lineFeed + 1)); },
               [&] { second = pass(bytes.substr(lineFeed + 1)); });
    return join(first, second);
}

Utf8Scan ScanUtf8(std::string_view bytes, Cores cores) {
    return InHalves<Utf8Scan>(
        bytes, cores,
        [](std::string_view half) {
            const auto* at = reinterpret_cast<const unsigned char*>(half.data());
            return ScanUtf8(at, at + half.size());
        },
        [](const Utf8Scan& first, const Utf8Scan& second) {
            return Utf8Scan{first.valid && second.valid, first.ascii && second.ascii,
                            first.nul || second.nul, first.escape || second.escape};
        });
}

// The length of the valid UTF-8 sequence at `at` and its code point, or 0 when it is not one.
std::size_t Utf8Sequence(const unsigned char* at, const unsigned char* end, char32_t& point) {
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, point = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80) return 0;
        point = (point << 6) | (at[i] & 0x3F);
    }
    if (point < min || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return length;
}

void AppendPoint(std::u16string& out, char32_t point) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) -> char16_t {
        const unsigned char a = data[2 * i], b = data[2 * i + 1];
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char16_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(c);
                out.push_back(low);
                ++i;
                continue;
            }
        }
        out.push_back(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    if (bytes.size() % 2 != 0) out.push_back(kReplacement);
    return out;
}

// The bytes that are not whole UTF-16 units or surrogates in a pair.
std::size_t Utf16BadBytes(std::string_view bytes, bool bigEndian) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t bad = bytes.size() % 2;
    const std::size_t size = bytes.size() - bad;
    auto unit = [&](std::size_t i) -> unsigned {
        return bigEndian ? (data[i] << 8) | data[i + 1] : (data[i + 1] << 8) | data[i];
    };
    for (std::size_t i = 0; i < size; i += 2) {
        const unsigned u = unit(i);
        if (u < 0xD800 || u > 0xDFFF) continue;
        if (u <= 0xDBFF && i + 2 < size && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            i += 2;
            continue;
        }
        bad += 2;
    }
    return bad;
}

// UTF-8, every byte that is not part of a valid sequence shown as "<E9>".
void DecodeUtf8Marked(std::string_view bytes, MarkedText& out) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) {
            out.AddByte(*at);
            ++at;
            continue;
        }
        AppendPoint(out.text, point);
        at += length;
    }
}

// Windows-1252 is Latin-1 but for 0x80..0x9F; the five bytes it leaves undefined keep their
// Latin-1 control characters, so that every byte stays a character of its own.
std::u16string DecodeWindows1252(std::string_view bytes) {
    static constexpr char16_t kHigh[32] = {u'€', 0x81, u'‚', u'ƒ', u'„', u'…', u'†', u'‡',
                                           u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D, u'Ž', 0x8F,
                                           0x90, u'‘', u'’', u'“', u'”', u'•', u'–', u'—',
                                           u'˜', u'™', u'š', u'›', u'œ', 0x9D, u'ž', u'Ÿ'};
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte);
    }
    return text;
}

}  // namespace

char16_t UnifyJisVariant(char16_t c) {
    switch (c) {
        case u'\u301C':  // 〜 WAVE DASH
            return u'\uFF5E';
        case u'\u2016':  // ‖ DOUBLE VERTICAL LINE
            return u'\u2225';
        case u'\u2212':  // − MINUS SIGN
            return u'\uFF0D';
        case u'\u00A2':  // ¢
            return u'\uFFE0';
        case u'\u00A3':  // £
            return u'\uFFE1';
        case u'\u00AC':  // ¬
            return u'\uFFE2';
        case u'\u2014':  // — EM DASH
            return u'\u2015';
        default:
            return c;
    }
}

bool LooksBinary(std::string_view bytes) {
    // Text without a NUL byte near the start needs no look at the rest.
    if (bytes.substr(0, kBinaryProbeBytes).find('\0') == std::string_view::npos) return false;
    if (HasUtf16Mark(bytes)) return false;
    // A UTF-8 mark says what the file is, as it does when the encoding is detected.
    return StartsWith(bytes, "\xEF\xBB\xBF") || !Utf16WithoutMark(bytes);
}

bool IsUtf8(std::string_view bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    return ScanUtf8(at, at + bytes.size()).valid;
}

std::u16string FromUtf8Lossy(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) {
            out.push_back(kReplacement);
            ++at;
            continue;
        }
        AppendPoint(out, point);
        at += length;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

DetectedEncoding DetectEncoding(std::string_view bytes, Cores cores) {
    auto withBad = [](Encoding encoding, std::size_t markBytes, std::size_t bad) {
        return DetectedEncoding{encoding, markBytes, bad > 0, bad};
    };
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return withBad(Encoding::Utf8Bom, 3, Utf8Fit(bytes.substr(3)).bad);
    if (StartsWith(bytes, "\xFF\xFE"))
        return withBad(Encoding::Utf16Le, 2, Utf16BadBytes(bytes.substr(2), false));
    if (StartsWith(bytes, "\xFE\xFF"))
        return withBad(Encoding::Utf16Be, 2, Utf16BadBytes(bytes.substr(2), true));
    // UTF-16 needs NUL bytes and ISO-2022-JP escape bytes: bytes that are UTF-8 are looked at
    // for them in the same pass, other bytes on their own.
    const Utf8Scan scan = ScanUtf8(bytes, cores);
    if (!scan.valid || scan.nul) {
        if (const std::optional<Encoding> utf16 = Utf16WithoutMark(bytes))
            return {*utf16, 0, false, 0};
    }
    // Its escape sequences are seldom there by chance: like UTF-8, it needs only most of its
    // bytes to fit.
    if ((!scan.valid || scan.escape) && HasIso2022JpEscape(bytes)) {
        const Fit jis = DecodeIso2022JpMarked(bytes, nullptr);
        if (jis.bad * 2 <= jis.good) return withBad(Encoding::Iso2022Jp, 0, jis.bad);
    }
    if (scan.valid) {
        // ASCII alone is UTF-8, and no half-width katakana.
        if (!scan.ascii && Utf8IsHalfWidthKatakana(bytes) && IsCp932(bytes))
            return {Encoding::Cp932, 0, false, 0};
        return {Encoding::Utf8, 0, false, 0};
    }
    // A few stray bytes keep a file in the encoding the rest of it is written in. Bytes outside
    // ASCII are seldom valid UTF-8 by chance: where they mostly are, a stray byte or two does not
    // make the file Shift_JIS, which pairs up most bytes.
    const Fit utf8 = InHalves<Fit>(bytes, cores, Utf8Fit, [](const Fit& first, const Fit& second) {
        return Fit{first.good + second.good, first.bad + second.bad};
    });
    if (utf8.bad * 4 <= utf8.good) return withBad(Encoding::Utf8, 0, utf8.bad);
    // EUC-JP text is often valid Shift_JIS too (as half-width katakana and kanji), and Shift_JIS
    // half-width katakana valid EUC-JP (as kanji): EUC-JP comes first where it reads as Japanese,
    // last where it does not.
    const bool eucJp = MayBeEucJp(bytes);
    const bool readsAsJapanese = eucJp && EucJpReadsAsJapanese(bytes);
    auto euc = [&]() { return DecodeEucJpMarked(bytes, nullptr, 256); };
    if (readsAsJapanese) {
        if (const Fit fit = euc(); MultiByteFits(fit)) return withBad(Encoding::EucJp, 0, fit.bad);
    }
    const bool cp932 = InHalves<bool>(
        bytes, cores, [](std::string_view half) { return IsCp932(half); },
        [](bool first, bool second) { return first && second; });
    if (cp932) return {Encoding::Cp932, 0, false, 0};
    if (utf8.bad * 2 <= utf8.good) return withBad(Encoding::Utf8, 0, utf8.bad);
    const Fit sjis = DecodeCp932Marked(bytes, nullptr, 256);
    if (MultiByteFits(sjis)) return withBad(Encoding::Cp932, 0, sjis.bad);
    if (eucJp && !readsAsJapanese) {
        if (const Fit fit = euc(); MultiByteFits(fit)) return withBad(Encoding::EucJp, 0, fit.bad);
    }
    // Every byte has a character of its own here, so no two different lines look the same.
    return {Encoding::Windows1252, 0, false, 0};
}

DetectedEncoding ReadAs(std::string_view bytes, Encoding encoding) {
    std::size_t mark = 0;
    if (encoding == Encoding::Utf8 || encoding == Encoding::Utf8Bom) {
        mark = StartsWith(bytes, "\xEF\xBB\xBF") ? 3 : 0;
        encoding = mark > 0 ? Encoding::Utf8Bom : Encoding::Utf8;
    } else if ((encoding == Encoding::Utf16Le && StartsWith(bytes, "\xFF\xFE")) ||
               (encoding == Encoding::Utf16Be && StartsWith(bytes, "\xFE\xFF"))) {
        mark = 2;
    }
    const std::string_view text = bytes.substr(mark);
    std::size_t bad = 0;
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            bad = Utf8Fit(text).bad;
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            bad = Utf16BadBytes(text, encoding == Encoding::Utf16Be);
            break;
        case Encoding::Cp932:
            bad = DecodeCp932Marked(text, nullptr).bad;
            break;
        case Encoding::EucJp:
            bad = DecodeEucJpMarked(text, nullptr).bad;
            break;
        case Encoding::Iso2022Jp:
            bad = DecodeIso2022JpMarked(text, nullptr).bad;
            break;
        case Encoding::Windows1252:
            break;
    }
    return {encoding, mark, bad > 0, bad};
}

namespace {

// Characters that take no room or show nothing, though they make a line differ: the C1
// controls, zero-width spaces and joiners, the direction marks and embeddings, the word joiner
// and invisible operators, the soft hyphen, and a byte order mark inside the text.
bool IsInvisible(char16_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0xAD || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF;
}

}  // namespace

std::u16string ShowControls(std::u16string text, std::vector<MarkSpan>* marks) {
    bool invisible = false;
    for (char16_t& unit : text) {
        if (unit < 0x20 && unit != u'\t') unit = static_cast<char16_t>(0x2400 + unit);
        if (unit == 0x7F) unit = u'\u2421';
        invisible = invisible || IsInvisible(unit);
    }
    if (!invisible) return text;
    // Named by their code, "<U+200B>"; the marks move with the text after them.
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string shown;
    std::vector<std::size_t> moved(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        moved[i] = shown.size();
        const char16_t c = text[i];
        if (!IsInvisible(c)) {
            shown.push_back(c);
            continue;
        }
        shown += u"<U+";
        for (int shift = 12; shift >= 0; shift -= 4) shown.push_back(kHex[(c >> shift) & 0xF]);
        shown.push_back(u'>');
    }
    moved[text.size()] = shown.size();
    if (marks != nullptr) {
        for (MarkSpan& mark : *marks) {
            const std::size_t start = moved[mark.start];
            mark.length = static_cast<std::uint32_t>(moved[mark.start + mark.length] - start);
            mark.start = static_cast<std::uint32_t>(start);
        }
    }
    return shown;
}

std::u16string Decode(std::string_view bytes, Encoding encoding, std::vector<MarkSpan>* byteMarks) {
    if (byteMarks != nullptr) byteMarks->clear();
    MarkedText marked;
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            marked.text.reserve(bytes.size());
            DecodeUtf8Marked(bytes, marked);
            break;
        case Encoding::Utf16Le:
            return DecodeUtf16(bytes, false);
        case Encoding::Utf16Be:
            return DecodeUtf16(bytes, true);
        case Encoding::Cp932:
            if (DecodeCp932(bytes, &marked.text)) return std::move(marked.text);
            marked.text.clear();
            DecodeCp932Marked(bytes, &marked);
            break;
        case Encoding::EucJp:
            if (DecodeEucJp(bytes, &marked.text)) return std::move(marked.text);
            marked.text.clear();
            DecodeEucJpMarked(bytes, &marked);
            break;
        case Encoding::Iso2022Jp:
            DecodeIso2022JpMarked(bytes, &marked);
            break;
        case Encoding::Windows1252:
            return DecodeWindows1252(bytes);
    }
    if (byteMarks != nullptr) *byteMarks = std::move(marked.byteMarks);
    return std::move(marked.text);
}

}  // namespace viewer

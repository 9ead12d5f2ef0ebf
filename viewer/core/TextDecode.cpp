#include "TextDecode.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "Cp932.h"

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
// pairs, no unit U+0000 or a control other than tab, CR and LF, and at least one unit in
// sixteen in ASCII (line ends, digits): binary data, or text with a stray NUL, is seldom all
// of that. The byte order is the one that reads more such units.
std::optional<Encoding> Utf16WithoutMark(std::string_view bytes) {
    if (bytes.empty() || bytes.size() % 2 != 0 || bytes.find('\0') == std::string_view::npos)
        return std::nullopt;
    std::optional<Encoding> best;
    std::size_t bestAscii = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (const bool bigEndian : {false, true}) {
        bool fits = true;
        bool wantLow = false;
        std::size_t ascii = 0;
        for (std::size_t i = 0; fits && i < bytes.size(); i += 2) {
            const unsigned unit =
                bigEndian ? (data[i] << 8) | data[i + 1] : (data[i + 1] << 8) | data[i];
            const bool control = unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\r';
            const bool isLow = unit >= 0xDC00 && unit <= 0xDFFF;
            fits = !control && isLow == wantLow;
            wantLow = unit >= 0xD800 && unit <= 0xDBFF;
            ascii += unit < 0x80;
        }
        if (fits && !wantLow && ascii * 16 >= bytes.size() / 2 && ascii > bestAscii) {
            best = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
            bestAscii = ascii;
        }
    }
    return best;
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

void AppendByteMark(std::u16string& out, unsigned char byte) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += {u'<', kHex[byte >> 4], kHex[byte & 0xF], u'>'};
}

// How well bytes fit an encoding: the bytes outside ASCII that decode, and those that do not.
struct Fit {
    std::size_t good = 0;
    std::size_t bad = 0;
};

// UTF-8, every byte that is not part of a valid sequence shown as "<E9>".
Fit DecodeUtf8Marked(std::string_view bytes, std::u16string* out) {
    Fit fit;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) {
            ++fit.bad;
            if (out != nullptr) AppendByteMark(*out, *at);
            ++at;
            continue;
        }
        if (length > 1) fit.good += length;
        if (out != nullptr) AppendPoint(*out, point);
        at += length;
    }
    return fit;
}

// CP932 pairs up almost any two bytes, so Latin-1 text must not pass for it with a stray byte
// or two: nearly all of a CP932 file's bytes outside ASCII decode.
bool Cp932Fits(const Fit& fit) { return fit.bad * 32 <= fit.good; }

bool IsCp932Lead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t NonAscii(std::string_view bytes) {
    return static_cast<std::size_t>(std::count_if(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
}

// A line of CP932 with stray bytes, a character at a time.
void Cp932ByCharacter(std::string_view line, std::u16string* out, Fit& fit) {
    std::u16string piece;
    for (std::size_t i = 0; i < line.size();) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x80) {
            if (out != nullptr) out->push_back(byte);
            ++i;
            continue;
        }
        const std::size_t length = IsCp932Lead(byte) ? 2 : 1;
        if (i + length <= line.size() && DecodeCp932(line.substr(i, length), &piece)) {
            if (out != nullptr) out->append(piece);
            fit.good += length;
            i += length;
            continue;
        }
        if (out != nullptr) AppendByteMark(*out, byte);
        ++fit.bad;
        ++i;
    }
}

// CP932 with stray bytes: halves that decode whole go in one piece, split at a line end until
// a line that does not is read a character at a time; a stray byte costs a few passes over the
// file, not one a line. Stops, with what it has, once more than `enough` bytes are stray and
// too many for the file to be CP932.
void Cp932Halves(std::string_view bytes, std::u16string* out, Fit& fit, std::size_t enough) {
    if (bytes.empty() || (fit.bad > enough && !Cp932Fits(fit))) return;
    std::u16string piece;
    if (DecodeCp932(bytes, out != nullptr ? &piece : nullptr)) {
        if (out != nullptr) out->append(piece);
        fit.good += NonAscii(bytes);
        return;
    }
    const std::size_t newline = bytes.find('\n', bytes.size() / 2);
    const std::size_t split = newline == std::string_view::npos || newline + 1 == bytes.size()
                                  ? bytes.rfind('\n', bytes.size() / 2)
                                  : newline;
    if (split == std::string_view::npos || split + 1 == bytes.size()) {
        Cp932ByCharacter(bytes, out, fit);
        return;
    }
    Cp932Halves(bytes.substr(0, split + 1), out, fit, enough);
    Cp932Halves(bytes.substr(split + 1), out, fit, enough);
}

Fit DecodeCp932Marked(std::string_view bytes, std::u16string* out,
                      std::size_t enough = std::string_view::npos) {
    Fit fit;
    Cp932Halves(bytes, out, fit, enough);
    return fit;
}

}  // namespace

std::u16string EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return u"UTF-8";
        case Encoding::Utf8Bom:
            return u"UTF-8 (BOM付き)";
        case Encoding::Utf16Le:
            return u"UTF-16 LE";
        case Encoding::Utf16Be:
            return u"UTF-16 BE";
        case Encoding::Cp932:
            return u"Shift_JIS (CP932)";
        case Encoding::Windows1252:
            return u"Latin-1 (Windows-1252)";
    }
    return {};
}

bool LooksBinary(std::string_view bytes) {
    if (HasUtf16Mark(bytes)) return false;
    // A UTF-8 mark says what the file is, as it does when the encoding is detected.
    if (!StartsWith(bytes, "\xEF\xBB\xBF") && Utf16WithoutMark(bytes)) return false;
    return bytes.substr(0, kBinaryProbeBytes).find('\0') != std::string_view::npos;
}

bool IsUtf8(std::string_view bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        // Runs of ASCII, the bulk of most files, are checked eight bytes at a time.
        while (end - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            at += 8;
        }
        if (at == end) break;
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::u16string FromUtf8(std::string_view bytes) {
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

DetectedEncoding DetectEncoding(std::string_view bytes) {
    auto withBad = [](Encoding encoding, std::size_t markBytes, std::size_t bad) {
        return DetectedEncoding{encoding, markBytes, bad > 0, bad};
    };
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return withBad(
            Encoding::Utf8Bom, 3,
            IsUtf8(bytes.substr(3)) ? 0 : DecodeUtf8Marked(bytes.substr(3), nullptr).bad);
    }
    if (StartsWith(bytes, "\xFF\xFE"))
        return withBad(Encoding::Utf16Le, 2, Utf16BadBytes(bytes.substr(2), false));
    if (StartsWith(bytes, "\xFE\xFF"))
        return withBad(Encoding::Utf16Be, 2, Utf16BadBytes(bytes.substr(2), true));
    if (const std::optional<Encoding> utf16 = Utf16WithoutMark(bytes)) return {*utf16, 0, false, 0};
    if (IsUtf8(bytes)) return {Encoding::Utf8, 0, false, 0};
    if (DecodeCp932(bytes, nullptr)) return {Encoding::Cp932, 0, false, 0};
    // A few stray bytes keep a file in the encoding the rest of it is written in. Bytes outside
    // ASCII are seldom valid UTF-8 by chance, so UTF-8 needs only most of them to be.
    const Fit utf8 = DecodeUtf8Marked(bytes, nullptr);
    if (utf8.bad * 2 <= utf8.good) return withBad(Encoding::Utf8, 0, utf8.bad);
    const Fit cp932 = DecodeCp932Marked(bytes, nullptr, 256);
    if (Cp932Fits(cp932)) return withBad(Encoding::Cp932, 0, cp932.bad);
    // Every byte has a character of its own here, so no two different lines look the same.
    return {Encoding::Windows1252, 0, false, 0};
}

std::u16string ShowControls(std::u16string text) {
    for (char16_t& unit : text) {
        if (unit < 0x20 && unit != u'\t') unit = static_cast<char16_t>(0x2400 + unit);
        if (unit == 0x7F) unit = u'\u2421';
    }
    return text;
}

std::u16string BadBytesNote(std::size_t badBytes) {
    if (badBytes == 0) return {};
    const std::string digits = std::to_string(badBytes);
    return u"不正なバイト " + std::u16string(digits.begin(), digits.end()) + u" 個を含みます";
}

std::u16string Decode(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom: {
            std::u16string text;
            text.reserve(bytes.size());
            DecodeUtf8Marked(bytes, &text);
            return text;
        }
        case Encoding::Utf16Le:
            return DecodeUtf16(bytes, false);
        case Encoding::Utf16Be:
            return DecodeUtf16(bytes, true);
        case Encoding::Cp932: {
            std::u16string text;
            if (DecodeCp932(bytes, &text)) return text;
            text.clear();
            DecodeCp932Marked(bytes, &text);
            return text;
        }
        case Encoding::Windows1252:
            break;
    }
    // Windows-1252 is Latin-1 but for 0x80..0x9F; the five bytes it leaves undefined keep their
    // Latin-1 control characters, so that every byte stays a character of its own.
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

}  // namespace viewer

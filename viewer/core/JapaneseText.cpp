#include "JapaneseText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "AsciiRun.h"
#include "Japanese.h"

namespace viewer {

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool In(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// The character a byte outside ASCII starts: how many bytes it takes, and whether the bytes there
// have that shape (a table may still lack the character).
struct Shape {
    std::size_t length = 1;
    bool wellFormed = true;
};

Shape Cp932Shape(std::string_view rest) {
    const unsigned char lead = Byte(rest[0]);
    if (!In(lead, 0x81, 0x9F) && !In(lead, 0xE0, 0xFC)) return {};
    if (rest.size() < 2) return {2, false};
    const unsigned char trail = Byte(rest[1]);
    return {2, In(trail, 0x40, 0x7E) || In(trail, 0x80, 0xFC)};
}

Shape EucJpShape(std::string_view rest) {
    const unsigned char lead = Byte(rest[0]);
    const std::size_t length = lead == 0x8F ? 3 : lead == 0x8E || In(lead, 0xA1, 0xFE) ? 2 : 1;
    if (length == 1) return {};
    if (rest.size() < length) return {length, false};
    if (lead == 0x8E) return {2, In(Byte(rest[1]), 0xA1, 0xDF)};
    return {length,
            std::all_of(rest.begin() + 1, rest.begin() + static_cast<std::ptrdiff_t>(length),
                        [](char c) { return In(Byte(c), 0xA1, 0xFE); })};
}

struct Codec {
    bool (*strict)(std::string_view, std::u16string*);
    Shape (*shape)(std::string_view);
};

constexpr Codec kCp932{DecodeCp932, Cp932Shape};
constexpr Codec kEucJp{DecodeEucJp, EucJpShape};

std::size_t NonAscii(std::string_view bytes) {
    return static_cast<std::size_t>(
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return Byte(c) >= 0x80; }));
}

// A line with stray bytes, a character at a time. A character of the right shape that the table
// lacks is stray as a whole; a broken one only in its first byte, as the next may start a
// character.
void ByCharacter(const Codec& codec, std::string_view line, MarkedText* out, Fit& fit) {
    std::u16string piece;
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char byte = Byte(line[i]);
        if (byte < 0x80) {
            if (out != nullptr) out->text.push_back(byte);
            ++i;
            continue;
        }
        const Shape shape = codec.shape(line.substr(i));
        if (shape.wellFormed && codec.strict(line.substr(i, shape.length), &piece)) {
            if (out != nullptr) out->text.append(piece);
            fit.good += shape.length;
            i += shape.length;
            continue;
        }
        const std::size_t stray = shape.wellFormed ? shape.length : 1;
        for (std::size_t k = 0; k < stray; ++k) {
            if (out != nullptr) out->AddByte(Byte(line[i + k]));
        }
        fit.bad += stray;
        i += stray;
    }
}

// Bytes with stray ones: halves that decode whole go in one piece, split at a line end until a
// line that does not is read a character at a time; a stray byte costs a few passes over the
// file, not one a line.
void Halves(const Codec& codec, std::string_view bytes, MarkedText* out, Fit& fit,
            std::size_t enough) {
    if (bytes.empty() || (fit.bad > enough && !MultiByteFits(fit))) return;
    std::u16string piece;
    if (codec.strict(bytes, out != nullptr ? &piece : nullptr)) {
        if (out != nullptr) out->text.append(piece);
        fit.good += NonAscii(bytes);
        return;
    }
    const std::size_t newline = bytes.find('\n', bytes.size() / 2);
    const std::size_t split = newline == std::string_view::npos || newline + 1 == bytes.size()
                                  ? bytes.rfind('\n', bytes.size() / 2)
                                  : newline;
    if (split == std::string_view::npos || split + 1 == bytes.size()) {
        ByCharacter(codec, bytes, out, fit);
        return;
    }
    Halves(codec, bytes.substr(0, split + 1), out, fit, enough);
    Halves(codec, bytes.substr(split + 1), out, fit, enough);
}

// ISO-2022-JP's two-byte characters in a row, kept in their EUC-JP form (each byte with its high
// bit set, JIS X 0212 after 0x8F) so that they decode through the EUC-JP table.
class JisRun {
public:
    void Add(unsigned char first, unsigned char second, bool jis0212) {
        if (jis0212) euc_ += '\x8F';
        euc_ += static_cast<char>(first | 0x80);
        euc_ += static_cast<char>(second | 0x80);
    }
    void Flush(MarkedText* out, Fit& fit) {
        if (euc_.empty()) return;
        std::u16string piece;
        if (DecodeEucJp(euc_, out != nullptr ? &piece : nullptr)) {
            if (out != nullptr) out->text.append(piece);
            fit.good += euc_.size();
        } else {
            for (std::size_t i = 0; i < euc_.size();) {
                const std::size_t length = euc_[i] == '\x8F' ? 3 : 2;
                if (DecodeEucJp(std::string_view(euc_).substr(i, length), &piece)) {
                    if (out != nullptr) out->text.append(piece);
                    fit.good += length;
                } else {
                    // Shown as the bytes of the file, not of their EUC-JP form.
                    for (std::size_t k = i + length - 2; k < i + length; ++k) {
                        if (out != nullptr) out->AddByte(Byte(euc_[k]) & 0x7F);
                    }
                    fit.bad += 2;
                }
                i += length;
            }
        }
        euc_.clear();
    }

private:
    std::string euc_;
};

enum class JisSet { Ascii, Roman, Kana, Jis0208, Jis0212 };

struct JisEscape {
    std::string_view bytes;
    JisSet set;
};

constexpr JisEscape kJisEscapes[] = {
    {"\x1B(B", JisSet::Ascii},   {"\x1B(J", JisSet::Roman},   {"\x1B(I", JisSet::Kana},
    {"\x1B$@", JisSet::Jis0208}, {"\x1B$B", JisSet::Jis0208}, {"\x1B$(D", JisSet::Jis0212},
};

}  // namespace

Fit DecodeCp932Marked(std::string_view bytes, MarkedText* out, std::size_t enough) {
    Fit fit;
    Halves(kCp932, bytes, out, fit, enough);
    return fit;
}

Fit DecodeEucJpMarked(std::string_view bytes, MarkedText* out, std::size_t enough) {
    Fit fit;
    Halves(kEucJp, bytes, out, fit, enough);
    return fit;
}

Fit DecodeIso2022JpMarked(std::string_view bytes, MarkedText* out) {
    Fit fit;
    JisRun run;
    JisSet set = JisSet::Ascii;
    auto put = [&](char16_t c) {
        if (out != nullptr) out->text.push_back(c);
    };
    auto stray = [&](unsigned char byte) {
        if (out != nullptr) out->AddByte(byte);
        ++fit.bad;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = Byte(bytes[i]);
        const bool twoBytes = set == JisSet::Jis0208 || set == JisSet::Jis0212;
        if (twoBytes && In(c, 0x21, 0x7E) && i + 1 < bytes.size() &&
            In(Byte(bytes[i + 1]), 0x21, 0x7E)) {
            run.Add(c, Byte(bytes[i + 1]), set == JisSet::Jis0212);
            i += 2;
            continue;
        }
        run.Flush(out, fit);
        if (c == 0x1B) {
            const auto* escape = std::find_if(
                std::begin(kJisEscapes), std::end(kJisEscapes),
                [&](const JisEscape& e) { return bytes.substr(i).starts_with(e.bytes); });
            if (escape == std::end(kJisEscapes)) {
                stray(c);
                ++i;
                continue;
            }
            set = escape->set;
            fit.good += escape->bytes.size();
            i += escape->bytes.size();
            continue;
        }
        ++i;
        if (c == '\n') set = JisSet::Ascii;
        if (c >= 0x80) {
            stray(c);
        } else if (c < 0x21 || c == 0x7F || set == JisSet::Ascii) {
            put(c);
        } else if (set == JisSet::Roman) {
            put(c == 0x5C ? u'\u00A5' : c == 0x7E ? u'\u203E' : c);
        } else if (set == JisSet::Kana && c <= 0x5F) {
            put(static_cast<char16_t>(0xFF61 + (c - 0x21)));
            ++fit.good;
        } else {
            stray(c);  // half of a two-byte character, or no katakana
        }
    }
    run.Flush(out, fit);
    return fit;
}

bool HasIso2022JpEscape(std::string_view bytes) {
    // One pass for the escape byte; what follows it is looked at only where it is.
    for (std::size_t at = bytes.find('\x1B'); at != std::string_view::npos;
         at = bytes.find('\x1B', at + 1)) {
        const std::string_view rest = bytes.substr(at);
        if (std::any_of(std::begin(kJisEscapes), std::end(kJisEscapes), [&](const JisEscape& e) {
                return e.set != JisSet::Ascii && e.set != JisSet::Roman &&
                       rest.starts_with(e.bytes);
            })) {
            return true;
        }
    }
    return false;
}

namespace {

const unsigned char* Begin(std::string_view bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

}  // namespace

namespace {

// The sum of a word's eight bytes.
std::size_t SumOfBytes(std::uint64_t lanes) {
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
    const std::uint64_t pairs = (lanes & kEvenBytes) + ((lanes >> 8) & kEvenBytes);
    return static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
}

}  // namespace

bool MayBeEucJp(std::string_view bytes) {
    // Counted eight bytes at a time, since in a file of Latin-1 nearly every word has one: each
    // byte's count in a lane of its own, summed every 255 words before a lane can overflow.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = kOnes * 0x80;
    constexpr std::uint64_t kLows = kOnes * 0x7F;
    std::size_t high = 0, foreign = 0;
    std::size_t i = 0;
    while (i + 8 <= bytes.size()) {
        std::uint64_t highLanes = 0, foreignLanes = 0;
        for (int words = 0; words < 255 && i + 8 <= bytes.size(); ++words, i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            const std::uint64_t highs = word & kHighs;
            const std::uint64_t low = word & kLows;                       // each byte's low 7 bits
            const std::uint64_t above = (low + kOnes * 0x5F) & kHighs;    // low 7 bits over 0x20
            const std::uint64_t prefix = (low | kOnes) ^ (kOnes * 0x0F);  // 0 for 8E and 8F
            const std::uint64_t isPrefix = ~((prefix + kLows) | prefix | kLows);
            highLanes += highs >> 7;
            foreignLanes += (highs & ~above & ~isPrefix) >> 7;
        }
        high += SumOfBytes(highLanes);
        foreign += SumOfBytes(foreignLanes);
    }
    for (; i < bytes.size(); ++i) {
        const unsigned char byte = Byte(bytes[i]);
        high += byte >= 0x80;
        foreign += In(byte, 0x80, 0xA0) && byte != 0x8E && byte != 0x8F;
    }
    return high > 0 && foreign * 32 <= high;
}

bool EucJpReadsAsJapanese(std::string_view bytes) {
    std::size_t characters = 0, kana = 0;
    const unsigned char* const begin = Begin(bytes);
    const unsigned char* const end = begin + bytes.size();
    for (const unsigned char* at = begin; (at = SkipAscii(at, end)) != end;) {
        const Shape shape = EucJpShape(bytes.substr(static_cast<std::size_t>(at - begin)));
        if (shape.length == 1 || !shape.wellFormed) {
            ++at;
            continue;
        }
        ++characters;
        // Row 1 (punctuation), 4 (hiragana), 5 (katakana).
        kana += *at == 0xA1 || *at == 0xA4 || *at == 0xA5;
        at += shape.length;
    }
    return characters > 0 && kana * 4 >= characters;
}

bool Utf8IsHalfWidthKatakana(std::string_view bytes) {
    std::size_t characters = 0, inRuns = 0;
    bool afterOne = false;
    const unsigned char* const end = Begin(bytes) + bytes.size();
    for (const unsigned char* at = Begin(bytes); at != end;) {
        const unsigned char* const notAscii = SkipAscii(at, end);
        if (notAscii != at) {
            afterOne = false;
            at = notAscii;
            continue;
        }
        // Both bytes half-width katakana (0xA1..0xDF), and a UTF-8 lead and trail.
        if (!In(*at, 0xC2, 0xDF) || at + 1 == end || !In(at[1], 0xA1, 0xBF)) return false;
        ++characters;
        inRuns += afterOne;
        afterOne = true;
        at += 2;
    }
    return characters > 0 && inRuns * 2 >= characters;
}

}  // namespace viewer

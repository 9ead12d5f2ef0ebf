// The scans that find a file's encoding step over ASCII by the word and split a large file over
// two cores: checked against plain byte-at-a-time readings of the same rules, on bytes placed
// across every word boundary.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "Cp932Check.h"
#include "Japanese.h"
#include "JapaneseText.h"
#include "TextDecode.h"

namespace viewer {
namespace {

unsigned char At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// The length of the UTF-8 character at `i`, or 0: its code point decoded, then held to the
// shortest form, outside the surrogates and at most U+10FFFF.
std::size_t PlainUtf8Length(std::string_view bytes, std::size_t i) {
    const unsigned char lead = At(bytes, i);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF7 || i + length > bytes.size()) return 0;
    char32_t point = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((At(bytes, i + k) & 0xC0) != 0x80) return 0;
        point = (point << 6) | (At(bytes, i + k) & 0x3F);
    }
    const char32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (point < shortest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return length;
}

// How many bytes start no UTF-8 character.
std::size_t PlainUtf8Bad(std::string_view bytes) {
    std::size_t bad = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = PlainUtf8Length(bytes, i);
        bad += length == 0;
        i += length == 0 ? 1 : length;
    }
    return bad;
}

bool PlainHalfWidthKatakana(std::string_view bytes) {
    std::size_t characters = 0, inRuns = 0;
    bool afterOne = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (At(bytes, i) < 0x80) {
            afterOne = false;
            continue;
        }
        if (At(bytes, i) < 0xC2 || At(bytes, i) > 0xDF || i + 1 == bytes.size() ||
            At(bytes, i + 1) < 0xA1 || At(bytes, i + 1) > 0xBF)
            return false;
        ++characters;
        inRuns += afterOne;
        afterOne = true;
        ++i;
    }
    return characters > 0 && inRuns * 2 >= characters;
}

bool PlainMayBeEucJp(std::string_view bytes) {
    std::size_t high = 0, foreign = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        high += byte >= 0x80;
        foreign += byte >= 0x80 && byte <= 0xA0 && byte != 0x8E && byte != 0x8F;
    }
    return high > 0 && foreign * 32 <= high;
}

bool PlainEucJpReadsAsJapanese(std::string_view bytes) {
    std::size_t characters = 0, kana = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = At(bytes, i);
        const bool twoBytes = lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE);
        const std::size_t length = lead == 0x8F ? 3 : twoBytes ? 2 : 1;
        bool whole = length > 1 && i + length <= bytes.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const unsigned char trail = At(bytes, i + k);
            whole = trail >= 0xA1 && trail <= (lead == 0x8E ? 0xDF : 0xFE);
        }
        if (!whole) {
            ++i;
            continue;
        }
        ++characters;
        kana += lead == 0xA1 || lead == 0xA4 || lead == 0xA5;
        i += length;
    }
    return characters > 0 && kana * 4 >= characters;
}

bool PlainHasJisEscape(std::string_view bytes) {
    for (const std::string_view escape : {"\x1B(I", "\x1B$@", "\x1B$B", "\x1B$(D"}) {
        if (bytes.find(escape) != std::string_view::npos) return true;
    }
    return false;
}

// Characters and broken ones that a scan must neither take for ASCII nor cut wrongly.
const std::vector<std::string> kPieces = {
    "\xE3\x81\x82",              // あ
    "\xF0\x9F\x98\x80",          // an emoji, past U+FFFF
    "\xC3\xA9",                  // é
    "\xEF\xBD\xB1\xEF\xBD\xB2",  // ｱｲ, half-width katakana in UTF-8
    "\xC2\xB1\xC2\xB2",          // two characters that are Shift_JIS half-width katakana too
    "\xC0\xAF",                  // overlong '/'
    "\xE0\x80\xAF",              // overlong, three bytes
    "\xF0\x8F\xBF\xBF",          // overlong, four bytes
    "\xED\xA0\x80",              // a surrogate
    "\xF4\x90\x80\x80",          // past U+10FFFF
    "\xF5\x80\x80\x80",          // no lead byte at all
    "\x80\xBF",                  // trail bytes alone
    "\x82\xA0\x82\xA2",          // あい in Shift_JIS
    "\x82",                      // a Shift_JIS lead byte, at the end where it is last
    "\xA4\xA2\xA4\xA4",          // あい in EUC-JP
    "\x8E\xB1",                  // EUC-JP half-width katakana
    "\x8F\xB0\xA1",              // EUC-JP JIS X 0212
    "\x1B$B$\"\x1B(B",           // あ in ISO-2022-JP
    std::string("\0", 1),
    "\r",
};

TEST(EncodingScan, WordAtATimeScansAnswerAsPlainOnesAcrossWordBoundaries) {
    for (const std::string& piece : kPieces) {
        // Every place against a 16-byte word, whole or cut short, with ASCII or more of the
        // piece after it, or nothing.
        for (std::size_t before = 0; before <= 17; ++before) {
            for (std::size_t cut = 1; cut <= piece.size(); ++cut) {
                for (const std::string& after :
                     {std::string(), std::string("abcdefghijklmnopq"), piece + "xyz" + piece}) {
                    const std::string bytes =
                        std::string(before, 'a') + piece.substr(0, cut) + after;
                    SCOPED_TRACE(testing::PrintToString(bytes));
                    const std::size_t bad = PlainUtf8Bad(bytes);
                    ASSERT_EQ(IsUtf8(bytes), bad == 0);
                    ASSERT_EQ(ReadAs(bytes, Encoding::Utf8).badBytes, bad);
                    ASSERT_EQ(Utf8IsHalfWidthKatakana(bytes), PlainHalfWidthKatakana(bytes));
                    ASSERT_EQ(MayBeEucJp(bytes), PlainMayBeEucJp(bytes));
                    ASSERT_EQ(EucJpReadsAsJapanese(bytes), PlainEucJpReadsAsJapanese(bytes));
                    ASSERT_EQ(HasIso2022JpEscape(bytes), PlainHasJisEscape(bytes));
                    ASSERT_EQ(IsCp932(bytes), DecodeCp932(bytes, nullptr));
                    if (piece[0] == '\x1B' && cut == piece.size()) {
                        ASSERT_EQ(DetectEncoding(bytes).encoding, Encoding::Iso2022Jp);
                    }
                }
            }
        }
    }
}

TEST(EncodingScan, TheCp932CheckAnswersAsTheDecoderForEveryByteAndPair) {
    // Each byte alone and each pair: after ASCII, before ASCII, and cut off at the end.
    int pairs = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = -1; trail < 256; ++trail) {
            std::string pair(1, static_cast<char>(lead));
            if (trail >= 0) pair += static_cast<char>(trail);
            for (const std::string& bytes : {pair, "a" + pair + "b", pair + "\x82"}) {
                const bool decoded = DecodeCp932(bytes, nullptr);
                if (IsCp932(bytes) != decoded) {
                    FAIL() << testing::PrintToString(bytes) << " decodes: " << decoded;
                }
            }
            pairs += trail >= 0 && lead >= 0x80 && DecodeCp932(pair, nullptr);
        }
    }
    // The table is not empty: あ, the half-width ｱ and a kanji of the NEC rows.
    EXPECT_TRUE(IsCp932("\x82\xA0\xB1\x87\x40"));
    EXPECT_FALSE(IsCp932("\x82\xA0\x82"));
    EXPECT_FALSE(IsCp932("\x85\x40"));  // a row CP932 leaves empty
    EXPECT_GT(pairs, 7000);
}

TEST(EncodingScan, LongRunsAreCountedToTheLastByte) {
    // Bytes 80..A0 rule out EUC-JP from one in 32 bytes outside ASCII: exactly one in 32 here,
    // through many thousand words, then one more.
    std::string atTheLimit;
    for (int i = 0; i < 4000; ++i) atTheLimit += std::string(31, '\xA4') + "\x80";
    EXPECT_TRUE(MayBeEucJp(atTheLimit));
    EXPECT_FALSE(MayBeEucJp(atTheLimit + "\x80"));
    EXPECT_FALSE(MayBeEucJp("\x80" + atTheLimit));
    EXPECT_EQ(ReadAs(atTheLimit, Encoding::Utf8).badBytes, 128000u);
}

TEST(EncodingScan, Utf16WithoutAMarkIsFoundWhereItsNulBytesLie) {
    // ASCII in UTF-16 is UTF-8 too, NUL bytes and all: short of a word, across words, and with
    // the last NUL byte after the last whole one.
    for (std::size_t units = 1; units <= 40; ++units) {
        std::string bytes;
        for (std::size_t i = 1; i < units; ++i) bytes += std::string("a\0", 2);
        bytes += std::string("\n\0", 2);
        SCOPED_TRACE(units);
        ASSERT_EQ(DetectEncoding(bytes).encoding, Encoding::Utf16Le);
    }
}

TEST(EncodingScan, AFileSplitOverTwoCoresIsReadAsOnOne) {
    // A megabyte in lines, the piece where the halves part: at the middle, or just before it.
    std::string lines;
    while (lines.size() < (std::size_t{1} << 19)) lines += "a line of ASCII text\n";
    for (const std::string& piece : kPieces) {
        for (const std::size_t shift : {0, 3}) {
            const std::string half = lines + std::string(shift, 'a');
            const std::string bytes = half + piece + "\n" + half.substr(0, half.size() - 2 * shift);
            SCOPED_TRACE(testing::PrintToString(piece) + " moved " + std::to_string(shift));
            const DetectedEncoding one = DetectEncoding(bytes, Cores::One);
            const DetectedEncoding both = DetectEncoding(bytes, Cores::Both);
            EXPECT_EQ(both.encoding, one.encoding);
            EXPECT_EQ(both.badBytes, one.badBytes);
        }
    }
    // A few stray bytes at either end, on the far side of the split from each other.
    const std::string ascii(1 << 20, 'a');
    const std::string japanese = "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86";  // あいう
    EXPECT_EQ(DetectEncoding("\xC3" + japanese + ascii + "\xE3\x81", Cores::Both).badBytes, 3u);
    EXPECT_EQ(DetectEncoding(ascii, Cores::Both).encoding, Encoding::Utf8);
    // No line feed after the middle to part at: read whole on one core.
    std::string noAscii = ascii;
    for (int i = 0; i < 1 << 18; ++i) noAscii += japanese;
    EXPECT_EQ(DetectEncoding(noAscii, Cores::Both).encoding, Encoding::Utf8);
    EXPECT_EQ(DetectEncoding(noAscii + "\x82", Cores::Both).badBytes, 1u);
}

}  // namespace
}  // namespace viewer

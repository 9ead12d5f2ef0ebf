// Encodings the viewer recognises, binary detection, and how text is cut into lines.
#include <gtest/gtest.h>

#include "TextDecode.h"
#include "TextFile.h"
#include "EncodingWords.h"

namespace viewer {
namespace {

std::string Bytes(const char* data, size_t size) { return std::string(data, size); }

const std::u16string kJapanese = u"日本語のテキスト①～😀\n";
const std::string kJapaneseUtf8 = "日本語のテキスト①～😀\n";

// The text as DetectEncoding and Decode give it, the byte order mark left out.
struct Decoded {
    std::u16string text;
    std::u16string encoding;
    bool lossy;
};
Decoded DecodeText(const std::string& bytes) {
    const DetectedEncoding found = DetectEncoding(bytes);
    return {Decode(std::string_view(bytes).substr(found.markBytes), found.encoding),
            EncodingName(found.encoding), found.lossy};
}

TEST(TextDecode, Utf8WithAndWithoutByteOrderMark) {
    const Decoded plain = DecodeText(kJapaneseUtf8);
    EXPECT_EQ(plain.text, kJapanese);
    EXPECT_EQ(plain.encoding, u"UTF-8");
    EXPECT_FALSE(plain.lossy);

    const Decoded marked = DecodeText("\xEF\xBB\xBF" + kJapaneseUtf8);
    EXPECT_EQ(marked.text, kJapanese);  // the mark is not part of the first line
    EXPECT_EQ(marked.encoding, u"UTF-8 (BOM付き)");

    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    EXPECT_FALSE(IsUtf8("\xC0\xAF"));
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsUtf8("abcdefgh\xE3\x81"));  // cut off at the end
    EXPECT_TRUE(IsUtf8("abcdefghijk\xF0\x9F\x98\x80"));
}

TEST(TextDecode, Utf16WithByteOrderMarkInBothByteOrders) {
    std::string little("\xFF\xFE", 2);
    std::string big("\xFE\xFF", 2);
    for (const char16_t unit : kJapanese) {
        little.append({static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
        big.append({static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)});
    }
    EXPECT_EQ(DecodeText(little).text, kJapanese);
    EXPECT_EQ(DecodeText(little).encoding, u"UTF-16 LE");
    EXPECT_FALSE(DecodeText(little).lossy);
    EXPECT_EQ(DecodeText(big).text, kJapanese);
    EXPECT_EQ(DecodeText(big).encoding, u"UTF-16 BE");
    // Without the mark too, where every NUL byte is the high half of a unit of text.
    EXPECT_EQ(DecodeText(little.substr(2)).text, kJapanese);
    EXPECT_EQ(DecodeText(big.substr(2)).encoding, u"UTF-16 BE");
    EXPECT_FALSE(LooksBinary(big.substr(2)));
    EXPECT_TRUE(LooksBinary(Bytes("a\0\0\0", 4)));    // U+0000 is no text
    EXPECT_TRUE(LooksBinary(Bytes("a\0\x01\0", 4)));  // nor is a control character
    // A lone surrogate or a half unit at the end shows as U+FFFD, and is said to.
    const Decoded broken =
        DecodeText(Bytes("\xFF\xFE\x00\xD8"
                         "a\x00"
                         "b",
                         7));
    EXPECT_EQ(broken.text, u"\uFFFDa\uFFFD");
    EXPECT_TRUE(broken.lossy);
}

TEST(TextDecode, ShiftJisFileIsReadAsCp932) {
    // "日本語" then the NEC extension "①" and the Windows tilde "～": CP932, as Notepad writes.
    const std::string sjis = Bytes("\x93\xfa\x96\x7b\x8c\xea\x87\x40\x81\x60\r\n", 12);
    const Decoded decoded = DecodeText(sjis);
    EXPECT_EQ(decoded.text, u"日本語①～\r\n");
    EXPECT_EQ(decoded.encoding, u"Shift_JIS (CP932)");
    EXPECT_FALSE(decoded.lossy);
}

TEST(TextDecode, BytesValidInNoEncodingShowAsLatin1AndOnlyABrokenPromiseIsLossy) {
    // 0xFF is neither UTF-8 nor a CP932 byte; 0x82 0xFF is not a CP932 pair either.
    const Decoded latin = DecodeText(Bytes("ok\n\xff\x82\xff\n", 7));
    EXPECT_EQ(latin.encoding, u"Latin-1 (Windows-1252)");
    EXPECT_FALSE(latin.lossy);
    EXPECT_EQ(latin.text, u"ok\nÿ‚ÿ\n");
    // A UTF-8 byte order mark before bytes that are not UTF-8: shown as UTF-8, the rest replaced.
    const Decoded broken =
        DecodeText(Bytes("\xEF\xBB\xBF"
                         "a\xff",
                         5));
    EXPECT_EQ(broken.encoding, u"UTF-8 (BOM付き)");
    EXPECT_TRUE(broken.lossy);
    EXPECT_EQ(broken.text, u"a<FF>");
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF"
                             "a\xff")
                  .badBytes,
              1u);
    // Latin-1 text with a letter after each accent pairs up as CP932 but for one stray byte:
    // still Latin-1, and so is UTF-8 mostly broken.
    EXPECT_EQ(DecodeText("r\xe9sum\xe9 d\xe9j\xe0 vu\n").encoding, u"Latin-1 (Windows-1252)");
    EXPECT_EQ(DecodeText("\xe9 \xe9 \xe9 日\n").encoding, u"Latin-1 (Windows-1252)");
}

TEST(TextDecode, BinaryMeansANulByteNearTheStart) {
    EXPECT_FALSE(LooksBinary(""));
    EXPECT_FALSE(LooksBinary("plain text\n"));
    EXPECT_TRUE(
        LooksBinary(Bytes("\x7f"
                          "ELF\0\0\0",
                          7)));
    // UTF-16 text is full of NUL bytes, yet it is text.
    EXPECT_FALSE(
        LooksBinary(Bytes("\xFF\xFE"
                          "a\0b\0",
                          6)));
    // A stray NUL in text whose bytes pair up as UTF-16 (LE: "扡c敤੦桧੩"): binary all the same,
    // its line feeds being single bytes. Japanese UTF-16 without a mark, whose 上 holds a byte
    // 0A, stays text.
    EXPECT_TRUE(LooksBinary(Bytes("abc\0def\nghi\n", 12)));
    EXPECT_EQ(DetectEncoding(Bytes("abc\0def\nghi\n", 12)).encoding, Encoding::Utf8);
    EXPECT_FALSE(LooksBinary(Bytes("\x0a\x4e\x0a\x00", 4)));
    // Only the first block is looked at, as diff and git do.
    std::string late(20000, 'x');
    late[15000] = '\0';
    EXPECT_FALSE(LooksBinary(late));
    late[100] = '\0';
    EXPECT_TRUE(LooksBinary(late));
}

TEST(TextFile, LinesEndingsAndTheFinalNewline) {
    const TextFile empty("", Encoding::Utf8);
    EXPECT_EQ(empty.LineCount(), 0);
    EXPECT_FALSE(empty.endsWithNewline());

    const TextFile unterminated("a\nbb", Encoding::Utf8);
    ASSERT_EQ(unterminated.LineCount(), 2);
    EXPECT_EQ(unterminated.Line(1), "bb");
    EXPECT_FALSE(unterminated.endsWithNewline());
    EXPECT_EQ(unterminated.ending(), LineEnding::Lf);

    const TextFile crlf("a\r\n\r\nc\r\n", Encoding::Utf8);
    ASSERT_EQ(crlf.LineCount(), 3);
    EXPECT_EQ(crlf.Line(0), "a");
    EXPECT_EQ(crlf.Line(1), "");
    EXPECT_EQ(crlf.Line(2), "c");
    EXPECT_TRUE(crlf.endsWithNewline());
    EXPECT_EQ(crlf.ending(), LineEnding::CrLf);

    const TextFile mixed("a\r\nb\nc\rd", Encoding::Utf8);
    ASSERT_EQ(mixed.LineCount(), 3);
    EXPECT_EQ(mixed.Line(2), "c\rd");  // a lone CR does not end a line
    EXPECT_EQ(mixed.ending(), LineEnding::Mixed);

    const TextFile blank("\n", Encoding::Utf8);
    ASSERT_EQ(blank.LineCount(), 1);
    EXPECT_EQ(blank.Line(0), "");

    // Lines far apart (a line over 64 KiB among short ones) are found as well as near ones.
    std::string lines;
    for (int i = 0; i < 200; ++i) {
        lines += i == 70 ? std::string(70000, 'w') : std::to_string(i);
        lines += '\n';
    }
    const TextFile far(lines, Encoding::Utf8);
    ASSERT_EQ(far.LineCount(), 200);
    EXPECT_EQ(far.Line(69), "69");
    EXPECT_EQ(far.Line(70).size(), 70000u);
    EXPECT_EQ(far.Line(71), "71");
    EXPECT_EQ(far.Line(199), "199");
    EXPECT_EQ(far.LineAt(70000 + 200), 70);

    // UTF-16 ends lines at the code unit LF, not at a byte 0x0A: U+0A0D is "ਗ".
    const TextFile utf16(Bytes("\x0D\x0A\r\x00\n\x00"
                               "b\x00",
                               8),
                         Encoding::Utf16Le);
    ASSERT_EQ(utf16.LineCount(), 2);
    EXPECT_EQ(utf16.Display(0), u"\u0A0D");
    EXPECT_EQ(utf16.Display(1), u"b");
    EXPECT_EQ(utf16.ending(), LineEnding::CrLf);
    EXPECT_FALSE(utf16.endsWithNewline());
}

}  // namespace
}  // namespace viewer

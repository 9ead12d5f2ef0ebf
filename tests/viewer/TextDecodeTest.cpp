// Encodings the viewer recognises, binary detection, and how text is cut into lines.
#include <gtest/gtest.h>

#include "TextDecode.h"
#include "TextFile.h"

namespace viewer {
namespace {

QByteArray Bytes(const char* data, qsizetype size) { return QByteArray(data, size); }

const QString kJapanese = QStringLiteral("日本語のテキスト①～\n");

TEST(TextDecode, Utf8WithAndWithoutByteOrderMark) {
    const DecodedText plain = DecodeText(kJapanese.toUtf8());
    EXPECT_EQ(plain.text, kJapanese);
    EXPECT_EQ(plain.encoding, "UTF-8");
    EXPECT_FALSE(plain.lossy);

    const DecodedText marked = DecodeText("\xEF\xBB\xBF" + kJapanese.toUtf8());
    EXPECT_EQ(marked.text, kJapanese);  // the mark is not part of the first line
    EXPECT_EQ(marked.encoding, "UTF-8 (BOM付き)");
}

TEST(TextDecode, Utf16WithByteOrderMarkInBothByteOrders) {
    QByteArray little("\xFF\xFE", 2);
    QByteArray big("\xFE\xFF", 2);
    for (QChar c : kJapanese) {
        const char16_t unit = c.unicode();
        little.append(static_cast<char>(unit & 0xFF)).append(static_cast<char>(unit >> 8));
        big.append(static_cast<char>(unit >> 8)).append(static_cast<char>(unit & 0xFF));
    }
    EXPECT_EQ(DecodeText(little).text, kJapanese);
    EXPECT_EQ(DecodeText(little).encoding, "UTF-16 LE");
    EXPECT_EQ(DecodeText(big).text, kJapanese);
    EXPECT_EQ(DecodeText(big).encoding, "UTF-16 BE");
}

TEST(TextDecode, ShiftJisFileIsReadAsCp932) {
    // "日本語" then the NEC extension "①" and the Windows tilde "～": CP932, as Notepad writes.
    const QByteArray sjis = Bytes("\x93\xfa\x96\x7b\x8c\xea\x87\x40\x81\x60\r\n", 12);
    const DecodedText decoded = DecodeText(sjis);
    EXPECT_EQ(decoded.text, QStringLiteral("日本語①～\r\n"));
    EXPECT_EQ(decoded.encoding, "Shift_JIS (CP932)");
    EXPECT_FALSE(decoded.lossy);
}

TEST(TextDecode, BytesValidInNoEncodingAreReplacedAndSaidSo) {
    // 0xFF is neither UTF-8 nor a CP932 byte; 0x82 0xFF is not a CP932 pair either.
    const DecodedText decoded = DecodeText(Bytes("ok\n\xff\x82\xff\n", 7));
    EXPECT_TRUE(decoded.lossy);
    EXPECT_TRUE(decoded.text.startsWith(QStringLiteral("ok\n")));
    EXPECT_TRUE(decoded.text.contains(QChar::ReplacementCharacter));
}

TEST(TextDecode, BinaryMeansANulByteNearTheStart) {
    EXPECT_FALSE(LooksBinary(QByteArray()));
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
    // Only the first block is looked at, as diff and git do.
    QByteArray late(20000, 'x');
    late[15000] = '\0';
    EXPECT_FALSE(LooksBinary(late));
    late[100] = '\0';
    EXPECT_TRUE(LooksBinary(late));
}

TEST(TextFile, LinesEndingsAndTheFinalNewline) {
    const TextFile empty = SplitLines(QString());
    EXPECT_EQ(empty.LineCount(), 0);
    EXPECT_FALSE(empty.endsWithNewline);
    EXPECT_EQ(empty.longestLine, -1);

    const TextFile unterminated = SplitLines(QStringLiteral("a\nbb"));
    ASSERT_EQ(unterminated.LineCount(), 2);
    EXPECT_EQ(unterminated.Line(1), u"bb");
    EXPECT_FALSE(unterminated.endsWithNewline);
    EXPECT_EQ(unterminated.ending, LineEnding::Lf);
    EXPECT_EQ(unterminated.longestLine, 1);

    const TextFile crlf = SplitLines(QStringLiteral("a\r\n\r\nc\r\n"));
    ASSERT_EQ(crlf.LineCount(), 3);
    EXPECT_EQ(crlf.Line(0), u"a");
    EXPECT_EQ(crlf.Line(1), u"");
    EXPECT_EQ(crlf.Line(2), u"c");
    EXPECT_TRUE(crlf.endsWithNewline);
    EXPECT_EQ(crlf.ending, LineEnding::CrLf);

    const TextFile mixed = SplitLines(QStringLiteral("a\r\nb\nc\rd"));
    ASSERT_EQ(mixed.LineCount(), 3);
    EXPECT_EQ(mixed.Line(2), u"c\rd");  // a lone CR does not end a line
    EXPECT_EQ(mixed.ending, LineEnding::Mixed);

    const TextFile blank = SplitLines(QStringLiteral("\n"));
    ASSERT_EQ(blank.LineCount(), 1);
    EXPECT_EQ(blank.Line(0), u"");
}

}  // namespace
}  // namespace viewer

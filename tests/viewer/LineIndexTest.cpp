// A file's lines as the index finds them, against a plain cut of the same bytes, on the texts
// that try it: no final newline, CR LF and lone CRs, UTF-16 in both orders, runs of empty lines
// across the index's blocks, lines longer than a block, an empty file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextFile.h"

namespace viewer {
namespace {

struct CutLine {
    std::size_t begin = 0;
    std::string withEnding;
    LineEnding ending = LineEnding::None;
};

// The lines cut one code unit at a time: a line ends at the unit LF, a CR just before it
// belonging to the ending.
std::vector<CutLine> Cut(const std::string& bytes, std::size_t unit, bool bigEndian) {
    auto is = [&](std::size_t at, char c) {
        if (unit == 1) return bytes[at] == c;
        return bigEndian ? bytes[at] == 0 && bytes[at + 1] == c
                         : bytes[at] == c && bytes[at + 1] == 0;
    };
    std::vector<CutLine> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at + unit <= bytes.size(); at += unit) {
        if (!is(at, '\n')) continue;
        const bool crlf = at >= start + unit && is(at - unit, '\r');
        lines.push_back({start, bytes.substr(start, at + unit - start),
                         crlf ? LineEnding::CrLf : LineEnding::Lf});
        start = at + unit;
    }
    if (start < bytes.size()) lines.push_back({start, bytes.substr(start), LineEnding::None});
    return lines;
}

void ExpectSameLines(const std::string& bytes, Encoding encoding) {
    SCOPED_TRACE(::testing::Message()
                 << "encoding " << static_cast<int>(encoding) << ", " << bytes.size() << " bytes");
    const std::size_t unit = UnitBytes(encoding);
    const std::vector<CutLine> cut = Cut(bytes, unit, encoding == Encoding::Utf16Be);
    const TextFile file(bytes, encoding);
    ASSERT_EQ(file.LineCount(), static_cast<std::int32_t>(cut.size()));
    std::vector<std::size_t> lengths;
    LineCursor walk(file, 0);
    for (std::int32_t i = 0; i < file.LineCount(); ++i, walk.Next()) {
        const CutLine& want = cut[static_cast<std::size_t>(i)];
        const std::size_t endingBytes = want.ending == LineEnding::CrLf ? 2 * unit
                                        : want.ending == LineEnding::Lf ? unit
                                                                        : 0;
        const std::string_view line = file.Line(i);
        ASSERT_EQ(line.data() - file.bytes().data(), static_cast<std::ptrdiff_t>(want.begin));
        ASSERT_EQ(
            line,
            std::string_view(want.withEnding).substr(0, want.withEnding.size() - endingBytes));
        ASSERT_EQ(file.LineWithEnding(i), want.withEnding);
        ASSERT_EQ(file.EndingOf(i), want.ending);
        ASSERT_EQ(file.LineAt(want.begin), i);
        ASSERT_EQ(file.LineAt(want.begin + want.withEnding.size() - 1), i);
        ASSERT_EQ(walk.index(), i);
        ASSERT_EQ(walk.Line(), line);
        ASSERT_EQ(walk.LineWithEnding(), want.withEnding);
        ASSERT_EQ(walk.Ending(), want.ending);
        lengths.push_back(line.size());
    }
    // Passing over short lines stops at each longer one, for every length that tells them apart.
    for (const std::size_t shortest : {0, 1, 2, 5, 6, 7, 8, 9, 1500}) {
        LineCursor skip(file, 0);
        for (std::int32_t i = 0; i < file.LineCount(); ++i) {
            if (lengths[static_cast<std::size_t>(i)] <= shortest) continue;
            ASSERT_TRUE(skip.SkipShorter(shortest, file.LineCount())) << shortest;
            ASSERT_EQ(skip.index(), i) << shortest;
            skip.Next();
        }
        ASSERT_FALSE(skip.SkipShorter(shortest, file.LineCount())) << shortest;
        ASSERT_EQ(skip.index(), file.LineCount());
    }
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string units;
    for (const char c : ascii) {
        units += bigEndian ? '\0' : c;
        units += bigEndian ? c : '\0';
    }
    return units;
}

TEST(LineIndex, FindsTheLinesAPlainCutFinds) {
    const TextFile empty("", Encoding::Utf8);
    EXPECT_EQ(empty.LineCount(), 0);
    EXPECT_EQ(empty.LineAt(0), -1);
    EXPECT_EQ(empty.ending(), LineEnding::None);

    const TextFile mixed("a\r\n\nb\rc\r\n\r\nlast", Encoding::Utf8);
    ASSERT_EQ(mixed.LineCount(), 5);
    EXPECT_EQ(mixed.Line(2), "b\rc");
    EXPECT_EQ(mixed.Line(3), "");
    EXPECT_EQ(mixed.Line(4), "last");
    EXPECT_EQ(mixed.ending(), LineEnding::Mixed);
    EXPECT_FALSE(mixed.endsWithNewline());
    EXPECT_EQ(mixed.LineAt(5), 2);
    EXPECT_EQ(mixed.LineAt(100), 4);

    // 3,000 empty lines then one line of 2,500 bytes, whose CR LF falls across a block's edge,
    // then short lines of every length around a word's.
    std::string blocks(3000, '\n');
    blocks += std::string(2500, 'w') + "\r\n";
    for (int length = 0; length < 40; ++length) blocks += std::string(length % 11, 'x') + "\n";
    blocks += std::string(1021, 'z') + "\r";
    const TextFile big(blocks, Encoding::Utf8);
    ASSERT_EQ(big.LineCount(), 3042);
    EXPECT_EQ(big.Line(2999), "");
    EXPECT_EQ(big.Line(3000).size(), 2500u);
    EXPECT_EQ(big.EndingOf(3000), LineEnding::CrLf);
    EXPECT_EQ(big.Line(3011), "xxxxxxxxxx");
    EXPECT_EQ(big.Line(3041).size(), 1022u);  // a CR at the end with no LF is the line's own
    EXPECT_EQ(big.EndingOf(3041), LineEnding::None);
    EXPECT_EQ(big.ending(), LineEnding::Mixed);

    // UTF-16 ends lines at the unit LF alone: U+0A0D and U+0D0A hold the bytes of CR and LF.
    const std::string utf16le = Utf16("ab\r\n\nc", false) + "\x0D\x0A" + Utf16("\n", false) + "x";
    const TextFile le(utf16le, Encoding::Utf16Le);
    ASSERT_EQ(le.LineCount(), 4);
    EXPECT_EQ(le.Line(0), Utf16("ab", false));
    EXPECT_EQ(le.EndingOf(0), LineEnding::CrLf);
    EXPECT_EQ(le.Line(2), Utf16("c", false) + "\x0D\x0A");
    EXPECT_EQ(le.Line(3), "x");  // an odd byte at the end is a line of its own

    // A CR LF at every place around the sixteen-byte steps and a block's edge, and at the start.
    for (std::size_t at = 1000; at < 1060; ++at) {
        const std::string before(at, 'a');
        EXPECT_EQ(TextFile(before + "\r\n" + "b\r\n", Encoding::Utf8).ending(), LineEnding::CrLf)
            << at;
        EXPECT_EQ(TextFile(before + "\r\n" + "b\n", Encoding::Utf8).ending(), LineEnding::Mixed)
            << at;
        EXPECT_EQ(
            TextFile(before + "\r" + std::string(at % 17, 'c') + "\n", Encoding::Utf8).ending(),
            at % 17 == 0 ? LineEnding::CrLf : LineEnding::Lf)
            << at;
    }
    // A CR that ends a word, then a word of empty lines: the first of them ends in CR LF.
    EXPECT_EQ(TextFile(Utf16("abc\r\n\n\n\n", false), Encoding::Utf16Le).ending(),
              LineEnding::Mixed);
    EXPECT_EQ(TextFile("abcdefg\r\n\n\n\n\n\n\n\n", Encoding::Utf8).ending(), LineEnding::Mixed);
    EXPECT_EQ(TextFile("\r\nb\r\n", Encoding::Utf8).ending(), LineEnding::CrLf);
    EXPECT_EQ(TextFile("\nb\r\n", Encoding::Utf8).ending(), LineEnding::Mixed);
    EXPECT_EQ(TextFile(std::string(5000, '\n'), Encoding::Utf8).LineCount(), 5000);

    for (const std::string& bytes :
         {std::string("a"), std::string("\n"), std::string("\r\n"), std::string("\n\n\r"),
          std::string("a\r\n\nb\rc\r\n\r\nlast"), blocks, std::string(2100, '\n')}) {
        ExpectSameLines(bytes, Encoding::Utf8);
        ExpectSameLines(bytes, Encoding::Cp932);
        ExpectSameLines(Utf16(bytes, false), Encoding::Utf16Le);
        ExpectSameLines(Utf16(bytes, true), Encoding::Utf16Be);
        ExpectSameLines(Utf16(bytes, true) + "\n", Encoding::Utf16Be);
    }
}

}  // namespace
}  // namespace viewer

// The Japanese encodings on real files: recognised, compared as text with each other, a stray
// byte kept to its line, and an encoding chosen by hand. Built for Linux (iconv) and for Windows
// (the system's code pages, under Wine), which must agree.
#include <gtest/gtest.h>

#include "Comparison.h"
#include "ComparisonWording.h"
#include "support/TempDir.h"
#include "EncodingWords.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

// "日本語のテキスト", "漢字とひらがな、カタカナ。", "line 3" in each encoding.
const std::string kUtf8 = "日本語のテキスト\n漢字とひらがな、カタカナ。\nline 3\n";
const std::string kCp932 =
    "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83"
    "e\x83L\x83X\x83g\n"
    "\x8A\xBF\x8E\x9A\x82\xC6\x82\xD0\x82\xE7\x82\xAA\x82\xC8\x81"
    "A\x83J\x83^\x83J\x83i\x81"
    "B\nline 3\n";
const std::string kEucJp =
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\n"
    "\xB4\xC1\xBB\xFA\xA4\xC8\xA4\xD2\xA4\xE9\xA4\xAC\xA4\xCA\xA1\xA2\xA5\xAB\xA5\xBF\xA5\xAB\xA5"
    "\xCA\xA1\xA3\nline 3\n";
const std::string kIso2022Jp =
    "\x1B$BF|K\\8l$N%F%-%9%H\x1B(B\n"
    "\x1B$B4A;z$H$R$i$,$J!\"%+%?%+%J!#\x1B(B\nline 3\n";

TEST(Encodings, JapaneseFilesAreReadInTheirEncodingAndAStrayByteStaysInItsLine) {
    TempDir dir;
    WriteBytes(dir / "utf8.txt", kUtf8);
    const struct {
        const char* file;
        std::string bytes;
        std::u16string name;
    } files[] = {
        {"sjis.txt", kCp932, u"Shift_JIS (CP932)"},
        {"euc.txt", kEucJp, u"EUC-JP"},
        {"jis.txt", kIso2022Jp, u"ISO-2022-JP (JIS)"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.file);
        WriteBytes(dir / file.file, file.bytes);
        const Comparison c = Compare(dir / "utf8.txt", dir / file.file);
        EXPECT_EQ(EncodingText(c.second()), file.name);
        EXPECT_TRUE(c.differenceStarts().empty());
        EXPECT_EQ(SameLinesNote(c), u"行の内容は同じですが、文字コードが異なります。");
        // Each row is shown from the first file: check the second's own text too.
        const Comparison alone = Compare(dir / file.file, dir / "utf8.txt");
        EXPECT_EQ(alone.LineText(1), u"漢字とひらがな、カタカナ。");
    }

    // One stray byte in EUC-JP and in ISO-2022-JP: the file keeps its encoding, one line
    // changes, and the byte is shown by its value with a mark of its own.
    std::string eucStray = kEucJp;
    eucStray.insert(23, "\xFF");  // after "漢字と"
    WriteBytes(dir / "euc-stray.txt", eucStray);
    const Comparison euc = Compare(dir / "euc.txt", dir / "euc-stray.txt");
    EXPECT_EQ(EncodingText(euc.second()), u"EUC-JP、不正なバイト 1 個を含みます");
    ASSERT_EQ(euc.differenceStarts(), (std::vector<std::size_t>{1}));
    ASSERT_EQ(euc.rows().size(), 4u);
    const ShownLine shown = euc.Shown(2);
    EXPECT_EQ(shown.text, u"漢字と<FF>ひらがな、カタカナ。");
    EXPECT_EQ(shown.byteMarks, (std::vector<MarkSpan>{{3, 4}}));
    EXPECT_EQ(shown.marks, (std::vector<MarkSpan>{{3, 4}}));
    EXPECT_TRUE(euc.Shown(1).byteMarks.empty());

    std::string jisStray = kIso2022Jp;
    jisStray.insert(jisStray.find("line"), "\x80\x81");
    WriteBytes(dir / "jis-stray.txt", jisStray);
    const Comparison jis = Compare(dir / "jis.txt", dir / "jis-stray.txt");
    EXPECT_EQ(EncodingText(jis.second()), u"ISO-2022-JP (JIS)、不正なバイト 2 個を含みます");
    ASSERT_EQ(jis.differenceStarts(), (std::vector<std::size_t>{2}));
    EXPECT_EQ(jis.Shown(3).text, u"<80><81>line 3");
    EXPECT_EQ(jis.Shown(3).byteMarks, (std::vector<MarkSpan>{{0, 8}}));
}

TEST(Encodings, HalfWidthKatakanaIsShiftJisAndAccentedLettersStayUtf8) {
    TempDir dir;
    // "ﾃｽﾄｱ ﾒｲﾝｲ": every two of these katakana also make a valid UTF-8 character (ý ı ...),
    // and a valid EUC-JP one (kanji).
    WriteBytes(dir / "kana.txt", "\xC3\xBD\xC4\xB1 \xD2\xB2\xDD\xB2\n");
    // "ｱｲｳｴｵ" is no UTF-8 at all.
    WriteBytes(dir / "kana2.txt", "\xB1\xB2\xB3\xB4\xB5\n");
    // French in UTF-8: valid Shift_JIS too, as half-width katakana.
    WriteBytes(dir / "french.txt", "été café\n");
    const Comparison kana = Compare(dir / "kana.txt", dir / "kana2.txt");
    EXPECT_EQ(EncodingText(kana.first()), u"Shift_JIS (CP932)");
    EXPECT_EQ(EncodingText(kana.second()), u"Shift_JIS (CP932)");
    EXPECT_EQ(kana.LineText(0), u"ﾃｽﾄｱ ﾒｲﾝｲ");
    EXPECT_EQ(kana.LineText(1), u"ｱｲｳｴｵ");
    const Comparison french = Compare(dir / "french.txt", dir / "kana.txt");
    EXPECT_EQ(EncodingText(french.first()), u"UTF-8");
    EXPECT_EQ(french.LineText(0), u"été café");

    // A stray byte among them keeps them katakana, not kanji in EUC-JP.
    std::string lines;
    for (int i = 0; i < 4; ++i) lines += "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\n";  // ｱ..ｺ
    WriteBytes(dir / "kana-lines.txt", lines);
    WriteBytes(dir / "kana-stray.txt", lines.insert(13, "\xFF"));
    const Comparison stray = Compare(dir / "kana-lines.txt", dir / "kana-stray.txt");
    EXPECT_EQ(EncodingText(stray.second()), u"Shift_JIS (CP932)、不正なバイト 1 個を含みます");
    ASSERT_EQ(stray.differenceStarts(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(stray.LineText(2), u"ｱｲ<FF>ｳｴｵｶｷｸｹｺ");
}

TEST(Encodings, ShiftJisAndTheJisTablesCompareEqualWhereTheyMapOneCharacterApart) {
    TempDir dir;
    // As a JIS-based tool writes them: 〜 ‖ − ¢ £ ¬ — (U+301C U+2016 U+2212 U+00A2 U+00A3
    // U+00AC U+2014); Shift_JIS (CP932) maps the same bytes to ～ ∥ － ￠ ￡ ￢ ―.
    WriteBytes(dir / "utf8.txt", "波〜線\n二重‖線\n−5\n¢£¬\n前—後\n同じ行\nASCII\n終わり\n");
    WriteBytes(dir / "sjis.txt",
               "\x94g\x81`\x90\xFC\n\x93\xF1\x8F"
               "d\x81"
               "a\x90\xFC\n\x81|5\n\x81\x91\x81\x92\x81\xCA\n\x91O\x81\\\x8C\xE3\n\x93\xAF\x82"
               "\xB6\x8Ds\nASCII\n\x8FI\x82\xED\x82\xE8\n");
    WriteBytes(dir / "euc.txt",
               "\xC7\xC8\xA1\xC1\xC0\xFE\n\xC6\xF3\xBD\xC5\xA1\xC2\xC0\xFE\n\xA1\xDD"
               "5\n\xA1\xF1\xA1\xF2\xA2\xCC\n\xC1\xB0\xA1\xBD\xB8\xE5\n\xC6\xB1\xA4\xB8\xB9\xD4\n"
               "ASCII\n\xBD\xAA\xA4\xEF\xA4\xEA\n");

    const Comparison c = Compare(dir / "utf8.txt", dir / "sjis.txt");
    EXPECT_EQ(EncodingText(c.second()), u"Shift_JIS (CP932)");
    EXPECT_TRUE(c.differenceStarts().empty());
    EXPECT_EQ(CountText(c, std::nullopt), u"相違はありません");
    EXPECT_EQ(SameLinesNote(c), u"行の内容は同じですが、文字コードが異なります。");
    EXPECT_EQ(HiddenNote(c),
              u"〜と～のように文字コードの変換表だけが異なる 5 行を同じ行として表示しています");
    // Each file keeps its own characters on screen.
    EXPECT_EQ(c.LineText(0), u"波〜線");
    EXPECT_EQ(Compare(dir / "sjis.txt", dir / "utf8.txt").LineText(0), u"波～線");

    const Comparison euc = Compare(dir / "euc.txt", dir / "sjis.txt");
    EXPECT_EQ(EncodingText(euc.first()), u"EUC-JP");
    EXPECT_TRUE(euc.differenceStarts().empty());
    EXPECT_EQ(SameLinesNote(euc), u"行の内容は同じですが、文字コードが異なります。");

    // A character that is really another still differs: ~ is not 〜.
    WriteBytes(dir / "tilde.txt", "波~線\n二重‖線\n−5\n¢£¬\n前—後\n同じ行\nASCII\n終わり\n");
    const Comparison tilde = Compare(dir / "tilde.txt", dir / "sjis.txt");
    EXPECT_EQ(tilde.differenceStarts(), (std::vector<std::size_t>{0}));
    EXPECT_EQ(HiddenNote(tilde),
              u"〜と～のように文字コードの変換表だけが異なる 4 行を同じ行として表示しています");
}

TEST(Encodings, AnEncodingChosenByHandIsKeptWhenComparedAgain) {
    const std::vector<EncodingChoice> choices = EncodingChoices();
    std::vector<std::u16string> labels;
    for (const EncodingChoice& choice : choices) labels.push_back(choice.label);
    EXPECT_EQ(labels,
              (std::vector<std::u16string>{u"自動判別", u"Unicode (UTF-8)", u"Unicode (UTF-16 LE)",
                                           u"Unicode (UTF-16 BE)", u"日本語 (シフト JIS / CP932)",
                                           u"日本語 (EUC-JP)", u"日本語 (JIS / ISO-2022-JP)",
                                           u"西ヨーロッパ言語 (Windows-1252)"}));
    EXPECT_FALSE(choices[0].encoding.has_value());
    EXPECT_EQ(choices[5].encoding, Encoding::EucJp);

    TempDir dir;
    WriteBytes(dir / "utf8.txt", "café\n");
    WriteBytes(dir / "latin.txt", "caf\xE9\n");
    const Comparison chosen = Compare(dir / "utf8.txt", dir / "latin.txt", kTextLimitBytes, {},
                                      nullptr, {Encoding::Windows1252, std::nullopt});
    EXPECT_EQ(EncodingText(chosen.first()), u"Latin-1 (Windows-1252)");
    EXPECT_EQ(chosen.LineText(0), u"cafÃ©");
    EXPECT_EQ(chosen.differenceStarts().size(), 1u);

    const Comparison again = CompareAgain(chosen);
    EXPECT_EQ(again.chosen().first, Encoding::Windows1252);
    EXPECT_EQ(again.LineText(0), u"cafÃ©");
    const Comparison automatic = CompareAgain(again, ChosenEncodings{});
    EXPECT_EQ(EncodingText(automatic.first()), u"UTF-8");
    EXPECT_TRUE(automatic.differenceStarts().empty());

    // Bytes chosen as an encoding they are not valid in are counted and shown.
    const Comparison wrong = Compare(dir / "latin.txt", dir / "utf8.txt", kTextLimitBytes, {},
                                     nullptr, {Encoding::Utf8, std::nullopt});
    EXPECT_EQ(EncodingText(wrong.first()), u"UTF-8、不正なバイト 1 個を含みます");
    EXPECT_EQ(wrong.LineText(0), u"caf<E9>");

    // UTF-16 holding U+0000 looks binary; chosen by hand, it is text, the NUL drawn.
    WriteBytes(dir / "utf16.txt", std::string("a\0\0\0b\0\n\0", 8));
    EXPECT_EQ(Compare(dir / "utf16.txt", dir / "utf8.txt").outcome(), Outcome::Binary);
    const Comparison utf16 = Compare(dir / "utf16.txt", dir / "utf8.txt", kTextLimitBytes, {},
                                     nullptr, {Encoding::Utf16Le, std::nullopt});
    ASSERT_EQ(utf16.outcome(), Outcome::Text);
    EXPECT_EQ(EncodingText(utf16.first()), u"UTF-16 LE");
    EXPECT_EQ(utf16.LineText(0), u"a␀b");
}

}  // namespace
}  // namespace viewer

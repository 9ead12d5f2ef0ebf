// The editing model on real files: differences taken across both ways, lines edited in place,
// undo and redo, and saves that keep every byte not changed. Standard C++ only: the suite runs
// on Linux and, built with MinGW, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ComparisonWording.h"
#include "EditedComparison.h"
#include "Wording.h"
#include "support/EditWords.h"
#include "support/TempDir.h"
#include "support/TwoFilesTest.h"

namespace {

using namespace std::string_literals;
using testsupport::ReadBytes;
using testsupport::Said;
using testsupport::WhyReadOnly;
using testsupport::WriteBytes;
using viewer::EditedComparison;
using viewer::SaveStatus;
using viewer::Side;

// The rows as a unified diff marks them: " " common, "-" first only, "+" second only.
std::u16string Rows(const EditedComparison& editing) {
    const viewer::Comparison& c = editing.comparison();
    std::vector<std::size_t> all(c.rows().size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return c.CopyText(all);
}

class EditingTest : public testsupport::TwoFilesTest {
protected:
    EditedComparison Open(const std::string& first, const std::string& second) {
        WriteBytes(a, first);
        WriteBytes(b, second);
        return EditedComparison(viewer::Compare(a, b));
    }
};

TEST_F(EditingTest, DifferencesTakenAcrossBothWaysAtStartMiddleAndEndThenUndoneAndRedone) {
    EditedComparison e = Open("top\nsame1\nold\nsame2\nbottom\n", "TOP\nsame1\nnew\nnew2\nsame2\n");
    const std::u16string start = u"-top\n+TOP\n same1\n-old\n+new\n+new2\n same2\n-bottom\n";
    ASSERT_EQ(Rows(e), start);
    EXPECT_EQ(WhyReadOnly(e, Side::First), u"");

    // The first line, from the first file into the second.
    auto done = e.Take(Side::First, 1, 1);
    ASSERT_TRUE(done.done) << viewer::ToUtf8(Said(e, done));
    EXPECT_EQ(done.row, 0u);
    EXPECT_EQ(Rows(e), u" top\n same1\n-old\n+new\n+new2\n same2\n-bottom\n");
    EXPECT_EQ(CountText(e.comparison(), std::nullopt),
              u"相違 2 箇所　F8: 次の相違　Shift+F8 / F7: 前の相違");
    EXPECT_FALSE(e.Changed(Side::First));
    EXPECT_TRUE(e.Changed(Side::Second));

    // Two lines for one, from the second into the first.
    ASSERT_TRUE(e.Take(Side::Second, 3, 3).done);
    EXPECT_EQ(Rows(e), u" top\n same1\n new\n new2\n same2\n-bottom\n");
    EXPECT_TRUE(e.Changed(Side::First));

    // A line only the first file has, at the end: the files are the same then.
    ASSERT_TRUE(e.Take(Side::First, 5, 5).done);
    EXPECT_EQ(Rows(e), u" top\n same1\n new\n new2\n same2\n bottom\n");
    EXPECT_TRUE(e.comparison().identicalBytes());
    EXPECT_EQ(ComparisonMessage(e.comparison()), u"2つのファイルは同一です。");
    EXPECT_EQ(e.comparison().first().text->bytes(), "top\nsame1\nnew\nnew2\nsame2\nbottom\n");

    // A common row takes nothing.
    EXPECT_EQ(Said(e, e.Take(Side::First, 0, 0)), u"相違がありません");

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(Rows(e), start);
    EXPECT_FALSE(e.Changed(Side::First));
    EXPECT_FALSE(e.Changed(Side::Second));
    EXPECT_FALSE(e.CanUndo());
    EXPECT_EQ(Said(e, e.Undo()), u"元に戻す操作はありません");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(e.Redo().done);
    EXPECT_TRUE(e.comparison().identicalBytes());
    EXPECT_FALSE(e.CanRedo());
    // Nothing was written by any of it.
    EXPECT_EQ(ReadBytes(b), "TOP\nsame1\nnew\nnew2\nsame2\n");

    // Rows over several differences take them all in one step.
    e = Open("top\nsame1\nold\nsame2\nbottom\n", "TOP\nsame1\nnew\nnew2\nsame2\n");
    ASSERT_TRUE(e.Take(Side::Second, 0, 7).done);
    EXPECT_EQ(e.comparison().first().text->bytes(), "TOP\nsame1\nnew\nnew2\nsame2\n");
    EXPECT_EQ(CountText(e.comparison(), std::nullopt), u"相違はありません");
    ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(Rows(e), start);
}

// Whether two files are the same is one rule, their bytes as written, byte order mark included:
// after an edit the window says what a comparison of the saved files says.
TEST_F(EditingTest, AnEditMakesFilesIdenticalOnlyWhenTheirBytesWouldBe) {
    EditedComparison e = Open("\xEF\xBB\xBFsame\nold\n", "same\nnew\n");
    ASSERT_EQ(Rows(e), u" same\n-old\n+new\n");
    ASSERT_TRUE(e.Take(Side::Second, 1, 2).done);
    EXPECT_FALSE(e.comparison().identicalBytes());
    EXPECT_EQ(e.comparison().firstDifferentByte(), 0);
    EXPECT_EQ(ComparisonMessage(e.comparison()), u"行の内容は同じですが、文字コードが異なります。");
    ASSERT_EQ(e.Save(Side::First).status, SaveStatus::Saved);
    const viewer::Comparison saved = viewer::Compare(a, b);
    EXPECT_FALSE(saved.identicalBytes());
    EXPECT_EQ(saved.firstDifferentByte(), 0);
    EXPECT_EQ(ComparisonMessage(saved), u"行の内容は同じですが、文字コードが異なります。");

    // Both without a mark: the same bytes, and where they parted before, nothing now.
    e = Open("same\nold\n", "same\nnew\n");
    EXPECT_EQ(e.comparison().firstDifferentByte(), 5);
    ASSERT_TRUE(e.Take(Side::Second, 1, 2).done);
    EXPECT_TRUE(e.comparison().identicalBytes());
    EXPECT_EQ(e.comparison().firstDifferentByte(), -1);
    ASSERT_EQ(e.Save(Side::First).status, SaveStatus::Saved);
    EXPECT_TRUE(viewer::Compare(a, b).identicalBytes());
}

TEST_F(EditingTest, EmptyFileTakesTheOtherFilesLinesWithItsLineEndsAndGivesThemBack) {
    EditedComparison e = Open("", "a\r\nb\r\n");
    ASSERT_EQ(Rows(e), u"+a\n+b\n");
    ASSERT_TRUE(e.Take(Side::Second, 0, 0).done);
    EXPECT_EQ(e.comparison().first().text->bytes(), "a\r\nb\r\n");
    ASSERT_TRUE(e.Undo().done);
    // The other way the second file's lines go, and it is empty.
    ASSERT_TRUE(e.Take(Side::First, 1, 1).done);
    EXPECT_EQ(e.comparison().second().text->bytes(), "");
    EXPECT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "");
    EXPECT_EQ(e.Save(Side::First).status, SaveStatus::Unchanged);
}

TEST_F(EditingTest, LineEditedInPlaceIsComparedAgainAndUndoneAsOneStep) {
    EditedComparison e = Open("a\nb\n", "a\nc\n");
    ASSERT_EQ(Rows(e), u" a\n-b\n+c\n");
    EXPECT_EQ(e.EditableText(2, Side::Second), u"c");
    EXPECT_EQ(e.EditableText(2, Side::First), std::nullopt);  // no line of the first file there
    ASSERT_TRUE(e.EditLine(2, Side::Second, u"").done);
    EXPECT_EQ(Rows(e), u" a\n-b\n+\n");
    ASSERT_TRUE(e.EditLine(2, Side::Second, u"b").done);
    EXPECT_EQ(Rows(e), u" a\n b\n");
    EXPECT_EQ(Said(e, e.EditLine(1, Side::Second, u"x\ny")), u"改行は入力できません");
    ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(Rows(e), u" a\n-b\n+c\n");
    EXPECT_FALSE(e.CanUndo());
}

// The bytes of a CP932 text: 一 88EA, 二 93F1, 三 8E4F, 四 8E6C, and ∵ in NEC's row 13 (879A),
// which reads as U+2235 but is written 81E6 from the text.
const std::string kIchi = "\x88\xEA", kNi = "\x93\xF1", kSan = "\x8E\x4F", kYon = "\x8E\x6C";
const std::string kBecauseNec = "\x87\x9A";

TEST_F(EditingTest, SavesKeepEveryByteNotChangedInEachEncodingAndLineEnd) {
    // CP932 with CR LF and no final newline, taking lines from UTF-8: a line put in is written
    // in CP932 with the end of the line it replaces, a line added at the end makes the old last
    // line end as the one above, and the file ends as the file it took its end from. The NEC "∵"
    // untouched.
    EditedComparison e =
        Open("一\n2\n三\n∵\n四\n", kIchi + "\r\n" + kNi + "\r\n" + kSan + "\r\n" + kBecauseNec);
    ASSERT_EQ(Rows(e), u" 一\n-2\n+二\n 三\n ∵\n-四\n");
    ASSERT_TRUE(e.Take(Side::First, 0, 5).done);
    EXPECT_EQ(Said(e, e.Save(Side::Second)), u"「b.txt」を保存しました");
    EXPECT_EQ(ReadBytes(b),
              kIchi + "\r\n2\r\n" + kSan + "\r\n" + kBecauseNec + "\r\n" + kYon + "\r\n");
    EXPECT_FALSE(e.Changed(Side::Second));
    EXPECT_EQ(ReadBytes(a), "一\n2\n三\n∵\n四\n");

    // UTF-16 BE with its mark, CR LF and LF mixed, no final newline until the last line comes.
    const std::string be =
        "\xFE\xFF"
        "\0a\0\r\0\n"
        "\0b\0\n"
        "\0c"s;
    e = Open("a\nB\nc\nd\n", be);
    ASSERT_TRUE(e.Take(Side::First, 0, 4).done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b),
              "\xFE\xFF"
              "\0a\0\r\0\n"
              "\0B\0\n"
              "\0c\0\n"
              "\0d\0\n"s);

    // A stray byte on a line not edited stays, in a file with a final newline but for it.
    e = Open("ü\xE9\nkeep\nnew\n", "ü\xE9\nkeep\nold\n");
    ASSERT_EQ(viewer::EncodingText(e.comparison().second()), u"UTF-8、不正なバイト 1 個を含みます");
    ASSERT_TRUE(e.Take(Side::First, 2, 2).done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "ü\xE9\nkeep\nnew\n");
}

// Taking every difference across makes the target the source, byte for byte: the final newline
// goes with the last lines, and line ends go with their lines where they are compared.
TEST_F(EditingTest, TakingEveryDifferenceLeavesTheFilesTheSameFinalNewlineAndLineEndsIncluded) {
    EditedComparison e = Open("x\ny\n", "x\ny\nz");
    ASSERT_TRUE(e.Take(Side::First, 0, 2).done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "x\ny\n");
    EXPECT_TRUE(e.comparison().identicalBytes());
    // Undo puts the missing final newline back too.
    ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(e.comparison().second().text->bytes(), "x\ny\nz");

    e = Open("x\ny\n", "x\ny\nz");
    ASSERT_TRUE(e.Take(Side::Second, 0, 2).done);
    ASSERT_EQ(e.Save(Side::First).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(a), "x\ny\nz");

    // Line ends compared: the line end is what differs, and it is taken.
    WriteBytes(a, "one\r\ntwo\r\nthree\r\n");
    WriteBytes(b, "one\ntwo\r\nthree\n");
    viewer::IgnoreOptions compareEnds;
    compareEnds.lineEnds = false;
    e = EditedComparison(viewer::Compare(a, b, viewer::kTextLimitBytes, compareEnds));
    ASSERT_TRUE(e.Take(Side::First, 0, 5).done);
    EXPECT_EQ(CountText(e.comparison(), std::nullopt), u"相違はありません");
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "one\r\ntwo\r\nthree\r\n");
    // Ignored, they are no difference, and nothing is said to be taken.
    WriteBytes(b, "one\ntwo\n");
    WriteBytes(a, "one\r\ntwo\r\n");
    e = EditedComparison(viewer::Compare(a, b));
    const auto nothing = e.Take(Side::First, 0, 1);
    EXPECT_FALSE(nothing.done);
    EXPECT_EQ(Said(e, nothing), u"相違がありません");
}

// A take over hundreds of differences at once: every kind of change, at the top and at the end,
// CR LF and LF mixed, no final newline in the first file. With line ends ignored, a line put in
// ends as the line it replaces, one more as the last of those, one added as the line above; with
// them compared, the target becomes the source byte for byte. One step, undone and redone.
TEST_F(EditingTest, TakingHundredsOfDifferencesAtOnceKeepsEveryLineEndAndIsOneStep) {
    std::string first, second, expected;  // expected: the second file after the take
    auto end = [](int j, int every) { return j % every == 0 ? "\r\n"s : "\n"s; };
    for (int j = 0; j < 400; ++j) {
        const std::string n = std::to_string(j), e1 = end(j, 3), e2 = end(j, 2);
        const std::string e2b = end(j + 1, 2);
        switch (j % 6) {
            case 0:  // one line changed (the first line of the files)
                first += "a" + n + e1, second += "b" + n + e2, expected += "a" + n + e2;
                break;
            case 1:  // two lines for one, the line below ending otherwise
                first += "a" + n + "x" + e1 + "a" + n + "y" + e1;
                second += "b" + n + e2b;
                expected += "a" + n + "x" + e2b + "a" + n + "y" + e2b;
                break;
            case 2:  // one line for two
                first += "a" + n + e1;
                second += "b" + n + "x" + e2 + "b" + n + "y" + e2b;
                expected += "a" + n + e2;
                break;
            case 3:  // a line the second file lacks: it ends as the common line above it
                first += "a" + n + e1, expected += "a" + n + end(j - 1, 2);
                break;
            case 4:  // a line only the second file has
                second += "b" + n + e2;
                break;
            default:  // two lines changed
                first += "a" + n + "x" + e1 + "a" + n + "y" + e1;
                second += "b" + n + "x" + e2 + "b" + n + "y" + e2b;
                expected += "a" + n + "x" + e2 + "a" + n + "y" + e2b;
                break;
        }
        first += "same" + n + e1, second += "same" + n + e2, expected += "same" + n + e2;
    }
    // At the end a changed line: the first file's, without its newline, goes across as it is.
    first += "last", second += "LAST\r\n", expected += "last";
    ASSERT_EQ(first.size(), 5834u);
    ASSERT_EQ(second.size(), 6098u);

    EditedComparison e = Open(first, second);
    ASSERT_EQ(Rows(e).substr(0, 29), u"-a0\n+b0\n same0\n-a1x\n-a1y\n+b1\n");
    // One difference first, so that the lines below have moved since the file was read.
    ASSERT_TRUE(e.Take(Side::First, 3, 3).done);
    std::string once = second;
    once.replace(once.find("\nb1\r\n"), 5, "\na1x\r\na1y\r\n");
    ASSERT_EQ(e.comparison().second().text->bytes(), once);
    const std::size_t rows = e.comparison().rows().size();
    ASSERT_EQ(rows, 1334u);
    EXPECT_EQ(CountText(e.comparison(), std::nullopt),
              u"相違 400 箇所　F8: 次の相違　Shift+F8 / F7: 前の相違");
    const auto taken = e.Take(Side::First, 0, rows - 1);
    ASSERT_TRUE(taken.done) << viewer::ToUtf8(Said(e, taken));
    EXPECT_EQ(taken.row, 0u);
    EXPECT_EQ(CountText(e.comparison(), std::nullopt), u"相違はありません");
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), expected);
    // One step: undone, the file is as before it, byte for byte; redone, as taken.
    ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(e.comparison().second().text->bytes(), once);
    ASSERT_TRUE(e.Undo().done);
    EXPECT_FALSE(e.CanUndo());
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), second);
    ASSERT_TRUE(e.Redo().done);
    ASSERT_TRUE(e.Redo().done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), expected);

    // Line ends compared, the other way: the first file becomes the second, byte for byte.
    WriteBytes(a, first);
    WriteBytes(b, second);
    viewer::IgnoreOptions compareEnds;
    compareEnds.lineEnds = false;
    e = EditedComparison(viewer::Compare(a, b, viewer::kTextLimitBytes, compareEnds));
    ASSERT_TRUE(e.Take(Side::Second, 0, e.comparison().rows().size() - 1).done);
    ASSERT_EQ(e.Save(Side::First).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(a), second);
    ASSERT_TRUE(e.Undo().done);
    EXPECT_EQ(e.comparison().first().text->bytes(), first);

    // Lines the target cannot hold: the first of them is named, by its number in the file as
    // the take would make it (three lines where one was above it), and nothing is taken.
    e = Open("x\ny\nz\nsame\nüber\nsame2\ncafé\nnaïve\nsame3\n\xE9\n",
             kIchi + "\r\nsame\r\nold\r\nsame2\r\n");
    ASSERT_EQ(viewer::EncodingText(e.comparison().first()), u"UTF-8、不正なバイト 1 個を含みます");
    const auto refused = e.Take(Side::First, 0, e.comparison().rows().size() - 1);
    EXPECT_EQ(Said(e, refused),
              u"取り込めません。5 行目の「ü」は Shift_JIS (CP932) で書けません。");
    EXPECT_FALSE(e.Changed(Side::Second));
    EXPECT_FALSE(e.CanUndo());
    EXPECT_EQ(e.comparison().second().text->bytes(), kIchi + "\r\nsame\r\nold\r\nsame2\r\n");
}

// An edit in place changes the bytes of the characters typed and no others, though CP932 has two
// codes for some (NEC's and IBM's rows), whichever encoding the comparison holds the lines in.
TEST_F(EditingTest, EditedLineKeepsTheBytesOfEveryCharacterNotTyped) {
    const std::string line = "\xED\x40\xFA\x40\x87\x54\xEE\xEF";
    for (const std::string& first : {std::string("x\r\nz\r\n"), kIchi + "\r\n" + kNi + "\r\n"}) {
        SCOPED_TRACE(first);
        EditedComparison e = Open(first, kIchi + "\r\n" + line + "\r\n");
        const std::optional<std::size_t> row = e.comparison().RowOfLine(Side::Second, 2);
        ASSERT_TRUE(row);
        const std::optional<std::u16string> text = e.EditableText(*row, Side::Second);
        ASSERT_TRUE(text);
        ASSERT_TRUE(e.EditLine(*row, Side::Second, *text + u"Z").done);
        ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
        EXPECT_EQ(ReadBytes(b), kIchi + "\r\n" + line + "Z\r\n");
        // The third character (NEC's Ⅴ) typed over: the others keep their bytes.
        std::u16string middle = *text + u"Z";
        middle[2] = u'V';
        ASSERT_TRUE(e.EditLine(*row, Side::Second, middle).done);
        ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
        EXPECT_EQ(ReadBytes(b), kIchi + "\r\n\xED\x40\xFA\x40V\xEE\xEFZ\r\n");
    }
}

// The characters that compare as equal across CP932 and JIS are written as the target's own:
// 〜 (U+301C, from UTF-8) as CP932's 81 60.
TEST_F(EditingTest, JisCharacterTakenIntoCp932IsWrittenAsItsOwnCode) {
    EditedComparison e = Open("一\n〜A\n−1\n", kIchi + "\r\nB\r\n");
    ASSERT_TRUE(e.Take(Side::First, 0, 3).done);
    const auto saved = e.Save(Side::Second);
    EXPECT_EQ(saved.status, SaveStatus::Saved) << viewer::ToUtf8(Said(e, saved));
    EXPECT_EQ(ReadBytes(b), kIchi +
                                "\r\n\x81\x60"
                                "A\r\n\x81\x7C"
                                "1\r\n");
    // And CP932's ～ (U+FF5E) into EUC-JP as its A1 C1.
    e = Open(kIchi +
                 "\r\n\x81\x60"
                 "B\r\n",
             "\xB0\xEC\nC\n");
    ASSERT_EQ(e.comparison().second().encoding, viewer::Encoding::EucJp);
    ASSERT_TRUE(e.Take(Side::First, 0, 3).done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b),
              "\xB0\xEC\n\xA1\xC1"
              "B\n");
}

// A file read in an encoding chosen by hand can be edited, and is written in it.
TEST_F(EditingTest, FileReadInAChosenEncodingIsEditedAndSavedInIt) {
    WriteBytes(a, "same\nnouvé\n");
    WriteBytes(b, "same\nold\n");
    viewer::ChosenEncodings chosen;
    chosen.second = viewer::Encoding::Windows1252;
    EditedComparison e(viewer::Compare(a, b, viewer::kTextLimitBytes, {}, nullptr, chosen));
    const auto taken = e.Take(Side::First, 1, 2);
    ASSERT_TRUE(taken.done) << viewer::ToUtf8(Said(e, taken));
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "same\nnouv\xE9\n");
}

// A file of one folder only, compared against the other folder's name for it: the save makes
// that file, and only once; one made by another program in the meantime is not overwritten.
TEST_F(EditingTest, MissingSideIsMadeByTheSave) {
    // Its line ends as they are, though line ends are not compared: it is made as a copy.
    WriteBytes(a, "only\r\nin one\n");
    const std::filesystem::path made = dir / "made.txt";
    EditedComparison e(
        viewer::Compare(a, made, viewer::kTextLimitBytes, {}, nullptr, {}, {false, true}));
    EXPECT_TRUE(e.comparison().second().absent);
    EXPECT_EQ(Rows(e), u"-only\n-in one\n");
    EXPECT_TRUE(e.Missing(Side::Second));
    ASSERT_TRUE(e.Take(Side::First, 0, 1).done);
    EXPECT_EQ(Said(e, e.Save(Side::Second)), u"「made.txt」を保存しました");
    EXPECT_EQ(ReadBytes(made), "only\r\nin one\n");
    EXPECT_FALSE(e.Missing(Side::Second));
    ASSERT_TRUE(e.EditLine(1, Side::Second, u"in two").done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(made), "only\r\nin two\n");

    std::filesystem::remove(made);
    e = EditedComparison(
        viewer::Compare(a, made, viewer::kTextLimitBytes, {}, nullptr, {}, {false, true}));
    ASSERT_TRUE(e.Take(Side::First, 0, 1).done);
    WriteBytes(made, "another program's\n");
    EXPECT_EQ(e.Save(Side::Second).status, SaveStatus::ChangedOnDisk);
    EXPECT_EQ(ReadBytes(made), "another program's\n");

    // In a folder that is not there either: read as empty, and not edited, saying why.
    e = EditedComparison(viewer::Compare(a, dir / "none" / "made.txt", viewer::kTextLimitBytes, {},
                                         nullptr, {}, {false, true}));
    EXPECT_EQ(Rows(e), u"-only\n-in one\n");
    EXPECT_EQ(Said(e, e.Take(Side::First, 0, 1)),
              u"「made.txt」は編集できません（フォルダーがありません）");
}

// A file with a second name (a hard link): the save writes the file itself, so that both names
// stay one file and show the new contents, longer or shorter than the old.
TEST_F(EditingTest, HardLinkedFileSavedThroughOneNameIsNewThroughTheOther) {
    EditedComparison e = Open("one\ntwo\nthree\n", "one\nold\n");
    const std::filesystem::path other = dir / "other name.txt";
    std::filesystem::create_hard_link(b, other);
    ASSERT_TRUE(e.Take(Side::First, 1, 3).done);
    EXPECT_EQ(Said(e, e.Save(Side::Second)), u"「b.txt」を保存しました");
    EXPECT_EQ(ReadBytes(other), "one\ntwo\nthree\n");
    ASSERT_TRUE(e.Undo().done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(other), "one\nold\n");
    EXPECT_EQ(ReadBytes(b), "one\nold\n");
    EXPECT_TRUE(std::filesystem::equivalent(b, other));
}

TEST_F(EditingTest, CharacterTheTargetCannotHoldStopsTheSaveNamingTheLine) {
    EditedComparison e = Open("a\ncafé\n", "a\r\n" + kIchi + "\r\n");
    ASSERT_TRUE(e.Take(Side::First, 1, 2).done);
    const auto saved = e.Save(Side::Second);
    EXPECT_EQ(saved.status, SaveStatus::Failed);
    EXPECT_EQ(Said(e, saved),
              u"「b.txt」を保存できません。2 行目の「é」は Shift_JIS (CP932) で書けません。");
    EXPECT_EQ(ReadBytes(b), "a\r\n" + kIchi + "\r\n");
    // Fixed by hand, the line is written.
    ASSERT_TRUE(e.EditLine(1, Side::Second, u"cafe").done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "a\r\ncafe\r\n");
}

TEST_F(EditingTest, FileChangedOnDiskIsNeverOverwrittenUnlessTheUserSaysSo) {
    EditedComparison e = Open("a\nb\n", "a\nc\n");
    ASSERT_TRUE(e.Take(Side::First, 1, 2).done);
    WriteBytes(b, "another program's\n");
    const auto saved = e.Save(Side::Second);
    EXPECT_EQ(saved.status, SaveStatus::ChangedOnDisk);
    EXPECT_EQ(Said(e, saved),
              u"「b.txt」は、読み込んだ後にほかのプログラムによって変更されています。");
    EXPECT_EQ(ReadBytes(b), "another program's\n");
    EXPECT_TRUE(e.Changed(Side::Second));
    ASSERT_EQ(e.Save(Side::Second, true).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "a\nb\n");
    // After a save, the saved file is the one to compare with: the next save finds it.
    ASSERT_TRUE(e.EditLine(1, Side::Second, u"b2").done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "a\nb2\n");

    // Changed between the comparison and the first edit: the edit is refused.
    e = Open("a\nb\n", "a\nc\n");
    WriteBytes(b, "a\nchanged\n");
    EXPECT_EQ(Said(e, e.Take(Side::First, 1, 2)),
              u"「b.txt」は編集できません（比較した後にファイルが変更されています）。"
              u"比較し直してください");
    EXPECT_EQ(ReadBytes(b), "a\nchanged\n");
}

TEST_F(EditingTest, FilesThatCannotBeWrittenOfferNoEditAndSayWhy) {
    EditedComparison e = Open("a\0b"s, "a\nc\n");
    EXPECT_EQ(WhyReadOnly(e, Side::First), u"バイナリファイルは編集できません");
    EXPECT_EQ(WhyReadOnly(e, Side::Second), u"バイナリファイルは編集できません");

    WriteBytes(a, "a\nb\n");
    e = EditedComparison(viewer::Compare(a, b, 3));
    // As much as a 64-bit program holds as lines (32-bit offsets), and less in a 32-bit one.
    EXPECT_EQ(WhyReadOnly(e, Side::Second), sizeof(void*) >= 8
                                                ? u"大きなファイル（4096 MiB 超）は編集できません"
                                                : u"大きなファイル（512 MiB 超）は編集できません");

    // Read-only for everyone: root included, as Windows' read-only attribute.
    std::filesystem::permissions(b,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    e = EditedComparison(viewer::Compare(a, b));
    EXPECT_EQ(WhyReadOnly(e, Side::Second), u"読み取り専用のファイルです");
    EXPECT_EQ(WhyReadOnly(e, Side::First), u"");
    EXPECT_EQ(e.EditableText(1, Side::Second), std::nullopt);
    EXPECT_EQ(Said(e, e.Take(Side::First, 1, 1)),
              u"「b.txt」は編集できません（読み取り専用のファイルです）");
    ASSERT_TRUE(e.Take(Side::Second, 1, 1).done);  // the first file takes the change
    std::filesystem::permissions(b, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

// Windows opens a name longer than MAX_PATH (260) only in its long form, "\\?\C:\...": the test
// makes its folders so, and the viewer is handed the name as a user gives it.
std::filesystem::path LongForm(const std::filesystem::path& path) {
#ifdef _WIN32
    return L"\\\\?\\" + std::filesystem::absolute(path).wstring();
#else
    return path;
#endif
}

TEST_F(EditingTest, FileDeeperThanMaxPathUnderJapaneseNamesSaves) {
    // 22 folders deep, the file's name 359 characters long (the last folder made to fit).
    std::vector<std::filesystem::path> folders{dir.path()};
    for (int level = 1; level <= 22; ++level) {
        folders.push_back(folders.back() / u8"深いフォルダー");
        folders.back() += std::to_string(level);
    }
    const std::u8string name = u8"深いファイル.txt";
    const std::size_t length = (folders.back() / name).u16string().size();
    ASSERT_LT(length + 1, 359u) << "the temporary folder's own name is too long for this test";
    folders.push_back(folders.back() / std::string(359 - length - 1, 'x'));
    for (std::size_t i = 1; i < folders.size(); ++i) {
        std::filesystem::create_directory(LongForm(folders[i]));
    }
    const std::filesystem::path deep = folders.back() / name;
    ASSERT_EQ(deep.u16string().size(), 359u);
    WriteBytes(LongForm(deep), "one\r\ntwo\r\n");
    WriteBytes(a, "one\nthree\n");

    EditedComparison e(viewer::Compare(a, deep));
    ASSERT_TRUE(e.Take(Side::First, 1, 1).done);
    EXPECT_EQ(Said(e, e.Save(Side::Second)), u"「深いファイル.txt」を保存しました");
    EXPECT_EQ(ReadBytes(LongForm(deep)), "one\r\nthree\r\n");

    // Nothing else was left there (the temporary file went in the replace): every folder empties.
    std::filesystem::remove(LongForm(deep));
    for (std::size_t i = folders.size() - 1; i > 0; --i) {
        EXPECT_TRUE(std::filesystem::remove(LongForm(folders[i])));
    }
}

}  // namespace

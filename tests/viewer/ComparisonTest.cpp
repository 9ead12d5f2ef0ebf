// Comparing real files in a temporary folder: unreadable paths, binary files, identical files.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <cerrno>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "Comparison.h"
#include "ComparisonWording.h"
#include "support/TempDir.h"
#include "EncodingWords.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(Comparison, UnreadablePathsAreNamedWithTheReason) {
    TempDir dir;
    WriteBytes(dir / "ok.txt", "text\n");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    const Comparison missing = Compare(dir / "ok.txt", dir / "missing.txt");
    EXPECT_EQ(missing.outcome(), Outcome::Unreadable);
    EXPECT_FALSE(missing.first().error.failed());
    EXPECT_EQ(missing.second().error,
              (FileError{FileProblem::NotFound, ENOENT, dir / "missing.txt"}));

    const Comparison folder = Compare(dir.path(), dir / "ok.txt");
    EXPECT_EQ(folder.first().error.problem, FileProblem::IsFolder);
    EXPECT_FALSE(folder.second().error.failed());

    // A FIFO would block a plain open-and-read forever; it is refused at once instead.
    const Comparison pipe = Compare(dir / "pipe", dir / "nothing");
    EXPECT_EQ(pipe.first().error.problem, FileProblem::NotRegularFile);
    EXPECT_EQ(pipe.second().error.problem, FileProblem::NotFound);
}

TEST(Comparison, FileWithoutReadPermissionIsNamed) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
    TempDir dir;
    WriteBytes(dir / "secret.txt", "x\n");
    std::filesystem::permissions(dir / "secret.txt", std::filesystem::perms::none);
    const Comparison result = Compare(dir / "secret.txt", dir / "secret.txt");
    EXPECT_EQ(result.first().error.problem, FileProblem::NoReadPermission);
    EXPECT_EQ(result.second().error.problem, FileProblem::NoReadPermission);
}

TEST(Comparison, BinaryFilesGiveTheFirstDifferingByteAndBothSizes) {
    TempDir dir;
    const std::string binary("\x00\x01\x02\x03\x04\x05", 6);
    WriteBytes(dir / "a.bin", binary);
    WriteBytes(dir / "same.bin", binary);
    WriteBytes(dir / "b.bin", std::string("\x00\x01\x02\xff\x04\x05\x06", 7));
    WriteBytes(dir / "prefix.bin", binary.substr(0, 4));
    WriteBytes(dir / "text.txt", std::string("\x00\x01\x02\x03 then text", 14));

    const Comparison same = Compare(dir / "a.bin", dir / "same.bin");
    EXPECT_EQ(same.outcome(), Outcome::Binary);
    EXPECT_TRUE(same.identicalBytes());

    const Comparison changed = Compare(dir / "a.bin", dir / "b.bin");
    EXPECT_EQ(changed.outcome(), Outcome::Binary);
    EXPECT_FALSE(changed.identicalBytes());
    EXPECT_EQ(changed.firstDifferentByte(), 3);
    EXPECT_EQ(changed.first().size, 6);
    EXPECT_EQ(changed.second().size, 7);

    // One file a prefix of the other: they part where the shorter one ends.
    EXPECT_EQ(Compare(dir / "a.bin", dir / "prefix.bin").firstDifferentByte(), 4);
    // Far in, past the first blocks, and in the last byte.
    std::string far(10'000, '\0');
    WriteBytes(dir / "far1.bin", far);
    far[9'000] = 'x';
    WriteBytes(dir / "far2.bin", far);
    far[9'000] = '\0';
    far[9'999] = 'x';
    WriteBytes(dir / "last.bin", far);
    EXPECT_EQ(Compare(dir / "far1.bin", dir / "far2.bin").firstDifferentByte(), 9'000);
    EXPECT_EQ(Compare(dir / "far1.bin", dir / "last.bin").firstDifferentByte(), 9'999);
    EXPECT_TRUE(Compare(dir / "far1.bin", dir / "far1.bin").identicalBytes());

    // One binary file is enough to compare bytes rather than lines.
    const Comparison mixed = Compare(dir / "text.txt", dir / "a.bin");
    EXPECT_EQ(mixed.outcome(), Outcome::Binary);
}

// A text file of any size is compared by its lines, as `-u` compares it, and one memory cannot
// hold as lines byte by byte, never a crash; a binary one is told from its start and compared in
// blocks, never held whole, however large.
TEST(Comparison, LargeTextIsComparedByLinesAndLargeBinaryInBlocks) {
    TempDir dir;
    // 65 MiB in 1,040 lines of 64 KiB, past what the window once compared only byte by byte.
    std::string big;
    for (int line = 0; line < 1040; ++line) big += std::string(65'535, 'a' + line % 26) + '\n';
    WriteBytes(dir / "big.txt", big);
    big[1000 * 65'536 + 7] = '!';
    WriteBytes(dir / "changed.txt", big);
    big = {};
    const Comparison text = Compare(dir / "big.txt", dir / "changed.txt");
    EXPECT_EQ(text.outcome(), Outcome::Text);
    EXPECT_EQ(text.rows().size(), 1041u);
    EXPECT_EQ(text.differenceStarts(), (std::vector<std::size_t>{1000}));
    EXPECT_EQ(text.firstDifferentByte(), 1000 * 65'536 + 7);
    EXPECT_EQ(text.first().size, 1040 * 65'536);

#if !defined(__SANITIZE_ADDRESS__)  // AddressSanitizer reserves more than the cap leaves
    // In a child whose address space ends 100 MiB above what it has: the two files do not fit.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        std::FILE* statm = std::fopen("/proc/self/statm", "r");
        if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) ::_exit(3);
        std::fclose(statm);
        const rlim_t cap = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (100 << 20);
        const rlimit limit{cap, cap};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(4);
        try {
            const Comparison c = Compare(dir / "big.txt", dir / "changed.txt");
            ::_exit(c.outcome() == Outcome::TooLarge && c.memoryShort() &&
                            ComparisonMessage(c).starts_with(
                                u"メモリが足りないため、行ではなくバイト単位で比較しました。\n") &&
                            c.firstDifferentByte() == 1000 * 65'536 + 7 &&
                            c.second().size == 1040 * 65'536 && c.rows().empty()
                        ? 0
                        : 1);
        } catch (...) {
            ::_exit(5);  // never back into the test program
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the comparison ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif

    // A NUL at the start, the difference far past the start that tells it binary.
    std::string binary(300'000, 'b');
    binary[10] = '\0';
    WriteBytes(dir / "a.bin", binary);
    binary[250'001] = 'c';
    binary.resize(299'000);
    WriteBytes(dir / "b.bin", binary);
    const Comparison bytes = Compare(dir / "a.bin", dir / "b.bin");
    EXPECT_EQ(bytes.outcome(), Outcome::Binary);
    EXPECT_EQ(bytes.firstDifferentByte(), 250'001);
    EXPECT_EQ(bytes.first().size, 300'000);
    EXPECT_EQ(bytes.second().size, 299'000);
    EXPECT_TRUE(bytes.rows().empty());
    EXPECT_EQ(ComparisonMessage(bytes),
              u"バイナリファイルです。\n2つのファイルは異なります。\n最初に異なるバイトの位置: "
              u"250001 (0x3D091)\nサイズ: 第一 300000 バイト、第二 299000 バイト");
}

TEST(Comparison, FilesOverTheTextLimitAreComparedInBlocks) {
    TempDir dir;
    // Past the first block, so the comparison has to read on.
    std::string big(2'500'000, 'a');
    WriteBytes(dir / "big.txt", big);
    WriteBytes(dir / "same.txt", big);
    big[2'000'123] = 'b';
    WriteBytes(dir / "changed.txt", big);
    WriteBytes(dir / "shorter.txt", big.substr(0, 1'500'000));
    WriteBytes(dir / "empty.txt", "");
    const std::int64_t limit = 1000;

    const Comparison same = Compare(dir / "big.txt", dir / "same.txt", limit);
    EXPECT_EQ(same.outcome(), Outcome::TooLarge);
    EXPECT_FALSE(same.memoryShort());
    EXPECT_EQ(ComparisonMessage(same),
              u"ファイルが大きいため（4096 MiB 以上）、行ではなくバイト単位で比較しました。\n"
              u"2つのファイルは同一です（2500000 バイト）。");
    EXPECT_TRUE(same.identicalBytes());
    EXPECT_EQ(same.first().size, 2'500'000);

    const Comparison changed = Compare(dir / "big.txt", dir / "changed.txt", limit);
    EXPECT_FALSE(changed.identicalBytes());
    EXPECT_EQ(changed.firstDifferentByte(), 2'000'123);

    const Comparison shorter = Compare(dir / "big.txt", dir / "shorter.txt", limit);
    EXPECT_EQ(shorter.firstDifferentByte(), 1'500'000);
    EXPECT_EQ(shorter.first().size, 2'500'000);
    EXPECT_EQ(shorter.second().size, 1'500'000);

    // One large file is enough; the small one is compared the same way.
    const Comparison empty = Compare(dir / "empty.txt", dir / "big.txt", limit);
    EXPECT_EQ(empty.outcome(), Outcome::TooLarge);
    EXPECT_EQ(empty.firstDifferentByte(), 0);
    EXPECT_EQ(empty.first().size, 0);
    EXPECT_EQ(empty.second().size, 2'500'000);
    EXPECT_TRUE(empty.rows().empty());
}

TEST(Comparison, IdenticalAndEmptyFiles) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "one\ntwo\n");
    WriteBytes(dir / "b.txt", "one\ntwo\n");
    WriteBytes(dir / "empty1", "");
    WriteBytes(dir / "empty2", "");

    const Comparison same = Compare(dir / "a.txt", dir / "b.txt");
    EXPECT_EQ(same.outcome(), Outcome::Text);
    EXPECT_TRUE(same.identicalBytes());
    EXPECT_EQ(same.rows().size(), 2u);
    EXPECT_EQ(same.first().text, same.second().text);  // one copy serves both
    EXPECT_TRUE(same.differenceStarts().empty());
    EXPECT_TRUE(SameLinesNote(same).empty());

    // A copy is compared as it is read, past its start and its first blocks: the same bytes, or
    // where it parts from the first file, shorter or longer.
    std::string lines;
    for (int line = 0; line < 300'000; ++line) lines += "line " + std::to_string(line) + "\n";
    WriteBytes(dir / "long.txt", lines);
    WriteBytes(dir / "copy.txt", lines);
    WriteBytes(dir / "shorter.txt", lines.substr(0, lines.size() - 12));
    WriteBytes(dir / "longer.txt", lines + "more\n");
    lines[2'500'000] = '#';
    WriteBytes(dir / "changed.txt", lines);
    const Comparison copy = Compare(dir / "long.txt", dir / "copy.txt");
    EXPECT_TRUE(copy.identicalBytes());
    EXPECT_EQ(copy.first().text, copy.second().text);
    EXPECT_EQ(copy.second().size, std::ssize(lines));
    EXPECT_EQ(Compare(dir / "long.txt", dir / "shorter.txt").differenceStarts(),
              (std::vector<std::size_t>{299'999}));
    EXPECT_EQ(Compare(dir / "long.txt", dir / "longer.txt").firstDifferentByte(),
              std::ssize(lines));
    const Comparison changed = Compare(dir / "long.txt", dir / "changed.txt");
    EXPECT_EQ(changed.firstDifferentByte(), 2'500'000);
    EXPECT_EQ(changed.second().text->bytes(), lines);
    EXPECT_EQ(changed.differenceStarts().size(), 1u);

    const Comparison empty = Compare(dir / "empty1", dir / "empty2");
    EXPECT_EQ(empty.outcome(), Outcome::Text);
    EXPECT_TRUE(empty.identicalBytes());
    EXPECT_TRUE(empty.rows().empty());

    const Comparison oneEmpty = Compare(dir / "empty1", dir / "a.txt");
    EXPECT_EQ(oneEmpty.rows().size(), 2u);
    EXPECT_EQ(oneEmpty.differenceStarts().size(), 1u);
}

TEST(Comparison, SameLinesInDifferentBytesAreNotCalledIdentical) {
    TempDir dir;
    WriteBytes(dir / "lf.txt", "一\n二\n");
    WriteBytes(dir / "crlf.txt", "一\r\n二\r\n");
    WriteBytes(dir / "open.txt", "一\n二");
    WriteBytes(dir / "sjis.txt", "\x88\xea\n\x93\xf1\n");  // 一 and 二 in Shift_JIS

    const Comparison endings = Compare(dir / "lf.txt", dir / "crlf.txt");
    EXPECT_FALSE(endings.identicalBytes());
    EXPECT_TRUE(endings.differenceStarts().empty());
    EXPECT_TRUE(SameLinesNote(endings).find(u"改行コード") != std::u16string::npos);

    EXPECT_EQ(HiddenNote(endings), u"改行コードだけが異なる 2 行を同じ行として表示しています");
    const Comparison finalNewline = Compare(dir / "lf.txt", dir / "open.txt");
    EXPECT_TRUE(SameLinesNote(finalNewline).find(u"最終行の改行") != std::u16string::npos);
    // Said also when other lines differ, and beside what the options hide.
    WriteBytes(dir / "changed.txt", "一\r\n\r\n二");
    IgnoreOptions blank;
    blank.blankLines = true;
    EXPECT_EQ(
        HiddenNote(Compare(dir / "lf.txt", dir / "changed.txt", kTextLimitBytes, blank)),
        u"空行を無視しています（1 行の相違を表示していません）　"
        u"改行コードだけが異なる 1 行を同じ行として表示しています　最終行の改行の有無が異なります");

    const Comparison encoding = Compare(dir / "sjis.txt", dir / "lf.txt");
    EXPECT_EQ(encoding.first().encoding, Encoding::Cp932);
    EXPECT_TRUE(encoding.differenceStarts().empty());
    EXPECT_TRUE(SameLinesNote(encoding).find(u"文字コード") != std::u16string::npos);
}

TEST(Comparison, LineEndsAreAlwaysReportedAndComparedWhenNotIgnored) {
    TempDir dir;
    WriteBytes(dir / "crlf.txt", "一\r\n二\r\n三\r\n四\r\n");
    WriteBytes(dir / "lf.txt", "一\n二\nさん\n四");
    WriteBytes(dir / "other.txt", "x\ny\n");

    // Line ends ignored (the default): the two lines that differ only there are common, and
    // counted beside the real change.
    Comparison c = Compare(dir / "crlf.txt", dir / "lf.txt");
    EXPECT_TRUE(c.options().lineEnds);
    EXPECT_EQ(c.differenceStarts(), (std::vector<std::size_t>{2}));
    EXPECT_EQ(HiddenNote(c),
              u"改行コードだけが異なる 2 行を同じ行として表示しています　"
              u"最終行の改行の有無が異なります");
    EXPECT_EQ(c.LineText(0), u"一");

    // Not ignored: every line is a change, its end drawn, and marked where it differs.
    IgnoreOptions ends;
    ends.lineEnds = false;
    c.Rediff(ends);
    ASSERT_EQ(c.differenceStarts(), (std::vector<std::size_t>{0}));
    ASSERT_EQ(c.rows().size(), 8u);
    EXPECT_EQ(c.LineText(0), u"一␍␊");
    EXPECT_EQ(c.LineText(4), u"一␊");
    EXPECT_EQ(c.LineText(7), u"四");
    EXPECT_EQ(c.Shown(0).marks, (std::vector<MarkSpan>{{1, 1}}));  // the CR
    EXPECT_EQ(c.MarksOf(4).partner, std::optional<std::size_t>(0));
    EXPECT_EQ(HiddenNote(c),
              u"改行コードが異なります（第一: CR LF、第二: LF）　最終行の改行の有無が異なります");

    // Said also when no line is common at all.
    EXPECT_EQ(HiddenNote(Compare(dir / "crlf.txt", dir / "other.txt")),
              u"改行コードが異なります（第一: CR LF、第二: LF）");
}

TEST(Comparison, BytesAreComparedAndAnyFileIsShownInItsOwnEncoding) {
    TempDir dir;
    WriteBytes(dir / "e-acute.txt", "caf\xe9\n");  // Latin-1: neither UTF-8 nor CP932
    WriteBytes(dir / "e-grave.txt", "caf\xe8\n");
    WriteBytes(dir / "utf8.txt", "café\n");
    WriteBytes(dir / "bom.txt",
               "\xEF\xBB\xBF"
               "café\n");

    const Comparison latin = Compare(dir / "e-acute.txt", dir / "e-grave.txt");
    EXPECT_EQ(latin.first().encoding, Encoding::Windows1252);
    EXPECT_EQ(EncodingName(latin.first().encoding), u"Latin-1 (Windows-1252)");
    EXPECT_FALSE(latin.first().lossy);
    ASSERT_EQ(latin.differenceStarts().size(), 1u);
    EXPECT_EQ(latin.LineText(0), u"café");
    EXPECT_EQ(latin.LineText(1), u"cafè");
    EXPECT_EQ(ComparisonTitle(latin, u"旧.txt", u"新.txt"),
              u"旧.txt ⇔ 新.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");

    // The same text in two encodings is the same line; the note says what differs.
    const Comparison encodings = Compare(dir / "e-acute.txt", dir / "utf8.txt");
    EXPECT_TRUE(encodings.differenceStarts().empty());
    EXPECT_EQ(SameLinesNote(encodings), u"行の内容は同じですが、文字コードが異なります。");
    EXPECT_EQ(ComparisonTitle(encodings, u"a", u"b"), u"a ⇔ b — 相違なし — Diff-Zarvo ビューアー");
    // A byte order mark is not part of the first line.
    EXPECT_TRUE(Compare(dir / "utf8.txt", dir / "bom.txt").differenceStarts().empty());
    EXPECT_EQ(ComparisonTitle(Compare(dir / "utf8.txt", dir / "utf8.txt"), u"a", u"a"),
              u"a ⇔ a — 同一 — Diff-Zarvo ビューアー");

    // Windows-1252's five unused bytes stay apart from each other and from every other byte.
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\n') all += static_cast<char>(byte);
    }
    std::u16string text = Decode(all, Encoding::Windows1252);
    std::sort(text.begin(), text.end());
    EXPECT_EQ(std::adjacent_find(text.begin(), text.end()), text.end());
    EXPECT_EQ(Decode("\x80\x81\x9f", Encoding::Windows1252), u"€\u0081Ÿ");
}

TEST(Comparison, AStrayByteChangesOneLineAndNothingIsDrawnAsNothing) {
    TempDir dir;
    std::string japanese, stray, sjis, sjisStray;
    for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        japanese += "日本語の行 " + n + "\n";
        stray += (i == 100 ? "日本語の\xE9行 " : "日本語の行 ") + n + "\n";
        sjis += "\x93\xfa\x96\x7b " + n + "\r\n";  // 日本 in Shift_JIS
        sjisStray += (i == 7 ? "\x93\xfa\x96\xff " : "\x93\xfa\x96\x7b ") + n + "\r\n";
    }
    WriteBytes(dir / "utf8.txt", japanese);
    WriteBytes(dir / "stray.txt", stray);
    WriteBytes(dir / "sjis.txt", sjis);
    WriteBytes(dir / "sjis-stray.txt", sjisStray);

    const Comparison utf8 = Compare(dir / "utf8.txt", dir / "stray.txt");
    EXPECT_EQ(EncodingText(utf8.first()), u"UTF-8");
    EXPECT_EQ(EncodingText(utf8.second()), u"UTF-8、不正なバイト 1 個を含みます");
    ASSERT_EQ(utf8.differenceStarts().size(), 1u);
    ASSERT_EQ(utf8.rows().size(), 201u);  // one line removed, one added, 199 in common
    const std::size_t added = utf8.differenceStarts()[0] + 1;
    EXPECT_EQ(utf8.LineText(added), u"日本語の<E9>行 100");
    EXPECT_EQ(utf8.MarksOf(added).marks, (std::vector<MarkSpan>{{4, 4}}));

    const Comparison cp932 = Compare(dir / "sjis.txt", dir / "sjis-stray.txt");
    EXPECT_EQ(EncodingText(cp932.second()), u"Shift_JIS (CP932)、不正なバイト 2 個を含みます");
    ASSERT_EQ(cp932.differenceStarts().size(), 1u);
    EXPECT_EQ(cp932.LineText(cp932.differenceStarts()[0] + 1), u"日<96><FF> 7");

    // NUL past the first block, a stray CR and other controls are drawn, and so is a character
    // that shows nothing, by its code; a tab stays a tab. The stray byte's mark follows.
    std::string late(9000, 'x');
    WriteBytes(dir / "plain.txt", late + "\nabc\tdef\n");
    WriteBytes(dir / "controls.txt",
               late + std::string("\nabc\tde\0f\r\x1b\x7f日本\xE2\x80\x8B\xE9\n", 22));
    const Comparison controls = Compare(dir / "plain.txt", dir / "controls.txt");
    ASSERT_EQ(controls.differenceStarts().size(), 1u);
    EXPECT_EQ(controls.LineText(controls.differenceStarts()[0]), u"abc\tdef");
    const ShownLine shown = controls.Shown(controls.differenceStarts()[0] + 1);
    EXPECT_EQ(shown.text, u"abc\tde␀f␍␛␡日本<U+200B><E9>");
    EXPECT_EQ(shown.byteMarks, (std::vector<MarkSpan>{{21, 4}}));
}

TEST(Comparison, IgnoreOptionsHideOnlyWhatTheySayAndCountIt) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "Title\nsame\nkeep  this\nsame\nend \n\nlast\n");
    WriteBytes(dir / "b.txt", "title\nsame\nkeep this\nsame\nend\nlast\n");
    const Comparison plain = Compare(dir / "a.txt", dir / "b.txt");
    EXPECT_EQ(plain.differenceStarts().size(), 3u);
    EXPECT_EQ(plain.hiddenLines(), 0u);
    EXPECT_EQ(HiddenNote(plain), u"");

    Comparison c = Compare(dir / "a.txt", dir / "b.txt", kTextLimitBytes, {.letterCase = true});
    // -Title +title is gone; "keep  this" and "end " still differ.
    EXPECT_EQ(c.differenceStarts().size(), 2u);
    EXPECT_EQ(c.hiddenLines(), 1u);
    EXPECT_EQ(HiddenNote(c), u"大文字と小文字を無視しています（1 行の相違を表示していません）");

    c.Rediff({.trailingBlanks = true, .letterCase = true});
    // "end " now matches "end"; the blank line is still a change.
    ASSERT_EQ(c.differenceStarts().size(), 2u);
    EXPECT_EQ(c.hiddenLines(), 2u);

    c.Rediff({.trailingBlanks = true, .allBlanks = true, .blankLines = true, .letterCase = true});
    EXPECT_TRUE(c.differenceStarts().empty());
    EXPECT_EQ(c.hiddenLines(), 4u);
    EXPECT_EQ(HiddenNote(c),
              u"行末の空白・すべての空白・空行・大文字と小文字を無視しています"
              u"（4 行の相違を表示していません）");
    // The overlooked blank line is still a row, from the first file alone, but not a difference.
    const std::optional<std::size_t> blank = c.RowOfLine(Side::First, 6);
    ASSERT_TRUE(blank.has_value());
    EXPECT_EQ(c.rows()[*blank].kind, RowKind::Removed);
    EXPECT_TRUE(c.Overlooked(*blank));
    EXPECT_EQ(ComparisonTitle(c, u"a", u"b"), u"a ⇔ b — 相違なし — Diff-Zarvo ビューアー");

    c.Rediff({});
    EXPECT_EQ(c.differenceStarts().size(), 3u);
    EXPECT_FALSE(c.Overlooked(*c.RowOfLine(Side::First, 6)));
}

TEST(Comparison, FindGoToLineAndCopyText) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "alpha\nBeta\ngamma\n");
    WriteBytes(dir / "b.txt", "alpha\nbeta 2\ngamma\ndelta\n");
    const Comparison c = Compare(dir / "a.txt", dir / "b.txt");
    // alpha, -Beta, +beta 2, gamma, +delta
    ASSERT_EQ(c.rows().size(), 5u);
    EXPECT_EQ(c.Find(u"BETA", std::nullopt, true), std::optional<std::size_t>(1));
    EXPECT_EQ(c.Find(u"beta", 1, true), std::optional<std::size_t>(2));
    EXPECT_EQ(c.Find(u"beta", 2, true), std::optional<std::size_t>(1));  // round the end
    EXPECT_EQ(c.Find(u"beta", 1, false), std::optional<std::size_t>(2));
    EXPECT_EQ(c.Find(u"epsilon", 0, true), std::nullopt);

    // What is found is what the rows show, not their bytes: a zero-width space or a soft hyphen
    // shows as its code, a control as its symbol; letters of either case match.
    WriteBytes(dir / "shown.txt",
               "zero\xE2\x80\x8Bwidth\nsoft\xC2\xADhyphen\nbell\x07\n比較 Word\n");
    WriteBytes(dir / "plain.txt", "zero\nsoft\nbell\n比較 word\n");
    const Comparison shown = Compare(dir / "shown.txt", dir / "plain.txt");
    const auto rowOf = [&](std::u16string_view needle) {
        const std::optional<std::size_t> row = shown.Find(needle, std::nullopt, true);
        return row ? shown.LineText(*row) : u"none";
    };
    EXPECT_EQ(rowOf(u"<U+200B>"), u"zero<U+200B>width");
    EXPECT_EQ(rowOf(u"T<u+00ad>H"), u"soft<U+00AD>hyphen");
    EXPECT_EQ(rowOf(u"\x07"), u"none");
    EXPECT_EQ(rowOf(u"bell\u2407"), u"bell\u2407");
    EXPECT_EQ(rowOf(u"較 wORD"), u"比較 Word");
    EXPECT_EQ(rowOf(u"D\u2407"), u"none");

    // A long file is looked through many lines at a step: matches on both sides of a step's end,
    // in a change, and past it, both ways and round the end.
    std::string first;
    std::string second;
    for (int line = 0; line < 10'000; ++line) {
        const std::string text = "line " + std::to_string(line);
        const bool needle = line == 4095 || line == 4096 || line == 8191;
        if (line == 9000) {
            first += text + " 比較ÉTÉ\n";
            second += text + " 比較ÉTÉ\n";
            continue;
        }
        first += text + (needle ? " NeEdLe\n" : "\n");
        second += text + (line == 6999 ? " needle new\n" : needle ? " NeEdLe\n" : "\n");
    }
    WriteBytes(dir / "long1.txt", first);
    WriteBytes(dir / "long2.txt", second);
    const Comparison long1 = Compare(dir / "long1.txt", dir / "long2.txt");
    ASSERT_EQ(long1.differenceStarts(), (std::vector<std::size_t>{6999}));
    const auto next = [&](std::optional<std::size_t> from, bool forward) {
        return long1.Find(u"needle", from, forward);
    };
    EXPECT_EQ(next(std::nullopt, true), std::optional<std::size_t>(4095));
    EXPECT_EQ(next(4095, true), std::optional<std::size_t>(4096));
    EXPECT_EQ(next(4096, true), std::optional<std::size_t>(7000));
    EXPECT_EQ(next(6999, true), std::optional<std::size_t>(7000));
    EXPECT_EQ(next(7000, true), std::optional<std::size_t>(8192));
    EXPECT_EQ(next(8192, true), std::optional<std::size_t>(4095));
    EXPECT_EQ(next(std::nullopt, false), std::optional<std::size_t>(8192));
    EXPECT_EQ(next(4095, false), std::optional<std::size_t>(8192));
    EXPECT_EQ(next(7000, false), std::optional<std::size_t>(4096));
    EXPECT_EQ(next(4096, false), std::optional<std::size_t>(4095));
    EXPECT_EQ(long1.Find(u"needle new", 7000, true), std::optional<std::size_t>(7000));
    EXPECT_EQ(long1.Find(u"nowhere", 5000, false), std::nullopt);
    // Letters of other scripts fold too; the characters no other folds to are looked for first.
    EXPECT_EQ(long1.Find(u"比較été", 0, true), std::optional<std::size_t>(9001));
    EXPECT_EQ(long1.Find(u"比較été", 0, false), std::optional<std::size_t>(9001));
    EXPECT_EQ(long1.Find(u"比較さ", 0, true), std::nullopt);

    EXPECT_EQ(c.RowOfLine(Side::First, 3), std::optional<std::size_t>(3));
    EXPECT_EQ(c.RowOfLine(Side::Second, 4), std::optional<std::size_t>(4));
    EXPECT_EQ(c.RowOfLine(Side::Second, 2), std::optional<std::size_t>(2));
    EXPECT_EQ(c.RowOfLine(Side::First, 99),
              std::optional<std::size_t>(3));  // past the end: the last
    EXPECT_EQ(c.RowOfLine(Side::First, 0), std::nullopt);

    EXPECT_EQ(c.CopyText({0, 1, 2, 4}), u" alpha\n-Beta\n+beta 2\n+delta\n");
    EXPECT_EQ(c.NextDifference(std::nullopt), std::optional<std::size_t>(1));
    EXPECT_EQ(c.NextDifference(1), std::optional<std::size_t>(4));
    EXPECT_EQ(c.PreviousDifference(4), std::optional<std::size_t>(1));
    EXPECT_EQ(c.PreviousDifference(2), std::optional<std::size_t>(1));
    EXPECT_EQ(c.DifferenceNumber(2), 1u);
    EXPECT_EQ(c.DifferenceNumber(3), 0u);
}

}  // namespace
}  // namespace viewer

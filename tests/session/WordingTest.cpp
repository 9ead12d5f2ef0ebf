// What the core reports, in the words the user reads: a file that cannot be read or written (its
// error code and path kept), the two sides of a pair, a folder comparison's counts, a line a file
// cannot hold, and the command line's troubles on standard error.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cerrno>
#endif

#include "CommandLine.h"
#include "FileRead.h"
#include "SaveFile.h"
#include "Wording.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

#ifdef _WIN32
constexpr std::uint32_t kNotThere = 2;  // ERROR_FILE_NOT_FOUND
#else
constexpr std::uint32_t kNotThere = ENOENT;
#endif

TEST(Wording, FileErrorsKeepTheirCodeAndPathAndReadAsBefore) {
    TempDir dir;
    WriteBytes(dir / "read-only.txt", "x\n");
    std::filesystem::permissions(dir / "read-only.txt", std::filesystem::perms::owner_read);

    const InputFile missing(dir / "missing.txt");
    EXPECT_EQ(missing.error(), (FileError{FileProblem::NotFound, kNotThere, dir / "missing.txt"}));
    EXPECT_EQ(Reason(missing.error()), u"ファイルが見つかりません");
    EXPECT_EQ(Reason(InputFile(dir.path()).error()), u"フォルダーです");
    EXPECT_EQ(Reason(InputFile("").error()), u"パスが空です");

    EXPECT_EQ(Reason(WhyNotWritable(dir / "read-only.txt")), u"読み取り専用のファイルです");
    const FileError noFolder = WhyNotWritable(dir / "none" / "new.txt");
    EXPECT_EQ(noFolder.problem, FileProblem::NoFolder);
    EXPECT_EQ(Reason(noFolder), u"フォルダーがありません");
    EXPECT_EQ(Reason(WhyNotWritable(dir / "new.txt")), u"");

    // Each side named; a code the system has no words for, by its number.
    EXPECT_EQ(SidesReason({{FileProblem::EntryNotFound, kNotThere, {}}, {}}),
              u"第一: 見つかりません");
    EXPECT_EQ(
        SidesReason({{FileProblem::NoReadPermission, 13, {}}, {FileProblem::TooManyLinks, 40, {}}}),
        u"第一: 読み取る権限がありません、第二: リンクが多すぎます");
#ifdef _WIN32
    EXPECT_EQ(Reason({FileProblem::System, 0xDEADBEEF, {}}), u"エラー 3735928559");
#else
    EXPECT_EQ(Reason({FileProblem::System, ENOSPC, {}}), u"No space left on device");
#endif
    EXPECT_EQ(Reason({FileProblem::ChangedSinceCompared, 0, {}}),
              u"比較した後にファイルが変更されています");
}

TEST(Wording, CountsLinesAndReadOnlyFilesInWords) {
    EXPECT_EQ(FolderCountsText({}), u"相違なし");
    EXPECT_EQ(FolderCountsText({4, 2, 1, 1, 0}),
              u"相違 4 件 — 第一だけ 2 — 第二だけ 1 — 種類違い 1");
    EXPECT_EQ(FolderCountsText({0, 0, 0, 0, 3}),
              u"相違 0 件 — 第一だけ 0 — 第二だけ 0 — 読めない 3");
    EXPECT_EQ(KindName(EntryKind::Link), u"リンク");

    EXPECT_EQ(LineProblemText({12, Encoding::EucJp, u"é", false}),
              u"12 行目の「é」は EUC-JP で書けません");
    EXPECT_EQ(LineProblemText({3, Encoding::Cp932, {}, true}),
              u"3 行目には Shift_JIS (CP932) の文字として読めないバイトがあります");
    // As much as line offsets of 32 bits address, and less in a 32-bit program.
    EXPECT_EQ(ReadOnlyText({ReadOnlyWhy::TooLarge, {}}),
              sizeof(void*) >= 8 ? u"大きなファイル（4096 MiB 超）は編集できません"
                                 : u"大きなファイル（512 MiB 超）は編集できません");
    EXPECT_EQ(ReadOnlyText({ReadOnlyWhy::MemoryShort, {}}),
              u"メモリが足りないため、編集できません");
    EXPECT_EQ(ReadOnlyText({ReadOnlyWhy::FileTrouble, {FileProblem::ReadOnlyMedium, 30, {}}}),
              u"読み取り専用のメディアにあります");
}

TEST(Wording, TheCommandLineSaysWhyInTheSameWords) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "a\n");
    std::string out, err;
    const UnifiedStreams streams{[&](std::string_view text) { out += text; },
                                 [&](std::string_view text) { err += text; }};
    Arguments unified;
    unified.unified = true;
    unified.first = dir / "gone.txt";
    unified.second = dir / "a.txt";
    EXPECT_EQ(RunWithoutWindow(unified, streams), 2);
    EXPECT_EQ(err,
              "diff-zarvo-view: " + PrintedName(dir / "gone.txt") + ": ファイルが見つかりません\n");

    // The merge's output cannot be a folder.
    err.clear();
    Arguments merge;
    merge.merge = true;
    merge.first = merge.base = merge.second = dir / "a.txt";
    merge.output = dir.path();
    EXPECT_EQ(RunWithoutWindow(merge, streams), 2);
    EXPECT_EQ(err, "diff-zarvo-view: " + PrintedName(dir.path()) + ": フォルダーです\n");
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace viewer

// How the window writes a number, a file's path and what the core reports (a file that cannot be
// read or written, a line a file cannot hold, the counts of a folder comparison): one rule for
// the two-way, the merge and the folder window and for the command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "EditedComparison.h"
#include "FileError.h"
#include "FolderCompare.h"

namespace viewer {

// A count or a line number in decimal digits, with no grouping ("12345").
std::u16string Number(std::uint64_t n);

// A path as the user typed it: on Windows its own UTF-16, elsewhere its bytes read as UTF-8; a
// newline or another control character in it shown as "<LF>" (ShownName).
std::u16string ShownPath(const std::filesystem::path& path);

// Why a file could not be read or written, in a few words ("ファイルが見つかりません"); an error
// the program has no words of its own for in the system's, else as "エラー 5". Empty for none.
std::u16string Reason(const FileError& error);
// The two files' reasons, each named by its side: "第一: 見つかりません、第二: …".
std::u16string SidesReason(const SideErrors& errors);

// A line that cannot be put in a file: "12 行目の「é」は 日本語 (EUC-JP) で書けません".
std::u16string LineProblemText(const LineProblem& problem);
// Why a file offers no edit: "バイナリファイルは編集できません", "読み取り専用のファイルです"...;
// empty when it can be edited.
std::u16string ReadOnlyText(const ReadOnly& readOnly);
// What an edit that did nothing says, and what a save says, naming the file as 「name」.
std::u16string EditText(const EditResult& result, const EditedComparison& edited);
std::u16string SaveText(const SaveResult& result, const EditedComparison& edited, Side side);
// Why a write did not happen, and what became of the file: "ディスクに空きがないため、「a.txt」を
// 保存できませんでした。ファイルは元のままです。" (`quotedName` with its 「」).
std::u16string WriteFailureText(const std::u16string& quotedName, const WriteResult& written);

// An entry's kind, to show: "ファイル", "フォルダー", "リンク", ...
std::u16string KindName(EntryKind kind);
// The counts for a header or a status bar: "相違 12 件 — 第一だけ 3 — 第二だけ 5", with the kinds
// that differ and the unreadable added when there are any; "相違なし" when all is the same.
std::u16string FolderCountsText(const FolderCounts& counts);

}  // namespace viewer

// The program's own texts and fixed names: captions, placeholders, guide messages, settings keys.
#pragma once

namespace texts {

inline constexpr wchar_t kCaption[] = L"Diff-Zarvo";

inline constexpr wchar_t kGuideFirst[] = L"第一の対象ファイルをドロップして下さい";
inline constexpr wchar_t kGuideSecond[] = L"第二の対象ファイルを ドロップして下さい";
inline constexpr wchar_t kGuideReady[] = L"比較を実行できます";

inline constexpr wchar_t kPath1Placeholder[] = L"第一のパス指定";
inline constexpr wchar_t kPath2Placeholder[] = L"第二のパス指定";
inline constexpr wchar_t kExePathInitial[] = L"Exeのパスzz";
inline constexpr wchar_t kGo[] = L"実行";
inline constexpr wchar_t kReffer[] = L"参照";

// What a screen reader calls each control. The guide speaks its message; this says what it is.
inline constexpr wchar_t kGuideName[] = L"案内";
inline constexpr wchar_t kPath1Name[] = L"第一のファイル";
inline constexpr wchar_t kPath2Name[] = L"第二のファイル (履歴)";
inline constexpr wchar_t kExePathName[] = L"比較ツール";
inline constexpr wchar_t kGoName[] = L"比較を実行";
inline constexpr wchar_t kRefferName[] = L"比較ツールを参照";

inline constexpr wchar_t kGuideFont[] = L"HG創英角ﾎﾟｯﾌﾟ体";
inline constexpr wchar_t kGoFont[] = L"ＭＳ Ｐゴシック";

// The comparison tool where the platform has none of our own beside the program.
inline constexpr wchar_t kWinDiff[] =
    L"C:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\WINDIFF.EXE";

inline constexpr wchar_t kToolSection[] = L"WINDIFF";
inline constexpr wchar_t kToolKey[] = L"ExePath";
inline constexpr wchar_t kHistorySection[] = L"DiffPath";
inline constexpr wchar_t kHistoryKeyPrefix[] = L"LIST";
inline constexpr int kHistoryMax = 8;

// A comparison tool that cannot be started: title, then the text around the tool and the reason.
inline constexpr wchar_t kStartFailedTitle[] = L"Diff-Zarvo - 起動エラー";
inline constexpr wchar_t kStartFailedLead[] = L"比較ツールを起動できませんでした。\n\n";
inline constexpr wchar_t kStartFailedTool[] = L"ツール: ";
inline constexpr wchar_t kStartFailedReason[] = L"\n理由: ";
inline constexpr wchar_t kStartFailedQuestion[] = L"\n\n別の比較ツールを選びますか?";

// A path the settings file cannot keep: its code page lacks a character of the name and the file
// has no short (8.3) name either. Title, then the text before and after the path or paths.
inline constexpr wchar_t kUnstorableTitle[] = L"Diff-Zarvo - 設定ファイル";
inline constexpr wchar_t kUnstorableToolLead[] =
    L"この比較ツールのパスは設定ファイル (Zarvo.ini) に保存できません。\n\n";
inline constexpr wchar_t kUnstorableToolEnd[] =
    L"\n\n名前の一部の文字を設定ファイルの文字コードで書けず、短い名前 (8.3 形式) もありません。"
    L"このツールは今回は使えますが、次回の起動では元の設定に戻ります。";
inline constexpr wchar_t kUnstorableHistoryLead[] =
    L"次のパスは履歴として設定ファイル (Zarvo.ini) に保存できません。\n\n";
inline constexpr wchar_t kUnstorableHistoryEnd[] =
    L"\n\n名前の一部の文字を設定ファイルの文字コードで書けず、短い名前 (8.3 形式) もないため、"
    L"次回の起動では履歴に残りません。";

// The settings file cannot be written at all: title as above, then the text around its path.
inline constexpr wchar_t kUnwritableLead[] = L"設定ファイルに書き込めません。\n\n";
inline constexpr wchar_t kUnwritableEnd[] =
    L"\n\n選んだ比較ツールと履歴は今回は使えますが、次回の起動では残りません。"
    L"このファイルか、そのフォルダーに書き込めるようにしてください。";

}  // namespace texts

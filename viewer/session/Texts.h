// The fixed texts of the viewer's window, for both fronts.
#pragma once

#include <string_view>

namespace viewer::texts {

inline constexpr std::u16string_view kProgram = u"Diff-Zarvo ビューアー";
inline constexpr std::u16string_view kChangedOnDisk = u"ファイルがディスク上で変更されました。";
inline constexpr std::u16string_view kReloadButton = u"再読み込み (F5)";
inline constexpr std::u16string_view kToolbar = u"相違";
inline constexpr std::u16string_view kStripTip = u"相違の位置（クリックで移動）";
inline constexpr std::u16string_view kFindLabel = u"検索:";
inline constexpr std::u16string_view kFindPlaceholder = u"探す文字列（大文字と小文字を区別しない）";
inline constexpr std::u16string_view kFindPrevious = u"前へ";
inline constexpr std::u16string_view kFindNext = u"次へ";
inline constexpr std::u16string_view kCloseBar = u"閉じる";
inline constexpr std::u16string_view kLineLabel = u"行へ移動:";
inline constexpr std::u16string_view kLineInFirst = u"第一のファイルの行";
inline constexpr std::u16string_view kLineInSecond = u"第二のファイルの行";
inline constexpr std::u16string_view kLinePlaceholder = u"行番号";
inline constexpr std::u16string_view kLineGo = u"移動";
// The progress of a long comparison, past half a second.
inline constexpr std::u16string_view kComparing = u"比較しています…（Esc で中止）";
inline constexpr std::u16string_view kStop = u"中止";

}  // namespace viewer::texts

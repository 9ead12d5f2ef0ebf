#include "MergeCommands.h"

#include "TextDecode.h"
#include "EncodingWords.h"

namespace viewer {

const std::vector<MergeCommandInfo>& MergeCommandTable() {
    using enum MergeCommand;
    using enum KeyCode;
    const auto plain = [](KeyCode code) { return Key{code}; };
    const auto ctrl = [](KeyCode code) { return Key{code, 0, true}; };
    const auto ctrlLetter = [](char letter) { return Key{KeyCode::Letter, letter, true}; };
    const auto alt = [](KeyCode code) { return Key{code, 0, false, false, true}; };
    const auto altLetter = [](char letter) {
        return Key{KeyCode::Letter, letter, false, false, true};
    };
    std::vector<std::u16string> encodings;
    for (const EncodingChoice& choice : EncodingChoices()) encodings.push_back(choice.label);
    static const std::vector<MergeCommandInfo> table = {
        {Save, u"結果を保存", {ctrlLetter('S')}, Menu::File},
        {Reload, u"再読み込み", {plain(F5)}, Menu::File},
        {Close, u"閉じる", {ctrlLetter('W'), ctrlLetter('Q'), plain(Escape)}, Menu::File, true},
        {Undo, u"元に戻す", {ctrlLetter('Z')}, Menu::Edit},
        {Redo, u"やり直す", {ctrlLetter('Y')}, Menu::Edit},
        {TakeMine, u"自分の側を取る", {alt(Left)}, Menu::Edit, true},
        {TakeTheirs, u"相手の側を取る", {alt(Right)}, Menu::Edit},
        {TakeBoth, u"両方を取る（自分、相手の順）", {altLetter('B')}, Menu::Edit},
        {TakeBase, u"共通の元に戻す", {altLetter('O')}, Menu::Edit},
        {TakeMineForAll, u"残りの競合すべてに自分の側を取る", {}, Menu::Edit, true},
        {TakeTheirsForAll, u"残りの競合すべてに相手の側を取る", {}, Menu::Edit},
        {EditLine, u"結果の行を編集", {plain(F2)}, Menu::Edit, true},
        {Copy, u"結果の行をコピー", {ctrlLetter('C')}, Menu::Edit},
        {NextChange, u"次の変更", {plain(F8)}, Menu::Move},
        {PreviousChange, u"前の変更", {plain(F7)}, Menu::Move},
        {NextConflict, u"次の未解決の競合", {ctrl(F8)}, Menu::Move, true},
        {PreviousConflict, u"前の未解決の競合", {ctrl(F7)}, Menu::Move},
        {Find, u"検索...", {ctrlLetter('F')}, Menu::Move, true},
        {FindNext, u"次を検索", {plain(F3)}, Menu::Move},
        {FindPrevious, u"前を検索", {Key{F3, 0, false, true}}, Menu::Move},
        {GoToLine, u"行へ移動...", {ctrlLetter('G')}, Menu::Move},
        {IgnoreTrailingBlanks, u"行末の空白を無視", {}, Menu::View, false, true},
        {IgnoreAllBlanks, u"すべての空白を無視", {}, Menu::View, false, true},
        {IgnoreBlankLines, u"空行を無視", {}, Menu::View, false, true},
        {IgnoreCase, u"大文字と小文字を区別しない", {}, Menu::View, false, true},
        {IgnoreLineEnds, u"改行コードの違いを無視", {}, Menu::View, false, true},
        {EncodingMine, u"自分のファイルの文字コード", {}, Menu::Encoding, false, false, encodings},
        {EncodingBase,
         u"共通の元のファイルの文字コード",
         {},
         Menu::Encoding,
         false,
         false,
         encodings},
        {EncodingTheirs,
         u"相手のファイルの文字コード",
         {},
         Menu::Encoding,
         false,
         false,
         encodings},
    };
    return table;
}

}  // namespace viewer

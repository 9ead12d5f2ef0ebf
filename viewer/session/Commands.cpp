#include "Commands.h"

#include <algorithm>
#include <stdexcept>

#include "TextDecode.h"
#include "EncodingWords.h"

namespace viewer {

namespace {

Key Plain(KeyCode code) { return Key{code}; }
Key Shift(KeyCode code) { return Key{code, 0, false, true}; }
Key Ctrl(KeyCode code) { return Key{code, 0, true}; }
Key Ctrl(char letter) { return Key{KeyCode::Letter, letter, true}; }
Key Alt(KeyCode code) { return Key{code, 0, false, false, true}; }

std::vector<std::u16string> EncodingLabels() {
    std::vector<std::u16string> labels;
    for (const EncodingChoice& choice : EncodingChoices()) labels.push_back(choice.label);
    return labels;
}

}  // namespace

const std::vector<CommandInfo>& CommandTable() {
    using enum Command;
    using enum KeyCode;
    static const std::vector<CommandInfo> table = {
        {Save, u"保存", {Ctrl('S')}, Menu::File},
        {SaveFirst, u"第一のファイルを保存", {}, Menu::File},
        {SaveSecond, u"第二のファイルを保存", {}, Menu::File},
        {Reload, u"再読み込み", {Plain(F5)}, Menu::File, false, false, true},
        {Close, u"閉じる", {Ctrl('W'), Ctrl('Q'), Plain(Escape)}, Menu::File, false, false, true},
        {Undo, u"元に戻す", {Ctrl('Z')}, Menu::Edit},
        {Redo, u"やり直す", {Ctrl('Y')}, Menu::Edit},
        {TakeToSecond, u"第二のファイルへ取り込む", {Alt(Right)}, Menu::Edit, false, true, true},
        {TakeToFirst, u"第一のファイルへ取り込む", {Alt(Left)}, Menu::Edit, false, true},
        {EditLine, u"行を編集", {Plain(F2)}, Menu::Edit},
        {Copy, u"選択した行をコピー", {Ctrl('C')}, Menu::Edit, false, false, true},
        {NextDifference, u"次の相違", {Plain(F8)}, Menu::Move, false, true},
        {PreviousDifference, u"前の相違", {Shift(F8), Plain(F7)}, Menu::Move, false, true},
        {FirstDifference, u"最初の相違", {Ctrl(Home)}, Menu::Move, false, true},
        {LastDifference, u"最後の相違", {Ctrl(End)}, Menu::Move, false, true},
        {Find, u"検索...", {Ctrl('F')}, Menu::Move, false, false, true},
        {FindNext, u"次を検索", {Plain(F3)}, Menu::Move},
        {FindPrevious, u"前を検索", {Shift(F3)}, Menu::Move},
        {GoToLine, u"行へ移動...", {Ctrl('G')}, Menu::Move},
        {SideBySide, u"左右に並べて表示", {Ctrl('T')}, Menu::View, true, true, true},
        {IgnoreTrailingBlanks, u"行末の空白を無視", {}, Menu::View, true, false, true},
        {IgnoreAllBlanks, u"すべての空白を無視", {}, Menu::View, true},
        {IgnoreBlankLines, u"空行を無視", {}, Menu::View, true},
        {IgnoreCase, u"大文字と小文字を区別しない", {}, Menu::View, true},
        {IgnoreLineEnds, u"改行コードの違いを無視", {}, Menu::View, true},
        {EncodingFirst,
         u"第一のファイルの文字コード",
         {},
         Menu::Encoding,
         false,
         false,
         false,
         EncodingLabels()},
        {EncodingSecond,
         u"第二のファイルの文字コード",
         {},
         Menu::Encoding,
         false,
         false,
         false,
         EncodingLabels()},
    };
    return table;
}

const CommandInfo& InfoOf(Command command) {
    const std::vector<CommandInfo>& table = CommandTable();
    const auto found = std::find_if(table.begin(), table.end(), [&](const CommandInfo& info) {
        return info.command == command;
    });
    if (found == table.end()) throw std::out_of_range("not a command of the table");
    return *found;
}

std::u16string MenuTitle(Menu menu) {
    switch (menu) {
        case Menu::File:
            return u"ファイル(&F)";
        case Menu::Edit:
            return u"編集(&E)";
        case Menu::Move:
            return u"移動(&G)";
        case Menu::View:
            return u"表示(&V)";
        case Menu::Encoding:
            return u"文字コード(&C)";
    }
    return {};
}

std::u16string KeyText(const Key& key) {
    std::u16string text;
    if (key.ctrl) text += u"Ctrl+";
    if (key.alt) text += u"Alt+";
    if (key.shift) text += u"Shift+";
    switch (key.code) {
        case KeyCode::Letter:
            return text + static_cast<char16_t>(key.letter);
        case KeyCode::F2:
            return text + u"F2";
        case KeyCode::F3:
            return text + u"F3";
        case KeyCode::F5:
            return text + u"F5";
        case KeyCode::F7:
            return text + u"F7";
        case KeyCode::F8:
            return text + u"F8";
        case KeyCode::Home:
            return text + u"Home";
        case KeyCode::End:
            return text + u"End";
        case KeyCode::Escape:
            return text + u"Esc";
        case KeyCode::Left:
            return text + u"Left";
        case KeyCode::Right:
            return text + u"Right";
    }
    return text;
}

std::u16string ToolTip(Command command) {
    const CommandInfo& info = InfoOf(command);
    if (info.keys.empty()) return info.label;
    return info.label + u" (" + KeyText(info.keys.front()) + u")";
}

}  // namespace viewer

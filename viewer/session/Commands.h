// The window's commands: one table from which both fronts build their menus, toolbar and
// shortcuts. A command's enabled and checked states are the session's (Session::Enabled,
// Session::Checked); its label never names its keys: the menu shows them in its own column.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace viewer {

enum class Command : std::uint8_t {
    NextDifference,
    PreviousDifference,
    FirstDifference,
    LastDifference,
    Find,
    FindNext,
    FindPrevious,
    GoToLine,
    Copy,
    TakeToSecond,  // the current difference, or the selected rows' differences, across
    TakeToFirst,
    EditLine,  // the current row's line, in place
    Undo,
    Redo,
    Save,  // every changed file
    SaveFirst,
    SaveSecond,
    Reload,
    Close,
    SideBySide,
    IgnoreTrailingBlanks,
    IgnoreAllBlanks,
    IgnoreBlankLines,
    IgnoreCase,
    IgnoreLineEnds,  // "改行コードの違いを無視": ticked, lines that differ only in their ends are
                     // common
    EncodingFirst,  // a submenu of choices: the first file's encoding
    EncodingSecond,
};

// The menus, in the menu bar's order.
enum class Menu : std::uint8_t { File, Edit, Move, View, Encoding };

// A key as both fronts can map it: a letter (A-Z) or a named key, with its modifiers.
enum class KeyCode : std::uint8_t { Letter, F2, F3, F5, F7, F8, Home, End, Escape, Left, Right };
struct Key {
    KeyCode code = KeyCode::Letter;
    char letter = 0;  // 'A'..'Z' for KeyCode::Letter
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool operator==(const Key&) const = default;
};

struct CommandInfo {
    Command command;
    std::u16string label;   // "次の相違"
    std::vector<Key> keys;  // the first one is the one a menu shows
    Menu menu;
    bool checkable = false;
    bool toolbar = false;          // also a button of the toolbar, in the table's order
    bool separatorBefore = false;  // in its menu (and in the toolbar, for a button)
    // Not empty: the command is a submenu titled `label` of these entries, one of them checked
    // (Session::Chosen), each picked with Session::Choose(command, index).
    std::vector<std::u16string> choices = {};
};

// Every command, in menu order.
const std::vector<CommandInfo>& CommandTable();
const CommandInfo& InfoOf(Command command);
// "移動(&G)": the menu's title with its access key.
std::u16string MenuTitle(Menu menu);
// "Ctrl+Home", "Shift+F8".
std::u16string KeyText(const Key& key);
// A toolbar button's tip: "次の相違 (F8)".
std::u16string ToolTip(Command command);

}  // namespace viewer

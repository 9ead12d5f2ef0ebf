// The three-way merge window's commands: one table from which both fronts build its menus and
// shortcuts, as the two-way window's (Commands.h), with the same keys and menus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Commands.h"

namespace viewer {

enum class MergeCommand : std::uint8_t {
    Save,    // the result, where -o says (else MINE)
    Reload,  // the three files read again and merged anew
    Close,
    Undo,
    Redo,
    TakeMine,  // the current change's lines from MINE into the result
    TakeTheirs,
    TakeBoth,        // MINE's lines, then THEIRS'
    TakeBase,        // BASE's lines back
    TakeMineForAll,  // every conflict still unresolved: MINE's side
    TakeTheirsForAll,
    EditLine,  // the current row's result line, in place
    Copy,      // the result's lines of the current change (on a common row, its line)
    NextChange,
    PreviousChange,
    NextConflict,  // the next conflict still unresolved
    PreviousConflict,
    Find,  // the find bar; with text in it, the next match
    FindNext,
    FindPrevious,
    GoToLine,      // the go-to-line bar
    EncodingMine,  // a submenu of choices: the encoding MINE is shown (and edited) in
    EncodingBase,
    EncodingTheirs,
    IgnoreTrailingBlanks,  // checked: the display overlooks changes of blanks at line ends only
    IgnoreAllBlanks,
    IgnoreBlankLines,
    IgnoreCase,
    IgnoreLineEnds,
};

struct MergeCommandInfo {
    MergeCommand command;
    std::u16string label;
    std::vector<Key> keys;  // the first one is the one a menu shows
    Menu menu;
    bool separatorBefore = false;
    bool checkable = false;  // a menu item with a check mark (MergeSession::Checked)
    // Not empty: the command is a submenu titled `label` of these entries, one of them checked
    // (MergeSession::Chosen), each picked with MergeSession::Choose(command, index).
    std::vector<std::u16string> choices = {};
};

// Every command, in menu order.
const std::vector<MergeCommandInfo>& MergeCommandTable();

}  // namespace viewer

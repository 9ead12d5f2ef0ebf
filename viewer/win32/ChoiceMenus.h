// The command table's submenus of choices (CommandInfo::choices, such as each file's encoding) as
// Win32 popup menus of radio items. An entry's WM_COMMAND id is ChoiceId(command, index), apart
// from the ids of the plain commands.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <utility>

#include "Commands.h"

namespace viewer {

class Session;

constexpr WORD kMaxChoices = 32;
constexpr WORD ChoiceId(Command command, std::size_t index) {
    return static_cast<WORD>(0x4000 + static_cast<int>(command) * kMaxChoices + index);
}
// The command and the entry of a WM_COMMAND id; none for any other id.
std::optional<std::pair<Command, std::size_t>> ChoiceOf(WORD id);

// A popup of `info`'s choices, for AppendMenuW(menu, MF_POPUP, ..., info.label).
HMENU MakeChoiceMenu(const CommandInfo& info);
// Every submenu of choices in `menuBar`: enabled as its command is, the session's choice checked.
void UpdateChoiceMenus(HMENU menuBar, const Session& session);

}  // namespace viewer

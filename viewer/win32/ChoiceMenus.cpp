#include "ChoiceMenus.h"

#include <string>

#include "Session.h"

namespace viewer {

std::optional<std::pair<Command, std::size_t>> ChoiceOf(WORD id) {
    for (const CommandInfo& info : CommandTable()) {
        for (std::size_t index = 0; index < info.choices.size(); ++index) {
            if (ChoiceId(info.command, index) == id) return std::pair(info.command, index);
        }
    }
    return std::nullopt;
}

HMENU MakeChoiceMenu(const CommandInfo& info) {
    HMENU popup = CreatePopupMenu();
    for (std::size_t index = 0; index < info.choices.size() && index < kMaxChoices; ++index) {
        const std::wstring label(info.choices[index].begin(), info.choices[index].end());
        AppendMenuW(popup, MF_STRING, ChoiceId(info.command, index), label.c_str());
    }
    return popup;
}

void UpdateChoiceMenus(HMENU menuBar, const Session& session) {
    for (const CommandInfo& info : CommandTable()) {
        if (info.choices.empty()) continue;
        const UINT last = ChoiceId(info.command, info.choices.size() - 1);
        const UINT state = session.Enabled(info.command) ? MF_ENABLED : MF_GRAYED;
        for (std::size_t index = 0; index < info.choices.size(); ++index) {
            EnableMenuItem(menuBar, ChoiceId(info.command, index), MF_BYCOMMAND | state);
        }
        // By command, the menu bar's submenus are searched for the ids too.
        CheckMenuRadioItem(menuBar, ChoiceId(info.command, 0), last,
                           ChoiceId(info.command, session.Chosen(info.command)), MF_BYCOMMAND);
    }
}

}  // namespace viewer

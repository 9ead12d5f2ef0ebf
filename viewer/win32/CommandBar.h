// The window's commands as Win32 has them, built from the session's command table: the menu bar
// (each item's keys once, in the menu's own column), the toolbar and the keys (an accelerator
// table). A command's WM_COMMAND id is CommandId(command).
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"

namespace viewer {

class Session;

constexpr WORD CommandId(Command command) {
    return static_cast<WORD>(100 + static_cast<int>(command));
}
std::optional<Command> CommandOf(WORD id);
// The virtual key of a session key, for an accelerator table.
WORD VirtualKey(const Key& key);
// The menu of the menu bar `bar` that a command of `menu` goes in, made at the first of them
// (`menus` keeps those made); a separator first where the command asks for one.
HMENU MenuFor(HMENU bar, std::map<Menu, HMENU>& menus, Menu menu, bool separatorBefore);
// A command's item in `menu`, sending `id`: its label, with its first key in the menu's column
// for keys; each of its keys goes to `accelerators`.
void AppendCommandItem(HMENU menu, WORD id, const std::u16string& label,
                       const std::vector<Key>& keys, std::vector<ACCEL>& accelerators);

class CommandBar {
public:
    // Gives `window` its menu bar and a toolbar child.
    CommandBar(HWND window, int toolbarId);
    ~CommandBar();
    CommandBar(const CommandBar&) = delete;
    CommandBar& operator=(const CommandBar&) = delete;

    HWND toolbar() const { return toolbar_; }
    HMENU menu() const { return menu_; }
    // The window's keys: true when the message was one of them and has been sent as a command.
    bool TranslateKeys(MSG& msg) const;
    // Each command's enabled and checked state as the session has it.
    void Update(const Session& session);
    void SetFont(HFONT font);
    // The toolbar's height once placed at the top of a client area `width` wide.
    int Place(int width);
    // The tip of a toolbar button (TTN_GETDISPINFO), or null.
    const wchar_t* Tip(UINT_PTR id);

private:
    HWND window_;
    HMENU menu_ = nullptr;
    HWND toolbar_ = nullptr;
    HACCEL keys_ = nullptr;
    std::wstring tip_;
};

}  // namespace viewer

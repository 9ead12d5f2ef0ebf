#include "CommandBar.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "ChoiceMenus.h"
#include "Session.h"
#include "WinText.h"

namespace viewer {

WORD VirtualKey(const Key& key) {
    switch (key.code) {
        case KeyCode::Letter:
            return static_cast<WORD>(key.letter);
        case KeyCode::F2:
            return VK_F2;
        case KeyCode::F3:
            return VK_F3;
        case KeyCode::F5:
            return VK_F5;
        case KeyCode::F7:
            return VK_F7;
        case KeyCode::F8:
            return VK_F8;
        case KeyCode::Home:
            return VK_HOME;
        case KeyCode::End:
            return VK_END;
        case KeyCode::Escape:
            return VK_ESCAPE;
        case KeyCode::Left:
            return VK_LEFT;
        case KeyCode::Right:
            return VK_RIGHT;
    }
    return 0;
}

HMENU MenuFor(HMENU bar, std::map<Menu, HMENU>& menus, Menu menu, bool separatorBefore) {
    HMENU& made = menus[menu];
    if (made == nullptr) {
        made = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(made), Wide(MenuTitle(menu)).c_str());
    } else if (separatorBefore) {
        AppendMenuW(made, MF_SEPARATOR, 0, nullptr);
    }
    return made;
}

void AppendCommandItem(HMENU menu, WORD id, const std::u16string& label,
                       const std::vector<Key>& keys, std::vector<ACCEL>& accelerators) {
    // The label, and its first key in the menu's column for keys: shown once.
    std::wstring item = Wide(label);
    if (!keys.empty()) item += L"\t" + Wide(KeyText(keys.front()));
    AppendMenuW(menu, MF_STRING, id, item.c_str());
    for (const Key& key : keys) {
        BYTE flags = FVIRTKEY;
        if (key.ctrl) flags |= FCONTROL;
        if (key.shift) flags |= FSHIFT;
        if (key.alt) flags |= FALT;
        accelerators.push_back({flags, VirtualKey(key), id});
    }
}

std::optional<Command> CommandOf(WORD id) {
    for (const CommandInfo& info : CommandTable()) {
        if (CommandId(info.command) == id) return info.command;
    }
    return std::nullopt;
}

CommandBar::CommandBar(HWND window, int toolbarId) : window_(window) {
    menu_ = CreateMenu();
    std::vector<ACCEL> keys;
    std::map<Menu, HMENU> menus;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    toolbar_ = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
            CCS_NODIVIDER | CCS_NOPARENTALIGN,
        0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(toolbarId)), instance,
        nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    bool firstButton = true;
    for (const CommandInfo& info : CommandTable()) {
        const HMENU submenu = MenuFor(menu_, menus, info.menu, info.separatorBefore);
        if (!info.choices.empty()) {
            AppendMenuW(submenu, MF_POPUP, reinterpret_cast<UINT_PTR>(MakeChoiceMenu(info)),
                        Wide(info.label).c_str());
            continue;
        }
        AppendCommandItem(submenu, CommandId(info.command), info.label, info.keys, keys);
        if (!info.toolbar) continue;
        if (info.separatorBefore && !firstButton) {
            TBBUTTON separator{};
            separator.fsStyle = BTNS_SEP;
            SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&separator));
        }
        const std::wstring label = Wide(info.label);
        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = CommandId(info.command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = static_cast<BYTE>(BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT |
                                           (info.checkable ? BTNS_CHECK : 0));
        button.iString = reinterpret_cast<INT_PTR>(label.c_str());
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        firstButton = false;
    }
    SetMenu(window, menu_);
    keys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

CommandBar::~CommandBar() {
    if (keys_ != nullptr) DestroyAcceleratorTable(keys_);
}

bool CommandBar::TranslateKeys(MSG& msg) const {
    if (TranslateAcceleratorW(window_, keys_, &msg) == 0) return false;
    // Alt+Right taken as a command is no press of Alt alone: the default procedure, which
    // watches for one (in Wine), must see the key, or letting go of Alt opens the menu bar.
    if (msg.message == WM_SYSKEYDOWN) DefWindowProcW(window_, msg.message, msg.wParam, msg.lParam);
    return true;
}

void CommandBar::Update(const Session& session) {
    for (const CommandInfo& info : CommandTable()) {
        const WORD id = CommandId(info.command);
        const bool enabled = session.Enabled(info.command);
        const bool checked = session.Checked(info.command);
        EnableMenuItem(menu_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        if (!info.toolbar) continue;
        SendMessageW(toolbar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0));
        SendMessageW(toolbar_, TB_CHECKBUTTON, id, MAKELPARAM(checked, 0));
    }
    UpdateChoiceMenus(menu_, session);
    DrawMenuBar(window_);
}

void CommandBar::SetFont(HFONT font) {
    SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

int CommandBar::Place(int width) {
    if (!IsWindowVisible(toolbar_)) return 0;
    SIZE size{};
    SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    const int height = static_cast<int>(size.cy) + 2;
    MoveWindow(toolbar_, 0, 0, width, height, TRUE);
    return height;
}

const wchar_t* CommandBar::Tip(UINT_PTR id) {
    const std::optional<Command> command = CommandOf(static_cast<WORD>(id));
    if (!command) return nullptr;
    tip_ = Wide(ToolTip(*command));
    return tip_.c_str();
}

}  // namespace viewer

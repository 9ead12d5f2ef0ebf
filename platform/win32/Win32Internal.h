// Win32 backend: the hidden halves of the window and control classes, and the helpers its
// source files share.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../Controls.h"
#include "GdiHandles.h"
#include "ScreenReaderNames.h"
#include "WindowBasics.h"

namespace platform {

namespace win32 {

class DropTarget;

// The named font at its size for the given resolution, or the system's Japanese font at that
// size when the name is missing.
HFONT MakeNamedFont(const FontSpec& design, int dpi);

// Registers a drop target on the window that hands each drop to onDrop; revoked on destruction.
class DropRegistration {
public:
    DropRegistration(HWND window, std::function<void(const DropData&)>& onDrop);
    ~DropRegistration();
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;

private:
    HWND window_;
    DropTarget* target_ = nullptr;
};

// The drop target our backend registered on a window, or nullptr: lets the test driver deliver a
// drop where OLE would.
IDropTarget* RegisteredDropTarget(HWND window);

// What a drop carries, in the application's terms: the files of its CF_HDROP list, if any.
DropData ToDropData(IDataObject* data);

// The system's text for an error code, without the trailing line break.
std::wstring SystemMessage(DWORD error, std::wstring_view insert = {});

// What a combo box tells its parent about its list (CBN_DROPDOWN, CBN_SELENDOK, ...).
void OnComboNotification(Control::Impl& combo, WORD code);

// The program's window whose handle this is, or nullptr for any other window.
Window* FormWindow(HWND hwnd);

// One message of the message loop: the window's keys (Ctrl+O, Ctrl+V with copied files), the
// dialog keys, then the control's own handling.
void ProcessMessage(MSG& message);

// The answer to DM_GETDEFID: the focused button, which Enter then presses; 0 elsewhere.
LRESULT FocusedButtonId(Window& window);

// IAccessible's interface id. MinGW's oleacc import library, linked before the uuid library, makes
// IID_IAccessible an import thunk rather than the id itself.
inline constexpr IID kAccessibleId{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Gives the control its accessible name (a label its description) from its row of the layout.
void NameForScreenReaders(const Control::Impl& control);

// What a shortcut (.lnk) starts: its target, resolved now (a moved target is searched for), the
// arguments it adds and the folder it starts in. Throws platform::Error, with the reason, when
// the shortcut cannot be read or points to no existing file.
struct ShortcutTarget {
    std::wstring path;
    std::wstring arguments;
    std::wstring folder;
};
ShortcutTarget ResolveShortcut(const std::wstring& shortcut);

}  // namespace win32

struct Window::Impl {
    HWND hwnd = nullptr;
    const WindowSpec* design = nullptr;
    Window* owner = nullptr;
    std::vector<Control*> controls;  // in the order they were made
    win32::FontHandle guiFont;       // shared by the controls without a font of their own
    std::unique_ptr<win32::DropRegistration> drops;
    // A combo box's text while its list is open: opening the list puts the first item that
    // starts like the text, in any case, into the box, which closing without a choice undoes.
    std::optional<std::wstring> textBeforeList;
    bool closingByUser = false;
    HWND lastFocus = nullptr;  // the control that had the focus when the window was deactivated

    int Dpi() const { return win32::DpiOf(hwnd); }
    // Places every control and sizes the client area from the layout table at the window's DPI.
    void LayOut();
};

struct Control::Impl {
    HWND hwnd = nullptr;
    HWND editHwnd = nullptr;  // the edit field of a combo box; hwnd otherwise
    const ControlSpec* design = nullptr;
    Window* window = nullptr;
    Control* owner = nullptr;
    win32::FontHandle ownFont;  // only for controls whose row names a font
    std::unique_ptr<win32::DropRegistration> drops;
    // A combo box's text while its list is open: opening the list puts the first item that
    // starts like the text, in any case, into the box, which closing without a choice undoes.
    std::optional<std::wstring> textBeforeList;

    // Places the control and sets its font for the given resolution.
    void LayOut(int dpi);
};

}  // namespace platform

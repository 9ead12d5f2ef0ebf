// Win32 backend: one message of the program's message loop. The window's own keys come first:
// Ctrl+O, and Ctrl+V (or Shift+Insert) while the clipboard holds files, from whichever control
// has the focus; then the dialog keys (Tab, the arrows, Enter on a focused button).
#include "Win32Internal.h"

namespace platform::win32 {

namespace {

bool IsDown(int key) { return GetKeyState(key) < 0; }

// The files a file manager's "Copy" left on the clipboard, read as a drop's are.
DropData ClipboardFiles() {
    if (!IsClipboardFormatAvailable(CF_HDROP)) return DropData();
    IDataObject* data = nullptr;
    if (FAILED(OleGetClipboard(&data)) || data == nullptr) return DropData();
    DropData files = ToDropData(data);
    data->Release();
    return files;
}

bool WindowKey(Window& window, const MSG& message) {
    if (message.message != WM_KEYDOWN || IsDown(VK_MENU)) return false;
    const bool control = IsDown(VK_CONTROL);
    const bool shift = IsDown(VK_SHIFT);
    if (control && !shift && message.wParam == 'O') {
        if (window.onOpenKey) window.onOpenKey();
        return true;
    }
    const bool paste = (control && !shift && message.wParam == 'V') ||
                       (shift && !control && message.wParam == VK_INSERT);
    if (!paste) return false;
    // Anything but files is the focused box's to paste.
    const DropData files = ClipboardFiles();
    if (!files.GetFormat(kFileListFormat)) return false;
    if (window.onPasteFiles) window.onPasteFiles(files);
    return true;
}

}  // namespace

void ProcessMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Window* window = root != nullptr ? FormWindow(root) : nullptr;
    if (window != nullptr && WindowKey(*window, message)) return;
    // Tab, Shift+Tab and the arrow keys move between the controls as in a dialog.
    if (root != nullptr && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

LRESULT FocusedButtonId(Window& window) {
    HWND focus = GetFocus();
    for (Control* control : window.impl().controls) {
        if (control->impl().hwnd == focus && control->impl().design->kind == ControlKind::Button)
            return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
    }
    return 0;
}

}  // namespace platform::win32

// Win32 backend: the test driver. Clicks and keys go to the real controls as messages; drops are
// delivered to the drop target registered under the target's centre, found from the screen
// point as OLE finds it; dialogs really open and are answered as soon as they are activated.
#include "Win32Internal.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstdlib>
#include <cwchar>
#include <deque>
#include <functional>

#include "../Testing.h"
#include "Resources.h"
#include "TestDataObject.h"

namespace platform::testing {

namespace {

// The control id of a message box's text.
constexpr int kMessageTextId = 0xFFFF;

enum class DialogKind { Open, Message };

struct PendingAnswer {
    DialogKind kind;
    std::function<void(HWND)> answer;
};

std::deque<PendingAnswer> pendingAnswers;
HHOOK activationHook = nullptr;
std::wstring lastPreset;
std::wstring lastMessage;

bool IsDialogOfKind(HWND window, DialogKind kind) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770") return false;
    if (kind == DialogKind::Message) return GetDlgItem(window, kMessageTextId) != nullptr;
    return GetDlgItem(window, IDOK) != nullptr &&
           (GetDlgItem(window, cmb13) != nullptr || GetDlgItem(window, edt1) != nullptr);
}

// The Open dialog's file-name box: the combo box of the Explorer style, or the plain edit box.
HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, cmb13)) return combo;
    return GetDlgItem(dialog, edt1);
}

// What the dialog shows as its choice: its folder joined with the name in its file-name box.
std::wstring ShownPath(HWND dialog) {
    std::wstring path(32768, L'\0');
    const LRESULT length =
        SendMessageW(dialog, CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
    if (length <= 0) return win32::WindowText(FileNameBox(dialog));
    path.resize(wcsnlen(path.c_str(), path.size()));
    return path;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The answer for the dialog that was just activated; given once the dialog's own message loop
// runs, when the dialog has finished setting itself up.
std::function<void(HWND)> dueAnswer;
WNDPROC dialogProc = nullptr;
const UINT answerMessage = RegisterWindowMessageW(L"DiffZarvoTestAnswer");

LRESULT CALLBACK AnsweringProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC original = dialogProc;
    if (message == answerMessage && dueAnswer) {
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        std::function<void(HWND)> answer = std::move(dueAnswer);
        dueAnswer = nullptr;
        answer(dialog);
        return 0;
    }
    return CallWindowProcW(original, dialog, message, wParam, lParam);
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !pendingAnswers.empty() && !dueAnswer) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (IsDialogOfKind(window, pendingAnswers.front().kind)) {
            dueAnswer = std::move(pendingAnswers.front().answer);
            pendingAnswers.pop_front();
            dialogProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnsweringProc)));
            PostMessageW(window, answerMessage, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Queue(DialogKind kind, std::function<void(HWND)> answer) {
    if (activationHook == nullptr) {
        activationHook = SetWindowsHookExW(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    }
    pendingAnswers.push_back({kind, std::move(answer)});
}

HWND FormOf(Control& control) { return control.impl().window->impl().hwnd; }

// Drags the data to the screen point as OLE's drag loop does, for the innermost window under the
// point that has a drop target registered: enter, one move, then a drop where the move was
// accepted and `drop` is asked for, a leave otherwise. Gives whether the target showed that it
// accepts the data (the effects of the enter and of the move must agree).
bool Drag(POINT screenPoint, IDataObject* data, bool drop) {
    IDropTarget* target = nullptr;
    for (HWND hwnd = WindowFromPoint(screenPoint); hwnd != nullptr && target == nullptr;
         hwnd = GetParent(hwnd)) {
        target = win32::RegisteredDropTarget(hwnd);
    }
    bool accepted = false;
    if (target != nullptr) {
        target->AddRef();
        const POINTL point{screenPoint.x, screenPoint.y};
        const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        DWORD entered = offered;
        target->DragEnter(data, MK_LBUTTON, point, &entered);
        DWORD effect = offered;
        target->DragOver(MK_LBUTTON, point, &effect);
        accepted = effect != DROPEFFECT_NONE && effect == entered;
        if (drop && effect != DROPEFFECT_NONE) {
            effect = offered;
            target->Drop(data, 0, point, &effect);
        } else {
            target->DragLeave();
        }
        target->Release();
    }
    data->Release();
    return accepted;
}

POINT CenterOf(Control& control) {
    RECT rect;
    GetWindowRect(control.impl().hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A point of the window's own background, left of the guide text.
POINT BackgroundOf(Window& window) {
    POINT point{2, 2};
    ClientToScreen(window.impl().hwnd, &point);
    return point;
}

void TypeInto(HWND edit, const std::wstring& text) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    for (const wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

HFONT FontOf(Control& control) {
    return reinterpret_cast<HFONT>(SendMessageW(control.impl().hwnd, WM_GETFONT, 0, 0));
}

// Whether the program's icon resource holds an image of exactly size x size pixels.
bool IconHasImage(int size) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(instance, MAKEINTRESOURCEW(ZARVO_ICON), RT_GROUP_ICON);
    if (group == nullptr) return false;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
    if (directory == nullptr) return false;
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_ICON);
    if (image == nullptr) return false;
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(instance, image)));
    // An icon's bitmap header counts the colour and mask images in its height.
    return header != nullptr && header->biWidth == size && header->biHeight == 2 * size;
}

}  // namespace

void Click(Button& button) { SendMessageW(button.impl().hwnd, BM_CLICK, 0, 0); }

void Type(TextBox& box, const std::wstring& text) { TypeInto(box.impl().hwnd, text); }

void Type(ComboBox& box, const std::wstring& text) { TypeInto(box.impl().editHwnd, text); }

void PickItem(ComboBox& box, int index) {
    HWND combo = box.impl().hwnd;
    SetFocus(combo);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the drop-down list tells its parent when the user clicks an item.
    const auto id = static_cast<WORD>(GetDlgCtrlID(combo));
    HWND parent = GetParent(combo);
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

void OpenAndCloseList(ComboBox& box) {
    HWND edit = box.impl().editHwnd;
    SetFocus(edit);
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
}

void DropFiles(Control& target, const std::vector<std::wstring>& files) {
    Drag(CenterOf(target), win32::MakeFileListData(files), true);
}

void DropFiles(Window& target, const std::vector<std::wstring>& files) {
    Drag(BackgroundOf(target), win32::MakeFileListData(files), true);
}

void DropText(Control& target, const std::wstring& text) {
    Drag(CenterOf(target), win32::MakeTextData(text), true);
}

void DropText(Window& target, const std::wstring& text) {
    Drag(BackgroundOf(target), win32::MakeTextData(text), true);
}

bool FileDragAccepted(Control& target) {
    return Drag(CenterOf(target), win32::MakeFileListData({L"C:\\dragged.txt"}), false);
}

bool FileDragAccepted(Window& target) {
    return Drag(BackgroundOf(target), win32::MakeFileListData({L"C:\\dragged.txt"}), false);
}

bool TextDragAccepted(Control& target) {
    return Drag(CenterOf(target), win32::MakeTextData(L"dragged text"), false);
}

bool TextDragAccepted(Window& target) {
    return Drag(BackgroundOf(target), win32::MakeTextData(L"dragged text"), false);
}

void AnswerNextOpenDialog(const std::wstring& fileName) {
    Queue(DialogKind::Open, [fileName](HWND dialog) {
        HWND box = FileNameBox(dialog);
        lastPreset = ShownPath(dialog);
        SetWindowTextW(box, fileName.c_str());
        Press(dialog, IDOK);
    });
}

void CancelNextOpenDialog() {
    Queue(DialogKind::Open, [](HWND dialog) {
        lastPreset = ShownPath(dialog);
        Press(dialog, IDCANCEL);
    });
}

std::wstring LastOpenDialogPreset() { return lastPreset; }

void AnswerNextMessageBox(bool yes) {
    Queue(DialogKind::Message, [yes](HWND dialog) {
        lastMessage = win32::WindowText(GetDlgItem(dialog, kMessageTextId));
        // A box with one OK button has no Yes or No: either answer closes it.
        if (GetDlgItem(dialog, IDYES) == nullptr) return Press(dialog, IDOK);
        Press(dialog, yes ? IDYES : IDNO);
    });
}

std::wstring LastMessage() { return lastMessage; }

Geometry ControlGeometry(Control& control) {
    RECT rect;
    GetWindowRect(control.impl().hwnd, &rect);
    MapWindowPoints(nullptr, FormOf(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Geometry ClientGeometry(Window& window) {
    RECT rect;
    GetClientRect(window.impl().hwnd, &rect);
    return {0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

int LogicalDpi(Window& window) { return window.impl().Dpi(); }

std::wstring FontFamily(Control& control) {
    HWND hwnd = control.impl().hwnd;
    HDC dc = GetDC(hwnd);
    HGDIOBJ previous = SelectObject(dc, FontOf(control));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);
    return face;
}

double FontPoints(Control& control) {
    LOGFONTW font{};
    if (GetObjectW(FontOf(control), sizeof font, &font) == 0) return 0;
    const int dpi = win32::DpiOf(FormOf(control));
    return std::abs(font.lfHeight) * 72.0 / dpi;
}

std::wstring WindowCaption(Window& window) { return win32::WindowText(window.impl().hwnd); }

bool HasIcon(Window& window) {
    HWND hwnd = window.impl().hwnd;
    return GetClassLongPtrW(hwnd, GCLP_HICON) != 0 && GetClassLongPtrW(hwnd, GCLP_HICONSM) != 0 &&
           IconHasImage(32) && IconHasImage(16);
}

std::vector<std::wstring> TabOrder(Window& window) {
    const Window::Impl& form = window.impl();
    const auto nameOf = [&](HWND hwnd) -> const wchar_t* {
        for (const Control* control : form.controls) {
            if (control->impl().hwnd == hwnd) return control->impl().design->name;
        }
        return nullptr;
    };
    std::vector<std::wstring> names;
    HWND first = GetNextDlgTabItem(form.hwnd, nullptr, FALSE);
    for (HWND hwnd = first; hwnd != nullptr;) {
        if (const wchar_t* name = nameOf(hwnd)) names.emplace_back(name);
        hwnd = GetNextDlgTabItem(form.hwnd, hwnd, FALSE);
        if (hwnd == first || names.size() > form.controls.size()) break;
    }
    return names;
}

}  // namespace platform::testing

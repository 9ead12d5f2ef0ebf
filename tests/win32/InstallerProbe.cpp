// Reads the installer's windows as a user sees them, for tests/win32/package-test.sh.
//   zarvo_installer_probe pages N [everyone] "COMMAND LINE"
//     starts the command, and on its first page and the N after it (each reached with the
//     default button) prints each visible button's text and whether it is drawn whole:
//     "<text>\tfits" or "<text>\tcut (text N px, button M px)", and the folder chosen where a
//     page shows it: "folder: <path>"; then cancels. With "everyone", the choice on the first
//     page that reads "すべてのユーザー" is clicked first.
//   zarvo_installer_probe message "COMMAND LINE"
//     starts the command, prints the text of the message box it shows, and answers Cancel.
// Prints UTF-8; exits 0 when it could read what it was asked, else 1.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

void Print(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// A window's text, asked of it (GetWindowText does not ask another process's edit boxes).
std::wstring Text(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 10000, &copied);
    text.resize(copied);
    return text;
}

struct Search {
    DWORD process;
    int control;
    HWND found;
};

BOOL CALLBACK Consider(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (owner != search->process || !IsWindowVisible(window) || std::wstring(name) != L"#32770" ||
        !GetDlgItem(window, search->control)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The process's visible dialog window ("#32770": NSIS's wizard and message boxes alike) that
// holds a control with the given ID, or none.
HWND DialogWith(DWORD process, int control) {
    Search search{process, control, nullptr};
    EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits, up to a minute, for the process to show such a window. The process is idle (waiting
// for input) each time it is looked at, so a window it is making is there by then.
HWND AwaitDialog(const PROCESS_INFORMATION& started, int control) {
    const ULONGLONG end = GetTickCount64() + 60000;
    while (GetTickCount64() < end) {
        WaitForInputIdle(started.hProcess, 1000);
        if (HWND window = DialogWith(started.dwProcessId, control)) return window;
        if (WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

// The button's text, and whether it is drawn whole: its width in the installer's font (its
// Japanese language file's: ＭＳ Ｐゴシック, 9 points; another process's font cannot be borrowed),
// with the room a push button keeps for its edges and focus frame on each side.
std::wstring ButtonLine(HWND button) {
    const std::wstring text = Text(button);
    HDC dc = GetDC(button);
    HFONT font =
        CreateFontW(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                    FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, L"ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    RECT needed{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(button, dc);
    RECT client{};
    GetClientRect(button, &client);
    const int margin = 2 * (GetSystemMetrics(SM_CXEDGE) + 1);
    if (needed.right + margin <= client.right) return text + L"\tfits\n";
    return text + L"\tcut (text " + std::to_wstring(needed.right) + L" px, button " +
           std::to_wstring(client.right) + L" px)\n";
}

struct Choice {
    HWND found;
};

BOOL CALLBACK ConsiderChoice(HWND window, LPARAM data) {
    if (Text(window).find(L"すべてのユーザー") == std::wstring::npos) return TRUE;
    reinterpret_cast<Choice*>(data)->found = window;
    return FALSE;
}

// Presses the default button and waits (up to ten seconds) for the next page: NSIS changes
// pages after the click has returned, each page a new dialog inside the wizard.
bool NextPage(const PROCESS_INFORMATION& started, HWND wizard) {
    HWND page = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
    SendMessageTimeoutW(GetDlgItem(wizard, 1), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, nullptr);
    const ULONGLONG end = GetTickCount64() + 10000;
    while (GetTickCount64() < end) {
        HWND now = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
        if (now && now != page && IsWindowVisible(now)) {
            WaitForInputIdle(started.hProcess, 1000);
            return true;
        }
        if (WaitForSingleObject(started.hProcess, 50) == WAIT_OBJECT_0) return false;
    }
    return false;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool pages = (argc == 4 || argc == 5) && std::wstring(argv[1]) == L"pages";
    const bool everyone = pages && argc == 5 && std::wstring(argv[3]) == L"everyone";
    if (!(pages && (argc == 4 || everyone)) &&
        !(argc == 3 && std::wstring(argv[1]) == L"message")) {
        Print(
            L"usage: zarvo_installer_probe pages N [everyone] \"COMMAND\" | message "
            L"\"COMMAND\"\n");
        return 1;
    }
    std::wstring command = argv[argc - 1];
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        Print(L"cannot start: " + command + L"\n");
        return 1;
    }
    CloseHandle(started.hThread);
    int status = 0;
    if (pages) {
        // NSIS's wizard: 1 the default button, 2 cancel, 3 back.
        const int steps = _wtoi(argv[2]);
        HWND wizard = AwaitDialog(started, 1);
        for (int page = 0; wizard && page <= steps; ++page) {
            for (int id : {3, 1, 2}) {
                HWND button = GetDlgItem(wizard, id);
                if (IsWindowVisible(button)) Print(ButtonLine(button));
            }
            // NSIS's folder box (IDC_DIR), on the page inside the wizard.
            HWND inner = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
            if (HWND folder = GetDlgItem(inner, 1019)) Print(L"folder: " + Text(folder) + L"\n");
            Print(L"--\n");
            if (page == 0 && everyone) {
                Choice choice{nullptr};
                EnumChildWindows(inner, ConsiderChoice, reinterpret_cast<LPARAM>(&choice));
                if (!choice.found) {
                    Print(L"no choice for everyone\n");
                    status = 1;
                    break;
                }
                SendMessageTimeoutW(choice.found, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, nullptr);
            }
            if (page < steps && !NextPage(started, wizard)) {
                Print(L"the next page did not come\n");
                status = 1;
                break;
            }
        }
        if (!wizard) status = 1;
        if (wizard) PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
    } else {
        // A message box: its text is the static control 0xFFFF.
        HWND box = AwaitDialog(started, 0xFFFF);
        if (box) {
            Print(Text(GetDlgItem(box, 0xFFFF)) + L"\n");
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        } else {
            status = 1;
        }
    }
    if (WaitForSingleObject(started.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
        status = 1;
    }
    CloseHandle(started.hProcess);
    return status;
}

// The whole road on a bare Windows (a fresh Wine prefix, no WinDiff): the program comes with its
// viewer beside it, takes two dropped files, and "実行" opens the viewer on them.
#include "behaviour/FormFixture.h"
// (after windows.h, which the fixture brings)
#include <tlhelp32.h>

namespace {

// The running process started from `exe`, opened to wait on it; null when there is none.
HANDLE ProcessOf(const std::wstring& exe) {
    HANDLE found = nullptr;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && found == nullptr;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"diff-zarvo-view.exe") != 0) continue;
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                     FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameW(process, 0, path, &size) &&
            lstrcmpiW(path, exe.c_str()) == 0) {
            found = process;
        } else {
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
    return found;
}

struct Found {
    DWORD pid;
    HWND window;
};

BOOL CALLBACK FindViewerWindow(HWND hwnd, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (pid != found->pid || lstrcmpW(name, L"DiffZarvoViewer") != 0) return TRUE;
    found->window = hwnd;
    return FALSE;
}

TEST_F(FormTest, GoOpensTheViewerBesideTheProgramOnTheTwoDroppedFiles) {
    const std::wstring viewer = (dir / "diff-zarvo-view.exe").wstring();
    // The viewer as built, beside this test program.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::filesystem::copy_file(std::filesystem::path(self).parent_path() / "diff-zarvo-view.exe",
                               viewer);
    testsupport::WriteBytes(dir / "old.txt", "same\nold\n");
    testsupport::WriteBytes(dir / "new.txt", "same\nnew\n");
    auto form = Start();
    ASSERT_EQ(form->ExePath.Text(), viewer);
    platform::testing::DropFiles(form->window, {(dir / "old.txt").wstring()});
    platform::testing::DropFiles(form->window, {(dir / "new.txt").wstring()});
    platform::testing::Click(form->btnGo);

    HANDLE process = ProcessOf(viewer);
    ASSERT_NE(process, nullptr);
    // Whatever fails below, the viewer does not outlive the test.
    const std::unique_ptr<void, void (*)(HANDLE)> closer(process, [](HANDLE p) {
        TerminateProcess(p, 99);
        CloseHandle(p);
    });
    // The viewer compares off its window's thread, so it is idle before its window exists:
    // look again each time the process has had a moment, until the title names the two files
    // or the viewer ends.
    Found found{GetProcessId(process), nullptr};
    wchar_t title[256] = {};
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (GetTickCount64() < deadline) {
        found.window = nullptr;
        EnumWindows(FindViewerWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr) GetWindowTextW(found.window, title, 256);
        if (wcsstr(title, L"⇔") != nullptr) break;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) break;
    }
    ASSERT_NE(found.window, nullptr);
    // The newest file first, as the front end hands them over.
    EXPECT_STREQ(title, L"new.txt ⇔ old.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    PostMessageW(found.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace

// diff-zarvo-view.exe FIRST SECOND: shows how two files differ. The front end starts it with
// exactly these two arguments, each in double quotes; it reads them and writes nothing. `-u`
// writes a unified diff instead (of two folders too), and `-L` names the files (Arguments.h).
// MINE BASE THEIRS opens the three-way merge, whose result is saved to `-o FILE` or MINE;
// `--merge` writes it without a window.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Arguments.h"
#include "CommandLine.h"
#include "FolderWindow.h"
#include "MergeWindow.h"
#include "Progress.h"
#include "RunningMerge.h"
#include "Settings.h"
#include "StartUp.h"
#include "Texts.h"
#include "Unified.h"
#include "ViewerWindow.h"
#include "platform/Process.h"

namespace {

// A program of the Windows subsystem has standard handles only when its caller gave it some (a
// pipe, a file); started from a console without them, it writes to that console.
HANDLE StandardHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return handle;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
    }
    return nullptr;
}

// Writes all of `bytes`; false when they could not all be written.
bool WriteAll(HANDLE handle, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (handle == nullptr ||
            !WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// Writes the session's text to standard error, where there is one.
void WriteError(const std::string& text) {
    if (!text.empty()) WriteAll(StandardHandle(STD_ERROR_HANDLE), text);
}

void ShowError(const std::u16string& message) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(message.c_str()),
                reinterpret_cast<const wchar_t*>(viewer::texts::kProgram.data()),
                MB_OK | MB_ICONERROR);
}

// Runs the window's messages until it ends, its keys first.
template <typename Window>
void RunMessages(Window& window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window.TranslateKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The benchmark's way to time the start-up (--exit-when-shown): what is waiting is handled, the
// window and all its children painted, and the program ends.
void PaintAll(HWND window) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The wide command line, so that any file name arrives whole, whatever the code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::filesystem::path> arguments;
    for (int i = 1; argv != nullptr && i < argc; ++i) arguments.emplace_back(argv[i]);
    if (argv != nullptr) LocalFree(argv);
    viewer::StartPlan plan = viewer::PlanStart(arguments);
    if (plan.window == viewer::StartWindow::Output) {
        // The standard handles are looked for only once something is written to them.
        HANDLE out = INVALID_HANDLE_VALUE, err = INVALID_HANDLE_VALUE;
        auto handle = [](HANDLE& handle, DWORD which) {
            if (handle == INVALID_HANDLE_VALUE) handle = StandardHandle(which);
            return handle;
        };
        bool written = true;
        const std::optional<int> code = viewer::RunWithoutWindow(
            plan.arguments,
            {[&](std::string_view text) {
                 written = WriteAll(handle(out, STD_OUTPUT_HANDLE), text) && written;
             },
             [&](std::string_view text) { WriteAll(handle(err, STD_ERROR_HANDLE), text); }});
        return code && written ? *code : 2;
    }
    if (plan.window == viewer::StartWindow::None) {
        WriteError(plan.errorOutput);
        ShowError(plan.message);
        return plan.exitCode;
    }
    // The choices of the last run (the ignore options, the view), in the front end's settings file.
    const std::filesystem::path settingsFile =
        viewer::SettingsFileFor(platform::ExecutableDirectory());
    // The file view's comparison runs on a thread of its own while the windows are made.
    std::unique_ptr<viewer::RunningComparison> running;
    if (plan.window == viewer::StartWindow::Files) {
        running = viewer::StartFilesComparison(plan.arguments, settingsFile);
    }
    if (plan.window == viewer::StartWindow::Merge) {
        // So does the merge window's merge, with the same progress window for a long one.
        viewer::RunningMerge merging(std::move(*plan.merge));
        if (!viewer::WaitForWork(nullptr, merging)) return viewer::kStoppedExitCode;
        std::unique_ptr<viewer::MergedFiles> merged = merging.Take();
        if (!merged) return viewer::kStoppedExitCode;
        viewer::MergeWindow merge(std::move(merged), settingsFile);
        if (plan.arguments.exitWhenShown) {
            PaintAll(merge.hwnd());
        } else {
            RunMessages(merge);
        }
        return merge.session().ExitCode();
    }
    if (plan.window == viewer::StartWindow::Folders) {
        viewer::FolderWindow folders(plan.first, plan.second, settingsFile);
        if (plan.arguments.exitWhenShown) {
            PaintAll(folders.hwnd());
        } else {
            RunMessages(folders);
        }
        return 0;
    }
    std::optional<viewer::Comparison> comparison = viewer::WaitWithProgress(nullptr, *running);
    if (!comparison) return viewer::kStoppedExitCode;
    const viewer::FilesStart start = viewer::FilesOpened(*comparison);
    WriteError(start.errorOutput);

    viewer::ViewerWindow window(std::move(*comparison), settingsFile);
    if (plan.arguments.exitWhenShown) {
        PaintAll(window.hwnd());
    } else {
        RunMessages(window);
    }
    return start.exitCode;
}

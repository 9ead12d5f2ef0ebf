// diff-zarvo-view.exe FIRST SECOND: shows how two files differ. The front end starts it with
// exactly these two arguments, each in double quotes; it reads them and writes nothing. `-u`
// writes a unified diff instead (of two folders too), and `-L` names the files (Arguments.h).
// MINE BASE THEIRS opens the three-way merge, whose result is saved to `-o FILE` or MINE;
// `--merge` writes it without a window.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "Arguments.h"
#include "FolderCompare.h"
#include "FolderWindow.h"
#include "MergeWindow.h"
#include "Progress.h"
#include "Settings.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The wide command line, so that any file name arrives whole, whatever the code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::filesystem::path> arguments;
    for (int i = 1; argv != nullptr && i < argc; ++i) arguments.emplace_back(argv[i]);
    if (argv != nullptr) LocalFree(argv);
    const std::optional<viewer::Arguments> parsed = viewer::ParseArguments(arguments);
    if (parsed) {
        // The standard handles are looked for only once something is written to them.
        HANDLE out = INVALID_HANDLE_VALUE, err = INVALID_HANDLE_VALUE;
        auto handle = [](HANDLE& handle, DWORD which) {
            if (handle == INVALID_HANDLE_VALUE) handle = StandardHandle(which);
            return handle;
        };
        bool written = true;
        const std::optional<int> code = viewer::RunWithoutWindow(
            *parsed,
            {[&](std::string_view text) {
                 written = WriteAll(handle(out, STD_OUTPUT_HANDLE), text) && written;
             },
             [&](std::string_view text) { WriteAll(handle(err, STD_ERROR_HANDLE), text); }});
        if (code) return written ? *code : 2;
    }
    if (!parsed) {
        const std::u16string usage = viewer::Usage();
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(usage.c_str()),
                    reinterpret_cast<const wchar_t*>(viewer::texts::kProgram.data()),
                    MB_OK | MB_ICONERROR);
        return 2;
    }
    // The choices of the last run (the ignore options, the view), in the front end's settings file.
    const std::filesystem::path settingsFile =
        viewer::SettingsFileFor(platform::ExecutableDirectory());
    if (parsed->threeWay()) {
        // The three-way merge: its exit code tells git whether the result was saved resolved.
        std::u16string why;
        std::optional<viewer::MergeSources> sources = viewer::ReadMergeSources(*parsed, why);
        if (!sources) {
            MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(why.c_str()),
                        reinterpret_cast<const wchar_t*>(viewer::texts::kProgram.data()),
                        MB_OK | MB_ICONERROR);
            return 2;
        }
        viewer::MergeWindow merge(std::move(*sources), settingsFile);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (merge.TranslateKeys(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return merge.session().ExitCode();
    }
    // Two folders, or a file and a folder (the file of the same name in it).
    const auto [first, second] = viewer::ResolveFileAndFolder(parsed->first, parsed->second);
    std::error_code error;
    if (std::filesystem::is_directory(first, error) &&
        std::filesystem::is_directory(second, error)) {
        viewer::FolderWindow folders(first, second, settingsFile);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (folders.TranslateKeys(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    }
    const viewer::ViewerChoices choices = viewer::LoadChoices(settingsFile);
    std::optional<viewer::Comparison> comparison =
        viewer::RunWithProgress(nullptr, [&](const viewer::CancelFlag* cancel) {
            return viewer::CompareFiles(*parsed, cancel, choices.options);
        });
    if (!comparison) return 2;  // the user stopped it before the window opened
    const bool unreadable = comparison->outcome() == viewer::Outcome::Unreadable;

    viewer::ViewerWindow window(std::move(*comparison), settingsFile);
    MSG msg;
    if (parsed->exitWhenShown) {
        // The benchmark's way to time the start-up: what is waiting is handled, the window and
        // all its children painted, and the program ends.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return unreadable ? 1 : 0;
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window.TranslateKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return unreadable ? 1 : 0;
}

// diff-zarvo-view.exe FIRST SECOND: shows how two files differ. The front end starts it with
// exactly these two arguments, each in double quotes; it reads them and writes nothing.
#include <windows.h>
#include <shellapi.h>

#include "ViewerWindow.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The wide command line, so that any file name arrives whole, whatever the code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) {
        MessageBoxW(nullptr,
                    L"使い方: diff-zarvo-view 第一のファイル 第二のファイル\n"
                    L"2つのファイルを比較し、相違を表示します。",
                    L"Diff-Zarvo ビューアー", MB_OK | MB_ICONERROR);
        return 2;
    }
    viewer::Comparison comparison =
        viewer::Compare(std::filesystem::path(argv[1]), std::filesystem::path(argv[2]));
    LocalFree(argv);
    const bool unreadable = comparison.outcome == viewer::Outcome::Unreadable;

    viewer::ViewerWindow window(std::move(comparison));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window.TranslateKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return unreadable ? 1 : 0;
}

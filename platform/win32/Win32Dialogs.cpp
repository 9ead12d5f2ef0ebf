// Win32 backend: the system's Open dialog (GetOpenFileNameW) and the warning boxes.
#include "Win32Internal.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "../Error.h"
#include "../MessageBox.h"
#include "../OpenFileDialog.h"

namespace platform {

namespace {

// Room for the longest path the system allows, however long the preset is.
constexpr size_t kMinimumNameBuffer = 32768;

// The preset's folder when it names one that exists, so the dialog opens there.
std::wstring ExistingFolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    std::wstring folder = path.substr(0, slash);
    if (folder.empty() || folder.back() == L':') folder += L'\\';
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return folder;
}

}  // namespace

void OpenFileDialog::ShowOpen() {
    std::wstring buffer(std::max(kMinimumNameBuffer, FileName.size() + 1), L'\0');
    FileName.copy(buffer.data(), FileName.size());
    const std::wstring folder = ExistingFolderOf(FileName);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_.impl().hwnd;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog)) {
        FileName = buffer.c_str();
        return;
    }
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
        wchar_t code[16];
        swprintf(code, 16, L"0x%04lX", static_cast<unsigned long>(error));
        throw Error(std::wstring(L"ファイルを開くダイアログを表示できません (エラー ") + code +
                    L")");
    }
    if (CancelError) throw platform::CancelError();
}

bool AskYesNo(Window& owner, const std::wstring& title, const std::wstring& text) {
    return MessageBoxW(owner.impl().hwnd, text.c_str(), title.c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void ShowWarning(Window& owner, const std::wstring& title, const std::wstring& text) {
    MessageBoxW(owner.impl().hwnd, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace platform

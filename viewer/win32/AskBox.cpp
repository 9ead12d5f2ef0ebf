#include "AskBox.h"

#include <commctrl.h>

#include <vector>

#include "WinText.h"

namespace viewer {

Answer AskBox(HWND owner, const std::u16string& question, Buttons buttons) {
    // Each button says what it does; Esc and the close box answer as キャンセル, and so does a
    // dialog that could not be shown. Of はい / いいえ, いいえ is the one that cancels (Wine's
    // task dialog cannot be closed without a button that does).
    std::vector<TASKDIALOG_BUTTON> choices;
    int preferred = IDCANCEL;
    switch (buttons) {
        case Buttons::YesNo:
            choices = {{IDYES, L"はい"}, {IDCANCEL, L"いいえ"}};
            break;
        case Buttons::SaveDontSaveCancel:
            choices = {{IDYES, L"保存"}, {IDNO, L"保存しない"}, {IDCANCEL, L"キャンセル"}};
            preferred = IDYES;
            break;
        case Buttons::OverwriteCompareAgainCancel:
            // Another program's work is at stake: nothing is lost by Enter alone.
            choices = {{IDYES, L"上書き保存"}, {IDNO, L"比較し直す"}, {IDCANCEL, L"キャンセル"}};
            preferred = IDCANCEL;
            break;
    }
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(owner)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(owner, title.data(), static_cast<int>(title.size()))));
    TASKDIALOGCONFIG dialog{};
    dialog.cbSize = sizeof dialog;
    dialog.hwndParent = owner;
    dialog.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    dialog.pszWindowTitle = title.c_str();
    if (buttons == Buttons::OverwriteCompareAgainCancel) dialog.pszMainIcon = TD_WARNING_ICON;
    dialog.pszContent = W(question);
    dialog.cButtons = static_cast<UINT>(choices.size());
    dialog.pButtons = choices.data();
    dialog.nDefaultButton = preferred;
    int pressed = IDCANCEL;
    if (FAILED(TaskDialogIndirect(&dialog, &pressed, nullptr, nullptr))) pressed = IDCANCEL;
    if (pressed == IDYES) return Answer::Yes;
    if (pressed == IDNO || buttons == Buttons::YesNo) return Answer::No;
    return Answer::Cancel;
}

}  // namespace viewer

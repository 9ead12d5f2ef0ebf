// The "参照" button: choose the comparison tool in the Open dialog and remember it.
#include "../platform/Error.h"
#include "../platform/MessageBox.h"
#include "../platform/Profile.h"
#include "Form1.h"
#include "texts.h"

void Form1::btnReffer_Click() {
    try {
        dlgOpen.CancelError = true;
        dlgOpen.FileName = ExePath.Text();
        dlgOpen.ShowOpen();
        ExePath.SetText(dlgOpen.FileName);
        ChosenExePath = ExePath.Text();
        // Never a name that reads back as another file: what cannot be kept is not written.
        const std::wstring stored =
            platform::PathToStore(ChosenExePath, platform::StoredPath::Tool);
        if (stored.empty()) {
            platform::ShowWarning(
                window, texts::kUnstorableTitle,
                texts::kUnstorableToolLead + ChosenExePath + texts::kUnstorableToolEnd);
            return;
        }
        WriteIni(texts::kToolSection, texts::kToolKey, &stored);
    } catch (const platform::Error&) {
        // Cancel, or any failure of the dialog: leave everything as it was.
    }
}

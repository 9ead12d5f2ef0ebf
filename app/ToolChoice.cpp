// The "参照" button: choose the comparison tool in the Open dialog and remember it.
#include "../platform/Error.h"
#include "../platform/Profile.h"
#include "../platform/Text.h"
#include "Form1.h"
#include "texts.h"

void Form1::btnReffer_Click() {
    try {
        dlgOpen.CancelError = true;
        dlgOpen.FileName = ExePath.Text();
        dlgOpen.ShowOpen();
        ExePath.SetText(dlgOpen.FileName);
        ChosenExePath = ExePath.Text();
        WritePrivateProfileStringA(platform::ToAnsi(texts::kToolSection).c_str(),
                                   platform::ToAnsi(texts::kToolKey).c_str(),
                                   platform::ToAnsi(ChosenExePath).c_str(),
                                   platform::ToAnsi(IniPath).c_str());
    } catch (const platform::Error&) {
        // Cancel, or any failure of the dialog: leave everything as it was.
    }
}

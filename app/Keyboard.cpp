// The window's keys: Ctrl+O takes a file from the Open dialog, Ctrl+V the files on the
// clipboard, each exactly as a dropped file is taken.
#include "../platform/Error.h"
#include "Form1.h"

void Form1::Form_KeyOpen() {
    try {
        dlgOpen.CancelError = true;
        dlgOpen.FileName = L"";
        dlgOpen.ShowOpen();
    } catch (const platform::Error&) {
        return;  // Cancel, or any failure of the dialog: leave everything as it was.
    }
    HandleDrop(platform::DropData({dlgOpen.FileName}));  // as if the file had been dropped
}

void Form1::Form_KeyPaste(const platform::DropData& Data) { HandleDrop(Data); }

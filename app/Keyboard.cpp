// The window's keys: Ctrl+O takes a file from the Open dialog, Ctrl+V the files on the
// clipboard, each exactly as a dropped file is taken.
#include "../platform/Error.h"
#include "Form1.h"

void Form1::Form_KeyOpen() {
    try {
        dlgOpen.CancelError = true;
        dlgOpen.FileName = L"";
        dlgOpen.ShowOpen();
        AcceptFile(dlgOpen.FileName);
    } catch (const platform::Error&) {
        // Cancel, or any failure of the dialog: leave everything as it was.
    }
}

void Form1::Form_KeyPaste(const platform::DropData& Data) { HandleDrop(Data); }

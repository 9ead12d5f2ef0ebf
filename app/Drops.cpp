// Files dropped on the window, the guide text or the first-path box.
#include "Form1.h"

void Form1::HandleDrop(const platform::DropData& Data) {
    if (!Data.GetFormat(platform::kFileListFormat)) return;
    AcceptFile(Data.Files(1));
}

void Form1::Form_OLEDragDrop(const platform::DropData& Data) { HandleDrop(Data); }
void Form1::Guide_OLEDragDrop(const platform::DropData& Data) { HandleDrop(Data); }
void Form1::path1_OLEDragDrop(const platform::DropData& Data) { HandleDrop(Data); }

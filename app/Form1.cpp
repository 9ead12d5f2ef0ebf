// Builds the window from its layout and connects each event to its procedure.
#include "Form1.h"

#include "Layout.h"

Form1::Form1()
    : window(layout::kForm1),
      Guide(window, layout::kGuide),
      path1(window, layout::kPath1),
      path2(window, layout::kPath2),
      ExePath(window, layout::kExePath),
      btnGo(window, layout::kBtnGo),
      btnReffer(window, layout::kBtnReffer),
      dlgOpen(window) {
    window.onLoad = [this] { Form_Load(); };
    window.onDrop = [this](const platform::DropData& data) { Form_OLEDragDrop(data); };
    Guide.onDrop = [this](const platform::DropData& data) { Guide_OLEDragDrop(data); };
    path1.onDrop = [this](const platform::DropData& data) { path1_OLEDragDrop(data); };
    window.onOpenKey = [this] { Form_KeyOpen(); };
    window.onPasteFiles = [this](const platform::DropData& data) { Form_KeyPaste(data); };
    btnGo.onClick = [this] { btnGo_Click(); };
    btnReffer.onClick = [this] { btnReffer_Click(); };
}

// Text onto the system's clipboard, for every window of the viewer.
#pragma once

#include <windows.h>

#include <string>

namespace viewer {

// `text` as CF_UNICODETEXT, its LF line ends as Windows' CR LF; nothing when the clipboard is
// held by another program.
void CopyText(HWND owner, const std::u16string& text);

}  // namespace viewer

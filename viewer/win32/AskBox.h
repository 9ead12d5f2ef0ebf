// The session's question as Win32 asks it, for every window of the viewer: a task dialog whose
// buttons say what they do.
#pragma once

#include <windows.h>

#include <string>

#include "SessionView.h"

namespace viewer {

// Asks over `owner`, titled as it is. Esc and the close box answer as キャンセル (いいえ for
// はい / いいえ), and so does a dialog that could not be shown.
Answer AskBox(HWND owner, const std::u16string& question, Buttons buttons);

}  // namespace viewer

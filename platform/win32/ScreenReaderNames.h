// Names a screen reader gives to windows that show no text of their own (a list, a field beside
// its label): the window's accessible object answers them in the system's stead.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace platform::win32 {

// A text of a window's accessible object, by child: CHILDID_SELF for the window itself, else a
// child (a list view's item, counted from 1). Empty: the system's own answer.
using AccessibleText = std::function<std::wstring(LONG child)>;
// Gives any window the names `name` answers, on the system's accessible object. A screen reader
// may ask after the window is gone: `name` must not rely on more than the window's handle.
void NameForScreenReaders(HWND window, AccessibleText name);

}  // namespace platform::win32

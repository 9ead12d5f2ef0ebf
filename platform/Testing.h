// The test driver: acts on the window as a user would, through the backend's real widgets.
// Linked only into tests.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"

namespace platform::testing {

// Makes ExecutableDirectory() answer dir, so each test can keep its settings file in its own
// folder.
void OverrideExecutableDirectory(const std::wstring& dir);
// Makes ArgumentText() answer text, as if the program had been started with it.
void OverrideArgumentText(const std::wstring& text);
// Makes the program take text as a real start takes its arguments: the command line after the
// program's name on Windows, the arguments joined by blanks elsewhere.
void OverrideCommandLine(const std::wstring& text);

void Click(Button& button);
void Type(TextBox& box, const std::wstring& text);  // replaces the text as typing would
void Type(ComboBox& box, const std::wstring& text);
void PickItem(ComboBox& box, int index);  // chooses an item from the drop-down list
// Opens the drop-down list from the keyboard and closes it again without choosing.
void OpenAndCloseList(ComboBox& box);

// Drops on a control, or on the window itself, as a file manager would.
void DropFiles(Control& target, const std::vector<std::wstring>& files);
void DropFiles(Window& target, const std::vector<std::wstring>& files);
#ifndef _WIN32
// Drops file:// URIs given as their bytes (percent-encoded as a file manager writes them).
void DropUris(Window& target, const std::vector<std::string>& uris);
#endif
void DropText(Control& target, const std::wstring& text);
void DropText(Window& target, const std::wstring& text);
// Drags files, or text, over a target and away again without dropping: whether the target showed
// that it would take them (the drop cursor) rather than the no-drop cursor.
bool FileDragAccepted(Control& target);
bool FileDragAccepted(Window& target);
bool TextDragAccepted(Control& target);
bool TextDragAccepted(Window& target);

// Keys pressed with the focus in a control, through the toolkit's own key handling and the
// window's: Enter, F4 (the drop-down list), Ctrl+O and Ctrl+V.
enum class Key { Enter, F4, CtrlO, CtrlV };
void PressKey(Control& focus, Key key);
bool IsListDropped(ComboBox& box);

// The clipboard as other programs leave it: a file manager's copied files, or plain text.
void CopyFilesToClipboard(const std::vector<std::wstring>& files);
void CopyTextToClipboard(const std::wstring& text);

// What the toolkit's accessibility interface tells a screen reader about a control.
std::wstring AccessibleName(Control& control);
std::wstring AccessibleDescription(Control& control);

// Answers the next Open dialog with a file name (OK) or with Cancel. The dialog really opens.
void AnswerNextOpenDialog(const std::wstring& fileName);
void CancelNextOpenDialog();
// The file name the last Open dialog showed when it opened.
std::wstring LastOpenDialogPreset();

// Answers the next message box; LastMessage() returns its text.
void AnswerNextMessageBox(bool yes);
std::wstring LastMessage();

// Geometry and font of a control as the backend built it, in pixels.
struct Geometry {
    int left, top, width, height;
};
Geometry ControlGeometry(Control& control);
Geometry ClientGeometry(Window& window);
int LogicalDpi(Window& window);
std::wstring FontFamily(Control& control);
double FontPoints(Control& control);
std::wstring WindowCaption(Window& window);
bool HasIcon(Window& window);
// Controls in the order the Tab key visits them, by name.
std::vector<std::wstring> TabOrder(Window& window);

}  // namespace platform::testing

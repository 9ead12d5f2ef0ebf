// What a screen reader says of the windows' parts that show no text of their own. Asked through
// the handles only: a screen reader may ask after the window is gone.
#pragma once

#include <windows.h>

#include <string_view>

namespace viewer {

// A list named by its window's title, each row by its cells that are not blank.
void NameListForScreenReaders(HWND list);
// A field named by its label, without the colon: "検索:" names it "検索".
void NameFieldForScreenReaders(HWND field, std::u16string_view label);

}  // namespace viewer

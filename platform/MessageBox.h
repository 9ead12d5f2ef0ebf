// Modal questions to the user.
#pragma once

#include <string>

namespace platform {

class Window;

// A warning with Yes and No buttons; true when the user answers Yes.
bool AskYesNo(Window& owner, const std::wstring& title, const std::wstring& text);

// A warning with one OK button.
void ShowWarning(Window& owner, const std::wstring& title, const std::wstring& text);

}  // namespace platform

#pragma once

#include <string>

namespace platform::posix {

// The reason behind an errno value, in Japanese for the errors a user can act on.
std::wstring SystemMessage(int error);

}  // namespace platform::posix

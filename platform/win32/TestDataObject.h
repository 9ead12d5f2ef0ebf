// Data objects as other programs offer them in a drag: a file manager's CF_HDROP file list, or
// an editor's Unicode text. For the test driver.
#pragma once

#include <string>
#include <vector>

#include "Win32Internal.h"

namespace platform::win32 {

// Each returns an object with one reference, which the caller releases.
IDataObject* MakeFileListData(const std::vector<std::wstring>& files);
IDataObject* MakeTextData(const std::wstring& text);

}  // namespace platform::win32

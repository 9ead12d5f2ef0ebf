// Off Windows the settings file's code page is UTF-8 with every byte kept: any path is stored as
// it is.
#include "../Profile.h"

namespace platform {

std::wstring PathToStore(const std::wstring& path, StoredPath) { return path; }
std::wstring PathFromStore(const std::wstring& value, StoredPath) { return value; }

}  // namespace platform

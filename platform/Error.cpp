#include "Error.h"

#include "Text.h"

namespace platform {

Error::Error(std::wstring message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

CancelError::CancelError() : Error(L"キャンセルされました") {}

}  // namespace platform

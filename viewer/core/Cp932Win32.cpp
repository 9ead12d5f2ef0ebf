// CP932 decoding and encoding on Windows, through the system's own code page 932 table, which
// rejects every sequence that is not CP932 when asked to.
#include <windows.h>

#include <climits>

#include "Cp932.h"

namespace viewer {

bool DecodeCp932(std::string_view bytes, std::u16string* out) {
    if (out != nullptr) out->clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    if (out == nullptr) return true;
    out->resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(out->data()), length);
    return true;
}

bool EncodeCp932(std::u16string_view text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 2) return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL replaced = FALSE;
    const int length =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &replaced);
    if (length <= 0 || replaced) return false;
    out->resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, size, out->data(), length, nullptr,
                        nullptr);
    return true;
}

}  // namespace viewer

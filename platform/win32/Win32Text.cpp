// Win32 backend: the ANSI side of the profile file is the system's ANSI code page (CP_ACP), so
// a Japanese system writes Shift-JIS. A character it lacks becomes '?', never a best-fit look-alike
// ("café" must not turn into "cafe", the name of another file).
#include "../Text.h"
#include "Win32Internal.h"

namespace platform {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    const int wideLength = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wideLength,
                                           nullptr, 0, "?", nullptr);
    if (length <= 0) return {};
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wideLength, out.data(), length,
                        "?", nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int ansiLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, nullptr, 0);
    if (length <= 0) return {};
    std::wstring out(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, out.data(), length);
    return out;
}

}  // namespace platform

#include "LineNumber.h"

#include <algorithm>
#include <limits>

#include "Ignore.h"

namespace viewer {

std::optional<std::int64_t> ParseLineNumber(std::u16string_view typed) {
    while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
    if (typed.empty()) return std::nullopt;
    std::int64_t number = 0;
    for (const char16_t c : typed) {
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        if (c >= u'０' && c <= u'９') digit = c - u'０';
        if (digit < 0) return std::nullopt;
        number =
            std::min<std::int64_t>(number * 10 + digit, std::numeric_limits<std::int32_t>::max());
    }
    if (number < 1) return std::nullopt;
    return number;
}

}  // namespace viewer

#include "Ignore.h"

namespace viewer {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\r' || c == 0x3000;
}

char16_t FoldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);    // Ѐ..Џ
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);  // Ａ..Ｚ
    return c;
}

std::u16string Reduce(std::u16string_view line, const IgnoreOptions& options) {
    std::u16string out;
    out.reserve(line.size());
    std::size_t end = line.size();
    if (options.trailingBlanks) {
        while (end > 0 && IsBlank(line[end - 1])) --end;
    }
    for (std::size_t i = 0; i < end; ++i) {
        const char16_t c = line[i];
        if (options.allBlanks && IsBlank(c)) continue;
        out.push_back(options.letterCase ? FoldCase(c) : c);
    }
    return out;
}

}  // namespace viewer

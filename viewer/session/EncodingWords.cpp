#include "EncodingWords.h"

namespace viewer {

std::u16string EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return u"UTF-8";
        case Encoding::Utf8Bom:
            return u"UTF-8 (BOM付き)";
        case Encoding::Utf16Le:
            return u"UTF-16 LE";
        case Encoding::Utf16Be:
            return u"UTF-16 BE";
        case Encoding::Cp932:
            return u"Shift_JIS (CP932)";
        case Encoding::EucJp:
            return u"EUC-JP";
        case Encoding::Iso2022Jp:
            return u"ISO-2022-JP (JIS)";
        case Encoding::Windows1252:
            return u"Latin-1 (Windows-1252)";
    }
    return {};
}

std::vector<EncodingChoice> EncodingChoices() {
    return {
        {std::nullopt, u"自動判別"},
        {Encoding::Utf8, u"Unicode (UTF-8)"},
        {Encoding::Utf16Le, u"Unicode (UTF-16 LE)"},
        {Encoding::Utf16Be, u"Unicode (UTF-16 BE)"},
        {Encoding::Cp932, u"日本語 (シフト JIS / CP932)"},
        {Encoding::EucJp, u"日本語 (EUC-JP)"},
        {Encoding::Iso2022Jp, u"日本語 (JIS / ISO-2022-JP)"},
        {Encoding::Windows1252, u"西ヨーロッパ言語 (Windows-1252)"},
    };
}

std::u16string BadBytesNote(std::size_t badBytes) {
    if (badBytes == 0) return {};
    const std::string digits = std::to_string(badBytes);
    return u"不正なバイト " + std::u16string(digits.begin(), digits.end()) + u" 個を含みます";
}

}  // namespace viewer

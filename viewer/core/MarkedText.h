// What the decoders share: text with its stray bytes shown as their values ("<E9>") and where
// those are, and how well bytes fit an encoding.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "MarkSpan.h"

namespace viewer {

struct MarkedText {
    std::u16string text;
    std::vector<MarkSpan> byteMarks;  // the "<E9>" runs in `text`; adjacent bytes make one run

    void AddByte(unsigned char byte) {
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        const auto at = static_cast<std::uint32_t>(text.size());
        text += {u'<', kHex[byte >> 4], kHex[byte & 0xF], u'>'};
        if (!byteMarks.empty() && byteMarks.back().start + byteMarks.back().length == at) {
            byteMarks.back().length += 4;
        } else {
            byteMarks.push_back({at, 4});
        }
    }
};

// How well bytes fit an encoding: the bytes outside ASCII that decode, and those that do not.
struct Fit {
    std::size_t good = 0;
    std::size_t bad = 0;
};

// Multi-byte encodings pair up almost any bytes, so Latin-1 text must not pass for one with a
// stray byte or two: nearly all of a file's bytes outside ASCII decode.
inline bool MultiByteFits(const Fit& fit) { return fit.bad * 32 <= fit.good; }

}  // namespace viewer

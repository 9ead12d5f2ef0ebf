// Numbers and paths as the window's texts write them.
#include "Wording.h"

#include "Cells.h"
#include "TextDecode.h"

namespace viewer {

std::u16string Number(std::uint64_t n) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    return text;
}

std::u16string ShownPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return ShownName(path.u16string());
#else
    return ShownName(Decode(path.native(), Encoding::Utf8));
#endif
}

}  // namespace viewer

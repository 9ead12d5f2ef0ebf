// The encodings as the window names them: in a file's header, in the menu that picks one, and
// the count of bytes no character was read from.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "TextDecode.h"

namespace viewer {

// For the header: "UTF-8", "UTF-8 (BOM付き)", "Shift_JIS (CP932)", "EUC-JP", ...
std::u16string EncodingName(Encoding encoding);

// An entry of the menu that picks a file's encoding by hand; no encoding means "found from the
// file's bytes".
struct EncodingChoice {
    std::optional<Encoding> encoding;
    std::u16string label;  // "自動判別", "日本語 (シフト JIS)", ...
};

// The menu's entries, in its order: finding it from the bytes first, then every encoding the
// viewer reads (UTF-8 with its byte order mark is UTF-8 for the user: the mark is found anyway).
std::vector<EncodingChoice> EncodingChoices();

// "不正なバイト 3 個を含みます"; empty when there is none.
std::u16string BadBytesNote(std::size_t badBytes);

}  // namespace viewer

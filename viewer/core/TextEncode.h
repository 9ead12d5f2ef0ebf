// Text back into a file's bytes, the other way of TextDecode.h: what an edited line is written
// as. Only exact forms: a character the encoding cannot hold is never replaced by another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "TextDecode.h"
#include "TextFile.h"

namespace viewer {

// Whether the two encodings write the same text in the same bytes (UTF-8 with or without its
// byte order mark).
bool SameByteForm(Encoding a, Encoding b);

// `text` in `encoding` (without the byte order mark), or nothing when a character of it has no
// form there that reads back as the same character; `unwritable` then gets the first such
// character (a surrogate pair whole).
std::optional<std::string> Encode(std::u16string_view text, Encoding encoding,
                                  std::u16string* unwritable = nullptr);

// The same, for a line that was `before` (bytes in `encoding`): the characters the two share at
// their start and at their end keep their bytes from `before`, where the encoding has more than
// one code for a character (CP932's NEC and IBM rows). A line with bytes not valid in the
// encoding keeps nothing.
std::optional<std::string> EncodeKeeping(std::u16string_view text, Encoding encoding,
                                         std::string_view before,
                                         std::u16string* unwritable = nullptr);

// The text of `bytes` when every byte is valid in `encoding`; nothing when one is not.
std::optional<std::u16string> DecodeExactly(std::string_view bytes, Encoding encoding);

// A line ending (LF or CR LF; nothing for None) in the encoding's bytes.
std::string EndingBytes(LineEnding ending, Encoding encoding);

}  // namespace viewer

// What the two-file window says about a comparison, in words: the core gives the facts (the
// outcome, counts, offsets, encodings), and these put them into the window's sentences.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "Comparison.h"

namespace viewer {

// The file's encoding as the header names it, with its stray bytes when it has any:
// "UTF-8、不正なバイト 1 個を含みます".
std::u16string EncodingText(const FileSide& side);

// What the window says instead of rows: identical, the same lines in other bytes, or the byte
// comparison of binary and large files. Empty for text with differences, and for unreadable
// files (whose errors each side holds).
std::u16string ComparisonMessage(const Comparison& comparison);
// Text whose lines all match although the bytes differ: why, in a sentence; empty otherwise.
std::u16string SameLinesNote(const Comparison& comparison);
// The status bar's count: "相違 3 箇所 (2 番目)" on a difference, a hint on a common row.
std::u16string CountText(const Comparison& comparison, std::optional<std::size_t> current);
// What the options hide, and lines that differ only in how they end, for the status bar; empty
// when nothing is hidden.
std::u16string HiddenNote(const Comparison& comparison);
// The window's title: both names, the number of differences and the program, such as
// "旧.txt ⇔ 新.txt — 相違 2 箇所 — Diff-Zarvo ビューアー".
std::u16string ComparisonTitle(const Comparison& comparison, const std::u16string& firstName,
                               const std::u16string& secondName);
// A long line shown in part, with what was left out said on each side: "（先頭 120 文字は省略）… "
// before, " …（残り 80 文字は省略）" after; the marks moved along with the text.
ShownLine WithOmissions(ShownLine shown);

}  // namespace viewer

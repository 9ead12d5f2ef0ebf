// The text of a profile file ("[section]" lines followed by "key=value" lines), read and edited
// as the Windows profile functions do. Pure functions over the file's bytes; ProfileFile.cpp does
// the file handling around them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

// The value of key in the first section named section, blanks and one pair of outer quotes
// removed; nullopt when the section or key is missing. Names match without regard to ASCII case.
std::optional<std::string_view> FindValue(std::string_view content, std::string_view section,
                                          std::string_view key);

// Every section name (key empty: every key name of section) in file order, each followed by a NUL.
std::string ListNames(std::string_view content, std::optional<std::string_view> section);

// The content after setting key to value in section. A missing key goes after the last entry of
// its section, a missing section at the end. Every other byte stays as it was.
// With no key the whole section goes; with no value the key's line goes.
std::string ApplyWrite(std::string_view content, std::string_view section,
                       std::optional<std::string_view> key, std::optional<std::string_view> value);

// Space-trimmed names, as the functions take them from their callers.
std::string_view TrimSpaces(std::string_view text);

}  // namespace platform::posix

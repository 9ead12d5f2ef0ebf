// What the folder list hides: the entries that are the same (on by default), and names by
// pattern ("*.o;.git"), kept between runs beside the file view's choices.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace viewer {

struct FolderFilters {
    bool hideSame = true;
    // Patterns split by ";", blanks around each ignored; "*" any run of characters, "?" one.
    std::u16string namePattern;
    bool operator==(const FolderFilters&) const = default;
};

// Whether a name (the last part of a path) matches one of the patterns: by its characters off
// Windows, with letters' case aside on Windows, as names are matched there.
bool NameHidden(std::u16string_view patterns, std::u16string_view name);

// The defaults where the file or a value is missing; empty `settingsFile`: the defaults.
FolderFilters LoadFolderFilters(const std::filesystem::path& settingsFile);
// False when the file could not be written.
bool SaveFolderFilters(const std::filesystem::path& settingsFile, const FolderFilters& filters);

}  // namespace viewer

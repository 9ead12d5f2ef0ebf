// The choices the viewer keeps between runs: the ignore options and the view. They live in a
// section of their own of the front end's settings file (platform/SettingsFile.h decides where it
// lies), written through the same functions; a damaged value reads as its default.
#pragma once

#include <filesystem>
#include <string>

#include "Ignore.h"

namespace viewer {

enum class View : std::uint8_t { List, SideBySide };

struct ViewerChoices {
    IgnoreOptions options;
    View view = View::List;
    bool operator==(const ViewerChoices&) const = default;
};

// The settings file of a viewer lying in programFolder: the front end's
// (platform::SettingsFileFor).
std::filesystem::path SettingsFileFor(const std::filesystem::path& programFolder);
// The file's name as the settings functions take it: off Windows its bytes, each kept.
std::wstring SettingsFileText(const std::filesystem::path& settingsFile);

// The defaults when the file or a value is missing or damaged.
ViewerChoices LoadChoices(const std::filesystem::path& settingsFile);
// False when the file could not be written.
bool SaveChoices(const std::filesystem::path& settingsFile, const ViewerChoices& choices);

}  // namespace viewer

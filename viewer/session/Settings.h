// The choices the viewer keeps between runs: the ignore options and the view. They live in a
// section of their own of the settings file beside the program, written with the same profile
// functions as the front end's settings; a damaged value reads as its default.
#pragma once

#include <filesystem>

#include "Ignore.h"

namespace viewer {

enum class View : std::uint8_t { List, SideBySide };

struct ViewerChoices {
    IgnoreOptions options;
    View view = View::List;
    bool operator==(const ViewerChoices&) const = default;
};

// The settings file's name, beside the program.
inline constexpr const char* kSettingsFileName = "Zarvo.ini";

// The defaults when the file or a value is missing or damaged.
ViewerChoices LoadChoices(const std::filesystem::path& settingsFile);
// False when the file could not be written.
bool SaveChoices(const std::filesystem::path& settingsFile, const ViewerChoices& choices);

}  // namespace viewer

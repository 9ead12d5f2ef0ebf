// The settings file Zarvo.ini: where it lies, and its values one at a time. The front end and the
// viewer both keep their settings through these functions, in the same file.
#pragma once

#include <string>

namespace platform {

inline constexpr wchar_t kSettingsFileName[] = L"Zarvo.ini";

// The settings file of a program lying in programFolder. Zarvo.ini beside the program when that
// file exists or when the user may write that folder (a copy unpacked where its user can write
// keeps its settings with it); otherwise the user's own folder:
// $XDG_CONFIG_HOME/diff-zarvo/Zarvo.ini (~/.config/diff-zarvo/ when that is not set) off Windows,
// %APPDATA%\Diff-Zarvo\Zarvo.ini on Windows. The folder and the name are always joined by one
// more separator, even after a drive's root. Empty when programFolder is.
std::wstring SettingsFileFor(const std::wstring& programFolder);

// The value stored under section and key, whole (up to 32,767 characters), or fallback where the
// file, the section or the key is missing. Empty file: fallback.
std::wstring ReadSetting(const std::wstring& file, const std::wstring& section,
                         const std::wstring& key, const std::wstring& fallback);

// Writes the value so that it reads back as it is (ProfileValueToWrite), making the file's folder
// first where it is missing (with the user's permissions only). False when it was not written.
bool WriteSetting(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                  const std::wstring& value);

// Removes the key. False when the file could not be written.
bool RemoveSetting(const std::wstring& file, const std::wstring& section, const std::wstring& key);

// Makes the folder that will hold file, and any folder above it that is missing: readable and
// writable by the user alone off Windows (0700). True when the folder is there.
bool MakeSettingsFolder(const std::wstring& file);

}  // namespace platform

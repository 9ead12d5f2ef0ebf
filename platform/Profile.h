// The profile-file functions, with their Windows names and signatures. On Windows they are
// kernel32's own; elsewhere platform/posix implements the same behaviour.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cstdint>

using DWORD = std::uint32_t;
using BOOL = int;

DWORD GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultValue,
                               char* returnedString, DWORD size, const char* fileName);
BOOL WritePrivateProfileStringA(const char* appName, const char* keyName, const char* value,
                                const char* fileName);
// The wide forms: the A functions with every text through the one lossless conversion.
DWORD GetPrivateProfileStringW(const wchar_t* appName, const wchar_t* keyName,
                               const wchar_t* defaultValue, wchar_t* returnedString, DWORD size,
                               const wchar_t* fileName);
BOOL WritePrivateProfileStringW(const wchar_t* appName, const wchar_t* keyName,
                                const wchar_t* value, const wchar_t* fileName);
#endif

namespace platform {

// Whether the file can hold the value at all: a line break would end it early.
bool CanStoreProfileValue(std::wstring_view value);

// The value as it must be written to read back exactly: through the ANSI code page ('?' for what
// it lacks), and in one pair of double quotes when it begins or ends with a blank or is itself in
// a pair of matching quotes, since reading trims blanks and removes one such pair.
std::wstring ProfileValueToWrite(std::wstring_view value);

// Paths in the settings file. The ANSI code page may lack characters of a path (a user folder
// named José on a Japanese system); such a path is kept under another name of the same file that
// the code page spells. Off Windows every path can be spelled, and both give paths unchanged.
enum class StoredPath { File, Tool };

// The name to write for path: the path itself where the code page holds it; otherwise, for the
// tool, the bare name of the viewer when it is the one beside the program, and for an existing
// file its short (8.3) name where the volume keeps one. Empty when there is no such name.
std::wstring PathToStore(const std::wstring& path, StoredPath kind);

// The path a stored value names: a short name in its long form again where only that long form
// needed it, and, for the tool, the viewer's bare name as the viewer beside the program. Any other
// value as it was read.
std::wstring PathFromStore(const std::wstring& value, StoredPath kind);

}  // namespace platform

// The two profile-file functions, with their Windows names and signatures. On Windows they are
// kernel32's own; elsewhere platform/posix implements the same behaviour.
#pragma once

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
#endif

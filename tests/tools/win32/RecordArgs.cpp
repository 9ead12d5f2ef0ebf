// A stand-in comparison tool for tests on Windows: records the arguments it was started with, as
// the C runtime splits its command line, each in UTF-8 followed by a NUL, in
// "<its own path>.<pid>.args" (written under a temporary name, then renamed, so a reader never
// sees half a record).
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/Text.h"

namespace {

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

int main() {
    wchar_t self[32768];
    const DWORD length = GetModuleFileNameW(nullptr, self, 32768);
    if (length == 0 || length >= 32768) return 2;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return 3;
    std::string record;
    for (int i = 1; i < count; ++i) {
        record += platform::ToUtf8(arguments[i]);
        record += '\0';
    }
    LocalFree(arguments);
    const std::wstring base =
        std::wstring(self, length) + L"." + std::to_wstring(GetCurrentProcessId());
    const std::wstring temp = base + L".tmp";
    if (!WriteAll(temp, record)) return 4;
    if (!MoveFileExW(temp.c_str(), (base + L".args").c_str(), MOVEFILE_REPLACE_EXISTING)) return 5;
    return 0;
}

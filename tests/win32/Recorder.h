// Runs the recorder tool as the comparison tool and reads what it recorded.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Text.h"

namespace testsupport {

struct Recorded {
    std::wstring commandLine;
    std::wstring argumentText;
    std::wstring directory;
};

// A copy of the recorder under a name of its own, and the event it signals when it has written.
class RecorderCopy {
public:
    RecorderCopy(const std::filesystem::path& folder, const std::wstring& name)
        : exe_(folder / (name + L".exe")), record_(folder / (name + L".txt")) {
        std::filesystem::copy_file(Built(), exe_,
                                   std::filesystem::copy_options::overwrite_existing);
        done_ = CreateEventW(nullptr, TRUE, FALSE, (L"Local\\" + name).c_str());
    }
    ~RecorderCopy() {
        CloseHandle(done_);
        std::error_code ignored;
        std::filesystem::remove(exe_, ignored);
        std::filesystem::remove(record_, ignored);
    }
    RecorderCopy(const RecorderCopy&) = delete;
    RecorderCopy& operator=(const RecorderCopy&) = delete;

    std::wstring Path() const { return exe_.wstring(); }

    // Waits until the recorder has written its record (at most a minute: Wine may be slow to
    // start a process), then reads it.
    bool Wait(Recorded& recorded) const {
        if (WaitForSingleObject(done_, 60000) != WAIT_OBJECT_0) return false;
        std::ifstream in(record_, std::ios::binary);
        std::string lines[3];
        for (std::string& line : lines) std::getline(in, line);
        recorded = {platform::FromUtf8(lines[0]), platform::FromUtf8(lines[1]),
                    platform::FromUtf8(lines[2])};
        return true;
    }

    bool Signalled() const { return WaitForSingleObject(done_, 0) == WAIT_OBJECT_0; }

private:
    // The recorder is built beside the test program.
    static std::filesystem::path Built() {
        wchar_t path[4096] = {};
        GetModuleFileNameW(nullptr, path, 4096);
        return std::filesystem::path(path).parent_path() / L"zarvo_recorder.exe";
    }

    std::filesystem::path exe_;
    std::filesystem::path record_;
    HANDLE done_ = nullptr;
};

}  // namespace testsupport

// The recording stand-in tool, as tests use it: copied into a test's folder, started by the
// program, and its records read back once they appear.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Copies the recording tool into dir under name; returns its path.
std::filesystem::path InstallRecordTool(const std::filesystem::path& dir,
                                        const std::string& name = "record-args");

// Waits (on file-system events, not by sleeping) until count launches of the tool in dir have
// been recorded, or the timeout passes; returns the argument lists found, oldest first.
std::vector<std::vector<std::string>> WaitForLaunches(
    const std::filesystem::path& dir, size_t count,
    std::chrono::milliseconds timeout = std::chrono::seconds(10));

// One record's bytes, read the way the platform lets a file still being renamed be read.
std::string ReadRecord(const std::filesystem::path& path);

// The launches recorded so far, without waiting.
std::vector<std::vector<std::string>> RecordedLaunches(const std::filesystem::path& dir);

}  // namespace testsupport

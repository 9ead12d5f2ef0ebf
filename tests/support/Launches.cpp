#include "Launches.h"

#include <sys/inotify.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "TempDir.h"

namespace testsupport {

std::filesystem::path InstallRecordTool(const std::filesystem::path& dir, const std::string& name) {
    const std::filesystem::path tool = dir / name;
    std::filesystem::copy_file(ZARVO_RECORD_TOOL, tool,
                               std::filesystem::copy_options::overwrite_existing);
    return tool;
}

std::vector<std::vector<std::string>> RecordedLaunches(const std::filesystem::path& dir) {
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> records;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() == ".args") {
            records.emplace_back(entry.last_write_time(), entry.path());
        }
    }
    std::sort(records.begin(), records.end());
    std::vector<std::vector<std::string>> launches;
    for (const auto& record : records) {
        const std::string bytes = ReadBytes(record.second);
        std::vector<std::string> arguments;
        size_t begin = 0;
        for (size_t nul; (nul = bytes.find('\0', begin)) != std::string::npos; begin = nul + 1) {
            arguments.push_back(bytes.substr(begin, nul - begin));
        }
        launches.push_back(arguments);
    }
    return launches;
}

std::vector<std::vector<std::string>> WaitForLaunches(const std::filesystem::path& dir,
                                                      size_t count,
                                                      std::chrono::milliseconds timeout) {
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    inotify_add_watch(watch, dir.c_str(), IN_MOVED_TO | IN_CREATE);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto launches = RecordedLaunches(dir);
    while (launches.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd{watch, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) > 0) {
            char events[4096];
            while (read(watch, events, sizeof events) > 0) {
            }
        }
        launches = RecordedLaunches(dir);
    }
    close(watch);
    return launches;
}

}  // namespace testsupport

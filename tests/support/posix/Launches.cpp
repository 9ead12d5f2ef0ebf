// The recording stand-in tool off Windows: copied beside each test's settings file, its records
// awaited on inotify events.
#include "support/Launches.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace testsupport {

std::string ReadRecord(const std::filesystem::path& path) { return ReadBytes(path); }

std::filesystem::path InstallRecordTool(const std::filesystem::path& dir, const std::string& name) {
    const std::filesystem::path tool = dir / name;
    std::filesystem::copy_file(ZARVO_RECORD_TOOL, tool,
                               std::filesystem::copy_options::overwrite_existing);
    return tool;
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

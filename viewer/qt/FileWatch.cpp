#include "FileWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cstring>

namespace viewer {

namespace {

constexpr std::uint32_t kFolderEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kFileEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

FileWatch::FileWatch(QObject* parent) : QObject(parent) {}

FileWatch::~FileWatch() { Stop(); }

void FileWatch::Stop() {
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    names_.clear();
}

void FileWatch::Watch(const std::vector<std::filesystem::path>& files) {
    Stop();
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;  // no watch: the user still has F5
    for (const std::filesystem::path& file : files) {
        if (file.empty()) continue;
        const std::filesystem::path folder =
            file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        const int folderWatch = inotify_add_watch(fd_, folder.c_str(), kFolderEvents);
        if (folderWatch >= 0) names_[folderWatch].push_back(file.filename().native());
        // The file itself, where it is: a link's target may be in another folder.
        const int fileWatch = inotify_add_watch(fd_, file.c_str(), kFileEvents);
        if (fileWatch >= 0 && fileWatch != folderWatch) names_.try_emplace(fileWatch);
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FileWatch::Read);
}

void FileWatch::Read() {
    alignas(inotify_event) std::array<char, 8192> buffer{};
    bool ours = false;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const auto found = names_.find(event.wd);
            if (found != names_.end()) {
                const std::vector<std::string>& names = found->second;
                const std::string name =
                    event.len > 0 ? std::string(buffer.data() + at + sizeof event) : std::string();
                ours = ours || names.empty() ||
                       std::find(names.begin(), names.end(), name) != names.end();
            }
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
    if (ours) emit changed();
}

}  // namespace viewer

// Tells when one of the compared files changes on disk, by inotify: the file's folder is watched
// for its name (a save that writes a new file and renames it over the old one, a file deleted and
// created again) and the file itself (written in place, also through a link). Names are the
// bytes they are, so a name that is not UTF-8 is watched like any other.
#pragma once

#include <QObject>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

class QSocketNotifier;

namespace viewer {

class FileWatch : public QObject {
    Q_OBJECT
public:
    explicit FileWatch(QObject* parent = nullptr);
    ~FileWatch() override;
    // Replaces what was watched.
    void Watch(const std::vector<std::filesystem::path>& files);

signals:
    void changed();

private:
    void Stop();
    void Read();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    // By watch: the names it is for in a folder; empty for a file watched itself.
    std::map<int, std::vector<std::string>> names_;
};

}  // namespace viewer

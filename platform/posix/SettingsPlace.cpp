// Where the settings file lies off Windows: beside the program for a copy its user can write,
// otherwise in the user's configuration folder (the XDG base directory rules).
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "../SettingsFile.h"
#include "../Text.h"

namespace platform {

namespace {

// The path without the slashes it may end in (the root stays "/"); empty unless it is absolute.
std::string Absolute(const char* path) {
    if (path == nullptr || path[0] != '/') return {};
    std::string text = path;
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::string Join(const std::string& folder, const char* name) {
    return (folder == "/" ? "" : folder) + "/" + name;
}

// $XDG_CONFIG_HOME, or ~/.config; a relative value is no such folder (XDG: ignored). Empty when
// the user has no home folder at all.
std::string ConfigFolder() {
    const std::string configured = Absolute(std::getenv("XDG_CONFIG_HOME"));
    if (!configured.empty()) return configured;
    std::string home = Absolute(std::getenv("HOME"));
    if (home.empty()) {
        const passwd* user = getpwuid(getuid());
        if (user != nullptr) home = Absolute(user->pw_dir);
    }
    return home.empty() ? std::string() : Join(home, ".config");
}

}  // namespace

std::wstring SettingsFileFor(const std::wstring& programFolder) {
    if (programFolder.empty()) return {};
    const std::wstring beside = programFolder + L'/' + kSettingsFileName;
    // A link counts, even one to a file still to be made: it says where the user wants them.
    struct stat file {};
    if (lstat(ToUtf8(beside).c_str(), &file) == 0) return beside;
    if (access(ToUtf8(programFolder).c_str(), W_OK | X_OK) == 0) return beside;
    const std::string config = ConfigFolder();
    // Nowhere else to go: the write fails there, and the user is told.
    if (config.empty()) return beside;
    return FromUtf8(Join(config, "diff-zarvo/")) + kSettingsFileName;
}

bool MakeSettingsFolder(const std::wstring& file) {
    const std::string path = ToUtf8(file);
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return true;
    const std::string folder = path.substr(0, slash);
    struct stat status {};
    if (stat(folder.c_str(), &status) == 0) return S_ISDIR(status.st_mode);
    // Each missing folder from the top down, for the user alone (as XDG asks of a new one). Root
    // (sudo keeping a user's HOME) makes them its owner's, as it does a new settings file, so
    // that the user is not shut out of their own folder.
    struct stat parent {};
    if (stat("/", &parent) != 0) return false;
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), 0700) == 0) {
            if (geteuid() == 0 && chown(part.c_str(), parent.st_uid, parent.st_gid) != 0) {
                return false;
            }
        } else if (errno != EEXIST) {
            return false;
        }
        if (stat(part.c_str(), &parent) != 0) return false;
        if (end == std::string::npos) break;
    }
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace platform

// A stand-in comparison tool for tests: records the arguments it was started with, each followed
// by a NUL, in "<its own path>.<pid>.args" (written under a temporary name, then renamed, so a
// reader never sees half a record). With --sleep it then waits until killed, like a real tool
// that stays open.
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return 2;
    std::string record;
    bool stay = false;
    for (int i = 1; i < argc; ++i) {
        record.append(argv[i]);
        record += '\0';
    }
    if (argc > 1 && std::strcmp(argv[1], "--sleep") == 0) stay = true;
    // The descriptors it was given, so tests can see that none leaked from the front end.
    std::string fds;
    for (int fd = 0; fd < 1024; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) fds += std::to_string(fd) + " ";
    }
    const std::string base =
        std::string(self, static_cast<size_t>(length)) + "." + std::to_string(getpid());
    const std::string temp = base + ".tmp";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (out == nullptr) return 3;
    std::fwrite(record.data(), 1, record.size(), out);
    std::fclose(out);
    if (FILE* meta = std::fopen((base + ".fds").c_str(), "wb")) {
        std::fputs(fds.c_str(), meta);
        std::fclose(meta);
    }
    if (std::rename(temp.c_str(), (base + ".args").c_str()) != 0) return 4;
    if (stay) pause();
    return 0;
}

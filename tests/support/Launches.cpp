// Reading the recording tool's records, the same on every platform.
#include "Launches.h"

#include <algorithm>

namespace testsupport {

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
        const std::string bytes = ReadRecord(record.second);
        std::vector<std::string> arguments;
        size_t begin = 0;
        for (size_t nul; (nul = bytes.find('\0', begin)) != std::string::npos; begin = nul + 1) {
            arguments.push_back(bytes.substr(begin, nul - begin));
        }
        launches.push_back(arguments);
    }
    return launches;
}

}  // namespace testsupport

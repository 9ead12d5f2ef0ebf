// Texts long enough for a strip or a scroll to matter, built in the test rather than kept as files.
#pragma once

#include <string>
#include <utility>

namespace testsupport {

// "line 0" to "line 299", one a line, and the same with lines 20 and 280 begun with "changed ":
// two changes far apart, 302 rows side by side.
inline std::pair<std::string, std::string> LinesChangedAt20And280() {
    std::string first, second;
    for (int i = 0; i < 300; ++i) {
        const std::string line = "line " + std::to_string(i) + "\n";
        first += line;
        second += i == 20 || i == 280 ? "changed " + line : line;
    }
    return {first, second};
}

}  // namespace testsupport

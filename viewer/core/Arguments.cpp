#include "Arguments.h"

namespace viewer {

std::optional<Arguments> ParseArguments(const std::vector<std::filesystem::path>& arguments) {
    Arguments result;
    std::vector<std::filesystem::path> files;
    if (arguments.size() == 2) {
        files = arguments;
    } else {
        int labels = 0;
        bool options = true;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const auto& text = arguments[i].native();
            using Char = std::filesystem::path::value_type;
            auto is = [&](const char* option) {
                return text == std::basic_string<Char>(
                                   option, option + std::char_traits<char>::length(option));
            };
            const std::basic_string<Char> longLabel{'-', '-', 'l', 'a', 'b', 'e', 'l', '='};
            std::filesystem::path label;
            bool isLabel = false;
            if (!options || text.size() < 2 || text[0] != '-') {
                files.push_back(arguments[i]);
            } else if (is("--")) {
                options = false;
            } else if (is("-u") || is("--unified")) {
                result.unified = true;
            } else if (is("--exit-when-shown")) {
                result.exitWhenShown = true;
            } else if (is("-L") || is("--label")) {
                if (++i == arguments.size()) return std::nullopt;
                label = arguments[i];
                isLabel = true;
            } else if (text.compare(0, longLabel.size(), longLabel) == 0) {
                label = text.substr(longLabel.size());
                isLabel = true;
            } else {
                return std::nullopt;
            }
            if (!isLabel) continue;
            if (++labels > 2) return std::nullopt;
            (labels == 1 ? result.firstLabel : result.secondLabel) = label;
        }
    }
    if (files.size() != 2) return std::nullopt;
    result.first = files[0];
    result.second = files[1];
    return result;
}

}  // namespace viewer

#include "base/fields.h"

namespace setup {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ',') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ',') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::string_view FirstFieldText(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && line[i] == ',') ++i;
    if (i == line.size()) return {};
    while (i < line.size() && line[i] != ',') ++i;
    return line.substr(0, i);
}

}  // namespace setup

#pragma once
// The field rule shared by language.cf description lines and dict.ini lines:
// a field is a maximal run of characters other than ','; runs of commas are one
// separator and commas at either end separate nothing, so no field is empty.
#include <string_view>
#include <vector>

namespace setup {

std::vector<std::string_view> SplitFields(std::string_view line);

// The text from the start of line to the end of its first field (leading commas kept);
// empty when the line has no field.
std::string_view FirstFieldText(std::string_view line);

}  // namespace setup

#pragma once
// The current job of language.cf: read by the builder and by the dict.ini operations.
#include <string>

namespace setup {

struct LanguageEntry {
    std::string descriptionLine;  // the description line as read (at most 99 characters)
    std::string firstFieldText;   // from the line's start to the end of its first field
    std::string secondField;
    std::string thirdField;
    std::string displayName;   // the fourth field: caption and dict.ini key
    std::string fromListName;  // file name inside "language\"
    std::string toListName;    // file name inside "language\"
};

}  // namespace setup

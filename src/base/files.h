#pragma once
// Small file-system operations shared by the core, with one implementation per platform.
#include <string>

namespace setup {

// Replaces target by source in one step (the old target stays intact if it fails).
// Fails, leaving both files, when the target is read-only.
bool ReplaceFileAtomically(const std::string& source, const std::string& target);

// Deletes a file; a file that cannot be deleted stays, and nothing is reported.
void RemoveFile(const std::string& path);

}  // namespace setup

#pragma once
// Small file-system operations shared by the core, with one implementation per platform.
#include <string>

namespace setup {

// Puts source in target's place in one step, so that target holds either its old bytes or all
// of source's, even when the process or the machine stops half-way: source's bytes reach the
// disk before its new name does. Fails, leaving both files as they were, when the target is
// read-only or the system refuses (a directory in the way, a file held open by a program).
bool ReplaceFileAtomically(const std::string& source, const std::string& target);

// Deletes a file; a file that cannot be deleted stays, and nothing is reported.
void RemoveFile(const std::string& path);

// Removes what stands at a name the program keeps for its own temporary file: a file, even a
// read-only one, or an empty directory. What cannot be removed stays, and nothing is reported.
void RemoveLeftover(const std::string& path);

}  // namespace setup

#pragma once
#include <string>

namespace setup {

// The Start command: validates the target and runs every installation step; the window
// is destroyed at its end. Fatal errors are reported here and end the process.
void RunStartCommand();

// Gives back what the installation keeps until the window goes (the counter brush).
void ReleaseInstallResources();

// The edit box text taken as the target when it names an existing entry or a directory
// created here: an absolute text as typed, a relative one made absolute; empty when the text
// is not acceptable.
std::string ValidateTargetDirectory(const std::string& text);

}  // namespace setup

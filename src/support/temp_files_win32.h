// Files and folders of the program's own in the user's temporary folder:
// each one new, so that the program never reads, runs or deletes something
// another left there.
#pragma once

#include <string>

// A new empty file with a name of its own (GetTempFileName); empty when
// none could be made.
std::string NewTempFile();

// The program's own version, as written into the settings file and shown in the About box.
#pragma once

#include <string>

// The product version of this program's own file, "%d.%d.%d.%d"; computed on first success
// and kept; empty (and tried again next time) when the version resource cannot be read.
std::wstring GetProgramVersionString();

// The program's own file: its path (for the Run key) and its version, as written into the
// settings file and shown in the About box.
#pragma once

#include <string>

// The running program's full path, however long; empty when it cannot be read.
std::wstring GetProgramPath() noexcept;

// The product version of this program's own file, "%d.%d.%d.%d"; computed on first success
// and kept; empty (and tried again next time) when the version resource cannot be read.
std::wstring GetProgramVersionString();

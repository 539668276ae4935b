// A start of Zerenta.exe with a command: it hands the command to the Zerenta running in this
// session and ends with its answer. When none runs, /mode and /gamma start one first (a copy of
// their own, so that a script is not held until Zerenta exits), and /list reads what it lists
// itself.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"

class CCommandClient {
public:
    // `arguments` are the program's (without argument 0), parsed as `line`. Returns the exit
    // code; the texts have gone where the one who started the program reads them.
    static int Run(const shell::CommandLine& line, const std::vector<std::wstring>& arguments) noexcept;
};

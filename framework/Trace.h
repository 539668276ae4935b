// Diagnostic lines of the program: one call per line, to the debugger output channel.
// Tests replace the sink to read the lines back.
#pragma once

#include <string>

namespace zr {

using TraceSink = void (*)(const std::wstring& text);

void Trace(const std::wstring& text);

// Replaces the sink; nullptr restores the debugger output. Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);

}  // namespace zr

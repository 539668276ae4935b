#include "framework/Trace.h"

#include "framework/Platform.h"

namespace zr {
namespace {
TraceSink g_sink = nullptr;
}

void Trace(const std::wstring& text)
{
    if (g_sink)
        g_sink(text);
    else
        platform::DebugOutput(text);
}

TraceSink SetTraceSink(TraceSink sink)
{
    TraceSink previous = g_sink;
    g_sink = sink;
    return previous;
}

}  // namespace zr

// Reads this process's own debug output lines: OutputDebugStringA raises a first-chance
// exception (DBG_PRINTEXCEPTION_C), which a vectored handler sees before the system swallows it.
// OutputDebugStringW first raises a wide form (where the system has one), left to the system
// here, which then passes the line on to OutputDebugStringA.
#pragma once

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace zrtest {

class DebugCapture {
public:
    DebugCapture() { m_handler = ::AddVectoredExceptionHandler(1, &DebugCapture::OnException); }
    ~DebugCapture() { ::RemoveVectoredExceptionHandler(m_handler); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    static void Clear()
    {
        std::lock_guard lock(s_mutex);
        s_lines.clear();
    }

    static long Count(const std::string& text)
    {
        std::lock_guard lock(s_mutex);
        return std::count(s_lines.begin(), s_lines.end(), text);
    }

    static std::string Dump()
    {
        std::lock_guard lock(s_mutex);
        std::string all;
        for (const std::string& line : s_lines)
            all += "  " + line;
        return all;
    }

private:
    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
    {
        constexpr DWORD kPrint = 0x40010006;  // DBG_PRINTEXCEPTION_C
        const EXCEPTION_RECORD& record = *info->ExceptionRecord;
        if (record.ExceptionCode == kPrint && record.NumberParameters >= 2 && record.ExceptionInformation[1]) {
            std::lock_guard lock(s_mutex);
            s_lines.emplace_back(reinterpret_cast<const char*>(record.ExceptionInformation[1]));
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    static inline std::mutex s_mutex;
    static inline std::vector<std::string> s_lines;
    void* m_handler = nullptr;
};

}  // namespace zrtest

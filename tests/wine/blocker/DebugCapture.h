// Reads this process's own debug output lines: OutputDebugString raises a first-chance
// exception (DBG_PRINTEXCEPTION_WIDE_C for the wide form where the system has it, then
// DBG_PRINTEXCEPTION_C), which a vectored handler sees before the system swallows it.
#pragma once

#include <windows.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace zrtest {

struct DebugLine {
    std::string text;
    LARGE_INTEGER when;
};

class DebugCapture {
public:
    DebugCapture() { m_handler = ::AddVectoredExceptionHandler(1, &DebugCapture::OnException); }
    ~DebugCapture() { ::RemoveVectoredExceptionHandler(m_handler); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    static void Clear()
    {
        std::lock_guard lock(Mutex());
        Lines().clear();
    }

    static std::vector<DebugLine> Snapshot()
    {
        std::lock_guard lock(Mutex());
        return Lines();
    }

    static int Count(const std::string& text)
    {
        int count = 0;
        for (const DebugLine& line : Snapshot())
            count += line.text == text ? 1 : 0;
        return count;
    }

    static std::string Dump()
    {
        std::string all;
        for (const DebugLine& line : Snapshot())
            all += "  " + line.text;
        return all;
    }

private:
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    static std::vector<DebugLine>& Lines()
    {
        static std::vector<DebugLine> lines;
        return lines;
    }

    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
    {
        constexpr DWORD kPrintWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C
        constexpr DWORD kPrint = 0x40010006;      // DBG_PRINTEXCEPTION_C
        const EXCEPTION_RECORD& record = *info->ExceptionRecord;
        if (record.NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        static thread_local bool s_sawWide = false;
        DebugLine line{};
        ::QueryPerformanceCounter(&line.when);
        if (record.ExceptionCode == kPrintWide) {
            // The narrow form of the same line follows when nobody handled this one.
            s_sawWide = true;
            const auto* text = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
            for (; text && *text; ++text)
                line.text += *text < 0x80 ? static_cast<char>(*text) : '?';
        } else if (record.ExceptionCode == kPrint) {
            if (s_sawWide) {
                s_sawWide = false;
                return EXCEPTION_CONTINUE_SEARCH;
            }
            const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
            line.text = text ? text : "";
        } else {
            return EXCEPTION_CONTINUE_SEARCH;
        }
        std::lock_guard lock(Mutex());
        Lines().push_back(line);
        return EXCEPTION_CONTINUE_SEARCH;
    }

    void* m_handler = nullptr;
};

// Pumps this thread's messages until `done()` holds or the deadline passes; the result of done().
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace zrtest

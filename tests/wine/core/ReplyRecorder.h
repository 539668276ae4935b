// A hidden window that records the core's replies, for the Win32 tests of the core.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/CoreTypes.h"
#include "tests/wine/MessagePump.h"

struct RecordedReply {
    std::uint32_t code;
    HWND from;  // the reply's wParam
    DWORD size;
    DisplayMode mode;  // valid for CORE_RPL_MODE
    std::uint32_t index = 0;  // valid for CORE_RPL_GAMMA_REFUSED
};

class ReplyRecorder {
public:
    ReplyRecorder()
        : m_window(zrtest::MakeWindow(L"CoreTestReplyRecorder", &ReplyRecorder::Proc, L"", 0, HWND_MESSAGE)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ReplyRecorder() { DestroyWindow(m_window); }
    ReplyRecorder(const ReplyRecorder&) = delete;
    ReplyRecorder& operator=(const ReplyRecorder&) = delete;

    HWND Handle() const { return m_window; }
    // The recorder answers the n-th CORE_RPL_MODE with 1, which stops an enumeration there.
    void StopAtMode(int n) { m_stopAt = n; }

    std::vector<RecordedReply> replies;

    std::vector<std::uint32_t> Codes() const {
        std::vector<std::uint32_t> codes;
        for (const auto& reply : replies) codes.push_back(reply.code);
        return codes;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        auto* self = reinterpret_cast<ReplyRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self != nullptr) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            RecordedReply reply{static_cast<std::uint32_t>(data->dwData), reinterpret_cast<HWND>(wParam), data->cbData,
                                DisplayMode{}};
            if (reply.code == CORE_RPL_MODE && data->lpData != nullptr && data->cbData >= sizeof(DisplayMode))
                reply.mode = *static_cast<const DisplayMode*>(data->lpData);
            if (reply.code == CORE_RPL_GAMMA_REFUSED && data->lpData != nullptr && data->cbData >= sizeof(std::uint32_t))
                reply.index = *static_cast<const std::uint32_t*>(data->lpData);
            self->replies.push_back(reply);
            if (reply.code == CORE_RPL_MODE && ++self->m_modes == self->m_stopAt) return 1;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window;
    int m_modes = 0;
    int m_stopAt = 0;
};

// Waits for a message box with `title` from another thread, records its text and owner
// and presses OK; keeps watching until Stop(), counting every box it dismissed.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(const wchar_t* title) : m_title(title) {
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &MessageBoxWatcher::Run, this, 0, nullptr);
    }
    ~MessageBoxWatcher() { Stop(); }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    void Stop() {
        if (m_thread == nullptr) return;
        // A box may still be on its way; give it a moment to be counted.
        Sleep(200);
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
        CloseHandle(m_stop);
        m_thread = nullptr;
    }

    int count = 0;
    std::wstring text;
    HWND owner = nullptr;

private:
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<MessageBoxWatcher*>(parameter);
        // Bounded: a box that never comes leaves count at 0 and the test fails on it.
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (WaitForSingleObject(self->m_stop, 20) == WAIT_TIMEOUT && GetTickCount64() < deadline) {
            HWND box = FindWindowW(L"#32770", self->m_title);
            if (box == nullptr || !IsWindowVisible(box)) continue;
            wchar_t buffer[512] = {};
            GetDlgItemTextW(box, 0xFFFF, buffer, 512);  // the message box's text control
            self->text = buffer;
            self->owner = GetWindow(box, GW_OWNER);
            ++self->count;
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            // Wait until this box is gone before looking for another.
            while (IsWindow(box) && GetTickCount64() < deadline) Sleep(10);
        }
        return 0;
    }

    const wchar_t* m_title;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
};

// OrvelCore.dll on the harness's display with the default back end, or DirectDraw with /directdraw:
// a full-screen program decides whether the mode can come back, and the recovery file must say what
// the screen shows. (The journeys show the library's modes, ramps, back ends and recovery file.)
#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "core/OrvelCore.h"
#include "tests/wine/MessagePump.h"
#include "tests/wine/core/ReplyRecorder.h"

using namespace std::chrono_literals;

namespace {

// The virtual desktop follows a mode change with a short delay.
bool WaitForScreen(int width, int height) {
    return zrtest::PumpUntil(
        [&] { return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height; }, 5s);
}

std::string ModeNow() {
    DEVMODEW current{};
    current.dmSize = sizeof(current);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current)) return "unreadable";
    return std::to_string(current.dmPelsWidth) + "x" + std::to_string(current.dmPelsHeight);
}

template <typename T>
T Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A full-screen program holding the display exclusively through DirectDraw, as a game does. The
// library is loaded here, not linked: the default back end's run must not carry it from the start.
class FullScreenProgram {
public:
    FullScreenProgram() {
        m_window = CreateWindowExW(0, L"STATIC", L"full screen", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
        using Create = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);
        const HMODULE library = LoadLibraryW(L"ddraw.dll");
        const auto create = library ? Resolve<Create>(library, "DirectDrawCreateEx") : nullptr;
        if (create == nullptr || FAILED(create(nullptr, reinterpret_cast<void**>(&m_directDraw), IID_IDirectDraw7, nullptr)))
            return;
        m_holds = SUCCEEDED(m_directDraw->SetCooperativeLevel(m_window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    }
    ~FullScreenProgram() {
        if (m_directDraw != nullptr) {
            m_directDraw->SetCooperativeLevel(m_window, DDSCL_NORMAL);
            m_directDraw->Release();
        }
        DestroyWindow(m_window);
    }
    FullScreenProgram(const FullScreenProgram&) = delete;
    FullScreenProgram& operator=(const FullScreenProgram&) = delete;
    bool Holds() const { return m_holds; }

private:
    HWND m_window = nullptr;
    IDirectDraw7* m_directDraw = nullptr;
    bool m_holds = false;
};

}  // namespace

TEST(CoreOnDisplay, TheRecordStaysWhileAFullScreenProgramKeepsTheModeFromComingBack) {
    const HMODULE module = LoadLibraryW(L"OrvelCore.dll");
    ASSERT_NE(module, nullptr) << "OrvelCore.dll did not load";
    const auto init = Resolve<InitCoreFn>(module, "InitCore");
    const auto clearUp = Resolve<ClearUpCoreFn>(module, "ClearUpCore");
    const auto send = Resolve<SendCommandFn>(module, "SendCommand");
    const auto setRecoveryFile = Resolve<void(__cdecl*)(const wchar_t*)>(module, "SetRecoveryFile");
    ASSERT_TRUE(init && clearUp && send && setRecoveryFile);
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"ZerentaDisplayTest-" + std::to_wstring(GetCurrentProcessId()) + L".Recovery";
    const auto fileThere = [&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    DeleteFileW(path.c_str());
    const std::string startMode = ModeNow();
    setRecoveryFile(path.c_str());
    ReplyRecorder recorder;

    ASSERT_TRUE(init(recorder.Handle()));
    const DisplayMode mode{800, 600, 32, 0};
    EXPECT_EQ(send(recorder.Handle(), CORE_CMD_SET_MODE, &mode, sizeof(mode)), 0);
    EXPECT_TRUE(WaitForScreen(800, 600));
    EXPECT_TRUE(fileThere());
    {
        FullScreenProgram game;
        EXPECT_TRUE(game.Holds());
        send(recorder.Handle(), CORE_CMD_RESTORE_SCREEN, nullptr, 0);
        // DirectDraw refuses the return while another holds the display exclusively; the
        // display-settings API does not, and the mode comes back. (The program's path is a Windows
        // one, so only an argument can hold "/directdraw".)
        const bool back = ModeNow() == startMode;
        EXPECT_EQ(back, !std::wcsstr(GetCommandLineW(), L"/directdraw")) << "mode in force: " << ModeNow();
        EXPECT_EQ(fileThere(), !back) << "mode in force: " << ModeNow();
    }
    send(recorder.Handle(), CORE_CMD_RESTORE_SCREEN, nullptr, 0);
    EXPECT_TRUE(WaitForScreen(1280, 1024));
    EXPECT_FALSE(fileThere());
    clearUp();
    setRecoveryFile(nullptr);
    DeleteFileW(path.c_str());
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}

// OrvelCore.dll's recovery on the real display (under Wine on the X server of the test harness),
// with the back end this test program's command line selects: the default one, or DirectDraw
// with /directdraw: a recovery file that cannot be removed, a full-screen program holding the
// display, and the restore after a fault. The recovery file is written by the tests themselves,
// as a killed run leaves it. What the journeys show of the library (modes, mode changes, ramps,
// the back end in use) is not repeated here.
#include <windows.h>
#include <ddraw.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/OrvelCore.h"
#include "core/RecoveryRecord.h"
#include "tests/wine/core/ReplyRecorder.h"

namespace {

struct Exports {
    InitCoreFn init = nullptr;
    ClearUpCoreFn clearUp = nullptr;
    SendCommandFn send = nullptr;
    void(__cdecl* setRecoveryFile)(const wchar_t*) = nullptr;
    void(__cdecl* restoreAfterFault)() = nullptr;
};

template <typename T>
void Resolve(HMODULE module, const char* name, T& target) {
    target = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool WaitForScreen(int width, int height) {
    // The virtual desktop follows a mode change with a short delay.
    const ULONGLONG deadline = GetTickCount64() + 5000;
    for (;;) {
        if (GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height) return true;
        if (GetTickCount64() > deadline) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
}

bool DirectDrawSelected() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool selected = false;
    for (int i = 1; arguments != nullptr && i < count; ++i) selected = selected || _wcsicmp(arguments[i], L"/directdraw") == 0;
    LocalFree(arguments);
    return selected;
}

DeviceRamp ReadScreenRamp() {
    DeviceRamp ramp{};
    HDC dc = GetDC(nullptr);
    GetDeviceGammaRamp(dc, ramp.data());
    ReleaseDC(nullptr, dc);
    return ramp;
}

// The library is loaded once for the whole program and stays: its core window's class outlives
// an unload. Null when it cannot be loaded.
const Exports* LoadCore() {
    static Exports e;
    static HMODULE module = LoadLibraryW(L"OrvelCore.dll");
    if (module == nullptr) return nullptr;
    if (e.init != nullptr) return &e;
    Resolve(module, "InitCore", e.init);
    Resolve(module, "ClearUpCore", e.clearUp);
    Resolve(module, "SendCommand", e.send);
    Resolve(module, "SetRecoveryFile", e.setRecoveryFile);
    Resolve(module, "RestoreScreenAfterFault", e.restoreAfterFault);
    return &e;
}

// Entry i of every channel is 257 * (i * percent / 100): a ramp the device keeps exactly.
DeviceRamp LevelRamp(int percent) {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::uint16_t>(257 * (static_cast<int>(i % 256) * percent / 100));
    return ramp;
}

GammaTable LevelTable(int percent) {
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<int>(i % 256) * percent / 100;
    return table;
}

// As another program writes it.
void WriteScreenRamp(const DeviceRamp& ramp) {
    HDC dc = GetDC(nullptr);
    SetDeviceGammaRamp(dc, const_cast<std::uint16_t*>(ramp.data()));
    ReleaseDC(nullptr, dc);
}

std::string ModeNow() {
    DEVMODEW current{};
    current.dmSize = sizeof(current);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current)) return "unreadable";
    return std::to_string(current.dmPelsWidth) + "x" + std::to_string(current.dmPelsHeight);
}

// A temporary mode, as another program (or the user) sets it; 0 x 0 for the system's own mode.
bool ShowMode(int width, int height) {
    LONG result;
    if (width == 0) {
        result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
        width = 1280;
        height = 1024;
    } else {
        DEVMODEW wanted{};
        wanted.dmSize = sizeof(wanted);
        wanted.dmPelsWidth = static_cast<DWORD>(width);
        wanted.dmPelsHeight = static_cast<DWORD>(height);
        wanted.dmBitsPerPel = 32;
        wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        result = ChangeDisplaySettingsExW(nullptr, &wanted, nullptr, CDS_FULLSCREEN, nullptr);
    }
    return result == DISP_CHANGE_SUCCESSFUL && WaitForScreen(width, height);
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A full-screen program holding the display exclusively through DirectDraw, as a game does. The
// library is loaded here, not linked: the default back end's run must not carry it from the start.
class FullScreenProgram {
public:
    FullScreenProgram() {
        m_window = CreateWindowExW(0, L"STATIC", L"full screen", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
        m_library = LoadLibraryW(L"ddraw.dll");
        using Create = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);
        const auto create =
            m_library ? reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(m_library, "DirectDrawCreateEx")))
                      : nullptr;
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
    HMODULE m_library = nullptr;
    IDirectDraw7* m_directDraw = nullptr;
    bool m_holds = false;
};

DWORD WINAPI CallOnWorker(void* function) {
    reinterpret_cast<void(__cdecl*)()>(function)();
    return 0;
}

class CoreRecoveryOnDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        m_core = LoadCore();
        ASSERT_NE(m_core, nullptr) << "OrvelCore.dll did not load";
        ASSERT_TRUE(m_core->setRecoveryFile != nullptr && m_core->restoreAfterFault != nullptr);
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        m_path = std::wstring(folder) + L"ZerentaDisplayTest-" + std::to_wstring(GetCurrentProcessId()) + L".Recovery";
        Forget();
        m_startRamp = ReadScreenRamp();
        m_startMode = ModeNow();
        m_core->setRecoveryFile(m_path.c_str());
    }
    void TearDown() override {
        m_core->clearUp();
        m_core->setRecoveryFile(nullptr);
        Forget();
        ShowMode(0, 0);
        WriteScreenRamp(m_startRamp);
    }

    bool Start() { return m_core->init(m_recorder.Handle()); }
    LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return m_core->send(m_recorder.Handle(), code, payload, size);
    }
    void Forget() const {
        SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(m_path.c_str());
    }
    bool FileThere() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string FileBytes() const {
        std::ifstream in(m_path.c_str(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void PutFile(const std::string& bytes) const {
        std::ofstream(m_path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // What a run of this user and session leaves when it is killed with the ramp at 60 % and the
    // screen at 800 x 600. The core writes the record as it changes the ramp, which gives this user
    // and session; the mode that run changed is added here.
    orvel::RecoveryRecord KilledRunRecord() {
        orvel::RecoveryRecord record;
        if (!Start()) return record;
        const GammaTable dim = LevelTable(60);
        Send(CORE_CMD_SET_GAMMA_RAMP, dim.data(), sizeof(dim));
        const std::string bytes = FileBytes();
        m_core->clearUp();
        Forget();
        WriteScreenRamp(m_startRamp);
        if (orvel::DecodeRecoveryRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record) &&
            record.displays.size() == 1) {
            record.displays[0].hasLeftMode = true;
            record.displays[0].leftMode = DisplayMode{800, 600, 32, 0};
        }
        return record;
    }

    const Exports* m_core = nullptr;
    ReplyRecorder m_recorder;
    std::wstring m_path;
    DeviceRamp m_startRamp{};
    std::string m_startMode;
};

}  // namespace

TEST_F(CoreRecoveryOnDisplay, ARecoveryFileThatCannotBeRemovedIsUsedOnceInTheSession) {
    PutFile(Bytes(orvel::EncodeRecoveryRecord(KilledRunRecord())));
    ASSERT_TRUE(SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DeviceRamp dim = LevelRamp(60);
    for (int start = 1; start <= 2; ++start) {
        ASSERT_TRUE(ShowMode(800, 600));
        WriteScreenRamp(dim);
        ASSERT_TRUE(Start());
        EXPECT_TRUE(FileThere()) << "start " << start;
        EXPECT_EQ(ModeNow(), start == 1 ? m_startMode : "800x600") << "start " << start;
        EXPECT_TRUE(ReadScreenRamp() == (start == 1 ? m_startRamp : dim)) << "start " << start;
        m_core->clearUp();
    }
}

TEST_F(CoreRecoveryOnDisplay, TheRecordStaysWhileAFullScreenProgramKeepsTheModeFromComingBack) {
    ASSERT_TRUE(Start());
    const DisplayMode mode{800, 600, 32, 0};
    ASSERT_EQ(Send(CORE_CMD_SET_MODE, &mode, sizeof(mode)), 0);
    ASSERT_TRUE(WaitForScreen(800, 600));
    ASSERT_TRUE(FileThere());
    {
        FullScreenProgram game;
        ASSERT_TRUE(game.Holds());
        Send(CORE_CMD_RESTORE_SCREEN);
        // DirectDraw refuses the return while another holds the display exclusively; the
        // display-settings API does not, and the mode comes back.
        const bool back = ModeNow() == m_startMode;
        EXPECT_EQ(back, !DirectDrawSelected()) << "mode in force: " << ModeNow();
        EXPECT_EQ(FileThere(), !back) << "mode in force: " << ModeNow();
    }
    Send(CORE_CMD_RESTORE_SCREEN);
    EXPECT_TRUE(WaitForScreen(1280, 1024));
    EXPECT_FALSE(FileThere());
}

// Last: the fault restore runs once per process.
TEST_F(CoreRecoveryOnDisplay, AfterAFaultRestoreOnAWorkerThreadNoCommandChangesTheScreen) {
    ASSERT_TRUE(Start());
    const GammaTable dim = LevelTable(60);
    ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, dim.data(), sizeof(dim)), 0);
    ASSERT_TRUE(FileThere());
    // As the program's exception filter does on a faulting worker thread.
    const HANDLE worker = CreateThread(nullptr, 0, &CallOnWorker, reinterpret_cast<void*>(m_core->restoreAfterFault),
                                       0, nullptr);
    ASSERT_NE(worker, nullptr);
    WaitForSingleObject(worker, 10000);
    CloseHandle(worker);
    EXPECT_TRUE(ReadScreenRamp() == m_startRamp);
    EXPECT_FALSE(FileThere());

    // The user-interface thread goes on until the process ends; what it is still asked to do
    // must not change the screen again, which no record would then put right.
    const GammaTable other = LevelTable(80);
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, other.data(), sizeof(other)), 1);
    const DisplayMode mode{800, 600, 32, 0};
    Send(CORE_CMD_SET_MODE, &mode, sizeof(mode));
    EXPECT_TRUE(ReadScreenRamp() == m_startRamp);
    EXPECT_EQ(ModeNow(), m_startMode);
    EXPECT_FALSE(FileThere());
}

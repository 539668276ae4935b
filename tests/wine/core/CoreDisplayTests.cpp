// OrvelCore.dll on the real display (under Wine on the X server of the test harness), with
// the back end this test program's command line selects: the default one, or DirectDraw with
// /directdraw. The library is loaded by name and its exports looked up by name, the way the
// export table will be used. The recovery file is written by the tests themselves, as a run
// that was killed, another session or an earlier version leaves it.
#include <windows.h>
#include <ddraw.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>

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
    float(__cdecl* parseGamma)(int) = nullptr;
    float(__cdecl* parseContrast)(int) = nullptr;
    int(__cdecl* parseBrightness)(int) = nullptr;
    int(__cdecl* applyGamma)(int, float) = nullptr;
    int(__cdecl* applyBrightness)(int, int) = nullptr;
    int(__cdecl* applyContrast)(int, float) = nullptr;
    int(__cdecl* applyClamping)(int, int, int) = nullptr;
    int(__cdecl* clip)(int) = nullptr;
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

// Wine's default virtual desktop (the test harness's setting) lists its modes at one rate.
bool InWineVirtualDesktop() {
    wchar_t name[64] = {};
    DWORD size = sizeof(name);
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer", L"Desktop", RRF_RT_REG_SZ, nullptr, name,
                        &size) == ERROR_SUCCESS;
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
    Resolve(module, "ParseGammaParam", e.parseGamma);
    Resolve(module, "ParseContrastParam", e.parseContrast);
    Resolve(module, "ParseBrightnessParam", e.parseBrightness);
    Resolve(module, "ApplyGamma", e.applyGamma);
    Resolve(module, "ApplyBrightness", e.applyBrightness);
    Resolve(module, "ApplyContrast", e.applyContrast);
    Resolve(module, "ApplyClamping", e.applyClamping);
    Resolve(module, "clip", e.clip);
    return &e;
}

class CoreOnDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_startRamp = ReadScreenRamp();
        s_startWidth = GetSystemMetrics(SM_CXSCREEN);
        s_startHeight = GetSystemMetrics(SM_CYSCREEN);
        const Exports* core = LoadCore();
        if (core == nullptr) return;
        s_loaded = true;
        s_exports = *core;
        const Exports& e = s_exports;
        s_recorder = new ReplyRecorder();
        if (e.init != nullptr) s_initialised = e.init(s_recorder->Handle());
    }

    static void TearDownTestSuite() {
        // Put the screen back whatever happened in the tests.
        if (s_exports.send != nullptr) s_exports.send(nullptr, CORE_CMD_RESTORE_SCREEN, nullptr, 0);
        if (s_exports.clearUp != nullptr) s_exports.clearUp();
        delete s_recorder;
        s_recorder = nullptr;
        if (ReadScreenRamp() != s_startRamp) {
            HDC dc = GetDC(nullptr);
            SetDeviceGammaRamp(dc, s_startRamp.data());
            ReleaseDC(nullptr, dc);
        }
    }

    void SetUp() override {
        ASSERT_TRUE(s_loaded) << "OrvelCore.dll did not load";
        ASSERT_NE(s_exports.init, nullptr);
        ASSERT_NE(s_exports.send, nullptr);
        ASSERT_TRUE(s_initialised) << "InitCore failed on this display";
        s_recorder->replies.clear();
    }

    static LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return s_exports.send(s_recorder->Handle(), code, payload, size);
    }

    static inline bool s_loaded = false;
    static inline Exports s_exports;
    static inline ReplyRecorder* s_recorder = nullptr;
    static inline bool s_initialised = false;
    static inline DeviceRamp s_startRamp{};
    static inline int s_startWidth = 0;
    static inline int s_startHeight = 0;
};

}  // namespace

TEST_F(CoreOnDisplay, TheElevenExportsResolveByNameAndCalculate) {
    const Exports& e = s_exports;
    ASSERT_TRUE(e.clearUp && e.parseGamma && e.parseContrast && e.parseBrightness && e.applyGamma &&
                e.applyBrightness && e.applyContrast && e.applyClamping && e.clip);
    EXPECT_EQ(e.parseGamma(0), 2.0f);
    EXPECT_EQ(e.parseContrast(-80), -0.8f);
    EXPECT_EQ(e.parseBrightness(99), -2);
    EXPECT_EQ(e.applyGamma(128, 2.0f), 64);
    EXPECT_EQ(e.applyBrightness(250, 51), 255);
    EXPECT_EQ(e.applyContrast(191, 0.5f), 254);
    EXPECT_EQ(e.applyClamping(200, 150, 180), 150);
    EXPECT_EQ(e.clip(-3), 0);
    EXPECT_NE(FindWindowW(L"__Zerenta_Core_Class__", L"__Zerenta_Core_Window__"), nullptr);
}

TEST_F(CoreOnDisplay, TheBackEndInUseIsTheOneTheCommandLineSelects) {
    // InitCore has opened the display: DirectDraw is in the process only when it was chosen.
    EXPECT_EQ(GetModuleHandleW(L"ddraw.dll") != nullptr, DirectDrawSelected())
        << "ddraw.dll loaded: " << (GetModuleHandleW(L"ddraw.dll") != nullptr);
}

TEST_F(CoreOnDisplay, EnumeratesEveryModeWithEachRefreshRateSeparately) {
    ASSERT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    const auto& replies = s_recorder->replies;
    ASSERT_GE(replies.size(), 2u);
    EXPECT_EQ(replies.front().code, CORE_RPL_MODES_BEGIN);
    EXPECT_EQ(replies.back().code, CORE_RPL_MODES_END);
    const auto modes = s_recorder->Modes();
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, std::set<std::uint32_t>> rates;
    std::set<std::uint32_t> depths;
    for (const auto& m : modes) {
        rates[{m.width, m.height, m.bpp}].insert(m.refresh_rate);
        depths.insert(m.bpp);
    }
    int severalRates = 0;
    for (const auto& entry : rates) severalRates += entry.second.size() > 1 ? 1 : 0;
    std::printf("modes: %zu, resolution/depth pairs: %zu, with several rates: %d, depths: %zu\n", modes.size(),
                rates.size(), severalRates, depths.size());
    // Wine's virtual desktop offers a fixed list at 60 Hz (42 modes here); on the bare X server
    // it reports the server's modes with their rates (93 here, several rates per resolution).
    // Either way every enumerated entry must arrive, one reply per refresh rate.
    std::size_t distinct = 0;
    for (const auto& entry : rates) distinct += entry.second.size();
    EXPECT_EQ(distinct, modes.size()) << "the same mode was reported twice";
    EXPECT_GE(modes.size(), 40u);
    if (!InWineVirtualDesktop()) {
        EXPECT_GE(modes.size(), 60u);
        EXPECT_GT(severalRates, 0);
    }
    EXPECT_EQ(depths, (std::set<std::uint32_t>{8, 16, 32}));
    EXPECT_TRUE(rates.count({800, 600, 32}));
    EXPECT_TRUE(rates.count({1280, 1024, 32}));
}

TEST_F(CoreOnDisplay, SetModeChangesTheScreenGetModeFollowsAndRestoreScreenReturnsToTheStartMode) {
    // The mode in force as CORE_CMD_GET_MODE answers it (one reply), or what came instead. The
    // rate depends on the back end and the desktop, so only size and depth are compared.
    const auto modeInForce = []() -> std::string {
        s_recorder->replies.clear();
        const LRESULT result = Send(CORE_CMD_GET_MODE);
        const auto modes = s_recorder->Modes();
        if (result != 0 || s_recorder->replies.size() != 1 || modes.size() != 1)
            return "result " + std::to_string(result) + ", " + std::to_string(s_recorder->replies.size()) + " replies";
        const DisplayMode& m = modes[0];
        std::printf("mode in force: %ux%ux%u at %u Hz\n", m.width, m.height, m.bpp, m.refresh_rate);
        return std::to_string(m.width) + "x" + std::to_string(m.height) + "x" + std::to_string(m.bpp);
    };
    EXPECT_EQ(modeInForce(), "1280x1024x32");
    const DisplayMode mode{800, 600, 32, 0};
    ASSERT_EQ(Send(CORE_CMD_SET_MODE, &mode, sizeof(mode)), 0);
    EXPECT_TRUE(WaitForScreen(800, 600)) << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(modeInForce(), "800x600x32");
    ASSERT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_TRUE(WaitForScreen(s_startWidth, s_startHeight))
        << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(modeInForce(), "1280x1024x32");
    EXPECT_EQ(s_startWidth, 1280);
    EXPECT_EQ(s_startHeight, 1024);
}

TEST_F(CoreOnDisplay, ARampReadsBackWidenedAndTheStartupRampReturns) {
    // A brightening ramp composed with the exports, as the gamma page does.
    const float gamma = s_exports.parseGamma(60);
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = s_exports.applyGamma(static_cast<int>(i % 256), gamma);
    ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), sizeof(table)), 0);
    const DeviceRamp written = ReadScreenRamp();
    for (std::size_t i = 0; i < table.size(); ++i) ASSERT_EQ(written[i], 257 * table[i]) << i;
    EXPECT_EQ(Send(CORE_CMD_PROBE_GAMMA), 0);
    EXPECT_TRUE(s_recorder->replies.empty());

    ASSERT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 0);
    EXPECT_EQ(ReadScreenRamp(), s_startRamp);
}

TEST_F(CoreOnDisplay, ARampTheDisplayRefusesIsAnsweredAndLeavesTheRamp) {
    // A falling ramp: the display driver refuses it.
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = 255 - static_cast<int>(i % 256);
    const DeviceRamp before = ReadScreenRamp();
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), sizeof(table)), 1);
    ASSERT_EQ(s_recorder->replies.size(), 1u);
    EXPECT_EQ(s_recorder->replies[0].code, CORE_RPL_GAMMA_FAILED);
    EXPECT_EQ(ReadScreenRamp(), before);
}

namespace {

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

TEST_F(CoreRecoveryOnDisplay, AStartPutsBackOnlyWhatTheScreenStillShowsOfAKilledRunOfThisSession) {
    const orvel::RecoveryRecord killed = KilledRunRecord();
    ASSERT_EQ(killed.displays.size(), 1u);
    ASSERT_TRUE(killed.displays[0].startupRamp == m_startRamp);
    orvel::RecoveryRecord otherSession = killed;
    otherSession.owner.session += 1;
    const DeviceRamp dim = LevelRamp(60);
    const DeviceRamp other = LevelRamp(80);
    struct Case {
        const char* what;
        const orvel::RecoveryRecord& record;
        SIZE shown;
        const DeviceRamp& ramp;
        std::string modeAfter;
        const DeviceRamp& rampAfter;
        bool kept;
    };
    const Case cases[] = {
        {"the screen as the run left it", killed, {800, 600}, dim, m_startMode, m_startRamp, false},
        {"another program's ramp since", killed, {800, 600}, other, m_startMode, other, false},
        {"another mode chosen since", killed, {1024, 768}, dim, "1024x768", m_startRamp, false},
        {"a record of another session", otherSession, {800, 600}, dim, "800x600", dim, true},
    };
    for (const Case& c : cases) {
        const std::string bytes = Bytes(orvel::EncodeRecoveryRecord(c.record));
        PutFile(bytes);
        ASSERT_TRUE(ShowMode(c.shown.cx, c.shown.cy)) << c.what;
        WriteScreenRamp(c.ramp);
        ASSERT_TRUE(Start()) << c.what;
        EXPECT_EQ(ModeNow(), c.modeAfter) << c.what;
        EXPECT_TRUE(ReadScreenRamp() == c.rampAfter) << c.what;
        EXPECT_EQ(FileThere(), c.kept) << c.what;
        if (c.kept) EXPECT_TRUE(FileBytes() == bytes) << c.what << ": the file was changed";
        m_core->clearUp();
        Forget();
        ASSERT_TRUE(ShowMode(0, 0));
    }
}

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

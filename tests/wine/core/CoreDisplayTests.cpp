// OrvelCore.dll on the real display (under Wine on the X server of the test harness), with
// the back end this test program's command line selects: the default one, or DirectDraw with
// /directdraw. The library is loaded by name and its exports looked up by name, the way the
// export table will be used.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "core/OrvelCore.h"
#include "tests/wine/core/ReplyRecorder.h"

namespace {

struct Exports {
    InitCoreFn init = nullptr;
    ClearUpCoreFn clearUp = nullptr;
    SendCommandFn send = nullptr;
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

class CoreOnDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_startRamp = ReadScreenRamp();
        s_startWidth = GetSystemMetrics(SM_CXSCREEN);
        s_startHeight = GetSystemMetrics(SM_CYSCREEN);
        s_module = LoadLibraryW(L"OrvelCore.dll");
        if (s_module == nullptr) return;
        Exports& e = s_exports;
        Resolve(s_module, "InitCore", e.init);
        Resolve(s_module, "ClearUpCore", e.clearUp);
        Resolve(s_module, "SendCommand", e.send);
        Resolve(s_module, "ParseGammaParam", e.parseGamma);
        Resolve(s_module, "ParseContrastParam", e.parseContrast);
        Resolve(s_module, "ParseBrightnessParam", e.parseBrightness);
        Resolve(s_module, "ApplyGamma", e.applyGamma);
        Resolve(s_module, "ApplyBrightness", e.applyBrightness);
        Resolve(s_module, "ApplyContrast", e.applyContrast);
        Resolve(s_module, "ApplyClamping", e.applyClamping);
        Resolve(s_module, "clip", e.clip);
        s_recorder = new ReplyRecorder();
        if (e.init != nullptr) s_initialised = e.init(s_recorder->Handle());
    }

    static void TearDownTestSuite() {
        // Put the screen back whatever happened in the tests.
        if (s_exports.send != nullptr) s_exports.send(nullptr, CORE_CMD_RESTORE_SCREEN, nullptr, 0);
        if (s_exports.clearUp != nullptr) s_exports.clearUp();
        delete s_recorder;
        s_recorder = nullptr;
        if (s_module != nullptr) FreeLibrary(s_module);
        s_module = nullptr;
        if (ReadScreenRamp() != s_startRamp) {
            HDC dc = GetDC(nullptr);
            SetDeviceGammaRamp(dc, s_startRamp.data());
            ReleaseDC(nullptr, dc);
        }
    }

    void SetUp() override {
        ASSERT_NE(s_module, nullptr) << "OrvelCore.dll did not load";
        ASSERT_NE(s_exports.init, nullptr);
        ASSERT_NE(s_exports.send, nullptr);
        ASSERT_TRUE(s_initialised) << "InitCore failed on this display";
        s_recorder->replies.clear();
    }

    static LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return s_exports.send(s_recorder->Handle(), code, payload, size);
    }

    static inline HMODULE s_module = nullptr;
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

// Several displays through the command channel, on scripted back ends and on the display-settings
// back end over scripted system functions, and that back end on its own. (Listing the displays,
// addressing one and the next start after a kill are the two-display journey's.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "core/CDisplaySettingsBackEnd.h"
#include "core/DisplayInfo.h"
#include "tests/wine/core/FakeBackEnd.h"

using orvel::CCoreLibrary;

namespace {

const wchar_t kDisplay1[] = L"\\\\.\\DISPLAY1";
const wchar_t kDisplay2[] = L"\\\\.\\DISPLAY2";
const DisplayMode kStartup{1280, 1024, 32, 60};

// A scripted back end for each script, the first display the primary one.
std::vector<FakeScript>* g_scripts = nullptr;

std::vector<orvel::DisplayEntry> MakeFakes() {
    std::vector<orvel::DisplayEntry> entries(g_scripts->size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].device.device = L"\\\\.\\DISPLAY" + std::to_wstring(i + 1);
        entries[i].device.primary = i == 0;
        entries[i].backEnd = std::make_unique<FakeBackEnd>((*g_scripts)[i]);
    }
    return entries;
}

// The system's display functions, scripted for DISPLAY1 and DISPLAY2: the modes they list, the
// changes asked of them, and the DCs made for their ramps. Each display starts with a ramp of its
// own and DISPLAY2 refuses every ramp; a ramp through a DC made for no display is recorded.
struct Change {
    std::wstring device;  // empty for a null device
    bool hasMode = false;
    DWORD fields = 0;
    DisplayMode mode{};
    DWORD flags = 0;
};
struct SystemScript {
    std::vector<DisplayMode> listed;  // refresh_rate as the system gives it
    bool currentReadable = true;
    LONG changeResult = DISP_CHANGE_SUCCESSFUL;
    std::vector<std::wstring> askedDevices;
    std::vector<Change> changes;
    std::map<HDC, std::wstring> made;  // DC -> the device it was made for
    std::vector<std::wstring> badCreations;
    std::vector<std::pair<std::wstring, DeviceRamp>> written;  // the device whose DC took it
    std::vector<HDC> unknownDcs;
    int deleted = 0;
};
SystemScript* g_system = nullptr;

BOOL WINAPI NoDevices(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD) { return FALSE; }
BOOL WINAPI Settings(LPCWSTR device, DWORD index, DEVMODEW* mode, DWORD) {
    g_system->askedDevices.emplace_back(device ? device : L"");
    DisplayMode listed = kStartup;
    if (index == ENUM_CURRENT_SETTINGS) {
        if (!g_system->currentReadable) return FALSE;
    } else if (index < g_system->listed.size()) {
        listed = g_system->listed[index];
    } else {
        return FALSE;
    }
    mode->dmPelsWidth = listed.width;
    mode->dmPelsHeight = listed.height;
    mode->dmBitsPerPel = listed.bpp;
    mode->dmDisplayFrequency = listed.refresh_rate;
    return TRUE;
}
LONG WINAPI ChangeSettings(LPCWSTR device, DEVMODEW* mode, HWND, DWORD flags, LPVOID) {
    Change change{device ? device : L"", mode != nullptr, 0, {}, flags};
    if (mode) {
        change.fields = mode->dmFields;
        change.mode = {mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel, mode->dmDisplayFrequency};
    }
    g_system->changes.push_back(change);
    return g_system->changeResult;
}
HDC WINAPI MakeDc(LPCWSTR driver, LPCWSTR device, LPCWSTR, const DEVMODEW*) {
    if (driver == nullptr || std::wstring(driver) != L"DISPLAY" || device == nullptr) {
        g_system->badCreations.emplace_back(device ? device : L"(null)");
        return nullptr;
    }
    const HDC dc = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x1000 + g_system->made.size() + 1));
    g_system->made[dc] = device;
    return dc;
}
BOOL WINAPI FreeDc(HDC dc) {
    if (g_system->made.erase(dc) == 1) ++g_system->deleted;
    return TRUE;
}
bool KnownDc(HDC dc) {
    if (g_system->made.count(dc) == 1) return true;
    g_system->unknownDcs.push_back(dc);
    return false;
}
BOOL WINAPI ReadRampOf(HDC dc, LPVOID ramp) {
    if (!KnownDc(dc)) return FALSE;
    const DeviceRamp own = RampOf(200, g_system->made[dc] == kDisplay1 ? 1 : 2);
    std::memcpy(ramp, own.data(), sizeof(own));
    return TRUE;
}
BOOL WINAPI WriteRampOf(HDC dc, LPVOID ramp) {
    if (!KnownDc(dc)) return FALSE;
    DeviceRamp copy;
    std::memcpy(copy.data(), ramp, sizeof(copy));
    g_system->written.emplace_back(g_system->made[dc], copy);
    return g_system->made[dc] == kDisplay1;
}
const orvel::DisplaySettingsApi kScriptedApi{&NoDevices, &Settings,  &ChangeSettings, &MakeDc,
                                             &FreeDc,    &ReadRampOf, &WriteRampOf};

std::vector<orvel::DisplayEntry> MakeOnScriptedSystem() {
    std::vector<orvel::DisplayEntry> entries(2);
    entries[0].device.device = kDisplay1;
    entries[0].device.primary = true;
    entries[0].backEnd = std::make_unique<orvel::CDisplaySettingsBackEnd>(kScriptedApi, kDisplay1);
    entries[1].device.device = kDisplay2;
    entries[1].backEnd = std::make_unique<orvel::CDisplaySettingsBackEnd>(kScriptedApi, kDisplay2);
    return entries;
}

class CoreDisplays : public CoreTest {
protected:
    void SetUp() override { g_system = &m_system; }
    void TearDown() override {
        CoreTest::TearDown();  // the core's back ends go first; the scripts go with the test
        g_scripts = nullptr;
        g_system = nullptr;
    }
    void Attach(std::size_t displays) {
        m_scripts.resize(displays);
        for (std::size_t i = 0; i < m_scripts.size(); ++i) m_scripts[i].startupRamp = RampOf(200, static_cast<int>(i) + 1);
        g_scripts = &m_scripts;
        ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeFakes));
    }
    // `code` with its payload inside CORE_CMD_ON_DISPLAY for `display`.
    LRESULT SendOn(std::uint32_t display, std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        std::vector<unsigned char> envelope(sizeof(DisplayCommandHeader) + size);
        const DisplayCommandHeader header{display, code};
        std::memcpy(envelope.data(), &header, sizeof(header));
        if (size != 0) std::memcpy(envelope.data() + sizeof(header), payload, size);
        return Send(CORE_CMD_ON_DISPLAY, envelope.data(), static_cast<std::uint32_t>(envelope.size()));
    }

    std::vector<FakeScript> m_scripts;
    SystemScript m_system;
    const GammaTable m_table = DimTable();
};

}  // namespace

TEST_F(CoreDisplays, ARampForEveryDisplayStopsAtNoRefusalAndEveryRestoreGivesEachItsOwn) {
    Attach(3);
    m_scripts[1].refuseRamp = true;
    m_scripts[2].gammaControl = false;  // takes no ramp, like a DisplayLink dock
    ASSERT_TRUE(Init());
    const DeviceRamp dim = DimRamp();
    const HWND core = CCoreLibrary::Instance().CoreWindow();

    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 1);
    ASSERT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));
    EXPECT_EQ(m_recorder.replies[0].index, 1u);
    EXPECT_EQ(m_recorder.replies[0].from, core);
    EXPECT_EQ(m_scripts[0].device, dim);
    EXPECT_EQ(m_scripts[1].writes, std::vector<DeviceRamp>{dim});
    EXPECT_TRUE(m_scripts[2].writes.empty());

    // One display: the plain code goes to the primary and is answered as it always was; inside
    // the envelope a refusal is named too.
    m_recorder.replies.clear();
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 0);
    EXPECT_TRUE(m_recorder.replies.empty());
    EXPECT_EQ(SendOn(1, CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 1);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));

    const DisplayMode other{800, 600, 32, 0};
    auto changeBoth = [&] {
        m_scripts[1].refuseRamp = false;
        ASSERT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 0);
        for (std::uint32_t display : {0u, 1u}) ASSERT_EQ(SendOn(display, CORE_CMD_SET_MODE, &other, 16), 0);
        ASSERT_EQ(m_scripts[1].device, dim);
    };
    auto expectEachBack = [&](const char* how) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(m_scripts[i].device, m_scripts[i].startupRamp) << how << ", display " << i;
            EXPECT_EQ(m_scripts[i].current, kStartup) << how << ", display " << i;
        }
        EXPECT_TRUE(m_scripts[2].writes.empty()) << how;
    };

    changeBoth();
    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_RESTORE_SCREEN), 0);
    expectEachBack("Restore Screen");

    changeBoth();
    SendMessageW(core, WM_ENDSESSION, TRUE, 0);
    expectEachBack("the end of the session");

    // The fault filter's way (the library's own entry runs once per process). The user-interface
    // thread goes on until the process ends; what it is still asked to do must not change the
    // screen again, which no record would then put right.
    changeBoth();
    CCoreLibrary::Instance().Displays()->RestoreAfterFault(2000);
    expectEachBack("the fault filter");
    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 1);
    for (std::uint32_t display : {0u, 1u}) SendOn(display, CORE_CMD_SET_MODE, &other, 16);
    expectEachBack("a command after the fault");
}

TEST_F(CoreDisplays, EachDisplaysRampGoesThroughItsOwnDcAndNeverTheScreens) {
    ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeOnScriptedSystem));
    {
        // Each display's start-up ramp is read through its own DC too.
        MessageBoxWatcher watcher(L"Failed");
        ASSERT_TRUE(Init());
        watcher.Stop();
        EXPECT_EQ(watcher.count, 0) << "no start-up ramp: " << std::string(watcher.text.begin(), watcher.text.end());
    }
    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, m_table.data(), 3072), 1);
    ASSERT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));
    EXPECT_EQ(m_recorder.replies[0].index, 1u);
    using Writes = decltype(m_system.written);
    EXPECT_EQ(m_system.written, (Writes{{kDisplay1, DimRamp()}, {kDisplay2, DimRamp()}}));

    m_system.written.clear();
    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(m_system.written, (Writes{{kDisplay1, RampOf(200, 1)}, {kDisplay2, RampOf(200, 2)}}));

    EXPECT_TRUE(m_system.unknownDcs.empty()) << "a ramp went through a DC made for no display";
    EXPECT_TRUE(m_system.badCreations.empty()) << "a DC for the whole screen was made";
    EXPECT_EQ(m_system.made.size(), 2u);  // one DC per display, kept
    CCoreLibrary::Instance().ClearUp();
    EXPECT_EQ(m_system.deleted, 2);
    EXPECT_TRUE(m_system.made.empty());
}

namespace {

class DisplaySettingsBackEnd : public ::testing::Test {
protected:
    void SetUp() override { g_system = &m_system; }

    // The modes the back end delivers to a receiver that stops after `stopAfter` (0: never).
    std::vector<DisplayMode> Enumerate(std::size_t stopAfter = 0) {
        std::pair<std::vector<DisplayMode>, std::size_t> sink{{}, stopAfter};
        m_backEnd.EnumModes(
            [](const DisplayMode& mode, void* context) {
                auto& [modes, stop] = *static_cast<decltype(sink)*>(context);
                modes.push_back(mode);
                return modes.size() != stop;
            },
            &sink);
        return sink.first;
    }

    SystemScript m_system;  // outlives the back end
    orvel::CDisplaySettingsBackEnd m_backEnd{kScriptedApi, kDisplay2};
};

}  // namespace

TEST_F(DisplaySettingsBackEnd, ListsEachModeOfItsDisplayOnceWithTheDefaultRateAsZero) {
    m_system.currentReadable = false;
    EXPECT_TRUE(FAILED(m_backEnd.Open(nullptr)));
    EXPECT_FALSE(m_backEnd.CanChangeModes());

    m_system.currentReadable = true;
    // The system lists a mode once per output variant, and 0 and 1 both mean the default rate.
    m_system.listed = {{800, 600, 32, 60}, {800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 16, 1},
                       {1024, 768, 16, 0}, {800, 600, 32, 75}, {640, 480, 8, 60}};
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    ASSERT_TRUE(m_backEnd.CanChangeModes());
    EXPECT_EQ(Enumerate(), (std::vector<DisplayMode>{{800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 16, 0},
                                                     {640, 480, 8, 60}}));
    for (const std::wstring& device : m_system.askedDevices) EXPECT_EQ(device, kDisplay2);
    EXPECT_EQ(Enumerate(2).size(), 2u);
}

TEST_F(DisplaySettingsBackEnd, ChangesAreTemporaryAndOnlyItsOwnChangeIsUndone) {
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    // Nothing changed yet: a temporary mode of another program stays.
    m_backEnd.RestoreMode();
    m_system.changeResult = DISP_CHANGE_BADMODE;
    EXPECT_TRUE(FAILED(m_backEnd.SetMode({1234, 567, 32, 60})));
    m_backEnd.RestoreMode();
    ASSERT_EQ(m_system.changes.size(), 1u);
    EXPECT_EQ(m_system.changes[0].fields, static_cast<DWORD>(DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY));
    EXPECT_EQ(m_system.changes[0].mode.refresh_rate, 60u);

    m_system.changes.clear();
    m_system.changeResult = DISP_CHANGE_SUCCESSFUL;
    EXPECT_EQ(m_backEnd.SetMode({1024, 768, 32, 0}), S_OK);
    ASSERT_EQ(m_system.changes.size(), 1u);
    const Change& change = m_system.changes[0];
    EXPECT_EQ(change.device, kDisplay2);
    // Rate 0 leaves the rate to the system.
    EXPECT_EQ(change.fields, static_cast<DWORD>(DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL));
    EXPECT_EQ(change.mode, (DisplayMode{1024, 768, 32, 0}));
    EXPECT_EQ(change.flags, static_cast<DWORD>(CDS_FULLSCREEN));

    // A second Open (a second InitCore) still knows the mode was changed. A refused return is
    // reported and tried again by the next restore; once back, nothing more is undone.
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    m_system.changeResult = DISP_CHANGE_FAILED;
    EXPECT_FALSE(m_backEnd.RestoreMode());
    m_system.changeResult = DISP_CHANGE_SUCCESSFUL;
    EXPECT_TRUE(m_backEnd.RestoreMode());
    EXPECT_TRUE(m_backEnd.RestoreMode());
    ASSERT_EQ(m_system.changes.size(), 3u);
    EXPECT_EQ(m_system.changes[2].device, kDisplay2);
    EXPECT_FALSE(m_system.changes[2].hasMode);
    EXPECT_EQ(m_system.changes[2].flags, 0u);
}

// Several displays through the command channel: a ramp for every display reaches each, a display
// that refuses it is named and stops no other, and every restore gives each display its own
// start-up ramp; each display's ramp goes through a DC of its own. Scripted back ends, and the
// display-settings back end on scripted GDI functions for the ramps' DCs. (Listing the displays,
// addressing one and the next start after a kill are the two-display journey's.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "core/CCoreLibrary.h"
#include "core/CDisplaySettingsBackEnd.h"
#include "core/DisplayInfo.h"
#include "core/CRecoveryFile.h"
#include "core/GammaMath.h"
#include "tests/wine/core/FakeBackEnd.h"
#include "tests/wine/core/ReplyRecorder.h"

using orvel::CCoreLibrary;

namespace {

DeviceRamp RampOf(int step, int offset) {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(step * (i % 256) + offset);
    return ramp;
}

struct Screen {
    const wchar_t* device;
    const wchar_t* name;
    bool primary;
};
std::vector<FakeScript>* g_scripts = nullptr;
std::vector<Screen> g_screens;

std::vector<orvel::DisplayEntry> MakeFakes() {
    std::vector<orvel::DisplayEntry> entries;
    for (std::size_t i = 0; i < g_screens.size(); ++i) {
        orvel::DisplayEntry entry;
        entry.device.device = g_screens[i].device;
        entry.device.name = g_screens[i].name;
        entry.device.id = std::wstring(L"monitor-") + g_screens[i].device;
        entry.device.primary = g_screens[i].primary;
        entry.device.rect = RECT{static_cast<LONG>(1280 * i), 0, static_cast<LONG>(1280 * (i + 1)), 1024};
        entry.backEnd = std::make_unique<FakeBackEnd>((*g_scripts)[i]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The display-settings back end with the system's ramp functions scripted: each display's ramp
// goes through a DC made for that display alone, and no other DC ever carries one.
struct GdiScript {
    std::map<HDC, std::wstring> made;  // DC -> the device it was made for
    std::vector<std::wstring> badCreations;
    std::vector<std::pair<HDC, DeviceRamp>> written;
    std::vector<HDC> unknownDcs;
    int deleted = 0;
};
GdiScript* g_gdi = nullptr;

class CoreDisplays : public ::testing::Test {
protected:
    void Attach(std::vector<Screen> screens) {
        g_screens = std::move(screens);
        m_scripts.resize(g_screens.size());
        for (std::size_t i = 0; i < m_scripts.size(); ++i) m_scripts[i].startupRamp = RampOf(200, static_cast<int>(i) + 1);
        g_scripts = &m_scripts;
        ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeFakes));
    }
    void TearDown() override {
        CCoreLibrary::Instance().ClearUp();
        g_scripts = nullptr;
        g_gdi = nullptr;
    }
    bool Init() { return CCoreLibrary::Instance().Init(m_recorder.Handle()); }
    LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return CCoreLibrary::Instance().Send(m_recorder.Handle(), code, payload, size);
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
    GdiScript m_gdi;
    ReplyRecorder m_recorder;
};

const DisplayMode kStartup{1280, 1024, 32, 60};

TEST_F(CoreDisplays, ARampForEveryDisplayStopsAtNoRefusalAndEveryRestoreGivesEachItsOwn) {
    Attach({{L"\\\\.\\DISPLAY1", L"Main", true}, {L"\\\\.\\DISPLAY2", L"Refuses", false}, {L"\\\\.\\DISPLAY3", L"Dock", false}});
    m_scripts[1].refuseRamp = true;
    m_scripts[2].gammaControl = false;  // takes no ramp, like a DisplayLink dock
    ASSERT_TRUE(Init());

    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>((i % 256) / 2);
    DeviceRamp dim;
    orvel::WidenGammaTable(table.data(), dim);
    const HWND core = CCoreLibrary::Instance().CoreWindow();

    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 1);
    ASSERT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));
    EXPECT_EQ(m_recorder.replies[0].index, 1u);
    EXPECT_EQ(m_recorder.replies[0].from, core);
    EXPECT_EQ(m_scripts[0].device, dim);
    EXPECT_EQ(m_scripts[1].writes, std::vector<DeviceRamp>{dim});
    EXPECT_TRUE(m_scripts[2].writes.empty());

    // One display: the plain code goes to the primary and is answered as it always was; inside
    // the envelope a refusal is named too.
    m_recorder.replies.clear();
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
    EXPECT_TRUE(m_recorder.replies.empty());
    EXPECT_EQ(SendOn(1, CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 1);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));

    const DisplayMode other{800, 600, 32, 0};
    auto changeBoth = [&] {
        m_scripts[1].refuseRamp = false;
        ASSERT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
        ASSERT_EQ(SendOn(0, CORE_CMD_SET_MODE, &other, 16), 0);
        ASSERT_EQ(SendOn(1, CORE_CMD_SET_MODE, &other, 16), 0);
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

    // The fault filter's way (the library's own entry runs once per process).
    changeBoth();
    CCoreLibrary::Instance().Displays()->RestoreAfterFault(2000);
    expectEachBack("the fault filter");
}


BOOL WINAPI TwoDevices(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD) { return FALSE; }
BOOL WINAPI CurrentMode(LPCWSTR device, DWORD, DEVMODEW* mode, DWORD) {
    if (device == nullptr) return FALSE;
    mode->dmPelsWidth = 1280;
    mode->dmPelsHeight = 1024;
    mode->dmBitsPerPel = 32;
    mode->dmDisplayFrequency = 60;
    return TRUE;
}
LONG WINAPI NoChange(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID) { return DISP_CHANGE_SUCCESSFUL; }
HDC WINAPI MakeDc(LPCWSTR driver, LPCWSTR device, LPCWSTR, const DEVMODEW*) {
    if (driver == nullptr || std::wstring(driver) != L"DISPLAY" || device == nullptr) {
        g_gdi->badCreations.emplace_back(device ? device : L"(null)");
        return nullptr;
    }
    const HDC dc = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x1000 + g_gdi->made.size() + 1));
    g_gdi->made[dc] = device;
    return dc;
}
BOOL WINAPI FreeDc(HDC dc) {
    if (g_gdi->made.erase(dc) == 1) ++g_gdi->deleted;
    return TRUE;
}
bool KnownDc(HDC dc) {
    if (g_gdi->made.count(dc) == 1) return true;
    g_gdi->unknownDcs.push_back(dc);
    return false;
}
BOOL WINAPI ReadRampOf(HDC dc, LPVOID ramp) {
    if (!KnownDc(dc)) return FALSE;
    // Each display starts with a ramp of its own.
    const DeviceRamp own = RampOf(200, g_gdi->made[dc] == L"\\\\.\\DISPLAY1" ? 1 : 2);
    std::memcpy(ramp, own.data(), sizeof(own));
    return TRUE;
}
BOOL WINAPI WriteRampOf(HDC dc, LPVOID ramp) {
    if (!KnownDc(dc)) return FALSE;
    DeviceRamp copy;
    std::memcpy(copy.data(), ramp, sizeof(copy));
    g_gdi->written.emplace_back(dc, copy);
    // The second display refuses every ramp.
    return g_gdi->made[dc] == L"\\\\.\\DISPLAY1";
}

std::vector<orvel::DisplayEntry> MakeOnScriptedGdi() {
    const orvel::DisplaySettingsApi api{&TwoDevices, &CurrentMode, &NoChange, &MakeDc, &FreeDc, &ReadRampOf, &WriteRampOf};
    std::vector<orvel::DisplayEntry> entries(2);
    entries[0].device.device = L"\\\\.\\DISPLAY1";
    entries[0].device.primary = true;
    entries[0].backEnd = std::make_unique<orvel::CDisplaySettingsBackEnd>(api, L"\\\\.\\DISPLAY1");
    entries[1].device.device = L"\\\\.\\DISPLAY2";
    entries[1].backEnd = std::make_unique<orvel::CDisplaySettingsBackEnd>(api, L"\\\\.\\DISPLAY2");
    return entries;
}

TEST_F(CoreDisplays, EachDisplaysRampGoesThroughItsOwnDcAndNeverTheScreens) {
    GdiScript& gdi = m_gdi;
    g_gdi = &gdi;
    ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeOnScriptedGdi));
    {
        // Each display's start-up ramp is read through its own DC too.
        MessageBoxWatcher watcher(L"Failed");
        ASSERT_TRUE(Init());
        watcher.Stop();
        EXPECT_EQ(watcher.count, 0) << "no start-up ramp: " << std::string(watcher.text.begin(), watcher.text.end());
    }
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>((i % 256) / 2);
    DeviceRamp dim;
    orvel::WidenGammaTable(table.data(), dim);

    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 1);
    ASSERT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_GAMMA_REFUSED, CORE_RPL_GAMMA_FAILED}));
    EXPECT_EQ(m_recorder.replies[0].index, 1u);
    ASSERT_EQ(gdi.written.size(), 2u);
    EXPECT_EQ(gdi.made[gdi.written[0].first], L"\\\\.\\DISPLAY1");
    EXPECT_EQ(gdi.written[0].second, dim);
    EXPECT_EQ(gdi.made[gdi.written[1].first], L"\\\\.\\DISPLAY2");

    gdi.written.clear();
    EXPECT_EQ(SendOn(kAllDisplays, CORE_CMD_RESTORE_SCREEN), 0);
    ASSERT_EQ(gdi.written.size(), 2u);
    EXPECT_EQ(gdi.made[gdi.written[0].first], L"\\\\.\\DISPLAY1");
    EXPECT_EQ(gdi.written[0].second, RampOf(200, 1));
    EXPECT_EQ(gdi.made[gdi.written[1].first], L"\\\\.\\DISPLAY2");
    EXPECT_EQ(gdi.written[1].second, RampOf(200, 2));

    EXPECT_TRUE(gdi.unknownDcs.empty()) << "a ramp went through a DC made for no display";
    EXPECT_TRUE(gdi.badCreations.empty()) << "a DC for the whole screen was made";
    EXPECT_EQ(gdi.made.size(), 2u);  // one DC per display, kept
    CCoreLibrary::Instance().ClearUp();
    EXPECT_EQ(gdi.deleted, 2);
    EXPECT_TRUE(gdi.made.empty());
}

}  // namespace

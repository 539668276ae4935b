// The display-settings back end with the system's display-settings functions scripted: which
// display it asks, what it lists, how it changes the mode and when it puts it back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/CDisplaySettingsBackEnd.h"

namespace {

struct Change {
    std::wstring device;  // empty for a null device
    bool hasMode = false;
    DWORD fields = 0;
    DisplayMode mode{};
    DWORD flags = 0;
};

struct SettingsScript {
    std::vector<DisplayMode> listed;  // refresh_rate as the system gives it
    bool currentReadable = true;
    LONG changeResult = DISP_CHANGE_SUCCESSFUL;
    std::vector<std::wstring> askedDevices;
    std::vector<Change> changes;
};

SettingsScript* g_script = nullptr;

// Two displays; the second is the primary one.
BOOL WINAPI ScriptedDevices(LPCWSTR, DWORD index, PDISPLAY_DEVICEW device, DWORD)
{
    if (index > 1) return FALSE;
    std::wcscpy(device->DeviceName, index == 0 ? L"\\\\.\\DISPLAY1" : L"\\\\.\\DISPLAY2");
    device->StateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | (index == 1 ? DISPLAY_DEVICE_PRIMARY_DEVICE : 0);
    return TRUE;
}

BOOL WINAPI ScriptedSettings(LPCWSTR device, DWORD index, DEVMODEW* mode, DWORD)
{
    g_script->askedDevices.emplace_back(device ? device : L"");
    DisplayMode listed{1280, 1024, 32, 60};
    if (index == ENUM_CURRENT_SETTINGS) {
        if (!g_script->currentReadable) return FALSE;
    } else if (index < g_script->listed.size()) {
        listed = g_script->listed[index];
    } else {
        return FALSE;
    }
    mode->dmPelsWidth = listed.width;
    mode->dmPelsHeight = listed.height;
    mode->dmBitsPerPel = listed.bpp;
    mode->dmDisplayFrequency = listed.refresh_rate;
    return TRUE;
}

LONG WINAPI ScriptedChange(LPCWSTR device, DEVMODEW* mode, HWND, DWORD flags, LPVOID)
{
    Change change{device ? device : L"", mode != nullptr, 0, {}, flags};
    if (mode) {
        change.fields = mode->dmFields;
        change.mode = {mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel, mode->dmDisplayFrequency};
    }
    g_script->changes.push_back(change);
    return g_script->changeResult;
}

class DisplaySettingsBackEnd : public ::testing::Test {
protected:
    void SetUp() override { g_script = &m_script; }
    void TearDown() override { g_script = nullptr; }

    orvel::CDisplaySettingsBackEnd m_backEnd{orvel::DisplaySettingsApi{&ScriptedDevices, &ScriptedSettings, &ScriptedChange}};
    SettingsScript m_script;
};

std::vector<DisplayMode> g_delivered;
int g_stopAfter = 0;

bool Collect(const DisplayMode& mode, void*)
{
    g_delivered.push_back(mode);
    return static_cast<int>(g_delivered.size()) != g_stopAfter;
}

std::string Text(const std::vector<DisplayMode>& modes)
{
    std::string text;
    for (const DisplayMode& m : modes)
        text += std::to_string(m.width) + "x" + std::to_string(m.height) + "x" + std::to_string(m.bpp) + "@" +
                std::to_string(m.refresh_rate) + " ";
    return text;
}

}  // namespace

TEST_F(DisplaySettingsBackEnd, ListsEachModeOfThePrimaryDisplayOnceWithTheDefaultRateAsZero)
{
    m_script.currentReadable = false;
    EXPECT_TRUE(FAILED(m_backEnd.Open(nullptr)));
    EXPECT_FALSE(m_backEnd.CanChangeModes());

    m_script.currentReadable = true;
    // The system lists a mode once per output variant, and 0 and 1 both mean the default rate.
    m_script.listed = {{800, 600, 32, 60},  {800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 16, 1},
                       {1024, 768, 16, 0},  {800, 600, 32, 75}, {640, 480, 8, 60}};
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    ASSERT_TRUE(m_backEnd.CanChangeModes());
    g_delivered.clear();
    g_stopAfter = 0;
    m_backEnd.EnumModes(&Collect, nullptr);
    EXPECT_EQ(Text(g_delivered), "800x600x32@60 800x600x32@75 1024x768x16@0 640x480x8@60 ");
    for (const std::wstring& device : m_script.askedDevices) EXPECT_EQ(device, L"\\\\.\\DISPLAY2");

    // A receiver that stops at the second mode gets two.
    g_delivered.clear();
    g_stopAfter = 2;
    m_backEnd.EnumModes(&Collect, nullptr);
    EXPECT_EQ(g_delivered.size(), 2u);
}

TEST_F(DisplaySettingsBackEnd, ChangesAreTemporaryAndOnlyItsOwnChangeIsUndone)
{
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    // Nothing changed yet: a temporary mode of another program stays.
    m_backEnd.RestoreMode();
    m_script.changeResult = DISP_CHANGE_BADMODE;
    EXPECT_TRUE(FAILED(m_backEnd.SetMode({1234, 567, 32, 60})));
    m_backEnd.RestoreMode();
    ASSERT_EQ(m_script.changes.size(), 1u);
    EXPECT_EQ(m_script.changes[0].fields, static_cast<DWORD>(DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY));
    EXPECT_EQ(m_script.changes[0].mode.refresh_rate, 60u);

    m_script.changes.clear();
    m_script.changeResult = DISP_CHANGE_SUCCESSFUL;
    EXPECT_EQ(m_backEnd.SetMode({1024, 768, 32, 0}), S_OK);
    ASSERT_EQ(m_script.changes.size(), 1u);
    const Change& change = m_script.changes[0];
    EXPECT_EQ(change.device, L"\\\\.\\DISPLAY2");
    // Rate 0 leaves the rate to the system.
    EXPECT_EQ(change.fields, static_cast<DWORD>(DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL));
    EXPECT_EQ(Text({change.mode}), "1024x768x32@0 ");
    EXPECT_EQ(change.flags, static_cast<DWORD>(CDS_FULLSCREEN));

    // A second Open (a second InitCore) still knows the mode was changed. A refused return is
    // reported and tried again by the next restore; once back, nothing more is undone.
    ASSERT_EQ(m_backEnd.Open(nullptr), S_OK);
    m_script.changeResult = DISP_CHANGE_FAILED;
    EXPECT_FALSE(m_backEnd.RestoreMode());
    m_script.changeResult = DISP_CHANGE_SUCCESSFUL;
    EXPECT_TRUE(m_backEnd.RestoreMode());
    EXPECT_TRUE(m_backEnd.RestoreMode());
    ASSERT_EQ(m_script.changes.size(), 3u);
    EXPECT_EQ(m_script.changes[2].device, L"");
    EXPECT_FALSE(m_script.changes[2].hasMode);
    EXPECT_EQ(m_script.changes[2].flags, 0u);
}

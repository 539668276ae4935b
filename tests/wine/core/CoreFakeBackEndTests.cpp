// The core window, dispatcher and CDisplay driven through the command channel with a
// scripted back end. The core is attached the way DllMain attaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/CCoreLibrary.h"
#include "core/GammaMath.h"
#include "tests/wine/core/FakeBackEnd.h"
#include "tests/wine/core/ReplyRecorder.h"

using orvel::CCoreLibrary;

namespace {

FakeScript* g_script = nullptr;

std::unique_ptr<orvel::IDisplayBackEnd> MakeFake() { return std::make_unique<FakeBackEnd>(*g_script); }

DeviceRamp IdentityRamp() {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(257 * (i % 256));
    return ramp;
}

// A recognisable start-up ramp, different from anything a command writes.
DeviceRamp StartupRamp() {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(200 * (i % 256) + 3);
    return ramp;
}

class CoreChannel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeFake));
    }

    void SetUp() override {
        m_script.startupRamp = StartupRamp();
        g_script = &m_script;
    }
    void TearDown() override {
        CCoreLibrary::Instance().ClearUp();
        g_script = nullptr;
    }

    bool Init() { return CCoreLibrary::Instance().Init(m_recorder.Handle()); }
    LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return CCoreLibrary::Instance().Send(m_recorder.Handle(), code, payload, size);
    }
    // The calls the core made after Init ("open", "capture" and what came before).
    FakeScript m_script;
    ReplyRecorder m_recorder;
};

// Every command, each with a payload large enough for it.
void SendEveryCode(CoreChannel* test, const std::function<LRESULT(std::uint32_t, const void*, std::uint32_t)>& send,
                   std::vector<LRESULT>& results) {
    GammaTable table{};
    DisplayMode mode{800, 600, 32, 0};
    std::uint32_t levels[3] = {50, 50, 50};
    for (std::uint32_t code : {CORE_CMD_SET_MODE, CORE_CMD_ENUM_MODES, CORE_CMD_RESTORE_SCREEN,
                               CORE_CMD_SET_GAMMA_LEVELS, CORE_CMD_SET_GAMMA_RAMP, CORE_CMD_RESTORE_GAMMA,
                               CORE_CMD_PROBE_GAMMA, CORE_CMD_GAMMA_SWEEP, CORE_CMD_GET_MODE,
                               CORE_CMD_CHECK_GAMMA_RAMP, 3u, 12u, 99u}) {
        const void* payload = code == CORE_CMD_SET_MODE ? static_cast<const void*>(&mode)
                              : code == CORE_CMD_SET_GAMMA_LEVELS ? static_cast<const void*>(levels)
                                                                  : static_cast<const void*>(table.data());
        results.push_back(send(code, payload, 3072));
    }
}

}  // namespace

TEST_F(CoreChannel, EveryCommandBeforeInitAndAfterClearUpReturnsOneWithoutReplyOrDeviceCall) {
    auto send = [this](std::uint32_t code, const void* payload, std::uint32_t size) { return Send(code, payload, size); };
    std::vector<LRESULT> before;
    SendEveryCode(this, send, before);
    EXPECT_TRUE(std::all_of(before.begin(), before.end(), [](LRESULT r) { return r == 1; }));

    ASSERT_TRUE(Init());
    CCoreLibrary::Instance().ClearUp();
    m_script.calls.clear();
    std::vector<LRESULT> after;
    SendEveryCode(this, send, after);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](LRESULT r) { return r == 1; }));
    EXPECT_TRUE(m_recorder.replies.empty());
    EXPECT_TRUE(m_script.calls.empty());
}

TEST_F(CoreChannel, InitOpensCapturesAndASecondInitReleasesFirst) {
    ASSERT_TRUE(Init());
    ASSERT_TRUE(Init());
    const std::vector<std::string> expected = {"release", "open",    "capture", "getmode", "release",
                                               "destroy", "release", "open",    "capture", "getmode"};
    EXPECT_EQ(m_script.calls, expected);
    m_script.calls.clear();
    CCoreLibrary::Instance().ClearUp();
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"release", "destroy"}));
}

TEST_F(CoreChannel, EnumerationIsBracketedWithZeroAndWithManyModes) {
    ASSERT_TRUE(Init());
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODES_END}));

    m_recorder.replies.clear();
    for (std::uint32_t rate : {60u, 75u, 85u}) m_script.modes.push_back({1024, 768, 32, rate});
    for (std::uint32_t i = 0; i < 40; ++i) m_script.modes.push_back({640 + 8 * i, 480, 16, 0});
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    const auto& replies = m_recorder.replies;
    ASSERT_EQ(replies.size(), m_script.modes.size() + 2);
    const HWND core = CCoreLibrary::Instance().CoreWindow();
    EXPECT_EQ(replies.front().code, CORE_RPL_MODES_BEGIN);
    EXPECT_EQ(replies.front().from, core);
    EXPECT_EQ(replies.back().code, CORE_RPL_MODES_END);
    EXPECT_EQ(replies.back().from, core);
    for (std::size_t i = 0; i < m_script.modes.size(); ++i) {
        const auto& reply = replies[i + 1];
        ASSERT_EQ(reply.code, CORE_RPL_MODE);
        EXPECT_EQ(reply.from, nullptr);
        EXPECT_EQ(reply.size, 16u);
        EXPECT_EQ(std::memcmp(&reply.mode, &m_script.modes[i], sizeof(DisplayMode)), 0) << i;
    }
}

TEST_F(CoreChannel, AReceiverStoppingAtTheThirdModeGetsThreeThenEnd) {
    for (std::uint32_t i = 0; i < 6; ++i) m_script.modes.push_back({800, 600, 32, 60 + i});
    ASSERT_TRUE(Init());
    m_recorder.StopAtMode(3);
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODE, CORE_RPL_MODE,
                                                              CORE_RPL_MODE, CORE_RPL_MODES_END}));
    EXPECT_EQ(m_script.modesOffered, 3);
}

TEST_F(CoreChannel, ANullSenderStopsTheEnumerationBeforeTheFirstMode) {
    m_script.modes = {{800, 600, 32, 60}, {1024, 768, 32, 60}};
    ASSERT_TRUE(Init());
    EXPECT_EQ(CCoreLibrary::Instance().Send(nullptr, CORE_CMD_ENUM_MODES, nullptr, 0), 0);
    EXPECT_EQ(m_script.modesOffered, 1);
    EXPECT_TRUE(m_recorder.replies.empty());
}

TEST_F(CoreChannel, UndefinedCodesAreIgnoredWithResultZero) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    GammaTable table{};
    for (std::uint32_t code : {3u, 12u, 99u, 0u, 0xFFFFFFFFu}) EXPECT_EQ(Send(code, table.data(), 3072), 0) << code;
    EXPECT_TRUE(m_script.calls.empty());
    EXPECT_TRUE(m_recorder.replies.empty());
}

TEST_F(CoreChannel, ShortOrMissingPayloadsAreRefusedUnread) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    std::vector<std::uint8_t> bytes(3072, 0);
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, bytes.data(), 15), 1);
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, nullptr, 16), 1);
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, bytes.data(), 3071), 1);
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, nullptr, 3072), 1);
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_LEVELS, bytes.data(), 11), 1);
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_LEVELS, nullptr, 12), 1);
    EXPECT_TRUE(m_script.calls.empty());
    EXPECT_TRUE(m_recorder.replies.empty());
    // A longer payload than needed is fine: only the first bytes are read.
    DisplayMode mode[2] = {{800, 600, 32, 0}, {1, 1, 1, 1}};
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, mode, sizeof(mode)), 0);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"setmode 800x600x32@0"}));
}

struct RefusedModeCase {
    DisplayMode mode;
    const wchar_t* text;
};

class CoreRefusedMode : public CoreChannel, public ::testing::WithParamInterface<RefusedModeCase> {};

TEST_P(CoreRefusedMode, ShowsOneWarningThenRestoresTheRampAndThenTheModeButTryingItChangesNothing) {
    const DisplayMode refused = GetParam().mode;
    m_script.refusedModes = {refused};
    ASSERT_TRUE(Init());
    const DisplayMode good{1024, 768, 32, 60};
    ASSERT_EQ(Send(CORE_CMD_SET_MODE, &good, 16), 0);
    GammaTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<int>(i % 256) / 2;
    ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
    m_script.calls.clear();
    m_script.writes.clear();

    MessageBoxWatcher watcher(L"Zerenta Warning");
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, &refused, 16), 0);
    watcher.Stop();
    EXPECT_EQ(watcher.count, 1);
    EXPECT_EQ(watcher.text, GetParam().text);
    EXPECT_EQ(watcher.owner, CCoreLibrary::Instance().CoreWindow());
    EXPECT_EQ(m_script.calls,
              (std::vector<std::string>{"setmode " + FakeBackEnd::Text(refused), "write", "restoremode"}));
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], StartupRamp());
    EXPECT_TRUE(m_recorder.replies.empty());

    // A command line cannot answer a box: the refusal is the result, and nothing is put back.
    ASSERT_EQ(Send(CORE_CMD_TRY_MODE, &good, 16), 0);
    m_script.calls.clear();
    MessageBoxWatcher quiet(L"Zerenta Warning");
    EXPECT_EQ(Send(CORE_CMD_TRY_MODE, &refused, 16), 1);
    EXPECT_EQ(Send(CORE_CMD_TRY_MODE, &refused, 15), 1);
    quiet.Stop();
    EXPECT_EQ(quiet.count, 0);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"setmode " + FakeBackEnd::Text(refused)}));
}

INSTANTIATE_TEST_SUITE_P(
    DefaultAndGivenRate, CoreRefusedMode,
    ::testing::Values(
        RefusedModeCase{{1234, 567, 32, 0},
                        L"Failed to change the display mode: 1234 x 567,32 bpp, at default refresh rate.)\n"},
        // Fields are unsigned on the wire and printed signed.
        RefusedModeCase{{800, 600, 0xFFFFFFFFu, 75}, L"Failed to change the display mode: 800 x 600,-1 bpp, @75 Hz.\n"}));

TEST_F(CoreChannel, RestoreCommandsWriteTheStartupRampAndRestoreTheMode) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 0);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"write", "restoremode", "write"}));
    ASSERT_EQ(m_script.writes.size(), 2u);
    EXPECT_EQ(m_script.writes[0], StartupRamp());
    EXPECT_EQ(m_script.writes[1], StartupRamp());
    // A refused write does not stop the mode from being restored.
    m_script.refuseRamp = true;
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"write", "restoremode"}));
}

TEST_F(CoreChannel, WithoutGammaControlInitWarnsAndNoUndefinedRampIsEverWritten) {
    m_script.gammaControl = false;
    {
        MessageBoxWatcher watcher(L"Failed");
        EXPECT_TRUE(Init());
        watcher.Stop();
        EXPECT_EQ(watcher.count, 1);
        EXPECT_EQ(watcher.text, L"Gamma control failed.\nZerenta is unable to control gamma values of your video adapter.");
        EXPECT_EQ(watcher.owner, nullptr);
    }
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"restoremode"}));
    EXPECT_TRUE(m_script.writes.empty());
}

TEST_F(CoreChannel, AFailedOpenFailsInitAndRefusesTheModeCommands) {
    m_script.openResult = E_FAIL;
    m_script.modesAfterOpen = false;
    EXPECT_FALSE(Init());
    ASSERT_NE(CCoreLibrary::Instance().Display(), nullptr);
    m_script.calls.clear();
    const DisplayMode mode{800, 600, 32, 0};
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, &mode, 16), 1);
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 1);
    EXPECT_EQ(Send(CORE_CMD_GET_MODE), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 1);
    EXPECT_TRUE(m_script.calls.empty());
    EXPECT_TRUE(m_recorder.replies.empty());
    // The device ramp goes through GDI, which does not need the mode side of the display.
    GammaTable table{};
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
}

TEST_F(CoreChannel, AnOpenFailingPartWayStillServesModesButHasNoStartupRamp) {
    // A late step of Open failed (a DirectDraw surface, say): modes work, the ramp was never captured.
    m_script.openResult = E_FAIL;
    m_script.modes = {{800, 600, 32, 60}};
    EXPECT_FALSE(Init());
    EXPECT_EQ(std::count(m_script.calls.begin(), m_script.calls.end(), "capture"), 0);
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    EXPECT_EQ(m_recorder.Modes().size(), 1u);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_TRUE(m_script.writes.empty());
}

TEST_F(CoreChannel, LevelsProbeAndSweepWriteLevelRamps) {
    ASSERT_TRUE(Init());
    const std::uint32_t levels[3] = {50, 50, 50};
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_LEVELS, levels, 12), 0);
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], IdentityRamp());

    EXPECT_EQ(Send(CORE_CMD_PROBE_GAMMA), 0);
    m_script.readFails = true;
    EXPECT_EQ(Send(CORE_CMD_PROBE_GAMMA), 1);
    m_script.readFails = false;

    // The ramp in force is recognised at the device's precision, another one is not.
    GammaTable identity{};
    for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<std::int32_t>(i % 256);
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 0);
    m_script.device[300] = static_cast<std::uint16_t>(m_script.device[300] + 200);
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 0);
    GammaTable darker = identity;
    darker[300] -= 2;
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, darker.data(), 3072), 1);
    m_script.readFails = true;
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 1);
    m_script.readFails = false;

    m_script.writes.clear();
    EXPECT_EQ(Send(CORE_CMD_GAMMA_SWEEP), 0);
    ASSERT_EQ(m_script.writes.size(), 61u);
    EXPECT_EQ(m_script.waits, 60);
    EXPECT_EQ(m_script.waited, 6000u);
    DeviceRamp expected;
    orvel::BuildLevelRamp(0.0, 0.5, 0.5, expected);
    EXPECT_EQ(m_script.writes[0], expected);
    // The last red step is 0.95 up to the rounding of the running sum, never 1.0.
    double x = 0.0;
    for (int i = 0; i < 19; ++i) x += 0.05;
    orvel::BuildLevelRamp(x, 0.5, 0.5, expected);
    EXPECT_EQ(m_script.writes[19], expected);
    orvel::BuildLevelRamp(0.5, 0.5, 0.0, expected);
    EXPECT_EQ(m_script.writes[40], expected);
    EXPECT_EQ(m_script.writes[60], IdentityRamp());
}

TEST_F(CoreChannel, ACommandFromAnotherThreadRunsOnTheCoreThread) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    struct Call {
        HWND sender;
        LRESULT result = -1;
        DWORD thread = 0;
    } call{m_recorder.Handle()};
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* c = static_cast<Call*>(p);
            c->result = CCoreLibrary::Instance().Send(c->sender, CORE_CMD_ENUM_MODES, nullptr, 0);
            return 0;
        },
        &call, 0, nullptr);
    // The core window's thread must take messages for the cross-thread send to arrive.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount64() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    CloseHandle(worker);
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODES_END}));
}

// The core window, dispatcher and CDisplay driven through the command channel with a scripted
// back end, and the screen kept right: the recovery file around every change and its use by the
// next start. The core is attached the way DllMain attaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "core/CRecoveryFile.h"
#include "core/GammaMath.h"
#include "core/RecoveryRecord.h"
#include "tests/wine/MessagePump.h"
#include "tests/wine/core/FakeBackEnd.h"

using orvel::CCoreLibrary;
using namespace std::chrono_literals;

namespace {

FakeScript* g_script = nullptr;

std::unique_ptr<orvel::IDisplayBackEnd> MakeFake() { return std::make_unique<FakeBackEnd>(*g_script); }

// A recognisable start-up ramp, different from anything a command writes.
const DeviceRamp kStartupRamp = RampOf(200, 3);
constexpr DisplayMode kStartupMode{1280, 1024, 32, 60};
constexpr DisplayMode kOtherMode{800, 600, 32, 0};

using Calls = std::vector<std::string>;

class CoreChannel : public CoreTest {
protected:
    void SetUp() override {
        m_script.startupRamp = kStartupRamp;
        g_script = &m_script;
        ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeFake));
    }
    void TearDown() override {
        CoreTest::TearDown();
        g_script = nullptr;  // the script goes with the test
    }

    FakeScript m_script;
};

}  // namespace

TEST_F(CoreChannel, EveryCommandBeforeInitAndAfterClearUpReturnsOneWithoutReplyOrDeviceCall) {
    const std::vector<std::uint8_t> payload(3072, 1);  // large enough for any command
    for (const char* when : {"before Init", "after ClearUp"}) {
        SCOPED_TRACE(when);
        for (std::uint32_t code : {CORE_CMD_SET_MODE, CORE_CMD_ENUM_MODES, CORE_CMD_RESTORE_SCREEN,
                                   CORE_CMD_SET_GAMMA_LEVELS, CORE_CMD_SET_GAMMA_RAMP, CORE_CMD_RESTORE_GAMMA,
                                   CORE_CMD_PROBE_GAMMA, CORE_CMD_GAMMA_SWEEP, CORE_CMD_GET_MODE,
                                   CORE_CMD_CHECK_GAMMA_RAMP, 3u, 12u, 99u})
            EXPECT_EQ(Send(code, payload.data(), 3072), 1) << code;
        EXPECT_TRUE(m_recorder.replies.empty());
        EXPECT_TRUE(m_script.calls.empty());
        ASSERT_TRUE(Init());
        CCoreLibrary::Instance().ClearUp();
        m_script.calls.clear();
    }
}

TEST_F(CoreChannel, InitOpensCapturesAndASecondInitReleasesFirst) {
    ASSERT_TRUE(Init());
    ASSERT_TRUE(Init());
    const Calls expected = {"release", "open",    "capture", "getmode", "release",
                            "destroy", "release", "open",    "capture", "getmode"};
    EXPECT_EQ(m_script.calls, expected);
    m_script.calls.clear();
    CCoreLibrary::Instance().ClearUp();
    EXPECT_EQ(m_script.calls, (Calls{"release", "destroy"}));
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
        EXPECT_EQ(reply.mode, m_script.modes[i]) << i;
    }
}

TEST_F(CoreChannel, AReceiverStoppingAtTheThirdModeGetsThreeThenEndAndANullSenderNone) {
    for (std::uint32_t i = 0; i < 6; ++i) m_script.modes.push_back({800, 600, 32, 60 + i});
    ASSERT_TRUE(Init());
    // A null sender, whom nothing reaches, stops the enumeration before the first mode.
    EXPECT_EQ(CCoreLibrary::Instance().Send(nullptr, CORE_CMD_ENUM_MODES, nullptr, 0), 0);
    EXPECT_EQ(m_script.modesOffered, 1);
    EXPECT_TRUE(m_recorder.replies.empty());
    m_recorder.StopAtMode(3);
    EXPECT_EQ(Send(CORE_CMD_ENUM_MODES), 0);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODE, CORE_RPL_MODE,
                                                              CORE_RPL_MODE, CORE_RPL_MODES_END}));
    EXPECT_EQ(m_script.modesOffered, 1 + 3);
}

TEST_F(CoreChannel, UndefinedCodesAreIgnoredAndShortOrMissingPayloadsRefusedUnread) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    std::vector<std::uint8_t> bytes(3072, 0);
    for (std::uint32_t code : {3u, 12u, 99u, 0u, 0xFFFFFFFFu}) EXPECT_EQ(Send(code, bytes.data(), 3072), 0) << code;
    const std::tuple<std::uint32_t, std::uint32_t> needs[] = {
        {CORE_CMD_SET_MODE, 16}, {CORE_CMD_SET_GAMMA_RAMP, 3072}, {CORE_CMD_SET_GAMMA_LEVELS, 12}};
    for (const auto& [code, size] : needs) {
        EXPECT_EQ(Send(code, bytes.data(), size - 1), 1) << code;
        EXPECT_EQ(Send(code, nullptr, size), 1) << code;
    }
    EXPECT_TRUE(m_script.calls.empty());
    EXPECT_TRUE(m_recorder.replies.empty());
    // A longer payload than needed is fine: only the first bytes are read.
    DisplayMode mode[2] = {{800, 600, 32, 0}, {1, 1, 1, 1}};
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, mode, sizeof(mode)), 0);
    EXPECT_EQ(m_script.calls, (Calls{"setmode 800x600x32@0"}));
}

TEST_F(CoreChannel, ARefusedModeShowsOneWarningThenRestoresTheRampAndThenTheModeButTryingItChangesNothing) {
    // Fields are unsigned on the wire and printed signed.
    const std::pair<DisplayMode, const wchar_t*> cases[] = {
        {{1234, 567, 32, 0}, L"Failed to change the display mode: 1234 x 567,32 bpp, at default refresh rate.)\n"},
        {{800, 600, 0xFFFFFFFFu, 75}, L"Failed to change the display mode: 800 x 600,-1 bpp, @75 Hz.\n"}};
    for (const auto& [refused, text] : cases) {
        m_script.refusedModes = {refused};
        ASSERT_TRUE(Init());
        const DisplayMode good{1024, 768, 32, 60};
        ASSERT_EQ(Send(CORE_CMD_SET_MODE, &good, 16), 0);
        const GammaTable table = DimTable();
        ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
        m_script.calls.clear();
        m_script.writes.clear();

        MessageBoxWatcher watcher(L"Zerenta Warning");
        EXPECT_EQ(Send(CORE_CMD_SET_MODE, &refused, 16), 0);
        watcher.Stop();
        EXPECT_EQ(watcher.count, 1);
        EXPECT_EQ(watcher.text, text);
        EXPECT_EQ(watcher.owner, CCoreLibrary::Instance().CoreWindow());
        EXPECT_EQ(m_script.calls, (Calls{"setmode " + FakeBackEnd::Text(refused), "write", "restoremode"}));
        EXPECT_EQ(m_script.writes, std::vector<DeviceRamp>{kStartupRamp});
        EXPECT_TRUE(m_recorder.replies.empty());

        // A command line cannot answer a box: the refusal is the result, and nothing is put back.
        ASSERT_EQ(Send(CORE_CMD_TRY_MODE, &good, 16), 0);
        m_script.calls.clear();
        MessageBoxWatcher quiet(L"Zerenta Warning");
        EXPECT_EQ(Send(CORE_CMD_TRY_MODE, &refused, 16), 1);
        EXPECT_EQ(Send(CORE_CMD_TRY_MODE, &refused, 15), 1);
        quiet.Stop();
        EXPECT_EQ(quiet.count, 0);
        EXPECT_EQ(m_script.calls, (Calls{"setmode " + FakeBackEnd::Text(refused)}));
    }
}

TEST_F(CoreChannel, RestoreCommandsWriteTheStartupRampAndRestoreTheMode) {
    ASSERT_TRUE(Init());
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 0);
    EXPECT_EQ(m_script.calls, (Calls{"write", "restoremode", "write"}));
    EXPECT_EQ(m_script.writes, (std::vector<DeviceRamp>{kStartupRamp, kStartupRamp}));
    // A refused write does not stop the mode from being restored.
    m_script.refuseRamp = true;
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(m_script.calls, (Calls{"write", "restoremode"}));
}

TEST_F(CoreChannel, WithoutGammaControlInitWarnsAndNoUndefinedRampIsEverWritten) {
    m_script.gammaControl = false;
    MessageBoxWatcher watcher(L"Failed");
    EXPECT_TRUE(Init());
    watcher.Stop();
    EXPECT_EQ(watcher.count, 1);
    EXPECT_EQ(watcher.text, L"Gamma control failed.\nZerenta is unable to control gamma values of your video adapter.");
    EXPECT_EQ(watcher.owner, nullptr);
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_EQ(m_script.calls, (Calls{"restoremode"}));
    EXPECT_TRUE(m_script.writes.empty());
}

TEST_F(CoreChannel, AFailedOpenFailsInitAndRefusesTheModeCommands) {
    m_script.openResult = E_FAIL;
    m_script.modesAfterOpen = false;
    EXPECT_FALSE(Init());
    ASSERT_NE(CCoreLibrary::Instance().Display(), nullptr);
    m_script.calls.clear();
    EXPECT_EQ(Send(CORE_CMD_SET_MODE, &kOtherMode, 16), 1);
    for (std::uint32_t code : {CORE_CMD_ENUM_MODES, CORE_CMD_GET_MODE, CORE_CMD_RESTORE_SCREEN, CORE_CMD_RESTORE_GAMMA})
        EXPECT_EQ(Send(code), 1) << code;
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
    EXPECT_EQ(m_recorder.Codes(),
              (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODE, CORE_RPL_MODES_END}));
    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 1);
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_TRUE(m_script.writes.empty());
}

TEST_F(CoreChannel, TheRampInForceIsRecognisedAtTheDevicesPrecision) {
    ASSERT_TRUE(Init());
    GammaTable identity{};
    for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<std::int32_t>(i % 256);
    ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, identity.data(), 3072), 0);
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 0);
    m_script.device[300] = static_cast<std::uint16_t>(m_script.device[300] + 200);
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 0);
    GammaTable darker = identity;
    darker[300] -= 2;
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, darker.data(), 3072), 1);
    m_script.readFails = true;
    EXPECT_EQ(Send(CORE_CMD_CHECK_GAMMA_RAMP, identity.data(), 3072), 1);
    EXPECT_EQ(Send(CORE_CMD_PROBE_GAMMA), 1);
    m_script.readFails = false;
    EXPECT_EQ(Send(CORE_CMD_PROBE_GAMMA), 0);
}

TEST_F(CoreChannel, LevelsAndTheSweepWriteLevelRamps) {
    ASSERT_TRUE(Init());
    const std::uint32_t levels[3] = {50, 50, 50};
    EXPECT_EQ(Send(CORE_CMD_SET_GAMMA_LEVELS, levels, 12), 0);
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], RampOf(257, 0));
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
    EXPECT_EQ(m_script.writes[60], RampOf(257, 0));
}

TEST_F(CoreChannel, ACommandFromAnotherThreadRunsOnTheCoreThread) {
    ASSERT_TRUE(Init());
    std::pair<HWND, LRESULT> call{m_recorder.Handle(), -1};  // the sender, and the result it gets
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto& [sender, result] = *static_cast<std::pair<HWND, LRESULT>*>(p);
            result = CCoreLibrary::Instance().Send(sender, CORE_CMD_ENUM_MODES, nullptr, 0);
            return 0;
        },
        &call, 0, nullptr);
    // The core window's thread must take messages for the cross-thread send to arrive.
    zrtest::PumpUntil([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }, 10s);
    CloseHandle(worker);
    EXPECT_EQ(call.second, 0);
    EXPECT_EQ(m_recorder.Codes(), (std::vector<std::uint32_t>{CORE_RPL_MODES_BEGIN, CORE_RPL_MODES_END}));
}

namespace {

class CoreRecovery : public CoreChannel {
protected:
    void SetUp() override {
        CoreChannel::SetUp();
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        m_path = std::wstring(folder) + L"ZerentaCoreTest-" + std::to_wstring(GetCurrentProcessId()) + L".Recovery";
        Forget();
        CCoreLibrary::Instance().SetRecoveryFile(m_path);
    }
    void TearDown() override {
        CoreChannel::TearDown();
        CCoreLibrary::Instance().SetRecoveryFile({});
        Forget();
    }

    void ChangeRampAndMode() {
        const GammaTable table = DimTable();
        ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
        ASSERT_EQ(Send(CORE_CMD_SET_MODE, &kOtherMode, 16), 0);
    }
    // The screen shows what a killed run's record says it left.
    void ShowWhatTheRunLeft() {
        m_script.device = DimRamp();
        m_script.deviceWritten = true;
        m_script.current = kOtherMode;
    }
    void Forget() const {
        SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(m_path.c_str());
    }
    bool FileThere() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    orvel::RecoveryRecord FileRecord() const {
        std::ifstream in(m_path.c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        orvel::RecoveryRecord record;
        orvel::DecodeRecoveryRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record);
        return record;
    }
    void PutFile(const std::string& bytes) const {
        std::ofstream(m_path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // Ends the core, if it runs, and starts it again: the calls Init made before it opened the display.
    Calls Restart() {
        CCoreLibrary::Instance().ClearUp();
        m_script.calls.clear();
        EXPECT_TRUE(Init());
        return Calls(m_script.calls.begin(), std::find(m_script.calls.begin(), m_script.calls.end(), "open"));
    }

    std::wstring m_path;
};

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// What a run of this user and session leaves when it is killed after ChangeRampAndMode.
orvel::RecoveryRecord KilledRunRecord() {
    orvel::RecoveryRecord record;
    orvel::CRecoveryFile file;
    file.SetPath(L"owner");
    record.owner = file.Owner();  // as the core stamps its records
    orvel::RecoveryDisplay& display = record.displays.emplace_back();
    display.hasStartupRamp = display.hasLeftRamp = display.hasStartupMode = display.hasLeftMode = true;
    display.startupRamp = kStartupRamp;
    display.leftRamp = DimRamp();
    display.startupMode = kStartupMode;
    display.leftMode = kOtherMode;
    return record;
}

const Calls kPutBack = {"release", "read", "putback " + FakeBackEnd::Text(kStartupMode), "write"};

}  // namespace

TEST_F(CoreRecovery, TheRecordIsOnDiskBeforeTheScreenChangesAndGoesOnceTheScreenIsBack) {
    ASSERT_TRUE(Init());
    EXPECT_FALSE(FileThere()) << "nothing has changed yet";
    std::vector<orvel::RecoveryRecord> fileAtChange;
    m_script.beforeChange = [&] { fileAtChange.push_back(FileRecord()); };

    ChangeRampAndMode();
    // Each change is on disk before it reaches the screen: the start-up state beside what the
    // screen will show.
    ASSERT_EQ(fileAtChange.size(), 2u);
    orvel::RecoveryRecord rampOnly = KilledRunRecord();
    rampOnly.displays[0].hasLeftMode = false;
    rampOnly.displays[0].leftMode = {};
    EXPECT_TRUE(fileAtChange[0] == rampOnly) << "at the ramp change";
    EXPECT_TRUE(fileAtChange[1] == KilledRunRecord()) << "at the mode change";
    EXPECT_GT(KilledRunRecord().owner.sidLength, 0u);
    m_script.beforeChange = nullptr;

    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 0);
    ASSERT_TRUE(FileThere()) << "the mode still differs";
    EXPECT_EQ(FileRecord().displays[0].leftRamp, kStartupRamp);
    // A return to the start-up mode that fails keeps the record.
    m_script.restoreModeFails = true;
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_TRUE(FileThere()) << "the mode is not back";
    m_script.restoreModeFails = false;
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_FALSE(FileThere());
}

TEST_F(CoreRecovery, TheNextStartLeavesWhatNoLongerShowsOfAKilledRunAndRemovesItsRecord) {
    ASSERT_TRUE(Init());
    ChangeRampAndMode();
    CCoreLibrary::Instance().ClearUp();  // the process goes without a restore
    ASSERT_TRUE(FileThere());
    // The mode put back by the system and another program's ramp written since: both stay, and
    // the record goes.
    m_script.current = kStartupMode;
    m_script.device = RampOf(257, 0);
    EXPECT_EQ(Restart(), (Calls{"release", "read"}));
    EXPECT_FALSE(FileThere());
    // A start that finds nothing to put back opens the display at once.
    EXPECT_EQ(Restart(), (Calls{"release"}));
}

TEST_F(CoreRecovery, ARecordThatCannotBeRemovedIsUsedOnceInTheSession) {
    PutFile(Bytes(orvel::EncodeRecoveryRecord(KilledRunRecord())));
    ASSERT_TRUE(SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
    for (const Calls& expected : {kPutBack, Calls{"release"}}) {
        ShowWhatTheRunLeft();
        EXPECT_EQ(Restart(), expected);
        EXPECT_TRUE(FileThere());
    }
}

TEST_F(CoreRecovery, ADamagedForgedOrEarlierFileIsRemovedAndAnotherSessionsKeptWithoutTouchingTheScreen) {
    orvel::RecoveryRecord dark = KilledRunRecord();
    dark.displays[0].startupRamp.fill(0);  // an all-black ramp with a correct check field
    std::string flipped = Bytes(orvel::EncodeRecoveryRecord(KilledRunRecord()));
    flipped[40] ^= 0x10;
    std::string earlier = flipped.substr(0, 1568);  // the earlier format's size and version
    earlier[4] = 1;
    orvel::RecoveryRecord foreign = KilledRunRecord();
    foreign.owner.session += 1;
    const std::tuple<const char*, std::string, bool> files[] = {
        {"a flipped bit", flipped, false},
        {"a forged dark ramp", Bytes(orvel::EncodeRecoveryRecord(dark)), false},
        {"one byte short", flipped.substr(1), false},
        {"four megabytes", std::string(4 << 20, 'Z'), false},
        {"version 1", earlier, false},
        {"another session's", Bytes(orvel::EncodeRecoveryRecord(foreign)), true},
    };
    ShowWhatTheRunLeft();
    for (const auto& [what, bytes, kept] : files) {
        SCOPED_TRACE(what);
        PutFile(bytes);
        EXPECT_EQ(Restart(), (Calls{"release"}));
        EXPECT_EQ(FileThere(), kept);
    }
}

// The screen kept right: the recovery file around every change, its use by the next start, and
// the ramp put back after the system replaced it. The core is attached with a scripted back end
// and a recovery file in the temporary folder.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "core/CCoreLibrary.h"
#include "core/GammaMath.h"
#include "core/RecoveryRecord.h"
#include "tests/wine/core/FakeBackEnd.h"
#include "tests/wine/core/ReplyRecorder.h"

using orvel::CCoreLibrary;

namespace {

FakeScript* g_script = nullptr;

std::unique_ptr<orvel::IDisplayBackEnd> MakeFake() { return std::make_unique<FakeBackEnd>(*g_script); }

DeviceRamp RampOf(int step, int offset) {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(step * (i % 256) + offset);
    return ramp;
}
const DeviceRamp kStartupRamp = RampOf(200, 3);
const DeviceRamp kIdentity = RampOf(257, 0);
constexpr DisplayMode kStartupMode{1280, 1024, 32, 60};
constexpr DisplayMode kOtherMode{800, 600, 32, 0};

// A table the gamma page could send (each entry half its index), and the ramp it becomes.
GammaTable DimTable() {
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>((i % 256) / 2);
    return table;
}
DeviceRamp DimRamp() {
    DeviceRamp ramp;
    orvel::WidenGammaTable(DimTable().data(), ramp);
    return ramp;
}

class CoreRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CCoreLibrary::Instance().Attach(GetModuleHandleW(nullptr), &MakeFake));
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        m_path = std::wstring(folder) + L"ZerentaCoreTest-" + std::to_wstring(GetCurrentProcessId()) + L".Recovery";
        DeleteFileW(m_path.c_str());
        m_script.startupRamp = kStartupRamp;
        m_script.current = kStartupMode;
        g_script = &m_script;
        CCoreLibrary::Instance().SetRecoveryFile(m_path);
    }
    void TearDown() override {
        CCoreLibrary::Instance().ClearUp();
        CCoreLibrary::Instance().SetRecoveryFile({});
        DeleteFileW(m_path.c_str());
        g_script = nullptr;
    }

    bool Init() { return CCoreLibrary::Instance().Init(m_recorder.Handle()); }
    LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return CCoreLibrary::Instance().Send(m_recorder.Handle(), code, payload, size);
    }
    void ChangeRampAndMode() {
        const GammaTable table = DimTable();
        ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
        ASSERT_EQ(Send(CORE_CMD_SET_MODE, &kOtherMode, 16), 0);
    }
    LRESULT Notify(UINT message, WPARAM wParam = 0) {
        return SendMessageW(CCoreLibrary::Instance().CoreWindow(), message, wParam, 0);
    }
    bool FileThere() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void PutFile(const std::string& bytes) const {
        std::ofstream(m_path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // The calls Init made before it opened the display.
    std::vector<std::string> CallsBeforeOpen() const {
        const auto open = std::find(m_script.calls.begin(), m_script.calls.end(), "open");
        return std::vector<std::string>(m_script.calls.begin(), open);
    }

    std::wstring m_path;
    FakeScript m_script;
    ReplyRecorder m_recorder;
};

std::string Bytes(const orvel::RecoveryBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST_F(CoreRecovery, TheRecordIsOnDiskBeforeTheScreenChangesAndGoesOnceTheScreenIsBack) {
    ASSERT_TRUE(Init());
    EXPECT_FALSE(FileThere()) << "nothing has changed yet";
    std::vector<bool> fileAtChange;
    m_script.beforeChange = [&] { fileAtChange.push_back(FileThere()); };

    ChangeRampAndMode();
    EXPECT_EQ(fileAtChange, (std::vector<bool>{true, true}));
    std::ifstream in(m_path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    orvel::RecoveryRecord record;
    ASSERT_TRUE(orvel::DecodeRecoveryRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record));
    EXPECT_TRUE(record.hasRamp && record.hasMode);
    EXPECT_EQ(record.ramp, kStartupRamp);
    EXPECT_EQ(FakeBackEnd::Text(record.mode), FakeBackEnd::Text(kStartupMode));

    EXPECT_EQ(Send(CORE_CMD_RESTORE_GAMMA), 0);
    EXPECT_TRUE(FileThere()) << "the mode still differs";
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    EXPECT_FALSE(FileThere());
    EXPECT_FALSE(FileThere() || GetFileAttributesW((m_path + L".tmp").c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST_F(CoreRecovery, ARunThatEndedWithoutRestoringIsPutRightByTheNextStartBeforeItOpensTheDisplay) {
    ASSERT_TRUE(Init());
    ChangeRampAndMode();
    CCoreLibrary::Instance().ClearUp();  // the process goes without a restore
    ASSERT_TRUE(FileThere());

    m_script.calls.clear();
    m_script.writes.clear();
    ASSERT_TRUE(Init());
    EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release", "putback " + FakeBackEnd::Text(kStartupMode), "write"}));
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], kStartupRamp);
    EXPECT_FALSE(FileThere());
    // A start that finds nothing to put back opens the display at once.
    CCoreLibrary::Instance().ClearUp();
    m_script.calls.clear();
    ASSERT_TRUE(Init());
    EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release"}));
}

TEST_F(CoreRecovery, ADamagedOrForgedFileIsRemovedWithoutTouchingTheScreen) {
    orvel::RecoveryRecord dark;
    dark.hasRamp = true;  // an all-black ramp with a correct check field
    std::string flipped = Bytes(orvel::EncodeRecoveryRecord(orvel::RecoveryRecord{true, kStartupRamp, true, kStartupMode}));
    flipped[40] ^= 0x10;
    const std::pair<const char*, std::string> files[] = {
        {"a flipped bit", flipped},
        {"a forged dark ramp", Bytes(orvel::EncodeRecoveryRecord(dark))},
        {"one byte short", flipped.substr(1)},
        {"four megabytes", std::string(4 << 20, 'Z')},
    };
    for (const auto& [what, bytes] : files) {
        PutFile(bytes);
        m_script.calls.clear();
        ASSERT_TRUE(Init()) << what;
        EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release"})) << what;
        EXPECT_FALSE(FileThere()) << what;
        CCoreLibrary::Instance().ClearUp();
    }
}

TEST_F(CoreRecovery, TheRampLastWrittenComesBackWhenTheSystemReplacesItAndOnlyThen) {
    // Before InitCore the core window acts on nothing, as in a second copy on its way out.
    EXPECT_EQ(Notify(WM_DISPLAYCHANGE), 0);
    EXPECT_TRUE(m_script.calls.empty());

    ASSERT_TRUE(Init());
    const GammaTable table = DimTable();
    ASSERT_EQ(Send(CORE_CMD_SET_GAMMA_RAMP, table.data(), 3072), 0);
    m_script.calls.clear();
    m_script.writes.clear();
    Notify(WM_DISPLAYCHANGE);
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"read"})) << "the device still holds it: nothing written";

    const std::pair<UINT, WPARAM> resets[] = {
        {WM_DISPLAYCHANGE, 32}, {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}, {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}};
    for (const auto& [message, wParam] : resets) {
        m_script.device = kIdentity;  // the system put its own ramp in
        m_script.writes.clear();
        Notify(message, wParam);
        ASSERT_EQ(m_script.writes.size(), 1u) << "message " << message;
        EXPECT_EQ(m_script.writes[0], DimRamp()) << "message " << message;
    }
    // Other power and session events are no reset.
    m_script.device = kIdentity;
    m_script.writes.clear();
    Notify(WM_POWERBROADCAST, PBT_APMSUSPEND);
    Notify(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    EXPECT_TRUE(m_script.writes.empty());

    // After Restore Screen the start-up ramp is the one to keep, not the gamma page's.
    EXPECT_EQ(Send(CORE_CMD_RESTORE_SCREEN), 0);
    m_script.device = kIdentity;
    m_script.writes.clear();
    Notify(WM_DISPLAYCHANGE);
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], kStartupRamp);
}

TEST_F(CoreRecovery, TheEndOfTheSessionAndAFaultPutTheStartupScreenBack) {
    ASSERT_TRUE(Init());
    ChangeRampAndMode();
    m_script.writes.clear();
    EXPECT_EQ(Notify(WM_ENDSESSION, FALSE), 0);
    EXPECT_TRUE(m_script.writes.empty()) << "a cancelled end of session changes nothing";
    Notify(WM_ENDSESSION, TRUE);
    ASSERT_FALSE(m_script.writes.empty());
    EXPECT_EQ(m_script.writes.back(), kStartupRamp);
    EXPECT_EQ(FakeBackEnd::Text(m_script.current), FakeBackEnd::Text(kStartupMode));
    EXPECT_FALSE(FileThere());

    // The fault path: straight through the back end on a helper thread, then the file goes.
    ChangeRampAndMode();
    ASSERT_TRUE(FileThere());
    m_script.calls.clear();
    m_script.writes.clear();
    CCoreLibrary::Instance().RestoreAfterFault();
    EXPECT_EQ(m_script.calls, (std::vector<std::string>{"putback " + FakeBackEnd::Text(kStartupMode), "write"}));
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], kStartupRamp);
    EXPECT_FALSE(FileThere());
    // Its own mode change notifies the core window; the re-apply must not undo the restore.
    m_script.device = kStartupRamp;
    m_script.calls.clear();
    Notify(WM_DISPLAYCHANGE);
    EXPECT_TRUE(m_script.calls.empty());
}

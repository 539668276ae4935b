// The screen kept right: the recovery file around every change, its use by the next start, and
// the ramp put back after the system replaced it. The core is attached with a scripted back end
// and a recovery file in the temporary folder.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "core/CCoreLibrary.h"
#include "core/CRecoveryFile.h"
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
    bool FileThere() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string FileBytes() const {
        std::ifstream in(m_path.c_str(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    orvel::RecoveryRecord FileRecord() const {
        const std::string bytes = FileBytes();
        orvel::RecoveryRecord record;
        orvel::DecodeRecoveryRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record);
        return record;
    }
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

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// This user in this session, as the core stamps its records.
orvel::RecoveryOwner Owner() {
    orvel::CRecoveryFile file;
    file.SetPath(L"owner");
    return file.Owner();
}

// What a run of this user and session leaves when it is killed after ChangeRampAndMode.
orvel::RecoveryRecord KilledRunRecord() {
    orvel::RecoveryRecord record;
    record.owner = Owner();
    orvel::RecoveryDisplay& display = record.displays.emplace_back();
    display.hasStartupRamp = display.hasLeftRamp = display.hasStartupMode = display.hasLeftMode = true;
    display.startupRamp = kStartupRamp;
    display.leftRamp = DimRamp();
    display.startupMode = kStartupMode;
    display.leftMode = kOtherMode;
    return record;
}

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
    EXPECT_GT(Owner().sidLength, 0u);
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

TEST_F(CoreRecovery, TheNextStartPutsBackWhatTheScreenStillShowsOfAKilledRunBeforeItOpensTheDisplay) {
    ASSERT_TRUE(Init());
    ChangeRampAndMode();
    CCoreLibrary::Instance().ClearUp();  // the process goes without a restore
    ASSERT_TRUE(FileThere());
    const std::string killed = FileBytes();

    m_script.calls.clear();
    m_script.writes.clear();
    ASSERT_TRUE(Init());
    EXPECT_EQ(CallsBeforeOpen(),
              (std::vector<std::string>{"release", "read", "putback " + FakeBackEnd::Text(kStartupMode), "write"}));
    ASSERT_EQ(m_script.writes.size(), 1u);
    EXPECT_EQ(m_script.writes[0], kStartupRamp);
    EXPECT_FALSE(FileThere());

    // The mode put back by the system and another program's ramp written since: both stay, and
    // the record goes.
    CCoreLibrary::Instance().ClearUp();
    PutFile(killed);
    m_script.device = kIdentity;
    m_script.current = kStartupMode;
    m_script.calls.clear();
    ASSERT_TRUE(Init());
    EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release", "read"}));
    EXPECT_FALSE(FileThere());
    // A start that finds nothing to put back opens the display at once.
    CCoreLibrary::Instance().ClearUp();
    m_script.calls.clear();
    ASSERT_TRUE(Init());
    EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release"}));
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
    // The screen shows what the records say was left.
    m_script.device = DimRamp();
    m_script.deviceWritten = true;
    m_script.current = kOtherMode;
    for (const auto& [what, bytes, kept] : files) {
        PutFile(bytes);
        m_script.calls.clear();
        ASSERT_TRUE(Init()) << what;
        EXPECT_EQ(CallsBeforeOpen(), (std::vector<std::string>{"release"})) << what;
        EXPECT_EQ(FileThere(), kept) << what;
        CCoreLibrary::Instance().ClearUp();
    }
}


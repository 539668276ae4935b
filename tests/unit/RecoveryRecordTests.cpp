#include "core/RecoveryRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace orvel;

namespace {

DeviceRamp IdentityRamp()
{
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(257 * (i % 256));
    return ramp;
}

RecoveryDisplay FullDisplay()
{
    RecoveryDisplay display;
    display.hasStartupRamp = true;
    display.startupRamp = IdentityRamp();
    for (std::size_t i = 256; i < 512; ++i)  // a calibrated green channel that tops out early
        display.startupRamp[i] = std::min<std::uint16_t>(display.startupRamp[i], 60000);
    display.hasStartupMode = true;
    display.startupMode = DisplayMode{1280, 1024, 32, 60};
    display.hasLeftRamp = true;
    for (std::size_t i = 0; i < display.leftRamp.size(); ++i)
        display.leftRamp[i] = static_cast<std::uint16_t>(128 * (i % 256));
    display.leftRamp[0] = 7;  // what was left is kept to the first entry
    display.hasLeftMode = true;
    display.leftMode = DisplayMode{800, 600, 32, 60};
    return display;
}

RecoveryRecord FullRecord()
{
    RecoveryRecord record;
    record.owner.session = 1;
    record.owner.sidLength = 12;
    for (std::uint8_t i = 0; i < 12; ++i) record.owner.sid[i] = static_cast<std::uint8_t>(i + 1);
    record.displays.push_back(FullDisplay());
    return record;
}

bool Decodes(const std::vector<std::uint8_t>& bytes, RecoveryRecord* out = nullptr)
{
    RecoveryRecord record;
    const bool ok = DecodeRecoveryRecord(bytes.data(), bytes.size(), record);
    if (out) *out = record;
    return ok;
}

// Puts a correct check field on bytes changed by hand, as a forger would.
void Reseal(std::vector<std::uint8_t>& bytes)
{
    const std::size_t check = bytes.size() - 4;
    const std::uint32_t crc = Crc32(bytes.data(), check);
    for (int i = 0; i < 4; ++i) bytes[check + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

}  // namespace

TEST(RecoveryRecord, EncodesLittleEndianBehindItsHeaderAndDecodesToTheSameScreens)
{
    const std::vector<std::uint8_t> bytes = EncodeRecoveryRecord(FullRecord());
    ASSERT_EQ(bytes.size(), 3264u);
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 20);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{
                        'Z', 'R', 'R', 'F',  // magic
                        2, 0, 0, 0,          // version 2
                        1, 0, 0, 0,          // session 1
                        12, 0, 0, 0,         // a SID of 12 bytes
                        1, 2, 3, 4,          // its first bytes
                    }));
    EXPECT_EQ(bytes[84], 1);       // one display
    EXPECT_EQ(bytes[88], 0);       // its device name is empty
    EXPECT_EQ(bytes[88 + 64], 15);  // start-up ramp and mode, ramp and mode left
    EXPECT_EQ(bytes[88 + 68], 0x00);  // start-up width 1280
    EXPECT_EQ(bytes[88 + 69], 0x05);
    EXPECT_EQ(bytes[88 + 84], 0x20);  // width left 800
    EXPECT_EQ(bytes[88 + 85], 0x03);
    EXPECT_EQ(bytes[88 + 100 + 2], 0x01);  // start-up red entry 1 is 257: 0x0101
    EXPECT_EQ(bytes[88 + 100 + 3], 0x01);
    EXPECT_EQ(bytes[88 + 1636 + 2], 0x80);  // red entry 1 left is 128: 0x0080
    EXPECT_EQ(bytes[88 + 1636 + 3], 0x00);

    RecoveryRecord decoded;
    ASSERT_TRUE(Decodes(bytes, &decoded));
    EXPECT_TRUE(decoded == FullRecord());

    // Each part alone, as when the adapter has no gamma control, the mode cannot be read or the
    // run changed only the ramp; and several displays, each with a name.
    RecoveryRecord parts = FullRecord();
    parts.displays[0].hasLeftMode = false;
    parts.displays[0].leftMode = {};
    RecoveryDisplay modeOnly = FullDisplay();
    modeOnly.hasStartupRamp = modeOnly.hasLeftRamp = false;
    modeOnly.startupRamp = modeOnly.leftRamp = {};
    modeOnly.device[0] = u'B';
    parts.displays.push_back(modeOnly);
    RecoveryDisplay rampOnly = FullDisplay();
    rampOnly.hasStartupMode = rampOnly.hasLeftMode = false;
    rampOnly.startupMode = rampOnly.leftMode = {};
    parts.displays.push_back(rampOnly);
    RecoveryDisplay leftOnly;  // nothing of the start could be read; the run left a mode
    leftOnly.hasLeftMode = true;
    leftOnly.leftMode = DisplayMode{640, 480, 32, 60};
    parts.displays.push_back(leftOnly);
    parts.owner.sidLength = 68;  // the longest SID
    parts.owner.sid.fill(0x5A);
    ASSERT_EQ(EncodeRecoveryRecord(parts).size(), 3264u + 3 * 3172u);
    ASSERT_TRUE(Decodes(EncodeRecoveryRecord(parts), &decoded));
    EXPECT_TRUE(decoded == parts);
}

TEST(RecoveryRecord, AnyFlippedBitOrOtherLengthIsRefused)
{
    std::vector<std::uint8_t> bytes = EncodeRecoveryRecord(FullRecord());
    int accepted = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            bytes[i] ^= static_cast<std::uint8_t>(1 << bit);
            accepted += Decodes(bytes) ? 1 : 0;
            bytes[i] ^= static_cast<std::uint8_t>(1 << bit);
        }
    }
    EXPECT_EQ(accepted, 0);
    ASSERT_TRUE(Decodes(bytes));

    RecoveryRecord record;
    std::vector<std::uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(Decodes(longer));
    EXPECT_FALSE(DecodeRecoveryRecord(bytes.data(), bytes.size() - 1, record));
    EXPECT_FALSE(DecodeRecoveryRecord(bytes.data(), 0, record));
    EXPECT_FALSE(DecodeRecoveryRecord(nullptr, bytes.size(), record));
    // A count that does not fit the size, even with a correct check field.
    bytes[84] = 2;
    Reseal(bytes);
    EXPECT_FALSE(Decodes(bytes));
    RecoveryRecord tooMany = FullRecord();
    tooMany.displays.assign(16, FullDisplay());
    EXPECT_TRUE(Decodes(EncodeRecoveryRecord(tooMany))) << "sixteen displays";
    tooMany.displays.push_back(FullDisplay());
    EXPECT_TRUE(EncodeRecoveryRecord(tooMany).empty());
    // The check field is CRC-32 as zip and PNG have it: a file written by any earlier build reads.
    const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32(check, sizeof(check)), 0xCBF43926u);
}

// A forged file carries a correct check field; the start-up screen it describes must still be a
// screen. What a run left is only compared with the screen and is not judged.
TEST(RecoveryRecord, AWellFormedRecordOfAnImplausibleStartupScreenIsRefused)
{
    const auto refused = [](const RecoveryDisplay& display) {
        RecoveryRecord record = FullRecord();
        record.displays[0] = display;
        return !Decodes(EncodeRecoveryRecord(record));
    };
    RecoveryDisplay display = FullDisplay();

    display.startupRamp.fill(0);
    EXPECT_TRUE(refused(display)) << "black";
    display.startupRamp.fill(0x8000);
    EXPECT_TRUE(refused(display)) << "flat grey";
    display.startupRamp = IdentityRamp();
    for (std::size_t i = 512; i < 768; ++i) display.startupRamp[i] = static_cast<std::uint16_t>(65535 - 257 * (i - 512));
    EXPECT_TRUE(refused(display)) << "blue inverted";
    display.startupRamp = IdentityRamp();
    display.startupRamp[100] = 0;
    EXPECT_TRUE(refused(display)) << "red falls once";
    display.startupRamp = IdentityRamp();
    for (std::size_t i = 0; i < 256; ++i) display.startupRamp[i] = static_cast<std::uint16_t>(40000 + 100 * i);
    EXPECT_TRUE(refused(display)) << "red starts bright";

    display = FullDisplay();
    // Sides of 1 to 16384, depths 8, 15, 16, 24 or 32, and rates to 1000 Hz are screens.
    const std::pair<DisplayMode, bool> modes[] = {
        {{0, 768, 32, 60}, true},       {{1024, 100000, 32, 60}, true},  {{1024, 768, 7, 60}, true},
        {{1024, 768, 32, 5000}, true},  {{1024, 768, 0xFFFFFFFFu, 60}, true}, {{16385, 768, 32, 60}, true},
        {{1024, 16385, 32, 60}, true},  {{1024, 0, 32, 60}, true},       {{1024, 768, 32, 1001}, true},
        {{800, 600, 16, 0}, false},     {{16384, 16384, 8, 1000}, false}, {{1, 1, 15, 60}, false},
        {{640, 480, 24, 75}, false}};
    for (const auto& [mode, expected] : modes) {
        display.startupMode = mode;
        EXPECT_EQ(refused(display), expected)
            << mode.width << "x" << mode.height << "x" << mode.bpp << "@" << mode.refresh_rate;
    }
    // Steep and late ramps are screens too: bright from the second entry, or half only at the last.
    display.startupRamp = IdentityRamp();
    for (std::size_t i = 1; i < 256; ++i) display.startupRamp[i] = static_cast<std::uint16_t>(40000 + 100 * i);
    for (std::size_t i = 256; i < 511; ++i) display.startupRamp[i] = static_cast<std::uint16_t>(100 * (i - 256));
    for (std::size_t i = 512; i < 768; ++i) display.startupRamp[i] = static_cast<std::uint16_t>(128 * (i - 512) + 128);
    EXPECT_FALSE(refused(display)) << "steep red, late green, blue ending at half";
    display.leftRamp.fill(0);
    display.leftMode = DisplayMode{};
    EXPECT_FALSE(refused(display)) << "what was left is only compared";

    display.hasStartupRamp = display.hasStartupMode = display.hasLeftRamp = display.hasLeftMode = false;
    EXPECT_TRUE(refused(display)) << "a display of nothing";
    std::vector<std::uint8_t> bytes = EncodeRecoveryRecord(FullRecord());
    bytes[88 + 64] |= 16;  // a content bit of a later version
    Reseal(bytes);
    EXPECT_FALSE(Decodes(bytes)) << "unknown contents";
    bytes = EncodeRecoveryRecord(FullRecord());
    bytes[12] = 69;  // a SID longer than any
    Reseal(bytes);
    EXPECT_FALSE(Decodes(bytes)) << "SID length";
    bytes = EncodeRecoveryRecord(FullRecord());
    bytes[4] = 1;  // the earlier format, which holds no state left behind
    Reseal(bytes);
    EXPECT_FALSE(Decodes(bytes)) << "version 1";
}

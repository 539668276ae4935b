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

RecoveryRecord FullRecord()
{
    RecoveryRecord record;
    record.hasRamp = true;
    record.ramp = IdentityRamp();
    for (std::size_t i = 256; i < 512; ++i)  // a calibrated green channel that tops out early
        record.ramp[i] = std::min<std::uint16_t>(record.ramp[i], 60000);
    record.hasMode = true;
    record.mode = DisplayMode{1280, 1024, 32, 60};
    return record;
}

bool Decodes(const RecoveryBytes& bytes, RecoveryRecord* out = nullptr)
{
    RecoveryRecord record;
    const bool ok = DecodeRecoveryRecord(bytes.data(), bytes.size(), record);
    if (out) *out = record;
    return ok;
}

}  // namespace

TEST(RecoveryRecord, EncodesLittleEndianBehindItsHeaderAndDecodesToTheSameScreen)
{
    const RecoveryBytes bytes = EncodeRecoveryRecord(FullRecord());
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 20);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{
                        'Z', 'R', 'R', 'F',  // magic
                        1, 0, 0, 0,          // version 1
                        3, 0, 0, 0,          // ramp and mode
                        0x00, 0x05, 0, 0,    // width 1280
                        0x00, 0x04, 0, 0,    // height 1024
                    }));
    EXPECT_EQ(bytes[28 + 2 * 1], 0x01);  // red entry 1 is 257: 0x0101
    EXPECT_EQ(bytes[28 + 2 * 1 + 1], 0x01);

    RecoveryRecord decoded;
    ASSERT_TRUE(Decodes(bytes, &decoded));
    EXPECT_TRUE(decoded.hasRamp && decoded.hasMode);
    EXPECT_EQ(decoded.ramp, FullRecord().ramp);
    EXPECT_EQ(decoded.mode.width, 1280u);
    EXPECT_EQ(decoded.mode.refresh_rate, 60u);

    // Either half alone, as when the adapter has no gamma control or the mode cannot be read.
    RecoveryRecord rampOnly = FullRecord();
    rampOnly.hasMode = false;
    ASSERT_TRUE(Decodes(EncodeRecoveryRecord(rampOnly), &decoded));
    EXPECT_TRUE(decoded.hasRamp);
    EXPECT_FALSE(decoded.hasMode);
    RecoveryRecord modeOnly = FullRecord();
    modeOnly.hasRamp = false;
    ASSERT_TRUE(Decodes(EncodeRecoveryRecord(modeOnly), &decoded));
    EXPECT_FALSE(decoded.hasRamp);
    EXPECT_TRUE(decoded.hasMode);
}

TEST(RecoveryRecord, AnyFlippedBitOrOtherLengthIsRefused)
{
    RecoveryBytes bytes = EncodeRecoveryRecord(FullRecord());
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
    std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeRecoveryRecord(longer.data(), longer.size(), record));
    EXPECT_FALSE(DecodeRecoveryRecord(bytes.data(), bytes.size() - 1, record));
    EXPECT_FALSE(DecodeRecoveryRecord(bytes.data(), 0, record));
    EXPECT_FALSE(DecodeRecoveryRecord(nullptr, bytes.size(), record));
}

// A forged file carries a correct check field; what it describes must still be a screen.
TEST(RecoveryRecord, AWellFormedRecordOfAnImplausibleScreenIsRefused)
{
    const auto refused = [](const RecoveryRecord& record) { return !Decodes(EncodeRecoveryRecord(record)); };
    RecoveryRecord record = FullRecord();

    record.ramp.fill(0);
    EXPECT_TRUE(refused(record)) << "black";
    record.ramp.fill(0x8000);
    EXPECT_TRUE(refused(record)) << "flat grey";
    record.ramp = IdentityRamp();
    for (std::size_t i = 512; i < 768; ++i) record.ramp[i] = static_cast<std::uint16_t>(65535 - 257 * (i - 512));
    EXPECT_TRUE(refused(record)) << "blue inverted";
    record.ramp = IdentityRamp();
    record.ramp[100] = 0;
    EXPECT_TRUE(refused(record)) << "red falls once";
    record.ramp = IdentityRamp();
    for (std::size_t i = 0; i < 256; ++i) record.ramp[i] = static_cast<std::uint16_t>(40000 + 100 * i);
    EXPECT_TRUE(refused(record)) << "red starts bright";

    record = FullRecord();
    for (const DisplayMode mode : {DisplayMode{0, 768, 32, 60}, DisplayMode{1024, 100000, 32, 60},
                                   DisplayMode{1024, 768, 7, 60}, DisplayMode{1024, 768, 0xFFFFFFFFu, 60},
                                   DisplayMode{1024, 768, 32, 5000}}) {
        record.mode = mode;
        EXPECT_TRUE(refused(record)) << mode.width << "x" << mode.height << "x" << mode.bpp << "@" << mode.refresh_rate;
    }
    record.mode = DisplayMode{800, 600, 16, 0};
    EXPECT_FALSE(refused(record)) << "the default rate is a rate";

    record.hasRamp = record.hasMode = false;
    EXPECT_TRUE(refused(record)) << "a record of nothing";
    RecoveryBytes bytes = EncodeRecoveryRecord(FullRecord());
    bytes[8] |= 4;  // a content bit of a later version
    const std::uint32_t crc = Crc32(bytes.data(), 1564);
    for (int i = 0; i < 4; ++i) bytes[1564 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    EXPECT_FALSE(Decodes(bytes)) << "unknown contents";
}

#include "core/RecoveryRecord.h"

namespace orvel {

namespace {

constexpr std::uint8_t kMagic[4] = {'Z', 'R', 'R', 'F'};
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kHasRamp = 1;
constexpr std::uint32_t kHasMode = 2;
constexpr std::size_t kModeOffset = 12;
constexpr std::size_t kRampOffset = 28;
constexpr std::size_t kCheckOffset = kRampOffset + sizeof(DeviceRamp);
static_assert(kCheckOffset + 4 == kRecoveryRecordBytes, "the check field ends the record");

void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

RecoveryBytes EncodeRecoveryRecord(const RecoveryRecord& record) {
    RecoveryBytes bytes{};
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = kMagic[i];
    Put32(&bytes[4], kVersion);
    Put32(&bytes[8], (record.hasRamp ? kHasRamp : 0) | (record.hasMode ? kHasMode : 0));
    if (record.hasMode) {
        Put32(&bytes[kModeOffset], record.mode.width);
        Put32(&bytes[kModeOffset + 4], record.mode.height);
        Put32(&bytes[kModeOffset + 8], record.mode.bpp);
        Put32(&bytes[kModeOffset + 12], record.mode.refresh_rate);
    }
    if (record.hasRamp) {
        for (std::size_t i = 0; i < record.ramp.size(); ++i) {
            bytes[kRampOffset + 2 * i] = static_cast<std::uint8_t>(record.ramp[i]);
            bytes[kRampOffset + 2 * i + 1] = static_cast<std::uint8_t>(record.ramp[i] >> 8);
        }
    }
    Put32(&bytes[kCheckOffset], Crc32(bytes.data(), kCheckOffset));
    return bytes;
}

bool DecodeRecoveryRecord(const std::uint8_t* bytes, std::size_t size, RecoveryRecord& record) {
    if (bytes == nullptr || size != kRecoveryRecordBytes) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (bytes[i] != kMagic[i]) return false;
    if (Get32(&bytes[4]) != kVersion) return false;
    if (Get32(&bytes[kCheckOffset]) != Crc32(bytes, kCheckOffset)) return false;
    const std::uint32_t contents = Get32(&bytes[8]);
    if (contents == 0 || (contents & ~(kHasRamp | kHasMode)) != 0) return false;

    RecoveryRecord decoded;
    decoded.hasMode = (contents & kHasMode) != 0;
    if (decoded.hasMode) {
        decoded.mode = DisplayMode{Get32(&bytes[kModeOffset]), Get32(&bytes[kModeOffset + 4]),
                                   Get32(&bytes[kModeOffset + 8]), Get32(&bytes[kModeOffset + 12])};
        if (!IsPlausibleMode(decoded.mode)) return false;
    }
    decoded.hasRamp = (contents & kHasRamp) != 0;
    if (decoded.hasRamp) {
        for (std::size_t i = 0; i < decoded.ramp.size(); ++i)
            decoded.ramp[i] = static_cast<std::uint16_t>(bytes[kRampOffset + 2 * i] |
                                                         bytes[kRampOffset + 2 * i + 1] << 8);
        if (!IsPlausibleRamp(decoded.ramp)) return false;
    }
    record = decoded;
    return true;
}

bool IsPlausibleRamp(const DeviceRamp& ramp) {
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const std::uint16_t* entries = ramp.data() + channel * kGammaChannelSize;
        if (entries[0] >= 0x8000 || entries[kGammaChannelSize - 1] < 0x8000) return false;
        for (std::size_t i = 1; i < kGammaChannelSize; ++i)
            if (entries[i] < entries[i - 1]) return false;
    }
    return true;
}

bool IsPlausibleMode(const DisplayMode& mode) {
    const bool depth = mode.bpp == 8 || mode.bpp == 15 || mode.bpp == 16 || mode.bpp == 24 || mode.bpp == 32;
    return mode.width >= 1 && mode.width <= 16384 && mode.height >= 1 && mode.height <= 16384 && depth &&
           mode.refresh_rate <= 1000;
}

}  // namespace orvel

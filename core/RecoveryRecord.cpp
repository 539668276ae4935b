#include "core/RecoveryRecord.h"

#include <utility>

namespace orvel {

namespace {

constexpr std::uint8_t kMagic[4] = {'Z', 'R', 'R', 'F'};
constexpr std::uint32_t kVersion = 2;
constexpr std::size_t kSidOffset = 16;
constexpr std::size_t kCountOffset = kSidOffset + kRecoverySidBytes;
static_assert(kCountOffset + 4 == kRecoveryHeaderBytes, "the display count ends the header");
// Within one display's part.
constexpr std::size_t kContentsOffset = 2 * kRecoveryDeviceChars;
constexpr std::size_t kStartupModeOffset = kContentsOffset + 4;
constexpr std::size_t kLeftModeOffset = kStartupModeOffset + sizeof(DisplayMode);
constexpr std::size_t kStartupRampOffset = kLeftModeOffset + sizeof(DisplayMode);
constexpr std::size_t kLeftRampOffset = kStartupRampOffset + sizeof(DeviceRamp);
static_assert(kLeftRampOffset + sizeof(DeviceRamp) == kRecoveryDisplayBytes, "the ramp left ends a display");
static_assert(RecoveryRecordBytes(1) == 3264, "one display's record");
constexpr std::uint32_t kStartupRamp = 1;
constexpr std::uint32_t kStartupMode = 2;
constexpr std::uint32_t kLeftRamp = 4;
constexpr std::uint32_t kLeftMode = 8;

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t Get16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void PutMode(std::uint8_t* at, const DisplayMode& mode) {
    Put32(at, mode.width);
    Put32(at + 4, mode.height);
    Put32(at + 8, mode.bpp);
    Put32(at + 12, mode.refresh_rate);
}

DisplayMode GetMode(const std::uint8_t* at) {
    return DisplayMode{Get32(at), Get32(at + 4), Get32(at + 8), Get32(at + 12)};
}

void PutRamp(std::uint8_t* at, const DeviceRamp& ramp) {
    for (std::size_t i = 0; i < ramp.size(); ++i) Put16(&at[2 * i], ramp[i]);
}

void GetRamp(const std::uint8_t* at, DeviceRamp& ramp) {
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = Get16(&at[2 * i]);
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

std::vector<std::uint8_t> EncodeRecoveryRecord(const RecoveryRecord& record) {
    const std::size_t count = record.displays.size();
    if (count == 0 || count > kRecoveryMaxDisplays || record.owner.sidLength > kRecoverySidBytes) return {};
    std::vector<std::uint8_t> bytes(RecoveryRecordBytes(count), 0);
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = kMagic[i];
    Put32(&bytes[4], kVersion);
    Put32(&bytes[8], record.owner.session);
    Put32(&bytes[12], record.owner.sidLength);
    for (std::size_t i = 0; i < record.owner.sidLength; ++i) bytes[kSidOffset + i] = record.owner.sid[i];
    Put32(&bytes[kCountOffset], static_cast<std::uint32_t>(count));
    for (std::size_t d = 0; d < count; ++d) {
        const RecoveryDisplay& display = record.displays[d];
        std::uint8_t* at = &bytes[kRecoveryHeaderBytes + d * kRecoveryDisplayBytes];
        for (std::size_t i = 0; i < kRecoveryDeviceChars; ++i) Put16(&at[2 * i], display.device[i]);
        Put32(&at[kContentsOffset], (display.hasStartupRamp ? kStartupRamp : 0) |
                                        (display.hasStartupMode ? kStartupMode : 0) |
                                        (display.hasLeftRamp ? kLeftRamp : 0) | (display.hasLeftMode ? kLeftMode : 0));
        if (display.hasStartupMode) PutMode(&at[kStartupModeOffset], display.startupMode);
        if (display.hasLeftMode) PutMode(&at[kLeftModeOffset], display.leftMode);
        if (display.hasStartupRamp) PutRamp(&at[kStartupRampOffset], display.startupRamp);
        if (display.hasLeftRamp) PutRamp(&at[kLeftRampOffset], display.leftRamp);
    }
    const std::size_t check = bytes.size() - 4;
    Put32(&bytes[check], Crc32(bytes.data(), check));
    return bytes;
}

bool DecodeRecoveryRecord(const std::uint8_t* bytes, std::size_t size, RecoveryRecord& record) {
    if (bytes == nullptr || size < RecoveryRecordBytes(1) || size > kRecoveryMaxBytes) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (bytes[i] != kMagic[i]) return false;
    if (Get32(&bytes[4]) != kVersion) return false;
    const std::uint32_t count = Get32(&bytes[kCountOffset]);
    if (count == 0 || count > kRecoveryMaxDisplays || size != RecoveryRecordBytes(count)) return false;
    if (Get32(&bytes[size - 4]) != Crc32(bytes, size - 4)) return false;

    RecoveryRecord decoded;
    decoded.owner.session = Get32(&bytes[8]);
    decoded.owner.sidLength = Get32(&bytes[12]);
    if (decoded.owner.sidLength > kRecoverySidBytes) return false;
    for (std::size_t i = 0; i < decoded.owner.sidLength; ++i) decoded.owner.sid[i] = bytes[kSidOffset + i];
    decoded.displays.resize(count);
    for (std::size_t d = 0; d < count; ++d) {
        RecoveryDisplay& display = decoded.displays[d];
        const std::uint8_t* at = &bytes[kRecoveryHeaderBytes + d * kRecoveryDisplayBytes];
        for (std::size_t i = 0; i < kRecoveryDeviceChars; ++i) display.device[i] = static_cast<char16_t>(Get16(&at[2 * i]));
        const std::uint32_t contents = Get32(&at[kContentsOffset]);
        if (contents == 0 || (contents & ~(kStartupRamp | kStartupMode | kLeftRamp | kLeftMode)) != 0) return false;
        display.hasStartupMode = (contents & kStartupMode) != 0;
        display.hasLeftMode = (contents & kLeftMode) != 0;
        display.hasStartupRamp = (contents & kStartupRamp) != 0;
        display.hasLeftRamp = (contents & kLeftRamp) != 0;
        if (display.hasStartupMode) {
            display.startupMode = GetMode(&at[kStartupModeOffset]);
            if (!IsPlausibleMode(display.startupMode)) return false;
        }
        if (display.hasLeftMode) display.leftMode = GetMode(&at[kLeftModeOffset]);
        if (display.hasStartupRamp) {
            GetRamp(&at[kStartupRampOffset], display.startupRamp);
            if (!IsPlausibleRamp(display.startupRamp)) return false;
        }
        if (display.hasLeftRamp) GetRamp(&at[kLeftRampOffset], display.leftRamp);
    }
    record = std::move(decoded);
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

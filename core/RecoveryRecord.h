// The record of the screen's start-up state that the core keeps on disk while it has changed
// the screen, so that a run that ended without restoring (killed, crashed, power lost) can be
// put right by the next one. Free of Windows headers: the format is tested natively.
//
// Layout, 1568 bytes, every number little-endian:
//   0     4 bytes   "ZRRF"
//   4     uint32    format version, 1
//   8     uint32    contents: bit 0 the ramp, bit 1 the mode; no other bit is set
//   12    4 uint32  the mode: width, height, bpp, refresh_rate (zero when absent)
//   28    768 uint16 the device ramp, red, green, blue (zero when absent)
//   1564  uint32    CRC-32 (IEEE 802.3) of bytes 0 to 1563
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/CoreTypes.h"

namespace orvel {

struct RecoveryRecord {
    bool hasRamp = false;
    DeviceRamp ramp{};
    bool hasMode = false;
    DisplayMode mode{};
};

inline constexpr std::size_t kRecoveryRecordBytes = 1568;
using RecoveryBytes = std::array<std::uint8_t, kRecoveryRecordBytes>;

RecoveryBytes EncodeRecoveryRecord(const RecoveryRecord& record);

// True only for a whole, undamaged record of this version that holds something, and only a
// plausible screen: whatever it says goes to the display at start-up, so a damaged or forged
// file must never put a dark, flat or inverted ramp or an absurd mode there.
bool DecodeRecoveryRecord(const std::uint8_t* bytes, std::size_t size, RecoveryRecord& record);

// A ramp a screen can have been showing: every channel rises from the lower half of the range
// to the upper half and never falls.
bool IsPlausibleRamp(const DeviceRamp& ramp);
// Sizes of 1 to 16384 pixels, a colour depth of 8, 15, 16, 24 or 32 bits, at most 1000 Hz.
bool IsPlausibleMode(const DisplayMode& mode);

// The CRC-32 of the record's check field.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size);

}  // namespace orvel

// The record the core keeps on disk while it has changed the screen, so that a run that ended
// without restoring (killed, crashed) can be put right by the next one. It holds, per display,
// the state found at start-up (what to put back) beside the state the run left (what the screen
// shows as far as that run changed it): the next start puts back only what the screen still shows
// of that run, and only for the user and session that wrote it. Free of Windows headers: the
// format is tested natively.
//
// Layout, every number little-endian:
//   0     4 bytes    "ZRRF"
//   4     uint32     format version, 2
//   8     uint32     the writer's session (the system's session id)
//   12    uint32     length of the writer's user SID, 0 to 68
//   16    68 bytes   that SID, zero-padded
//   84    uint32     number of displays, 1 to 16
//   88    per display, 3172 bytes:
//         32 uint16  device name (UTF-16, zero-padded; empty: the display the core drives)
//         uint32     contents: bit 0 start-up ramp, bit 1 start-up mode, bit 2 ramp left,
//                    bit 3 mode left; no other bit is set
//         4 uint32   start-up mode: width, height, bpp, refresh_rate (zero when absent)
//         4 uint32   mode left (zero when absent)
//         768 uint16 start-up ramp, red, green, blue (zero when absent)
//         768 uint16 ramp left (zero when absent)
//   end   uint32     CRC-32 (IEEE 802.3) of every byte before it
// One display: 3264 bytes. Version 1 (1568 bytes, the start-up state only) is not read: it cannot
// tell whether the screen still shows what that run left.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/CoreTypes.h"

namespace orvel {

inline constexpr std::size_t kRecoverySidBytes = 68;  // the largest SID the system makes
inline constexpr std::size_t kRecoveryDeviceChars = 32;
inline constexpr std::size_t kRecoveryMaxDisplays = 16;

// Whose record it is: only the same user in the same session may use it.
struct RecoveryOwner {
    std::uint32_t session = 0;
    std::uint32_t sidLength = 0;
    std::array<std::uint8_t, kRecoverySidBytes> sid{};

    friend bool operator==(const RecoveryOwner&, const RecoveryOwner&) = default;
};

struct RecoveryDisplay {
    std::array<char16_t, kRecoveryDeviceChars> device{};
    bool hasStartupRamp = false;
    DeviceRamp startupRamp{};
    bool hasStartupMode = false;
    DisplayMode startupMode{};
    // The ramp the run last wrote (its start-up ramp if it wrote none), and the mode it changed
    // to, when it changed one.
    bool hasLeftRamp = false;
    DeviceRamp leftRamp{};
    bool hasLeftMode = false;
    DisplayMode leftMode{};

    friend bool operator==(const RecoveryDisplay&, const RecoveryDisplay&) = default;
};

struct RecoveryRecord {
    RecoveryOwner owner;
    std::vector<RecoveryDisplay> displays;

    friend bool operator==(const RecoveryRecord&, const RecoveryRecord&) = default;
};

inline constexpr std::size_t kRecoveryHeaderBytes = 88;
inline constexpr std::size_t kRecoveryDisplayBytes = 3172;
// The size of a record of `displays` displays.
constexpr std::size_t RecoveryRecordBytes(std::size_t displays) {
    return kRecoveryHeaderBytes + displays * kRecoveryDisplayBytes + 4;
}
inline constexpr std::size_t kRecoveryMaxBytes = RecoveryRecordBytes(kRecoveryMaxDisplays);

// Empty when the record cannot be written: no display, more than 16, or a SID that is too long.
std::vector<std::uint8_t> EncodeRecoveryRecord(const RecoveryRecord& record);

// True only for a whole, undamaged record of this version in which every display holds
// something, and only a plausible start-up screen: what it says may go to the display at start-up,
// so a damaged or forged file must never put a dark, flat or inverted ramp or an absurd mode there.
// What a run left is only compared with the screen, never written, and is not judged.
bool DecodeRecoveryRecord(const std::uint8_t* bytes, std::size_t size, RecoveryRecord& record);

// A ramp a screen can have been showing: every channel rises from the lower half of the range
// to the upper half and never falls.
bool IsPlausibleRamp(const DeviceRamp& ramp);
// Sizes of 1 to 16384 pixels, a colour depth of 8, 15, 16, 24 or 32 bits, at most 1000 Hz.
bool IsPlausibleMode(const DisplayMode& mode);

// The CRC-32 of the record's check field.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size);

}  // namespace orvel

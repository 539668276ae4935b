// The data that travels between the program and the display core: command and reply
// codes, the display mode record, the 8-bit gamma table and the 16-bit device ramp.
// Free of Windows headers so that the program's pure logic can use the same types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Commands, program to core (COPYDATASTRUCT.dwData of a WM_COPYDATA sent to the core window).
inline constexpr std::uint32_t CORE_CMD_SET_MODE = 1;
inline constexpr std::uint32_t CORE_CMD_ENUM_MODES = 2;
inline constexpr std::uint32_t CORE_CMD_RESTORE_SCREEN = 5;
inline constexpr std::uint32_t CORE_CMD_SET_GAMMA_LEVELS = 11;
inline constexpr std::uint32_t CORE_CMD_SET_GAMMA_RAMP = 13;
inline constexpr std::uint32_t CORE_CMD_RESTORE_GAMMA = 20;
inline constexpr std::uint32_t CORE_CMD_PROBE_GAMMA = 21;
inline constexpr std::uint32_t CORE_CMD_GAMMA_SWEEP = 22;
// Answered with one CORE_RPL_MODE holding the mode in force now.
inline constexpr std::uint32_t CORE_CMD_GET_MODE = 30;
// Payload a GammaTable: 0 when the device holds that ramp now (within the device's precision),
// 1 when it holds another one or cannot be read.
inline constexpr std::uint32_t CORE_CMD_CHECK_GAMMA_RAMP = 31;
// CORE_CMD_SET_MODE for a caller that cannot answer a box (a command line): a refused mode gives
// the result 1, with no warning shown and nothing put back, since nothing was changed.
inline constexpr std::uint32_t CORE_CMD_TRY_MODE = 50;

// Every code above works on the primary display. Two more reach every display:
//
// CORE_CMD_ENUM_DISPLAYS (no payload): one CORE_RPL_DISPLAY per display attached to the desktop
// when the core was initialised, in the core's order; its position in that order is the display's
// index. Result 0, or 1 before InitCore.
inline constexpr std::uint32_t CORE_CMD_ENUM_DISPLAYS = 40;
// CORE_CMD_ON_DISPLAY: a DisplayCommandHeader (the display's index, or kAllDisplays, and one of
// the codes above) followed by that code's own payload. The code runs on that display with the
// result and replies it has there, except that a refused ramp is first named by one
// CORE_RPL_GAMMA_REFUSED per refusing display. kAllDisplays takes CORE_CMD_SET_GAMMA_RAMP,
// CORE_CMD_SET_GAMMA_LEVELS, CORE_CMD_RESTORE_GAMMA and CORE_CMD_RESTORE_SCREEN: the ramps go to
// every display that took a ramp at start-up (one that takes none is passed over), the restores
// to every display, and the result is 1 when any display refused. An index without a display,
// kAllDisplays with another code, or ENUM_DISPLAYS or ON_DISPLAY inside: result 1, nothing done.
inline constexpr std::uint32_t CORE_CMD_ON_DISPLAY = 41;
inline constexpr std::uint32_t kAllDisplays = 0xFFFFFFFFu;

// Replies, core to the sender of a command. CORE_RPL_MODE shares its number with
// CORE_CMD_ENUM_MODES; the two travel in opposite directions. It answers both
// CORE_CMD_ENUM_MODES (once per mode) and CORE_CMD_GET_MODE (once).
inline constexpr std::uint32_t CORE_RPL_MODE = 2;
inline constexpr std::uint32_t CORE_RPL_MODES_BEGIN = 25;
inline constexpr std::uint32_t CORE_RPL_MODES_END = 26;
inline constexpr std::uint32_t CORE_RPL_GAMMA_FAILED = 27;
// One DisplayRecord, answering CORE_CMD_ENUM_DISPLAYS.
inline constexpr std::uint32_t CORE_RPL_DISPLAY = 42;
// The index (one uint32) of a display that refused a ramp sent with CORE_CMD_ON_DISPLAY.
inline constexpr std::uint32_t CORE_RPL_GAMMA_REFUSED = 43;

// One display mode; the payload of CORE_CMD_SET_MODE and CORE_RPL_MODE.
// refresh_rate 0 asks for the adapter's default rate.
struct DisplayMode {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t bpp;
    std::uint32_t refresh_rate;

    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};
static_assert(sizeof(DisplayMode) == 16, "DisplayMode is a 16-byte wire record");

// The same size and depth, and the same rate where rate 0 on either side stands for any rate: a
// mode asked for at the default rate is met by whatever rate the system picked.
inline bool ModesMatch(const DisplayMode& a, const DisplayMode& b) {
    const bool sameRate = a.refresh_rate == 0 || b.refresh_rate == 0 || a.refresh_rate == b.refresh_rate;
    return a.width == b.width && a.height == b.height && a.bpp == b.bpp && sameRate;
}

// 256 red, 256 green, 256 blue entries, each 0..255: the payload of CORE_CMD_SET_GAMMA_RAMP.
inline constexpr std::size_t kGammaChannelSize = 256;
inline constexpr std::size_t kGammaTableEntries = 3 * kGammaChannelSize;
inline constexpr std::size_t kGammaTableBytes = kGammaTableEntries * sizeof(std::int32_t);
using GammaTable = std::array<std::int32_t, kGammaTableEntries>;
static_assert(sizeof(GammaTable) == 3072, "GammaTable is a 3072-byte wire record");

// The device's ramp in the layout SetDeviceGammaRamp takes: three arrays of 256 words.
using DeviceRamp = std::array<std::uint16_t, kGammaTableEntries>;
static_assert(sizeof(DeviceRamp) == 1536, "DeviceRamp matches the GDI gamma ramp");

// Payload of CORE_CMD_SET_GAMMA_LEVELS: red, green and blue level in percent.
inline constexpr std::size_t kGammaLevelsBytes = 3 * sizeof(std::uint32_t);

// The head of a CORE_CMD_ON_DISPLAY payload; the command's own payload follows it.
struct DisplayCommandHeader {
    std::uint32_t display;  // an index from CORE_CMD_ENUM_DISPLAYS, or kAllDisplays
    std::uint32_t code;     // a CORE_CMD_ code
};
static_assert(sizeof(DisplayCommandHeader) == 8, "DisplayCommandHeader is an 8-byte wire record");

// One display, as CORE_RPL_DISPLAY reports it. Texts are UTF-16, zero-terminated and cut to fit.
inline constexpr std::uint32_t kDisplayPrimary = 1;    // the primary display
inline constexpr std::uint32_t kDisplayTakesRamp = 2;  // its start-up ramp could be read
inline constexpr std::uint32_t kDisplayOpened = 4;     // its modes can be listed and changed
struct DisplayRecord {
    std::uint32_t index;   // what CORE_CMD_ON_DISPLAY names it by
    std::uint32_t number;  // n of its device name \\.\DISPLAYn, as Windows numbers it; 0 if none
    std::uint32_t flags;   // kDisplayPrimary, kDisplayTakesRamp, kDisplayOpened
    std::int32_t left, top, right, bottom;  // its part of the desktop
    char16_t device[32];   // \\.\DISPLAYn
    char16_t name[128];    // the monitor's name, for example "Generic PnP Monitor"
    // What identifies the monitor across restarts, a change of primary or a re-plugged cable: its
    // device interface name, or the device name where the system gives none.
    char16_t id[256];
};
static_assert(sizeof(DisplayRecord) == 860, "DisplayRecord is an 860-byte wire record");

#include "core/CCommandDispatcher.h"

#include <cstring>

#include "core/CDisplay.h"
#include "core/CoreTypes.h"
#include "core/GammaMath.h"

namespace orvel {

LRESULT SendCopyData(HWND target, HWND from, std::uint32_t code, const void* payload, DWORD size) {
    if (target == nullptr) return 0;
    COPYDATASTRUCT reply{};
    reply.dwData = code;
    reply.cbData = size;
    reply.lpData = const_cast<void*>(payload);
    return SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&reply));
}

namespace {
// A payload is read only when it is present and at least as long as the command needs;
// a short or missing one is refused instead of being read past its end.
bool HasPayload(const COPYDATASTRUCT& command, std::size_t needed) {
    return command.lpData != nullptr && command.cbData >= needed;
}

// The device ramp of a command's GammaTable payload; false when the payload is short.
bool ReadRampPayload(const COPYDATASTRUCT& command, DeviceRamp& ramp) {
    if (!HasPayload(command, kGammaTableBytes)) return false;
    // Copied first: the sender's buffer need not be aligned for 32-bit reads.
    GammaTable table;
    std::memcpy(table.data(), command.lpData, kGammaTableBytes);
    WidenGammaTable(table.data(), ramp);
    return true;
}
}  // namespace

LRESULT CCommandDispatcher::Dispatch(CDisplay* display, HWND coreWindow, HWND sender,
                                     const COPYDATASTRUCT* command) {
    if (display == nullptr || command == nullptr) return 1;
    switch (static_cast<std::uint32_t>(command->dwData)) {
    case CORE_CMD_SET_MODE: {
        if (!HasPayload(*command, sizeof(DisplayMode)) || !display->CanChangeModes()) return 1;
        DisplayMode mode;
        std::memcpy(&mode, command->lpData, sizeof(mode));
        if (FAILED(display->ChangeMode(mode))) {
            display->ShowModeWarning(mode);
            display->RestoreScreen();
        }
        return 0;  // the sender is not told whether the mode changed
    }
    case CORE_CMD_TRY_MODE: {
        if (!HasPayload(*command, sizeof(DisplayMode)) || !display->CanChangeModes()) return 1;
        DisplayMode mode;
        std::memcpy(&mode, command->lpData, sizeof(mode));
        return FAILED(display->ChangeMode(mode)) ? 1 : 0;
    }
    case CORE_CMD_ENUM_MODES:
        if (!display->CanChangeModes()) return 1;
        SendCopyData(sender, coreWindow, CORE_RPL_MODES_BEGIN, nullptr, 0);
        display->EnumModes(sender);
        SendCopyData(sender, coreWindow, CORE_RPL_MODES_END, nullptr, 0);
        return 0;
    case CORE_CMD_GET_MODE: {
        DisplayMode mode{};
        if (!display->CanChangeModes() || !display->GetMode(mode)) return 1;
        // Sent like an enumerated mode (wParam 0); the record lives on this stack frame.
        SendCopyData(sender, nullptr, CORE_RPL_MODE, &mode, sizeof(mode));
        return 0;
    }
    case CORE_CMD_RESTORE_SCREEN:
        display->RestoreScreen();
        return display->CanChangeModes() ? 0 : 1;
    case CORE_CMD_SET_GAMMA_LEVELS: {
        if (!HasPayload(*command, kGammaLevelsBytes)) return 1;
        std::uint32_t percent[3];
        std::memcpy(percent, command->lpData, sizeof(percent));
        display->ApplyLevels(percent[0] / 100.0, percent[1] / 100.0, percent[2] / 100.0);
        return 0;
    }
    case CORE_CMD_SET_GAMMA_RAMP: {
        DeviceRamp ramp;
        if (!ReadRampPayload(*command, ramp)) return 1;
        if (!display->ApplyRamp(ramp)) {
            SendCopyData(sender, coreWindow, CORE_RPL_GAMMA_FAILED, nullptr, 0);
            return 1;
        }
        return 0;
    }
    case CORE_CMD_CHECK_GAMMA_RAMP: {
        DeviceRamp ramp;
        return ReadRampPayload(*command, ramp) && display->HoldsRamp(ramp) ? 0 : 1;
    }
    case CORE_CMD_RESTORE_GAMMA:
        // Without a ramp captured at start-up there is nothing to restore.
        if (!display->HasSavedRamp()) return 1;
        display->RestoreRamp();
        return 0;
    case CORE_CMD_PROBE_GAMMA: {
        DeviceRamp scratch;
        return display->ReadRamp(scratch) ? 0 : 1;
    }
    case CORE_CMD_GAMMA_SWEEP:
        display->Sweep();
        return 0;
    default:
        return 0;  // unknown codes are accepted and ignored
    }
}

}  // namespace orvel

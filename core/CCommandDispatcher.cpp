#include "core/CCommandDispatcher.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/CDisplaySet.h"
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

// One command as the dispatcher reads it: the code, and the payload as it came (for a command
// inside CORE_CMD_ON_DISPLAY, what follows the header).
struct Command {
    std::uint32_t code;
    const void* data;
    std::size_t size;
};

// A payload is read only when it is present and at least as long as the command needs;
// a short or missing one is refused instead of being read past its end.
bool HasPayload(const Command& command, std::size_t needed) { return command.data != nullptr && command.size >= needed; }

// The device ramp of a command's GammaTable payload; false when the payload is short.
bool ReadRampPayload(const Command& command, DeviceRamp& ramp) {
    if (!HasPayload(command, kGammaTableBytes)) return false;
    // Copied first: the sender's buffer need not be aligned for 32-bit reads.
    GammaTable table;
    std::memcpy(table.data(), command.data, kGammaTableBytes);
    WidenGammaTable(table.data(), ramp);
    return true;
}

template <std::size_t N>
void CopyText(char16_t (&field)[N], const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
    const std::size_t length = std::min(text.size(), N - 1);
    for (std::size_t i = 0; i < length; ++i) field[i] = static_cast<char16_t>(text[i]);
    field[length] = u'\0';
}

DisplayRecord MakeRecord(CDisplaySet& displays, std::size_t index) {
    DisplayRecord record{};
    const DisplayDevice& device = displays.Device(index);
    record.index = static_cast<std::uint32_t>(index);
    record.number = CDisplayList::DisplayNumber(device.device);
    record.flags = (index == displays.PrimaryIndex() ? kDisplayPrimary : 0) |
                   (displays.TakesRamp(index) ? kDisplayTakesRamp : 0) |
                   (displays.At(index)->CanChangeModes() ? kDisplayOpened : 0);
    record.left = device.rect.left;
    record.top = device.rect.top;
    record.right = device.rect.right;
    record.bottom = device.rect.bottom;
    CopyText(record.device, device.device);
    CopyText(record.name, device.name);
    CopyText(record.id, device.id);
    return record;
}

// How a warning names a display other than the primary one: "Display 2: Generic PnP Monitor".
std::wstring DisplayLabel(CDisplaySet& displays, std::size_t index) {
    if (index == displays.PrimaryIndex()) return {};
    const DisplayDevice& device = displays.Device(index);
    const unsigned number = CDisplayList::DisplayNumber(device.device);
    return L"Display " + std::to_wstring(number != 0 ? number : index + 1) + L": " + device.name;
}

void SendRefused(HWND sender, HWND coreWindow, std::size_t index) {
    const std::uint32_t refused = static_cast<std::uint32_t>(index);
    SendCopyData(sender, coreWindow, CORE_RPL_GAMMA_REFUSED, &refused, sizeof(refused));
}

// One command on one display. `named`: it came inside CORE_CMD_ON_DISPLAY, so a refused ramp is
// also reported with the display's index.
LRESULT RunOn(CDisplaySet& displays, std::size_t index, HWND coreWindow, HWND sender, const Command& command,
              bool named) {
    CDisplay* display = displays.At(index);
    if (display == nullptr) return 1;
    switch (command.code) {
    case CORE_CMD_SET_MODE: {
        if (!HasPayload(command, sizeof(DisplayMode)) || !display->CanChangeModes()) return 1;
        DisplayMode mode;
        std::memcpy(&mode, command.data, sizeof(mode));
        if (FAILED(display->ChangeMode(mode))) {
            display->ShowModeWarning(mode, DisplayLabel(displays, index));
            display->RestoreScreen();
        }
        return 0;  // the sender is not told whether the mode changed
    }
    case CORE_CMD_TRY_MODE: {
        if (!HasPayload(command, sizeof(DisplayMode)) || !display->CanChangeModes()) return 1;
        DisplayMode mode;
        std::memcpy(&mode, command.data, sizeof(mode));
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
        if (!HasPayload(command, kGammaLevelsBytes)) return 1;
        std::uint32_t percent[3];
        std::memcpy(percent, command.data, sizeof(percent));
        display->ApplyLevels(percent[0] / 100.0, percent[1] / 100.0, percent[2] / 100.0);
        return 0;
    }
    case CORE_CMD_SET_GAMMA_RAMP: {
        DeviceRamp ramp;
        if (!ReadRampPayload(command, ramp)) return 1;
        if (!display->ApplyRamp(ramp)) {
            if (named) SendRefused(sender, coreWindow, index);
            SendCopyData(sender, coreWindow, CORE_RPL_GAMMA_FAILED, nullptr, 0);
            return 1;
        }
        return 0;
    }
    case CORE_CMD_CHECK_GAMMA_RAMP: {
        DeviceRamp ramp;
        return ReadRampPayload(command, ramp) && display->HoldsRamp(ramp) ? 0 : 1;
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
    case CORE_CMD_ENUM_DISPLAYS:
    case CORE_CMD_ON_DISPLAY:
        return named ? 1 : 0;  // not inside an envelope; the plain codes are handled by the caller
    default:
        return 0;  // unknown codes are accepted and ignored
    }
}

// The commands that make sense for every display at once.
LRESULT RunOnAll(CDisplaySet& displays, HWND coreWindow, HWND sender, const Command& command) {
    switch (command.code) {
    case CORE_CMD_SET_GAMMA_RAMP: {
        DeviceRamp ramp;
        if (!ReadRampPayload(command, ramp)) return 1;
        bool anyTakes = false;
        bool anyRefused = false;
        // Each display keeps what it took; a refusal stops no other display.
        for (std::size_t i = 0; i < displays.Count(); ++i) {
            if (!displays.TakesRamp(i)) continue;
            anyTakes = true;
            if (!displays.At(i)->ApplyRamp(ramp)) {
                anyRefused = true;
                SendRefused(sender, coreWindow, i);
            }
        }
        if (anyTakes && !anyRefused) return 0;
        SendCopyData(sender, coreWindow, CORE_RPL_GAMMA_FAILED, nullptr, 0);
        return 1;
    }
    case CORE_CMD_SET_GAMMA_LEVELS: {
        if (!HasPayload(command, kGammaLevelsBytes)) return 1;
        std::uint32_t percent[3];
        std::memcpy(percent, command.data, sizeof(percent));
        for (std::size_t i = 0; i < displays.Count(); ++i)
            if (displays.TakesRamp(i)) displays.At(i)->ApplyLevels(percent[0] / 100.0, percent[1] / 100.0, percent[2] / 100.0);
        return 0;
    }
    case CORE_CMD_RESTORE_GAMMA: {
        bool any = false;
        for (std::size_t i = 0; i < displays.Count(); ++i)
            if (displays.At(i)->HasSavedRamp()) {
                displays.At(i)->RestoreRamp();
                any = true;
            }
        return any ? 0 : 1;
    }
    case CORE_CMD_RESTORE_SCREEN:
        displays.RestoreScreen();
        return displays.Primary()->CanChangeModes() ? 0 : 1;
    default:
        return 1;
    }
}

}  // namespace

LRESULT CCommandDispatcher::Dispatch(CDisplaySet* displays, HWND coreWindow, HWND sender,
                                     const COPYDATASTRUCT* command) {
    if (displays == nullptr || command == nullptr || displays->Count() == 0) return 1;
    const Command plain{static_cast<std::uint32_t>(command->dwData), command->lpData, command->cbData};
    switch (plain.code) {
    case CORE_CMD_ENUM_DISPLAYS:
        for (std::size_t i = 0; i < displays->Count(); ++i) {
            // The record lives on this stack frame; the receiver copies what it keeps.
            const DisplayRecord record = MakeRecord(*displays, i);
            SendCopyData(sender, coreWindow, CORE_RPL_DISPLAY, &record, sizeof(record));
        }
        return 0;
    case CORE_CMD_ON_DISPLAY: {
        if (!HasPayload(plain, sizeof(DisplayCommandHeader))) return 1;
        DisplayCommandHeader header;
        std::memcpy(&header, plain.data, sizeof(header));
        const Command inner{header.code, static_cast<const std::uint8_t*>(plain.data) + sizeof(header),
                            plain.size - sizeof(header)};
        if (header.display == kAllDisplays) return RunOnAll(*displays, coreWindow, sender, inner);
        return RunOn(*displays, header.display, coreWindow, sender, inner, true);
    }
    default:
        return RunOn(*displays, displays->PrimaryIndex(), coreWindow, sender, plain, false);
    }
}

}  // namespace orvel

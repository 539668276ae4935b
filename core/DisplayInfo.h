// A display as the program sees it, read from the core's CORE_RPL_DISPLAY record, and how the
// program names it. Pure code: no Windows header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/CoreTypes.h"

namespace orvel {

struct DisplayInfo {
    std::uint32_t index = 0;  // what CORE_CMD_ON_DISPLAY names it by
    unsigned number = 0;      // the n of \\.\DISPLAYn; 0 when it has no such name
    std::wstring device;
    std::wstring name;
    std::wstring id;
    bool primary = false;
    bool takesRamp = false;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The record's fields, its texts read up to their end or their terminator, whichever comes first.
DisplayInfo ReadDisplayRecord(const DisplayRecord& record);

// The number a user knows a display by: the one Windows gives it, else its place in the list + 1.
unsigned DisplayNumber(const DisplayInfo& display);

// "1. Generic PnP Monitor (primary)".
std::wstring FormatDisplayChoice(const DisplayInfo& display);

// The display with this id, or nothing.
std::optional<std::size_t> FindDisplay(const std::vector<DisplayInfo>& displays, const std::wstring& id);
// The primary display's position; 0 when none is marked (and for an empty list).
std::size_t PrimaryPosition(const std::vector<DisplayInfo>& displays);

}  // namespace orvel

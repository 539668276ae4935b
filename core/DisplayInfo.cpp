#include "core/DisplayInfo.h"

namespace orvel {

namespace {
template <std::size_t N>
std::wstring Text(const char16_t (&field)[N]) {
    std::wstring text;
    for (std::size_t i = 0; i < N && field[i] != u'\0'; ++i) text.push_back(static_cast<wchar_t>(field[i]));
    return text;
}
}  // namespace

DisplayInfo ReadDisplayRecord(const DisplayRecord& record) {
    DisplayInfo display;
    display.index = record.index;
    display.number = record.number;
    display.device = Text(record.device);
    display.name = Text(record.name);
    display.id = Text(record.id);
    display.primary = (record.flags & kDisplayPrimary) != 0;
    display.takesRamp = (record.flags & kDisplayTakesRamp) != 0;
    display.left = record.left;
    display.top = record.top;
    display.right = record.right;
    display.bottom = record.bottom;
    return display;
}

unsigned DisplayNumber(const DisplayInfo& display) {
    return display.number != 0 ? display.number : display.index + 1;
}

std::wstring FormatDisplayChoice(const DisplayInfo& display) {
    std::wstring text = std::to_wstring(DisplayNumber(display)) + L". ";
    text += display.name.empty() ? L"Display" : display.name;
    if (display.primary) text += L" (primary)";
    return text;
}

std::optional<std::size_t> FindDisplay(const std::vector<DisplayInfo>& displays, const std::wstring& id) {
    for (std::size_t i = 0; i < displays.size(); ++i)
        if (displays[i].id == id) return i;
    return std::nullopt;
}

std::size_t PrimaryPosition(const std::vector<DisplayInfo>& displays) {
    for (std::size_t i = 0; i < displays.size(); ++i)
        if (displays[i].primary) return i;
    return 0;
}

}  // namespace orvel

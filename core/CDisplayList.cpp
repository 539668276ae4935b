#include "core/CDisplayList.h"

#include <cwchar>
#include <iterator>
#include <new>

namespace orvel {

namespace {
// The system's fixed-size texts are zero-terminated, but a scripted or faulty one need not be.
template <std::size_t N>
std::wstring Text(const wchar_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != L'\0') ++length;
    return std::wstring(field, length);
}

DISPLAY_DEVICEW EmptyDevice() {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof(device);
    return device;
}

// The monitor shown on `device`: the first active one, else the first one listed.
void DescribeMonitor(const DisplaySettingsApi& api, DisplayDevice& display, const std::wstring& adapterName) {
    display.name = adapterName;
    display.id = display.device;
    bool found = false;
    DISPLAY_DEVICEW monitor = EmptyDevice();
    for (DWORD i = 0; api.enumDevices(display.device.c_str(), i, &monitor, EDD_GET_DEVICE_INTERFACE_NAME); ++i) {
        const bool active = (monitor.StateFlags & DISPLAY_DEVICE_ACTIVE) != 0;
        if (!found || active) {
            const std::wstring name = Text(monitor.DeviceString);
            const std::wstring id = Text(monitor.DeviceID);
            if (!name.empty()) display.name = name;
            display.id = id.empty() ? display.device : id;
            found = true;
        }
        if (active) break;
        monitor = EmptyDevice();
    }
}
}  // namespace

bool CDisplayList::Enumerate(const DisplaySettingsApi& api) {
    m_displays.clear();
    try {
        DISPLAY_DEVICEW adapter = EmptyDevice();
        for (DWORD i = 0; api.enumDevices(nullptr, i, &adapter, 0); ++i) {
            const DISPLAY_DEVICEW listed = adapter;
            adapter = EmptyDevice();
            if ((listed.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
            DisplayDevice display;
            display.device = Text(listed.DeviceName);
            if (display.device.empty()) continue;
            display.primary = (listed.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
            display.mirror = (listed.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0;
            DescribeMonitor(api, display, Text(listed.DeviceString));
            DEVMODEW current{};
            current.dmSize = sizeof(current);
            if (api.enumSettings(display.device.c_str(), ENUM_CURRENT_SETTINGS, &current, 0)) {
                display.rect = RECT{current.dmPosition.x, current.dmPosition.y,
                                    current.dmPosition.x + static_cast<LONG>(current.dmPelsWidth),
                                    current.dmPosition.y + static_cast<LONG>(current.dmPelsHeight)};
            }
            m_displays.push_back(std::move(display));
        }
    } catch (const std::bad_alloc&) {
        // What was listed so far serves.
    }
    return !m_displays.empty();
}

std::size_t CDisplayList::PrimaryIndex() const noexcept {
    for (std::size_t i = 0; i < m_displays.size(); ++i)
        if (m_displays[i].primary) return i;
    return 0;
}

unsigned CDisplayList::DisplayNumber(const std::wstring& device) {
    static constexpr wchar_t kPrefix[] = L"\\\\.\\DISPLAY";
    constexpr std::size_t kPrefixLength = std::size(kPrefix) - 1;
    if (device.size() <= kPrefixLength || device.compare(0, kPrefixLength, kPrefix) != 0) return 0;
    unsigned number = 0;
    for (std::size_t i = kPrefixLength; i < device.size(); ++i) {
        if (device[i] < L'0' || device[i] > L'9' || number > 100000) return 0;
        number = number * 10 + static_cast<unsigned>(device[i] - L'0');
    }
    return number;
}

}  // namespace orvel

#include "app/CRuleActions.h"

#include <array>
#include <cwchar>
#include <optional>

#include "core/OrvelCore.h"
#include "framework/Trace.h"
#include "gamma/CPageGamma.h"
#include "gamma/GammaSliders.h"
#include "resolution/CPageResolution.h"
#include "resolution/FavouriteModes.h"

namespace {

// A rule names a mode by its four numbers and a ramp by the seven slider values, each a decimal
// separated by one space.
template <std::size_t N>
std::wstring JoinNumbers(const std::array<long long, N>& numbers)
{
    std::wstring text;
    for (const long long n : numbers) {
        if (!text.empty()) text += L' ';
        text += std::to_wstring(n);
    }
    return text;
}

template <std::size_t N>
std::optional<std::array<long long, N>> SplitNumbers(const std::wstring& text)
{
    std::array<long long, N> numbers{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != L' ') return std::nullopt;
            ++at;
        }
        const std::size_t first = at;
        bool negative = at < text.size() && text[at] == L'-';
        if (negative) ++at;
        long long value = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && at - first < 10)
            value = value * 10 + (text[at++] - L'0');
        if (at == first + (negative ? 1 : 0)) return std::nullopt;
        numbers[i] = negative ? -value : value;
    }
    if (at != text.size()) return std::nullopt;
    return numbers;
}

std::wstring ModeText(const zr::DisplayMode& mode)
{
    return JoinNumbers<4>({mode.width, mode.height, mode.bpp, mode.refresh_rate});
}

std::optional<zr::DisplayMode> ReadMode(const std::wstring& text)
{
    const auto numbers = SplitNumbers<4>(text);
    if (!numbers) return std::nullopt;
    for (const long long n : *numbers) {
        if (n < 0 || n > 0xFFFFFFFFLL) return std::nullopt;
    }
    return zr::DisplayMode{static_cast<std::uint32_t>((*numbers)[0]), static_cast<std::uint32_t>((*numbers)[1]),
                           static_cast<std::uint32_t>((*numbers)[2]), static_cast<std::uint32_t>((*numbers)[3])};
}

}  // namespace

std::vector<ModeFavouriteName> CRuleActions::ModeFavourites()
{
    std::vector<ModeFavouriteName> names;
    if (!m_resolution.GetSafeHwnd()) return names;
    const std::vector<orvel::DisplayInfo>& displays = m_resolution.Displays();
    const std::wstring primary = displays.empty() ? std::wstring() : displays[orvel::PrimaryPosition(displays)].id;
    for (const zr::FavouriteMode& favourite : m_resolution.TrayFavourites()) {
        const std::optional<std::size_t> place = orvel::FindDisplay(displays, favourite.display);
        const unsigned number = place && displays.size() > 1 ? orvel::DisplayNumber(displays[*place]) : 0;
        std::wstring text = zr::FormatFavouriteMenuText(favourite.mode, number);
        if (const std::size_t tab = text.find(L'\t'); tab != std::wstring::npos) text[tab] = L' ';
        // Named as the settings file names the favourite's display: not at all for the primary
        // display when it is the only one, so that a rule stays valid on another monitor.
        names.push_back({ModeText(favourite.mode), zr::StoredDisplay(favourite.display, primary, displays.size()), text});
    }
    return names;
}

std::vector<std::wstring> CRuleActions::GammaFavourites()
{
    std::vector<std::wstring> names;
    if (!m_gamma.GetSafeHwnd()) return names;
    for (const GammaFavourite& favourite : m_gamma.StoredFavourites()) names.push_back(favourite.name);
    return names;
}

namespace {

// The place of a display in the Resolution tab's list: nothing for the only display of a core that
// knows none, the primary display's for no id; false when the display is not attached.
bool PlaceOf(const CPageResolution& page, const std::wstring& display, std::optional<std::size_t>& place)
{
    place.reset();
    if (page.Displays().empty()) return true;
    place = display.empty() ? orvel::PrimaryPosition(page.Displays()) : orvel::FindDisplay(page.Displays(), display);
    return place.has_value();
}

}  // namespace

std::wstring CRuleActions::ModeInForce(const std::wstring& display)
{
    std::optional<std::size_t> place;
    if (!m_resolution.GetSafeHwnd() || !PlaceOf(m_resolution, display, place)) return {};
    const std::optional<zr::DisplayMode> mode = m_resolution.ModeInForceOn(place);
    return mode ? ModeText(*mode) : std::wstring();
}

bool CRuleActions::ShowsMode(const std::wstring& display, const std::wstring& mode)
{
    const std::optional<zr::DisplayMode> wanted = ReadMode(mode);
    const std::optional<zr::DisplayMode> shown = ReadMode(ModeInForce(display));
    return wanted && shown && ModesMatch(*wanted, *shown);
}

bool CRuleActions::SetMode(const std::wstring& display, const std::wstring& mode)
{
    std::optional<std::size_t> place;
    const std::optional<zr::DisplayMode> wanted = ReadMode(mode);
    if (!wanted || !m_resolution.GetSafeHwnd() || !PlaceOf(m_resolution, display, place)) return false;
    zr::Trace(L"Rule sets mode " + mode + L"\n");
    return m_resolution.ChangeModeQuietly(place, *wanted) == CPageResolution::ModeChange::Done;
}

std::wstring CRuleActions::RampInForce()
{
    if (!m_gamma.GetSafeHwnd()) return {};
    const std::optional<GammaSetting> s = m_gamma.SettingOnScreen();
    if (!s) return {};
    return JoinNumbers<7>({s->R, s->G, s->B, s->Contrast, s->Brightness, s->HiClamping, s->LoClamping});
}

bool CRuleActions::ShowsGammaFavourite(const std::wstring& name)
{
    if (!m_gamma.GetSafeHwnd()) return false;
    const std::optional<std::size_t> index = m_gamma.FindStoredFavourite(name);
    if (!index) return false;
    const std::optional<GammaSetting> shown = m_gamma.SettingOnScreen();
    return shown && *shown == ClampToSliderRanges(m_gamma.StoredFavourites()[*index].setting);
}

bool CRuleActions::ApplyGammaFavourite(const std::wstring& name)
{
    if (!m_gamma.GetSafeHwnd()) return false;
    const std::optional<std::size_t> index = m_gamma.FindStoredFavourite(name);
    zr::Trace(L"Rule sets gamma " + name + L"\n");
    return index && m_gamma.ApplyStoredFavourite(*index);
}

void CRuleActions::PutBackRamp(const std::wstring& ramp)
{
    if (!m_gamma.GetSafeHwnd()) return;
    zr::Trace(L"Rule puts back ramp " + ramp + L"\n");
    if (const auto n = SplitNumbers<7>(ramp)) {
        GammaSetting setting;
        setting.R = static_cast<std::int32_t>((*n)[0]);
        setting.G = static_cast<std::int32_t>((*n)[1]);
        setting.B = static_cast<std::int32_t>((*n)[2]);
        setting.Contrast = static_cast<std::int32_t>((*n)[3]);
        setting.Brightness = static_cast<std::int32_t>((*n)[4]);
        setting.HiClamping = static_cast<std::int32_t>((*n)[5]);
        setting.LoClamping = static_cast<std::int32_t>((*n)[6]);
        m_gamma.ApplySetting(setting);
        return;
    }
    // A ramp the program had not set (another program's, or the start-up one): the start-up ramp.
    const DisplayCommandHeader everyDisplay{kAllDisplays, CORE_CMD_RESTORE_GAMMA};
    if (m_gamma.Displays().empty())
        SendCommand(m_window, CORE_CMD_RESTORE_GAMMA, nullptr, 0);
    else
        SendCommand(m_window, CORE_CMD_ON_DISPLAY, &everyDisplay, sizeof(everyDisplay));
}

#include "gamma/CPageGamma.h"

#include <algorithm>
#include <cstring>

#include "core/OrvelCore.h"
#include "framework/Dpi.h"
#include "framework/Platform.h"
#include "gamma/CGammaRangeLimit.h"
#include "gamma/GammaFavouritesXml.h"

namespace {

// Slider and value label ids in GammaSlider order.
constexpr std::array<int, kGammaSliderCount> kSliderIds{
    IDC_GAMMA_R, IDC_GAMMA_G, IDC_GAMMA_B, IDC_GAMMA_CONTRAST, IDC_GAMMA_BRIGHTNESS, IDC_GAMMA_HI_CLAMPING,
    IDC_GAMMA_LO_CLAMPING};
constexpr std::array<int, kGammaSliderCount> kLabelIds{
    IDC_GAMMA_R_VALUE,          IDC_GAMMA_G_VALUE,  IDC_GAMMA_B_VALUE, IDC_GAMMA_CONTRAST_VALUE,
    IDC_GAMMA_BRIGHTNESS_VALUE, IDC_GAMMA_HI_VALUE, IDC_GAMMA_LO_VALUE};

constexpr std::size_t kR = static_cast<std::size_t>(GammaSlider::R);
constexpr std::size_t kG = static_cast<std::size_t>(GammaSlider::G);
constexpr std::size_t kB = static_cast<std::size_t>(GammaSlider::B);

}  // namespace

CPageGamma::CPageGamma() noexcept
    : CTabPageNotify(IDD),
      CTevSetting(L"Gamma"),
      // The core library's exported arithmetic: the page composes, the core only writes.
      m_arithmetic{&ParseGammaParam, &ParseContrastParam, &ParseBrightnessParam, &ApplyGamma,
                   &ApplyBrightness, &ApplyContrast,      &ApplyClamping}
{
    for (std::size_t i = 0; i < m_acceptedRamp.size(); ++i) {
        m_acceptedRamp[i] = static_cast<std::int32_t>(i % kGammaChannelSize);
    }
}

CPageGamma::~CPageGamma() = default;

BOOL CPageGamma::OnInitDialog() noexcept
{
    for (std::size_t i = 0; i < kGammaSliderCount; ++i) m_sliders[i].Assign(GetDlgItem(kSliderIds[i]));
    m_linked.Assign(GetDlgItem(IDC_GAMMA_LINKED));
    Attach(IDC_GAMMA_FAVOURITES, m_list);
    Attach(IDC_GAMMA_WARNING, m_warning);
    Attach(IDC_GAMMA_TARGET, m_targetChoice);
    // The template's text cannot hold the ellipsis character reliably.
    ::SetDlgItemTextW(m_hWnd, IDC_GAMMA_STRONGER, L"Allo&w stronger settings\u2026");
    LoadDisplays();

    // The tip shows while the pointer rests on the indicator, which is visible only while it
    // blinks. The indicator carries SS_NOTIFY in the template, so it receives the mouse
    // messages that the tooltip's subclassing watches.
    if (m_tooltip.Create(m_hWnd, 0)) {
        m_tooltip.Activate(true);
        m_tooltip.AddTool(m_warning, L"Not every gamma combination is supported by your hardware.");
        m_tooltip.SetTitle(TTI_WARNING, L"Gamma out of range");
    }

    // The curve view takes the placeholder's place; the placeholder is hidden so that its own
    // painting never covers the view.
    if (HWND placeholder = GetDlgItem(IDC_GAMMA_CURVE); placeholder && !m_curve) {
        RECT rect{};
        ::GetWindowRect(placeholder, &rect);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        ::ShowWindow(placeholder, SW_HIDE);
        auto curve = std::make_unique<CGammaCurveCtrl>();
        if (curve->Create(rect, m_hWnd, IDC_GAMMA_CURVE, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP)) {
            // In the placeholder's place in the Tab order too, not after the last button.
            curve->SetWindowPos(placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            m_curve = std::move(curve);
        }
    }

    m_list.InitColumns();
    SizeForDpi(GetDpi());

    for (std::size_t i = 0; i < kGammaSliderCount; ++i) {
        m_sliders[i].SetRange(kGammaSliderRanges[i]);
    }
    m_linked.SetRange(kLinkedSliderInitialRange);

    // The page always starts by sending the identity ramp, to every display.
    PositionSliders(GammaSetting{});
    Apply();
    return TRUE;
}

void CPageGamma::LoadDisplays() noexcept
{
    m_displays.clear();
    m_targetChoice.ResetContent();
    m_targetChoice.AddString(L"All displays");
    // The replies arrive as WM_COPYDATA while this call runs.
    if (SendCoreCommand(CORE_CMD_ENUM_DISPLAYS, nullptr, 0) != 0) m_displays.clear();
    try {
        m_displaySettings.assign(m_displays.size(), GammaSetting{});
        for (const orvel::DisplayInfo& display : m_displays) {
            std::wstring text = orvel::FormatDisplayChoice(display);
            if (!display.takesRamp) text += L" - takes no gamma ramp";
            m_targetChoice.AddString(text);
        }
    } catch (...) {
        m_displays.clear();
        m_displaySettings.clear();
    }
    m_target.reset();
    m_targetChoice.SetCurSel(0);
    // One display leaves nothing to choose.
    ::EnableWindow(m_targetChoice.GetSafeHwnd(), m_displays.size() > 1);
}

std::optional<std::size_t> CPageGamma::ShownDisplay() const noexcept
{
    if (m_target) return m_target;
    if (m_displays.empty()) return std::nullopt;
    return orvel::PrimaryPosition(m_displays);
}

bool CPageGamma::IsTarget(std::size_t display) const noexcept
{
    // "All displays" leaves out a display that takes no ramp, as the core does.
    return m_target ? *m_target == display : m_displays[display].takesRamp;
}

void CPageGamma::ChooseTarget(int place) noexcept
{
    if (place <= 0 || static_cast<std::size_t>(place) > m_displays.size())
        m_target.reset();
    else
        m_target = static_cast<std::size_t>(place - 1);
    m_targetChoice.SetCurSel(m_target ? static_cast<int>(*m_target) + 1 : 0);
    HideRefusal();
    const std::optional<std::size_t> shown = ShownDisplay();
    if (!shown || !m_hWnd) return;
    // The sliders, labels and curve show that display's own setting; nothing is sent.
    m_lastAccepted = m_displaySettings[*shown];
    PositionSliders(m_lastAccepted);
    ComposeGammaTable(m_lastAccepted, m_arithmetic, m_acceptedRamp);
    WriteLabels(m_lastAccepted);
    if (m_curve) m_curve->SetRamp(m_acceptedRamp.data(), kCurveRgb);
}

LRESULT CPageGamma::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    switch (msg) {
    case WM_HSCROLL:
        if (lp != 0) {
            OnSliderScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
            return 0;
        }
        break;
    case WM_COPYDATA:
        // The displays, and which of them refused a ramp; for the rest (CORE_RPL_GAMMA_FAILED)
        // the result of SendCommand says it all.
        if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp); data && data->lpData) {
            try {
                if (data->dwData == CORE_RPL_DISPLAY && data->cbData >= sizeof(DisplayRecord)) {
                    DisplayRecord record;
                    std::memcpy(&record, data->lpData, sizeof(record));
                    m_displays.push_back(orvel::ReadDisplayRecord(record));
                } else if (data->dwData == CORE_RPL_GAMMA_REFUSED && data->cbData >= sizeof(std::uint32_t)) {
                    std::uint32_t index;
                    std::memcpy(&index, data->lpData, sizeof(index));
                    m_refusedBy.push_back(index);
                }
            } catch (...) {
                // Out of memory: that reply is lost.
            }
        }
        return 0;
    case kApplySlidersMessage:
        m_applyQueued = false;
        // Nothing to do when a direct apply (Reset, a favourite) came in between.
        if (m_slidersMoved) Apply();
        return 0;
    default:
        break;
    }
    return CTabPageNotify::WindowProc(msg, wp, lp);
}

void CPageGamma::OnSliderScroll(HWND slider, int code) noexcept
{
    // Line, page, thumb position and track, top, bottom and end of track.
    if (code < SB_LINELEFT || code > SB_ENDSCROLL) return;
    if (slider == m_linked.Handle()) {
        // Its position is an offset from the R, G and B of this moment: taken at once.
        LinkedMove();
    } else if (slider == m_sliders[kR].Handle() || slider == m_sliders[kG].Handle() ||
               slider == m_sliders[kB].Handle()) {
        // The linked range follows once per batch, with the update.
        m_linkedStale = true;
    } else {
        bool ours = false;
        for (const auto& s : m_sliders) ours = ours || slider == s.Handle();
        if (!ours) return;
    }
    ScheduleApply();
}

void CPageGamma::ScheduleApply() noexcept
{
    m_slidersMoved = true;
    if (m_applyQueued) return;
    // A drag queues its notifications faster than a ramp reaches the screen; only the last
    // positions matter. Posted messages come before input and paint, so the update runs as soon
    // as the notifications already queued are handled, and a slow drag still updates per step.
    if (::PostMessageW(m_hWnd, kApplySlidersMessage, 0, 0))
        m_applyQueued = true;
    else
        Apply();  // the queue is full: apply now rather than lose the step
}

void CPageGamma::SizeForDpi(UINT dpi) noexcept
{
    // Drawn at 16 pixels for 96 DPI; the icon resource holds larger pictures for denser screens.
    const int size = zr::ScaleForDpi(16, dpi);
    zr::UniqueIcon icon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_GAMMA_WARNING),
                                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (icon && m_warning.GetSafeHwnd()) {
        m_warning.SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon.get()));
        // The indicator shows the new icon now; the one before can go.
        m_warningIcon = std::move(icon);
    }
    if (m_curve) m_curve->SetLineWidth(zr::ScaleForDpi(1, dpi));
    m_list.FitColumns(dpi);
}

void CPageGamma::OnDpiChanged(UINT dpi) noexcept { SizeForDpi(dpi); }

bool CPageGamma::OnNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.idFrom == IDC_GAMMA_FAVOURITES && hdr.code == LVN_KEYDOWN &&
        reinterpret_cast<const NMLVKEYDOWN&>(hdr).wVKey == VK_DELETE) {
        m_list.RemoveSelected();
        return true;
    }
    return CTabPageNotify::OnNotify(hdr, result);
}

bool CPageGamma::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_GAMMA_ADD:
            OnAdd();
            return true;
        case IDC_GAMMA_RESET:
            PositionSliders(GammaSetting{});
            Apply();
            return true;
        case IDC_GAMMA_SET:
            OnSet();
            return true;
        case IDC_GAMMA_RENAME:
            m_list.EditSelectedName();
            return true;
        case IDC_GAMMA_REMOVE:
            m_list.RemoveSelected();
            return true;
        case IDC_GAMMA_HOTKEY:
            EditHotkey();
            return true;
        case IDC_GAMMA_STRONGER:
            OnAllowStronger();
            return true;
        default:
            break;
        }
    }
    if (id == IDC_GAMMA_TARGET && code == CBN_SELCHANGE) {
        ChooseTarget(m_targetChoice.GetCurSel());
        return true;
    }
    return CTabPageNotify::OnCommand(id, code, control);
}

void CPageGamma::OnAdd() noexcept
{
    try {
        auto favourite = std::make_unique<GammaFavourite>(GammaFavourite{L"NONAME", ReadSliders(), {}});
        const int row = m_list.InsertFavourite(std::move(favourite));
        m_list.FitColumns(GetDpi());
        if (row >= 0) m_list.EditName(row);
    } catch (...) {
        // Out of memory: nothing was added.
    }
}

void CPageGamma::OnSet() noexcept
{
    if (const GammaFavourite* favourite = m_list.GetSelectedFavourite()) {
        const GammaSetting setting = favourite->setting;
        PositionSliders(setting);
        Apply();
    }
}

namespace {
// How messages name a gamma favourite: its name in quotes, which shows a blank at either end.
std::wstring FavouriteName(const GammaFavourite& favourite)
{
    return L"\"" + favourite.name + L"\"";
}
}  // namespace

void CPageGamma::EditHotkey() noexcept
{
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    const GammaFavourite* favourite = m_list.FavouriteAt(row);
    if (!favourite) return;
    try {
        const std::optional<zr::Hotkey> hotkey =
            AskHotkey(L"the gamma favourite " + FavouriteName(*favourite), favourite->hotkey, row);
        if (hotkey && m_list.SetHotkey(row, *hotkey)) m_list.FitColumns(GetDpi());
    } catch (...) {
        // Out of memory: the favourite keeps its hotkey.
    }
}

std::vector<FavouriteKey> CPageGamma::StoredFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    for (const GammaFavourite& favourite : m_storedFavourites) keys.push_back({FavouriteName(favourite), favourite.hotkey});
    return keys;
}

std::vector<FavouriteKey> CPageGamma::ListedFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    for (const GammaFavourite* favourite : m_list.Favourites()) keys.push_back({FavouriteName(*favourite), favourite->hotkey});
    return keys;
}

std::optional<std::size_t> CPageGamma::FindStoredFavourite(const std::wstring& name) const
{
    for (std::size_t i = 0; i < m_storedFavourites.size(); ++i) {
        if (zr::platform::EqualOrdinalIgnoringCase(m_storedFavourites[i].name, name)) return i;
    }
    return std::nullopt;
}

bool CPageGamma::ApplyStoredFavourite(std::size_t index, std::optional<std::size_t> display) noexcept
{
    if (!m_hWnd || index >= m_storedFavourites.size()) return false;
    if (!display) return ApplySetting(m_storedFavourites[index].setting);
    if (*display >= m_displays.size()) return false;
    // That display alone, as if "Apply to:" named it for this favourite; the selector then names
    // what it named before, and the sliders show that again.
    const int chosen = m_target ? static_cast<int>(*m_target) + 1 : 0;
    ChooseTarget(static_cast<int>(*display) + 1);
    PositionSliders(m_storedFavourites[index].setting);
    const bool accepted = Apply();
    ChooseTarget(chosen);
    return accepted;
}

bool CPageGamma::ApplySetting(const GammaSetting& setting) noexcept
{
    if (!m_hWnd) return false;
    PositionSliders(setting);
    return Apply();
}

std::optional<GammaSetting> CPageGamma::SettingOnScreen() noexcept
{
    const std::optional<std::size_t> shown = ShownDisplay();
    if (!m_hWnd ||
        SendTable(shown ? m_displays[*shown].index : kAllDisplays, CORE_CMD_CHECK_GAMMA_RAMP, m_acceptedRamp) != 0)
        return std::nullopt;
    return m_lastAccepted;
}

void CPageGamma::PositionSliders(const GammaSetting& setting) noexcept
{
    // A trackbar keeps its position inside its range anyway; clamping here makes the rule
    // explicit (a stored R of 500 becomes 100).
    const GammaPositions positions = ToPositions(ClampToSliderRanges(setting));
    for (std::size_t i = 0; i < kGammaSliderCount; ++i) m_sliders[i].SetPos(positions[i]);
    RerangeLinked();
}

void CPageGamma::RerangeLinked() noexcept
{
    m_linkedStale = false;
    const SliderRange range =
        LinkedSliderRange(m_sliders[kR].GetPos(), m_sliders[kG].GetPos(), m_sliders[kB].GetPos());
    // Each change repaints the trackbar; during a drag the extremes often stay where they are.
    if (m_linked.GetRange() == range && m_linked.GetPos() == 0) return;
    m_linked.SetRange(range);
    m_linked.SetPos(0);
}

void CPageGamma::LinkedMove() noexcept
{
    const RgbPositions moved = ::LinkedMove(
        {m_sliders[kR].GetPos(), m_sliders[kG].GetPos(), m_sliders[kB].GetPos()}, m_linked.GetPos());
    m_sliders[kR].SetPos(moved.r);
    m_sliders[kG].SetPos(moved.g);
    m_sliders[kB].SetPos(moved.b);
    RerangeLinked();
}

GammaSetting CPageGamma::ReadSliders() const noexcept
{
    GammaPositions positions{};
    for (std::size_t i = 0; i < kGammaSliderCount; ++i) positions[i] = m_sliders[i].GetPos();
    return FromPositions(positions);
}

LRESULT CPageGamma::SendCoreCommand(std::uint32_t code, const void* payload, std::uint32_t size) noexcept
{
    return ::SendCommand(m_hWnd, code, payload, size);
}

LRESULT CPageGamma::SendTable(std::uint32_t display, std::uint32_t code, const GammaTable& table) noexcept
{
    if (m_displays.empty())
        return SendCoreCommand(code, table.data(), static_cast<UINT32>(kGammaTableBytes));
    const DisplayCommandHeader header{display, code};
    std::memcpy(m_envelope.data(), &header, sizeof(header));
    std::memcpy(m_envelope.data() + sizeof(header), table.data(), kGammaTableBytes);
    return SendCoreCommand(CORE_CMD_ON_DISPLAY, m_envelope.data(), static_cast<UINT32>(m_envelope.size()));
}

LRESULT CPageGamma::SendRampToCore(const GammaTable& table) noexcept
{
    return SendTable(m_target ? m_displays[*m_target].index : kAllDisplays, CORE_CMD_SET_GAMMA_RAMP, table);
}

bool CPageGamma::Apply() noexcept
{
    m_slidersMoved = false;
    if (!m_hWnd) return false;
    if (m_linkedStale) RerangeLinked();
    const GammaSetting setting = ReadSliders();
    ComposeGammaTable(setting, m_arithmetic, m_ramp);
    m_refusedBy.clear();
    // The screen first; labels and curve then show what the core took.
    const bool accepted = SendRampToCore(m_ramp) == 0;
    // Each display keeps what it took. A refusal that names no display counts for every target.
    std::vector<std::size_t> refused;
    bool shownTook = accepted;
    const std::optional<std::size_t> shown = ShownDisplay();
    for (std::size_t i = 0; i < m_displays.size(); ++i) {
        if (!IsTarget(i)) continue;
        const bool named = std::find(m_refusedBy.begin(), m_refusedBy.end(), m_displays[i].index) != m_refusedBy.end();
        const bool took = accepted || (!m_refusedBy.empty() && !named);
        if (took)
            m_displaySettings[i] = setting;
        else
            refused.push_back(i);
        if (shown && *shown == i) shownTook = took;
    }
    // The refusal stays in view until a setting other than the one the sliders went back to is taken
    // (the sliders' return may come back here as one more update of the same setting).
    const bool newSetting = !(setting == m_lastAccepted);
    if (shownTook) {
        m_lastAccepted = setting;
        m_acceptedRamp = m_ramp;
        WriteLabels(setting);
    } else {
        // Refused: that display keeps its last accepted ramp, so sliders and curve go back to it;
        // the labels still show it.
        PositionSliders(m_lastAccepted);
    }
    if (accepted) {
        if (newSetting) HideRefusal();
    } else {
        m_warning.StartFlash();
        ShowRefusal(refused);
    }
    if (m_curve) m_curve->SetRamp(m_acceptedRamp.data(), kCurveRgb);
    return accepted;
}

void CPageGamma::ShowRefusal(const std::vector<std::size_t>& refused) noexcept
{
    try {
        std::wstring text;
        if (m_displays.size() <= 1 || refused.empty()) {
            text = L"The display refused this setting.";
        } else if (refused.size() == 1) {
            const orvel::DisplayInfo& display = m_displays[refused.front()];
            text = L"Display " + std::to_wstring(orvel::DisplayNumber(display)) + L" (" + display.name +
                   L") refused this setting.";
        } else {
            // Several: by number only, so that the explanation still fits beside them.
            text = L"Displays ";
            for (std::size_t i = 0; i < refused.size(); ++i) {
                if (i != 0) text += i + 1 == refused.size() ? L" and " : L", ";
                text += std::to_wstring(orvel::DisplayNumber(m_displays[refused[i]]));
            }
            text += L" refused this setting.";
        }
        const bool lifted = CGammaRangeLimit::IsLifted();
        text += lifted ? L" Stronger settings are allowed; if that is new, it takes effect after you sign in again."
                       : L" Windows keeps gamma ramps close to the normal curve unless stronger settings are allowed.";
        ::SetDlgItemTextW(m_hWnd, IDC_GAMMA_REFUSAL, text.c_str());
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GAMMA_REFUSAL), SW_SHOWNA);
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GAMMA_STRONGER), lifted ? SW_HIDE : SW_SHOWNA);
    } catch (...) {
        // Out of memory: the blinking indicator still tells.
    }
}

void CPageGamma::HideRefusal() noexcept
{
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GAMMA_REFUSAL), SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GAMMA_STRONGER), SW_HIDE);
}

void CPageGamma::OnAllowStronger() noexcept
{
    static constexpr wchar_t kTitle[] = L"Zerenta - Allow stronger settings";
    const int answer = ::MessageBoxW(
        m_hWnd,
        L"Windows keeps every gamma ramp close to the normal curve and refuses settings that stray further, "
        L"such as very dark or very bright ones or strong clamping.\n\n"
        L"An administrator can lift this limit for this computer: Zerenta writes the value GdiIcmGammaRange = 256 "
        L"under HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM, after Windows has asked "
        L"for an administrator's permission. Stronger settings take effect after you sign out and sign in again.\n\n"
        L"Allow stronger settings?",
        kTitle, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    std::wstring reason;
    switch (CGammaRangeLimit::Lift(m_hWnd, reason)) {
    case CGammaRangeLimit::Result::Lifted:
        ::SetDlgItemTextW(m_hWnd, IDC_GAMMA_REFUSAL,
                          L"Stronger settings are allowed. They take effect after you sign out and sign in again.");
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_GAMMA_STRONGER), SW_HIDE);
        ::MessageBoxW(m_hWnd,
                      L"Stronger settings are allowed on this computer.\n\n"
                      L"They take effect after you sign out and sign in again (or restart the computer).",
                      kTitle, MB_OK | MB_ICONINFORMATION);
        break;
    case CGammaRangeLimit::Result::Cancelled:
        break;
    case CGammaRangeLimit::Result::Failed: {
        const std::wstring text = L"Stronger settings could not be allowed.\n\n" + reason;
        ::MessageBoxW(m_hWnd, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
        break;
    }
    }
}

void CPageGamma::WriteLabels(const GammaSetting& setting) noexcept
{
    const GammaPositions values = ToPositions(setting);
    for (std::size_t i = 0; i < kGammaSliderCount; ++i) {
        if (m_labelsShown && m_shownLabels[i] == values[i]) continue;
        ::SetDlgItemTextW(m_hWnd, kLabelIds[i], FormatSliderLabel(static_cast<GammaSlider>(i), values[i]).data());
    }
    m_shownLabels = values;
    m_labelsShown = true;
}

std::size_t CPageGamma::TrayFavouriteCount() const noexcept
{
    // The reset entry takes the last of the page's tray places, so with many favourites the
    // later ones stay off the menu (they are still in the list).
    return std::min<std::size_t>(m_storedFavourites.size(), kMaxTrayItems - 1);
}

void CPageGamma::GetTrayMenuItems(std::vector<std::wstring>& items)
{
    const std::size_t shown = TrayFavouriteCount();
    for (std::size_t i = 0; i < shown; ++i) items.push_back(FormatFavouriteMenuText(m_storedFavourites[i]));
    // The reset entry only accompanies favourites.
    if (shown != 0) items.emplace_back(L"Reset default gamma");
}

void CPageGamma::GetTrayMenuChecks(std::vector<int>& items)
{
    // The page's last ramp must still be on the screen (Restore Screen and other programs
    // change it without the page knowing); then the favourites that make that ramp are in force.
    // With several displays: the display the sliders show.
    if (!SettingOnScreen()) return;
    GammaTable table{};
    for (std::size_t i = 0, shown = TrayFavouriteCount(); i < shown; ++i) {
        // As a choice from the tray applies it: through the sliders' ranges.
        ComposeGammaTable(ClampToSliderRanges(m_storedFavourites[i].setting), m_arithmetic, table);
        if (table == m_acceptedRamp) items.push_back(static_cast<int>(i));
    }
}

void CPageGamma::OnTrayMenuCommand(int item)
{
    if (!m_hWnd) return;
    if (item >= 0 && static_cast<std::size_t>(item) < TrayFavouriteCount()) {
        ApplyStoredFavourite(static_cast<std::size_t>(item));
        return;
    }
    // The reset entry.
    PositionSliders(GammaSetting{});
    Apply();
}

void CPageGamma::LoadSettings(const std::wstring& text)
{
    SetXml(text);
    LoadFavourites();
}

void CPageGamma::SaveSettings()
{
    SaveFavourites();
    LoadFavourites();
}

void CPageGamma::DeleteAllFavourites() noexcept
{
    m_storedFavourites.clear();
    m_list.DeleteAllFavourites();
}

void CPageGamma::LoadFavourites() noexcept
{
    DeleteAllFavourites();
    try {
        const std::unique_ptr<XmlNode> root = CreateRoot();
        if (!root) return;
        m_storedFavourites = ReadFavourites(*root);
        for (const GammaFavourite& favourite : m_storedFavourites) {
            m_list.InsertFavourite(std::make_unique<GammaFavourite>(favourite));
        }
    } catch (...) {
        // Out of memory part way: what was loaded stays.
    }
    m_list.SortFavourites();
    m_list.FitColumns(GetDpi());
}

void CPageGamma::SaveFavourites() noexcept
{
    try {
        m_list.SortFavourites();
        const std::vector<const GammaFavourite*> rows = m_list.Favourites();
        const std::unique_ptr<XmlNode> element = BuildFavouritesElement(rows);
        ReplaceChild(*element);
    } catch (...) {
        // Out of memory: the section keeps its previous favourites.
    }
}

void CPageGamma::OnDestroy() noexcept
{
    DeleteAllFavourites();
}

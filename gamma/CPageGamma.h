// The "Gamma" tab: seven sliders (red, green and blue gamma, a linked RGB offset, contrast,
// brightness, high and low clamping) that set the gamma ramp live, of every display or of the one
// the "Apply to:" selector names, a curve view of the ramp, a warning for refused ramps that
// names the displays that refused them, and a list of named favourites that the tray menu offers.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CoreTypes.h"
#include "core/DisplayInfo.h"
#include "framework/CComboBox.h"
#include "framework/CToolTipCtrl.h"
#include "framework/Handles.h"
#include "gamma/CFlashStatic.h"
#include "gamma/CGammaCurveCtrl.h"
#include "gamma/CGammaListCtrl.h"
#include "gamma/GammaComposer.h"
#include "gamma/GammaSetting.h"
#include "gamma/GammaSliders.h"
#include "gamma/SliderHandle.h"
#include "pageapi/CTabPageNotify.h"
#include "resources/resource.h"
#include "settings/CTevSetting.h"

class CPageGamma : public CTabPageNotify, public CTevSetting {
public:
    static constexpr UINT IDD = IDD_PAGE_GAMMA;
    // Posted to the page once per batch of slider notifications; its handler applies them all.
    static constexpr UINT kApplySlidersMessage = WM_APP + 20;

    CPageGamma() noexcept;
    ~CPageGamma() override;

    // Page interface
    void GetTrayMenuItems(std::vector<std::wstring>& items) override;
    void OnTrayMenuCommand(int item) override;
    // The favourites whose ramp is the one on the screen now.
    void GetTrayMenuChecks(std::vector<int>& items) override;
    void SaveSettings() override;
    void LoadSettings(const std::wstring& text) override;
    std::wstring GetSettingName() override { return L"Gamma"; }
    std::wstring GetSettingText() override { return GetXml(); }
    std::vector<FavouriteKey> StoredFavouriteKeys() const override;
    std::vector<FavouriteKey> ListedFavouriteKeys() const override;
    void ApplyFavourite(std::size_t index) override { ApplyStoredFavourite(index); }

    // The first stored favourite with this name, letter case ignored.
    std::optional<std::size_t> FindStoredFavourite(const std::wstring& name) const;
    // Applies a stored favourite as its tray item does (to what "Apply to:" names), or to the
    // display at place `display` of Displays() alone; false when there is no such favourite or
    // display, or a display refused the ramp.
    bool ApplyStoredFavourite(std::size_t index, std::optional<std::size_t> display = std::nullopt) noexcept;
    // Applies a setting as a favourite's tray item does (to what "Apply to:" names); false when a
    // display refused it.
    bool ApplySetting(const GammaSetting& setting) noexcept;
    // The setting of the page's last ramp when that ramp is still on the screen (of the display
    // the sliders show); nothing after Restore Screen or when another program set a ramp since.
    std::optional<GammaSetting> SettingOnScreen() noexcept;
    // The displays the core knows, in its order; empty when it knows none.
    const std::vector<orvel::DisplayInfo>& Displays() const noexcept { return m_displays; }
    // The stored favourites, as of the last save.
    const std::vector<GammaFavourite>& StoredFavourites() const noexcept { return m_storedFavourites; }

    // The setting of the last ramp the core accepted for the display the sliders show (the chosen
    // one, or the primary one for "All displays").
    const GammaSetting& LastAccepted() const noexcept { return m_lastAccepted; }
    // The current setting of each display the core reported, in its order; empty without displays.
    const std::vector<GammaSetting>& DisplaySettings() const noexcept { return m_displaySettings; }
    // Where the sliders apply: 0 for "All displays", then one place per display.
    void ChooseTarget(int place) noexcept;
    // Reacts to a scroll notification of one of the sliders as a user's drag would: a move of
    // the linked slider moves R, G and B at once; everything else (the linked slider's range, the
    // ramp, labels and curve) is left to the batch's one update.
    void OnSliderScroll(HWND slider, int code) noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    bool OnNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void OnDestroy() noexcept override;
    void OnDpiChanged(UINT dpi) noexcept override;

    // Hands a composed table to the core for the chosen target; 0 when every display took it.
    // Displays that refused are named by CORE_RPL_GAMMA_REFUSED meanwhile. Tests and benchmarks
    // replace the channel, here or below.
    virtual LRESULT SendRampToCore(const GammaTable& table) noexcept;
    // One command to the core, with this page as the sender.
    virtual LRESULT SendCoreCommand(std::uint32_t code, const void* payload, std::uint32_t size) noexcept;

private:
    // How many stored favourites the tray menu shows, ahead of the reset entry.
    std::size_t TrayFavouriteCount() const noexcept;
    void PositionSliders(const GammaSetting& setting) noexcept;
    void RerangeLinked() noexcept;
    void LinkedMove() noexcept;
    GammaSetting ReadSliders() const noexcept;
    // Queues one update for the slider positions, unless one is queued already.
    void ScheduleApply() noexcept;
    // Composes the ramp from the sliders, sends it, then writes the labels and the curve (or,
    // refused, puts the sliders back and blinks). True when the screen took the ramp.
    bool Apply() noexcept;
    void WriteLabels(const GammaSetting& setting) noexcept;
    void LoadFavourites() noexcept;
    void SaveFavourites() noexcept;
    void DeleteAllFavourites() noexcept;

    void OnAdd() noexcept;
    void OnSet() noexcept;
    void EditHotkey() noexcept;
    void OnAllowStronger() noexcept;

    // `code` with a GammaTable for `display` (an index or kAllDisplays) inside
    // CORE_CMD_ON_DISPLAY; plain, for the primary display, when the core knows no displays.
    LRESULT SendTable(std::uint32_t display, std::uint32_t code, const GammaTable& table) noexcept;
    // The displays the core knows, into the selector after "All displays".
    void LoadDisplays() noexcept;
    // The display the sliders show: the chosen one, or the primary one for "All displays";
    // nothing when the core knows no displays.
    std::optional<std::size_t> ShownDisplay() const noexcept;
    bool IsTarget(std::size_t display) const noexcept;
    // After a refusal: which displays refused, in plain words, and what can be done about it.
    void ShowRefusal(const std::vector<std::size_t>& refused) noexcept;
    void HideRefusal() noexcept;
    // The sizes set here for a DPI: the warning icon, the curves' lines, the list's columns.
    void SizeForDpi(UINT dpi) noexcept;

    // Slider objects in GammaSlider order, then the linked one.
    std::array<SliderHandle, kGammaSliderCount> m_sliders;
    SliderHandle m_linked;
    CGammaListCtrl m_list;
    CFlashStatic m_warning;
    // The warning triangle at the size for the page's DPI; the indicator shows it.
    zr::UniqueIcon m_warningIcon;
    zr::CToolTipCtrl m_tooltip;
    std::unique_ptr<CGammaCurveCtrl> m_curve;

    zr::CComboBox m_targetChoice;

    GammaArithmetic m_arithmetic;
    GammaSetting m_lastAccepted;
    std::vector<orvel::DisplayInfo> m_displays;
    std::vector<GammaSetting> m_displaySettings;
    // The chosen display's place in m_displays; nothing for "All displays".
    std::optional<std::size_t> m_target;
    // The displays that refused the ramp being sent (CORE_RPL_GAMMA_REFUSED), by core index.
    std::vector<std::uint32_t> m_refusedBy;
    // CORE_CMD_ON_DISPLAY's payload: the header, then the table; kept so that a step allocates nothing.
    std::array<unsigned char, sizeof(DisplayCommandHeader) + kGammaTableBytes> m_envelope{};
    std::vector<GammaFavourite> m_storedFavourites;
    // Working tables, kept so that a slider step allocates nothing.
    GammaTable m_ramp{};
    GammaTable m_acceptedRamp{};
    // What the value labels show; a label is written only when its value changes, because a
    // static control repaints at once on every new text.
    GammaPositions m_shownLabels{};
    bool m_labelsShown = false;
    // kApplySlidersMessage is in the queue.
    bool m_applyQueued = false;
    // The sliders moved since the last update.
    bool m_slidersMoved = false;
    // R, G or B moved since the linked slider's range was last set.
    bool m_linkedStale = false;
};

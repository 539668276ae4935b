// The "Gamma" tab: seven sliders (red, green and blue gamma, a linked RGB offset, contrast,
// brightness, high and low clamping) that set the screen's gamma ramp live, a curve view of
// the ramp, a warning indicator for refused ramps and a list of named favourites that the
// tray menu offers.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CoreTypes.h"
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
    // Applies a stored favourite as its tray item does; false when there is no such favourite or
    // the screen refused its ramp.
    bool ApplyStoredFavourite(std::size_t index) noexcept;
    // The stored favourites, as of the last save.
    const std::vector<GammaFavourite>& StoredFavourites() const noexcept { return m_storedFavourites; }

    // The setting of the last ramp the core accepted.
    const GammaSetting& LastAccepted() const noexcept { return m_lastAccepted; }
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

    // Hands a composed table to the core; 0 when accepted. Benchmarks replace the channel.
    virtual LRESULT SendRampToCore(const GammaTable& table) noexcept;

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

    GammaArithmetic m_arithmetic;
    GammaSetting m_lastAccepted;
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

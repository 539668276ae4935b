// The application rules' way to the Resolution and Gamma tabs: their saved favourites, applied
// through the same paths as their tray items (and so into the recovery file), and the mode and
// ramp in force, read and put back.
#pragma once

#include <windows.h>

#include "pageapi/IFavouriteActions.h"

class CPageResolution;
class CPageGamma;

class CRuleActions : public IFavouriteActions {
public:
    // `window` sends the core the one command neither tab has: the start-up ramp back.
    CRuleActions(CPageResolution& resolution, CPageGamma& gamma) noexcept : m_resolution(resolution), m_gamma(gamma) {}
    void SetWindow(HWND window) noexcept { m_window = window; }

    std::vector<ModeFavouriteName> ModeFavourites() override;
    std::vector<std::wstring> GammaFavourites() override;
    std::wstring ModeInForce(const std::wstring& display) override;
    bool ShowsMode(const std::wstring& display, const std::wstring& mode) override;
    bool SetMode(const std::wstring& display, const std::wstring& mode) override;
    std::wstring RampInForce() override;
    bool ShowsGammaFavourite(const std::wstring& name) override;
    bool ApplyGammaFavourite(const std::wstring& name) override;
    void PutBackRamp(const std::wstring& ramp) override;

private:
    CPageResolution& m_resolution;
    CPageGamma& m_gamma;
    HWND m_window = nullptr;
};

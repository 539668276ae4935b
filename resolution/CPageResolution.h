// The Resolution tab: the modes the adapter reports, grouped by aspect ratio, and the user's
// favourite modes, which the tray menu offers as of the last save.
#pragma once

#include <vector>

#include "pageapi/CTabPageNotify.h"
#include "resolution/CResListCtrl.h"
#include "resolution/CResolutionList.h"
#include "resources/resource.h"
#include "settings/CTevSetting.h"

class CPageResolution : public CTabPageNotify, public CTevSetting {
public:
    static constexpr UINT IDD = IDD_PAGE_RESOLUTION;

    CPageResolution() : CTabPageNotify(IDD), CTevSetting(L"Resolution") {}

    void GetTrayMenuItems(std::vector<std::wstring>& items) override;
    void OnTrayMenuCommand(int item) override;
    void SaveSettings() override;
    void LoadSettings(const std::wstring& text) override;
    std::wstring GetSettingName() override { return L"Resolution"; }
    std::wstring GetSettingText() override { return GetXml(); }

    const CResListCtrl& DetectedList() const noexcept { return m_detected; }
    const std::vector<zr::DisplayMode>& TrayFavourites() const noexcept { return m_trayFavourites; }

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    bool OnNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void OnDestroy() noexcept override;

private:
    void OnCoreReply(const COPYDATASTRUCT& data) noexcept;
    void AddToFavourites() noexcept;
    void RemoveFromFavourites() noexcept;
    void StoreFavourites() noexcept;
    void LoadFavourites() noexcept;
    void BuildModeTree() noexcept;

    std::vector<zr::DisplayMode> m_trayFavourites;
    zr::CResolutionList m_modeTree;
    CResListCtrl m_detected;
    CResListCtrl m_favourites;
};

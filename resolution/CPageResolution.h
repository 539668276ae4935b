// The Resolution tab: the modes the adapter reports, grouped by aspect ratio, and the user's
// favourite modes with their hotkeys, which the tray menu offers as of the last save. A mode
// chosen from the tray (or by its hotkey) is put to the user before it stays, unless the page's
// check box says otherwise; a mode from the command line is not.
#pragma once

#include <optional>
#include <vector>

#include "pageapi/CTabPageNotify.h"
#include "resolution/CModeConfirmDlg.h"
#include "resolution/CResListCtrl.h"
#include "resolution/CResolutionList.h"
#include "resolution/FavouriteModes.h"
#include "resolution/ModeConfirmation.h"
#include "resources/resource.h"
#include "settings/CTevSetting.h"

class CPageResolution : public CTabPageNotify, public CTevSetting {
public:
    static constexpr UINT IDD = IDD_PAGE_RESOLUTION;

    CPageResolution() : CTabPageNotify(IDD), CTevSetting(L"Resolution") {}

    void GetTrayMenuItems(std::vector<std::wstring>& items) override;
    void OnTrayMenuCommand(int item) override;
    // The favourites that match the mode in force.
    void GetTrayMenuChecks(std::vector<int>& items) override;
    void SaveSettings() override;
    void LoadSettings(const std::wstring& text) override;
    std::wstring GetSettingName() override { return L"Resolution"; }
    std::wstring GetSettingText() override { return GetXml(); }
    std::vector<FavouriteKey> StoredFavouriteKeys() const override;
    std::vector<FavouriteKey> ListedFavouriteKeys() const override;
    void ApplyFavourite(std::size_t index) override;

    // The screen went back to its start-up state (Restore Screen): an open question ends.
    void OnScreenRestored() noexcept;

    enum class ModeChange {
        Done,
        Refused,  // the display refused the mode
        Busy,     // a box of the program is open, or another change is under way
    };
    // A mode from the command line: the tray's guarded path, without the question.
    ModeChange ChangeModeQuietly(const zr::DisplayMode& mode) noexcept;

    const CResListCtrl& DetectedList() const noexcept { return m_detected; }
    // The modes the display offers, as the detected list holds them.
    std::vector<zr::DisplayMode> DetectedModes() const;
    // The mode in force as the core reports it; nothing when the core cannot tell.
    std::optional<zr::DisplayMode> QueryModeInForce() noexcept;
    const std::vector<zr::FavouriteMode>& TrayFavourites() const noexcept { return m_trayFavourites; }

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    bool OnNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void OnDestroy() noexcept override;
    void OnDpiChanged(UINT dpi) noexcept override;

private:
    // Posted when the display changed: the mode in force is read and marked once the change is
    // over, not while the core may still be busy with it.
    static constexpr UINT kModeChangedMessage = WM_APP + 30;

    // Reads the mode in force and marks it in the detected list: bold, selected and in view.
    void MarkModeInForce() noexcept;
    void OnCoreReply(const COPYDATASTRUCT& data) noexcept;
    // Each selected detected mode that is not a favourite yet becomes one; the favourites of all
    // the selected modes (new or already there) are then the favourites list's selection.
    void AddToFavourites() noexcept;
    void RemoveFromFavourites() noexcept;
    void EditHotkey() noexcept;
    // The tray's path: refused while a box is open or a change is under way; asks the question
    // when `ask` and the page's check box say so.
    ModeChange ChangeMode(const zr::DisplayMode& mode, bool ask) noexcept;
    void StoreFavourites() noexcept;
    // The favourites and the question's switch from the section as stored; the two readers take
    // a section that cannot be parsed (null) as an empty one.
    void LoadSection() noexcept;
    void LoadFavourites(const XmlNode* section) noexcept;
    void StoreConfirmation() noexcept;
    void LoadConfirmation(const XmlNode* section) noexcept;
    void BuildModeTree() noexcept;

    // Asks whether `current` stays; puts back `previous` unless the user keeps it.
    void ConfirmNewMode(const zr::DisplayMode& previous, const zr::DisplayMode& current) noexcept;

    std::vector<zr::FavouriteMode> m_trayFavourites;
    int m_confirmSeconds = zr::kDefaultConfirmSeconds;
    // Set while CORE_CMD_GET_MODE runs: its CORE_RPL_MODE goes here, not into the detected list.
    std::optional<zr::DisplayMode>* m_modeQuery = nullptr;
    // The open question, if any.
    CModeConfirmDlg* m_confirmBox = nullptr;
    // From the moment a tray mode is sent until its question is answered. The core's warning
    // about a refused mode runs a message loop inside the command, and the tray menu still
    // reaches the page meanwhile: a second change then would be undone when the first command
    // puts the start-up mode back.
    bool m_changingMode = false;
    zr::CResolutionList m_modeTree;
    CResListCtrl m_detected;
    CResListCtrl m_favourites;
};

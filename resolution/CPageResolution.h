// The Resolution tab: the modes one display reports (the "Display:" selector picks which),
// grouped by aspect ratio, and the user's favourite modes, each on its own display and with its
// hotkey, which the tray menu offers as of the last save. A mode chosen from the tray (or by its
// hotkey) is put to the user before it stays, unless the page's check box says otherwise; a mode
// from the command line is not.
#pragma once

#include <optional>
#include <vector>

#include "core/DisplayInfo.h"
#include "framework/CComboBox.h"
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
    // The favourites that match the mode in force on their display.
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

    const CResListCtrl& DetectedList() const noexcept { return m_detected; }

    // The displays the core knows, in its order; empty when it knows none (the primary display is
    // then the only one, reached with plain commands).
    const std::vector<orvel::DisplayInfo>& Displays() const noexcept { return m_displays; }
    // The modes a display offers and the mode in force on it; `display` is a place in Displays(),
    // or nothing for the only display of a core that knows none.
    std::vector<zr::DisplayMode> ModesOf(std::optional<std::size_t> display) noexcept;
    std::optional<zr::DisplayMode> ModeInForceOn(std::optional<std::size_t> display) noexcept;
    enum class ModeChange {
        Done,
        Refused,  // the display refused the mode
        Busy,     // a box of the program is open, or another change is under way
    };
    // A mode from the command line: the tray's guarded path, without the question.
    ModeChange ChangeModeQuietly(std::optional<std::size_t> display, const zr::DisplayMode& mode) noexcept;
    // The saved favourites on displays attached now: what the tray offers.
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

    // The displays the core knows, into the selector, the primary one chosen.
    void LoadDisplays() noexcept;
    // Lists the modes of the display at this place of the selector.
    void ChooseDisplay(std::size_t position) noexcept;
    // The display the selector names; null when the core knows no displays.
    const orvel::DisplayInfo* ChosenDisplay() const noexcept;
    // Reads the chosen display's mode in force and marks it in the detected list: bold, selected
    // and in view.
    void MarkModeInForce() noexcept;
    void OnCoreReply(const COPYDATASTRUCT& data) noexcept;
    // Each selected detected mode that is not a favourite of the chosen display yet becomes one;
    // the favourites of all the selected modes (new or already there) are then the favourites
    // list's selection.
    void AddToFavourites() noexcept;
    void RemoveFromFavourites() noexcept;
    void EditHotkey() noexcept;
    // The tray's path: refused while a box is open or a change is under way; asks the question
    // when `ask` and the page's check box say so.
    ModeChange ChangeMode(const orvel::DisplayInfo* display, const zr::DisplayMode& mode, bool ask) noexcept;
    // How messages name a favourite: "800 x 600 32bpp 60Hz", after "Display 2: " with several displays.
    std::wstring FavouriteName(const zr::DisplayMode& mode, const std::wstring& display) const;
    void StoreFavourites() noexcept;
    // The favourites and the question's switch from the section as stored; the two readers take
    // a section that cannot be parsed (null) as an empty one.
    void LoadSection() noexcept;
    void LoadFavourites(const XmlNode* section) noexcept;
    void StoreConfirmation() noexcept;
    void LoadConfirmation(const XmlNode* section) noexcept;
    void BuildModeTree() noexcept;

    // The attached display with this id; null when it is absent (or the core knows no displays).
    const orvel::DisplayInfo* FindDisplay(const std::wstring& id) const noexcept;
    // The id of the primary display; empty when the core knows no displays.
    std::wstring PrimaryId() const;
    // What the favourites list says in its display column for a favourite on `id`.
    std::wstring DisplayColumnText(const std::wstring& id) const;
    // A command for one display: inside CORE_CMD_ON_DISPLAY, or plain (the primary display) when
    // the core knows no displays.
    LRESULT SendToDisplay(const orvel::DisplayInfo* display, std::uint32_t code, const void* payload,
                          std::uint32_t size) noexcept;
    // The mode in force on a display as the core reports it; nothing when the core cannot tell.
    std::optional<zr::DisplayMode> QueryModeInForce(const orvel::DisplayInfo* display) noexcept;
    // Asks whether `current` stays on `display`; puts back `previous` there unless the user keeps it.
    void ConfirmNewMode(const orvel::DisplayInfo* display, const zr::DisplayMode& previous,
                        const zr::DisplayMode& current) noexcept;

    std::vector<orvel::DisplayInfo> m_displays;
    std::size_t m_chosen = 0;
    // The saved favourites on displays attached now: what the tray menu offers.
    std::vector<zr::FavouriteMode> m_trayFavourites;
    int m_confirmSeconds = zr::kDefaultConfirmSeconds;
    // Set while CORE_CMD_GET_MODE runs: its CORE_RPL_MODE goes here, not into the detected list.
    std::optional<zr::DisplayMode>* m_modeQuery = nullptr;
    // Set while ModesOf enumerates: the modes go here, not into the detected list.
    std::vector<zr::DisplayMode>* m_modeList = nullptr;
    // The open question, if any.
    CModeConfirmDlg* m_confirmBox = nullptr;
    // From the moment a tray mode is sent until its question is answered. The core's warning
    // about a refused mode runs a message loop inside the command, and the tray menu still
    // reaches the page meanwhile: a second change then would be undone when the first command
    // puts the start-up mode back.
    bool m_changingMode = false;
    zr::CResolutionList m_modeTree;
    zr::CComboBox m_displayChoice;
    CResListCtrl m_detected;
    CResListCtrl m_favourites;
};

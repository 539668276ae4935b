// The list view of the resolution page, used for both the detected and the favourite modes.
// Rows own one heap record each (item data: the mode, the id of its display and, for a favourite,
// its hotkey), freed when the row is deleted. Rows are grouped under their aspect ratio, newest group first.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "framework/CListCtrl.h"
#include "framework/Handles.h"
#include "pageapi/Hotkey.h"
#include "resolution/CGroupHeaderList.h"
#include "resolution/ModeMath.h"

class CResListCtrl : public zr::CListCtrl {
public:
    // Extended styles, group view, theme, columns; deletes every row.
    void PrepareList() noexcept;
    // Inserts a row at the top, which then owns the record. Returns the row index, or -1 when
    // the list has no window or refused the row; the record then stays with the caller.
    int InsertMode(std::unique_ptr<zr::DisplayMode>&& record) noexcept;
    // A row for `mode` on the display `display` (an id), which the display column, once shown,
    // names with `displayText`, with `hotkey` in the hotkey column. Returns the row index, or -1.
    int InsertMode(const zr::DisplayMode& mode, const std::wstring& display, const std::wstring& displayText,
                   const zr::Hotkey& hotkey = {}) noexcept;
    // A last column "Display", for lists whose rows belong to different displays.
    void ShowDisplayColumn() noexcept;
    bool ShowsDisplayColumn() const noexcept { return m_displayColumn >= 0; }
    // A column "Hotkey" after those there are, for the favourites.
    void ShowHotkeyColumn() noexcept;
    bool DeleteMode(int index) noexcept;
    void DeleteAllModes() noexcept;
    // Rows ordered by CompareModes; the order of the groups stays.
    void SortModes() noexcept;
    // The list-view group id of a header, creating the group when it is new.
    int GetGroupId(const std::wstring& header) noexcept;

    // The record of a row; nullptr for an index out of range.
    const zr::DisplayMode* ModeAt(int index) const noexcept;
    // The display id of a row; nullptr for an index out of range.
    const std::wstring* DisplayAt(int index) const noexcept;
    // The hotkey of a row (none for an index out of range), and a new one for it, in its record and
    // its hotkey column.
    zr::Hotkey HotkeyAt(int index) const noexcept;
    bool SetHotkey(int index, const zr::Hotkey& hotkey) noexcept;
    // The row whose record equals `mode` on the display `display` (an id; none for a list of one
    // display's modes), or -1.
    int FindMode(const zr::DisplayMode& mode, const std::wstring& display = {}) const noexcept;

    // Shows `mode` (the mode in force) in bold; returns its row (the one equal to it, else the
    // first that matches it at any rate), or -1. No mode marks no row.
    int MarkMode(const std::optional<zr::DisplayMode>& mode) noexcept;
    // Columns as wide as their texts, headers included (the marked row measured in bold), with
    // the list's margins for `dpi`.
    void FitColumns(UINT dpi) noexcept;
    // With it, Enter in the list is the list's, not the dialog's: its parent hears NM_RETURN.
    void SetWantsReturn(bool wants) noexcept { m_wantsReturn = wants; }
    // False where the list view ignores groups (Wine): the header text is then a fourth column.
    bool ShowsGroups() const noexcept { return m_groupsShown; }

protected:
    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    void OnDestroy() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    struct Row {
        zr::DisplayMode mode;
        std::wstring display;
        zr::Hotkey hotkey;
    };
    int InsertRow(std::unique_ptr<Row>&& row, const std::wstring& displayText) noexcept;
    static int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM) noexcept;
    const Row* RowAt(int index) const noexcept;
    int MarkedRow() const noexcept;
    // The list's font in bold, made again when the list's font changes.
    HFONT BoldFont() noexcept;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept;

    zr::CGroupHeaderList m_headers;
    bool m_groupsShown = true;
    int m_displayColumn = -1;
    int m_hotkeyColumn = -1;
    bool m_wantsReturn = false;
    std::optional<zr::DisplayMode> m_marked;
    int m_paintedMark = -1;
    zr::UniqueFont m_boldFont;
    HFONT m_boldMadeFrom = nullptr;
};

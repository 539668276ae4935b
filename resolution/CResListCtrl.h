// The list view of the resolution page, used for both the detected and the favourite modes.
// Rows own one heap FavouriteMode each (item data: the mode and, in the favourites, its hotkey),
// freed when the row is deleted. Rows are grouped under their aspect ratio, newest group first.
#pragma once

#include <memory>
#include <string>

#include "framework/CListCtrl.h"
#include "resolution/CGroupHeaderList.h"
#include "resolution/FavouriteModes.h"
#include "resolution/ModeMath.h"

class CResListCtrl : public zr::CListCtrl {
public:
    // Extended styles, group view, theme, columns (with one for the hotkey when asked); deletes
    // every row.
    void PrepareList(bool hotkeyColumn = false) noexcept;
    // Inserts a row at the top, which then owns the record. Returns the row index, or -1 when
    // the list has no window or refused the row; the record then stays with the caller.
    int InsertMode(std::unique_ptr<zr::FavouriteMode>&& record) noexcept;
    bool DeleteMode(int index) noexcept;
    void DeleteAllModes() noexcept;
    // Rows ordered by CompareModes; the order of the groups stays.
    void SortModes() noexcept;
    // The list-view group id of a header, creating the group when it is new.
    int GetGroupId(const std::wstring& header) noexcept;

    // The record of a row, or its mode; nullptr for an index out of range.
    const zr::FavouriteMode* RowAt(int index) const noexcept;
    const zr::DisplayMode* ModeAt(int index) const noexcept;
    // Gives a row another hotkey, in its record and its hotkey column.
    bool SetHotkey(int index, const zr::Hotkey& hotkey) noexcept;
    // False where the list view ignores groups (Wine): the header text is then a fourth column.
    bool ShowsGroups() const noexcept { return m_groupsShown; }

protected:
    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    void OnDestroy() noexcept override;

private:
    zr::CGroupHeaderList m_headers;
    bool m_groupsShown = true;
    int m_hotkeyColumn = -1;
    int m_ratioColumn = -1;
};

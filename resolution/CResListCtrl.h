// The list view of the resolution page, used for both the detected and the favourite modes.
// Rows own one heap record each (item data: the mode and the id of its display), freed when the
// row is deleted. Rows are grouped under their aspect ratio, newest group first.
#pragma once

#include <memory>
#include <string>

#include "framework/CListCtrl.h"
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
    // names with `displayText`. Returns the row index, or -1.
    int InsertMode(const zr::DisplayMode& mode, const std::wstring& display, const std::wstring& displayText) noexcept;
    // A last column "Display", for lists whose rows belong to different displays.
    void ShowDisplayColumn() noexcept;
    bool ShowsDisplayColumn() const noexcept { return m_displayColumn >= 0; }
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
    // False where the list view ignores groups (Wine): the header text is then a fourth column.
    bool ShowsGroups() const noexcept { return m_groupsShown; }

protected:
    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    void OnDestroy() noexcept override;

private:
    struct Row {
        zr::DisplayMode mode;
        std::wstring display;
    };
    int InsertRow(std::unique_ptr<Row>&& row, const std::wstring& displayText) noexcept;
    static int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM) noexcept;
    const Row* RowAt(int index) const noexcept;

    zr::CGroupHeaderList m_headers;
    bool m_groupsShown = true;
    int m_displayColumn = -1;
};

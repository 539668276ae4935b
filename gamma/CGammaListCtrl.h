// The favourites list of the gamma page: a report view with five columns (the last the hotkey)
// whose rows own their GammaFavourite records, with in-place renaming of the name column.
#pragma once

#include <memory>
#include <vector>

#include "framework/CListCtrl.h"
#include "gamma/GammaSetting.h"

class CGammaListCtrl : public zr::CListCtrl {
public:
    // Extended styles, the explorer theme when available, the five columns; no rows.
    void InitColumns() noexcept;

    // A new row at the top, which then owns the record. Returns its index, or -1 when the list
    // has no window or refused the row; the record then stays with the caller.
    int InsertFavourite(std::unique_ptr<GammaFavourite>&& favourite) noexcept;
    // The record of a row, owned by the row; null when the row has none.
    GammaFavourite* FavouriteAt(int row) const noexcept;
    // Gives a row another hotkey, in its record and its hotkey column.
    bool SetHotkey(int row, const zr::Hotkey& hotkey) noexcept;
    // The record of the first selected row, or null.
    GammaFavourite* GetSelectedFavourite() const noexcept;
    // Focus to the list and in-place editing of the row's name; the edit box, or null.
    HWND EditName(int row) noexcept;
    HWND EditSelectedName() noexcept;
    // Deletes the row; its record is freed only when the deletion succeeded.
    bool RemoveFavourite(int row) noexcept;
    // Removes every selected row; the number removed.
    int RemoveSelected() noexcept;
    void DeleteAllFavourites() noexcept;
    // Rows in favourite order (CompareFavourites).
    void SortFavourites() noexcept;
    // The records of all rows, top to bottom; they stay owned by the rows.
    std::vector<const GammaFavourite*> Favourites() const;
    // Columns at their default widths for `dpi`, wider where a text needs it.
    void FitColumns(UINT dpi) noexcept;

protected:
    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    void OnDestroy() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    // Posted after a rename: the list shows the new name only once the notification returned.
    static constexpr UINT kRefitMessage = WM_APP + 40;

    bool OnEndLabelEdit(int row, const wchar_t* text) noexcept;

    UINT m_fittedDpi = 96;
};

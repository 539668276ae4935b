// The global hotkeys of the favourites of every page. They are registered on a hotkey handler of
// their own, so that a combination another program holds costs only its own favourite (the
// program's two fixed combinations keep their handler), and anew whenever the stored favourites'
// keys change. Also the shell's answer to a page that asks whether a combination is free.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/CHotkeyHandler.h"
#include "pageapi/CTabPageNotify.h"
#include "pageapi/IHotkeyCheck.h"

class CFavouriteHotkeys : public IHotkeyCheck {
public:
    // `callback` runs on the handler's thread when a favourite's combination is pressed.
    explicit CFavouriteHotkeys(CHotkeyHandler::Callback callback) noexcept : m_callback(callback) {}

    // The pages in tab order, whose stored favourites are registered and whose lists are asked.
    void SetPages(std::vector<CTabPageNotify*> pages) { m_pages = std::move(pages); }

    // Registers the stored favourites' hotkeys of every page, unless they are what is registered
    // already and all working. Returns the favourites whose keys are not working, as
    // "name: Ctrl+Alt+1" (taken by another program or another favourite, or one of the program's
    // own); their keys stay with the favourites. Nothing is returned when nothing changed.
    std::vector<std::wstring> Register();
    void Stop() noexcept;

    struct Owner {
        std::size_t page;
        std::size_t favourite;
    };
    // The favourite whose registered hotkey this is.
    std::optional<Owner> Find(const zr::Hotkey& hotkey) const noexcept;
    // The hotkey of stored favourite `favourite` of page `page` while it is registered; none else.
    zr::Hotkey Working(std::size_t page, std::size_t favourite) const noexcept;

    std::wstring WhyNot(const zr::Hotkey& hotkey, const CTabPageNotify& page, int row) override;

private:
    struct Entry {
        Owner owner;
        zr::Hotkey hotkey;
        int handlerIndex;
    };
    bool Holds(const zr::Hotkey& hotkey) const noexcept;

    CHotkeyHandler::Callback m_callback;
    CHotkeyHandler m_handler{false, CHotkeyHandler::OnFailure::KeepOthers};
    std::vector<CTabPageNotify*> m_pages;
    std::vector<Entry> m_entries;
    // Every page's stored keys as last registered, favourites without a key included.
    std::vector<std::vector<zr::Hotkey>> m_registered;
    bool m_someNotWorking = false;
};

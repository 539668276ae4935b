#include "app/CFavouriteHotkeys.h"

namespace {
// The id of the trial registration of a combination a page asks about; it is let go at once.
constexpr int kTrialId = 0xBF00;
}  // namespace

std::vector<std::wstring> CFavouriteHotkeys::Register()
{
    std::vector<std::vector<FavouriteKey>> stored;
    std::vector<std::vector<zr::Hotkey>> keys;
    for (CTabPageNotify* page : m_pages) {
        stored.push_back(page->GetSafeHwnd() ? page->StoredFavouriteKeys() : std::vector<FavouriteKey>{});
        keys.emplace_back();
        for (const FavouriteKey& favourite : stored.back()) keys.back().push_back(favourite.hotkey);
    }
    // Unchanged keys are registered already, unless some did not work: they get another try.
    if (keys == m_registered && !m_someNotWorking) return {};
    m_registered = keys;

    Stop();
    m_handler.RemoveAll();
    m_entries.clear();
    std::vector<std::wstring> notWorking;
    std::vector<const FavouriteKey*> tried;
    for (std::size_t p = 0; p < stored.size(); ++p) {
        for (std::size_t i = 0; i < stored[p].size(); ++i) {
            const FavouriteKey& favourite = stored[p][i];
            if (!favourite.hotkey.IsSet()) continue;
            bool taken = !zr::ReservedHotkeyUse(favourite.hotkey).empty();
            for (const Entry& entry : m_entries) taken = taken || entry.hotkey == favourite.hotkey;
            int index = -1;
            if (!taken && m_handler.AddHotkey(favourite.hotkey.modifiers, favourite.hotkey.key, m_callback, index) ==
                              CHotkeyHandler::kOk) {
                m_entries.push_back({{p, i}, favourite.hotkey, index});
            } else {
                // A hand-edited file may give two favourites one combination, or one of the
                // program's own: the first favourite has it, the others are reported.
                notWorking.push_back(favourite.name + L": " + zr::FormatHotkey(favourite.hotkey));
            }
        }
    }
    m_someNotWorking = !notWorking.empty();
    if (m_entries.empty()) return notWorking;
    m_handler.Start(0);
    std::vector<Entry> working;
    for (const Entry& entry : m_entries) {
        if (m_handler.GetHotkeyId(entry.handlerIndex) != 0) {
            working.push_back(entry);
        } else {
            const FavouriteKey& favourite = stored[entry.owner.page][entry.owner.favourite];
            notWorking.push_back(favourite.name + L": " + zr::FormatHotkey(favourite.hotkey));
        }
    }
    m_entries = std::move(working);
    m_someNotWorking = !notWorking.empty();
    return notWorking;
}

void CFavouriteHotkeys::Stop() noexcept
{
    m_handler.Stop();
}

std::optional<CFavouriteHotkeys::Owner> CFavouriteHotkeys::Find(const zr::Hotkey& hotkey) const noexcept
{
    for (const Entry& entry : m_entries) {
        if (entry.hotkey == hotkey) return entry.owner;
    }
    return std::nullopt;
}

zr::Hotkey CFavouriteHotkeys::Working(std::size_t page, std::size_t favourite) const noexcept
{
    for (const Entry& entry : m_entries) {
        if (entry.owner.page == page && entry.owner.favourite == favourite) return entry.hotkey;
    }
    return {};
}

bool CFavouriteHotkeys::Holds(const zr::Hotkey& hotkey) const noexcept
{
    return Find(hotkey).has_value();
}

std::wstring CFavouriteHotkeys::WhyNot(const zr::Hotkey& hotkey, const CTabPageNotify& page, int row)
{
    const std::wstring text = zr::FormatHotkey(hotkey);
    for (const CTabPageNotify* other : m_pages) {
        if (!other->GetSafeHwnd()) continue;
        const std::vector<FavouriteKey> listed = other->ListedFavouriteKeys();
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (other == &page && static_cast<int>(i) == row) continue;
            if (listed[i].hotkey == hotkey) return text + L" is already the hotkey of " + listed[i].name + L".";
        }
    }
    // One a favourite holds now is free for this one once the lists are saved: the favourite that
    // holds it no longer has it in its list.
    if (Holds(hotkey)) return {};
    if (!::RegisterHotKey(nullptr, kTrialId, hotkey.modifiers, hotkey.key))
        return text + L" is in use by another program.";
    ::UnregisterHotKey(nullptr, kTrialId);
    return {};
}

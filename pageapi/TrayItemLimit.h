// How many tray-menu items a page may give: its items carry the ids 10000 + page * 100 + index,
// so an item past the 100th would carry an id of the next page. Free of any Windows header.
#pragma once

namespace pageapi {

constexpr int kMaxTrayItems = 100;

}  // namespace pageapi

// The group headers a mode list has created so far. A header's position in this list is the id
// of its list-view group; every new group is inserted before all earlier ones, so the groups are
// shown newest first. Pure code: the list control turns a new header into a list-view group.
#pragma once

#include <string>
#include <vector>

namespace zr {

class CGroupHeaderList {
public:
    struct Lookup {
        int id = 0;
        bool created = false;  // the caller must insert a group with this id and header,
        int position = 0;      // at this index among the groups shown so far
    };

    // The id of the group with exactly this header (case-sensitive), appended if new.
    Lookup FindOrAdd(const std::wstring& header);
    void Clear() { m_headers.clear(); }

    int Count() const { return static_cast<int>(m_headers.size()); }
    const std::wstring& Header(int id) const { return m_headers.at(static_cast<std::size_t>(id)); }

private:
    std::vector<std::wstring> m_headers;
};

}  // namespace zr

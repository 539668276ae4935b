#include "resolution/CGroupHeaderList.h"

#include <algorithm>

namespace zr {

CGroupHeaderList::Lookup CGroupHeaderList::FindOrAdd(const std::wstring& header)
{
    const auto found = std::find(m_headers.begin(), m_headers.end(), header);
    if (found != m_headers.end())
        return {static_cast<int>(found - m_headers.begin()), false, 0};
    m_headers.push_back(header);
    // Newest first: a new group goes before every group created earlier.
    return {Count() - 1, true, 0};
}

}  // namespace zr

#include "resolution/CGroupHeaderList.h"

#include <algorithm>

namespace zr {

CGroupHeaderList::Lookup CGroupHeaderList::FindOrAdd(const std::wstring& header)
{
    const auto found = std::find(m_headers.begin(), m_headers.end(), header);
    if (found != m_headers.end())
        return {static_cast<int>(found - m_headers.begin()), false};
    m_headers.push_back(header);
    return {Count() - 1, true};
}

std::vector<int> CGroupHeaderList::DisplayOrder() const
{
    std::vector<int> order;
    for (int id = Count() - 1; id >= 0; --id)
        order.push_back(id);
    return order;
}

}  // namespace zr

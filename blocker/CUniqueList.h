// An ordered list that holds each value once: the hook messenger's message ids and targets.
#pragma once

#include <algorithm>
#include <vector>

template <typename T>
class CUniqueList {
public:
    // Appends `value` unless it is already there; true when it was appended.
    bool Add(const T& value)
    {
        if (Contains(value))
            return false;
        m_items.push_back(value);
        return true;
    }

    // Removes `value` if present; true when it was removed.
    bool Remove(const T& value)
    {
        auto found = std::find(m_items.begin(), m_items.end(), value);
        if (found == m_items.end())
            return false;
        m_items.erase(found);
        return true;
    }

    bool Contains(const T& value) const { return std::find(m_items.begin(), m_items.end(), value) != m_items.end(); }
    void Clear() { m_items.clear(); }
    const std::vector<T>& Items() const { return m_items; }

private:
    std::vector<T> m_items;
};

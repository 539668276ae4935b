#include "app/TypingScript.h"

void TypingScript::SetText(const std::wstring& text)
{
    m_lines.clear();
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L';', start);
        m_lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    m_current = m_lines.front();
    m_nextLine = 1;
    m_typed = -1;
}

TypingScript::Step TypingScript::Tick()
{
    Step step{{}, false, false};
    ++m_typed;
    const size_t shown = static_cast<size_t>(m_typed) < m_current.size() ? static_cast<size_t>(m_typed) : m_current.size();
    step.visible = m_current.substr(0, shown);
    if (shown >= m_current.size()) {
        step.stopTyping = true;
        m_typed = -1;
        if (m_nextLine < m_lines.size() && !m_lines[m_nextLine].empty()) {
            m_current = m_lines[m_nextLine];
            ++m_nextLine;
            step.startPause = true;
        } else {
            // Typing ends with the last line on show; a later restart begins at line 0.
            m_current = m_lines.empty() ? std::wstring() : m_lines.front();
            m_nextLine = 1;
        }
    }
    return step;
}

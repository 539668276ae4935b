// The text-typing sequence of CPrintTextCtrl, without the window: a text of lines separated
// by ";" is typed one character per tick, each line replacing the one before, with a pause
// between lines. The control runs its two timers as this object says.
#pragma once

#include <string>
#include <vector>

class TypingScript {
public:
    // What the control does after a typing tick.
    struct Step {
        std::wstring visible;  // the text to show now
        bool stopTyping;       // kill the typing timer
        bool startPause;       // start the one-shot pause timer
    };

    // Takes a new text; the first line is current and nothing is visible yet.
    void SetText(const std::wstring& text);
    // One typing-timer tick.
    Step Tick();
    // Whether the typing timer should be started at all (a text was set).
    bool HasText() const noexcept { return !m_lines.empty(); }
    int TypedCount() const noexcept { return m_typed; }

private:
    std::vector<std::wstring> m_lines;
    std::wstring m_current;
    size_t m_nextLine = 1;
    int m_typed = -1;
};

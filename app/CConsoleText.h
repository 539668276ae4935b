// Where the command line's texts go: the stream a script redirected, else the console the
// command was typed in (AttachConsole(ATTACH_PARENT_PROCESS)), else a message box, since a
// program started from a shortcut has neither.
#pragma once

#include <string>

class CConsoleText {
public:
    // Standard output: what /list and /? write.
    static void Out(const std::wstring& text) noexcept;
    // Standard error: what went wrong. A box shows it with a warning icon.
    static void Error(const std::wstring& text) noexcept;

private:
    static void Write(unsigned long stream, const std::wstring& text, unsigned boxIcon) noexcept;
};

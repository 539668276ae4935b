// When a mode chosen from the tray is put to the user before it stays, and how that question is
// kept in the resolution page's settings section. Pure code: no Windows header.
#pragma once

#include <memory>
#include <string>

#include "resolution/ModeMath.h"
#include "settings/XmlNode.h"

namespace zr {

// "On" or "Off": whether a new mode is put to the user. Written on every save.
inline constexpr wchar_t kConfirmElement[] = L"Confirm_New_Mode";
// The countdown in seconds; read when present, never written, so that only a hand-edited file
// holds one (and keeps it through saves).
inline constexpr wchar_t kConfirmSecondsElement[] = L"Confirm_Seconds";
inline constexpr int kDefaultConfirmSeconds = 15;

struct ModeConfirmation {
    bool ask = true;
    int seconds = kDefaultConfirmSeconds;
};

// The question is on unless the section says "Off" (any case): a missing or damaged switch keeps
// the safe choice. The countdown is bounded to 1..15 s; a value that is no positive number gives
// the default, so a hand edit can shorten the wait but never leave a screen unreadable for longer.
ModeConfirmation ReadModeConfirmation(const XmlNode& section);

std::unique_ptr<XmlNode> BuildConfirmElement(bool ask);

// Whether a change from `before` to `requested`, after which `after` is in force, is to be put
// to the user: only when the requested mode is the one in force now and it differs from the one
// before. A refused mode (the core has gone back to the start-up mode) and a mode that was
// already in force leave nothing to confirm. Rate 0 on either side stands for any rate.
bool NeedsConfirmation(const DisplayMode& before, const DisplayMode& requested, const DisplayMode& after);

// "Reverting in 15 seconds." ("1 second." at the last one).
std::wstring FormatRevertCountdown(int seconds);

}  // namespace zr

#include "resolution/ModeConfirmation.h"

#include <algorithm>

#include "settings/LenientInt.h"
#include "settings/XmlText.h"

namespace zr {
ModeConfirmation ReadModeConfirmation(const XmlNode& section)
{
    ModeConfirmation confirmation;
    if (const XmlNode* ask = section.FindChild(kConfirmElement))
        confirmation.ask = !xmltext::EqualsNoCase(ask->value, L"off");
    if (const XmlNode* seconds = section.FindChild(kConfirmSecondsElement)) {
        const int value = ParseLenientInt(seconds->value);
        if (value > 0)
            confirmation.seconds = std::min(value, kDefaultConfirmSeconds);
    }
    return confirmation;
}

std::unique_ptr<XmlNode> BuildConfirmElement(bool ask)
{
    return std::make_unique<XmlNode>(kConfirmElement, ask ? L"On" : L"Off");
}

bool NeedsConfirmation(const DisplayMode& before, const DisplayMode& requested, const DisplayMode& after)
{
    return ModesMatch(after, requested) && !ModesMatch(after, before);
}

std::wstring FormatRevertCountdown(int seconds)
{
    return L"Reverting in " + std::to_wstring(seconds) + (seconds == 1 ? L" second." : L" seconds.");
}

}  // namespace zr

#include "blocker/CRuleRunner.h"

#include <algorithm>

#include "framework/Platform.h"

namespace zr::blocker {

bool NamesMode(const RuleActions& rule, const ModeFavouriteName& favourite)
{
    return favourite.mode == rule.mode && favourite.display == rule.display;
}

bool NamesGamma(const RuleActions& rule, const std::wstring& favourite)
{
    return zr::platform::EqualOrdinalIgnoringCase(favourite, rule.gamma);
}

RuleActions ResolveRule(const RuleActions& rule, const std::vector<ModeFavouriteName>& modes,
                        const std::vector<std::wstring>& gammas)
{
    RuleActions resolved = rule;
    const bool modeKnown =
        std::any_of(modes.begin(), modes.end(), [&](const ModeFavouriteName& m) { return NamesMode(rule, m); });
    if (!modeKnown) {
        resolved.mode.clear();
        resolved.display.clear();
    }
    const bool gammaKnown =
        std::any_of(gammas.begin(), gammas.end(), [&](const std::wstring& name) { return NamesGamma(rule, name); });
    if (!gammaKnown) resolved.gamma.clear();
    return resolved;
}

void CRuleRunner::OnActivated(const std::wstring& app, const RuleActions* rule)
{
    if (!rule || rule->Empty()) {
        PutBack();
        return;
    }
    // Another window of the same application.
    if (m_inForce && IsSamePath(app, m_app)) return;

    // The modes the last rule set on displays this one leaves alone go back first.
    for (std::size_t i = m_savedModes.size(); i-- > 0;) {
        if (rule->mode.empty() || m_savedModes[i].display != rule->display) PutBackMode(i);
    }
    if (!rule->mode.empty()) {
        const bool saved = std::any_of(m_savedModes.begin(), m_savedModes.end(),
                                       [&](const SavedMode& s) { return s.display == rule->display; });
        // Saved once, before the first rule changes it: later rules come and go over it.
        if (!saved) {
            const std::wstring before = m_actions.ModeInForce(rule->display);
            if (!before.empty()) m_savedModes.push_back({rule->display, before});
        }
        m_actions.SetMode(rule->display, rule->mode);
    }

    if (rule->gamma.empty()) {
        if (m_savedRamp && m_inForce && m_actions.ShowsGammaFavourite(m_inForce->gamma))
            m_actions.PutBackRamp(*m_savedRamp);
        m_savedRamp.reset();
    } else {
        if (!m_savedRamp) m_savedRamp = m_actions.RampInForce();
        m_actions.ApplyGammaFavourite(rule->gamma);
    }
    m_app = app;
    m_inForce = *rule;
}

void CRuleRunner::PutBackMode(std::size_t saved)
{
    const SavedMode back = m_savedModes[saved];
    m_savedModes.erase(m_savedModes.begin() + static_cast<std::ptrdiff_t>(saved));
    // A mode set by hand (or by the application itself) since stays.
    if (m_inForce && m_inForce->display == back.display && m_actions.ShowsMode(back.display, m_inForce->mode))
        m_actions.SetMode(back.display, back.mode);
}

void CRuleRunner::PutBack()
{
    for (std::size_t i = m_savedModes.size(); i-- > 0;) PutBackMode(i);
    if (m_savedRamp && m_inForce && !m_inForce->gamma.empty() && m_actions.ShowsGammaFavourite(m_inForce->gamma))
        m_actions.PutBackRamp(*m_savedRamp);
    m_savedRamp.reset();
    m_inForce.reset();
    m_app.clear();
}

void CRuleRunner::ForgetPutBack(bool modes, bool ramp) noexcept
{
    if (modes) m_savedModes.clear();
    if (ramp) m_savedRamp.reset();
}

void CRuleRunner::Suspend() noexcept
{
    ForgetPutBack(true, true);
    m_inForce.reset();
    m_app.clear();
}

}  // namespace zr::blocker

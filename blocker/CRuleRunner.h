// The application rules' state machine, free of any window: which mode and ramp to apply when an
// application comes to the front, and what to put back when it leaves. It reaches the screen only
// through IFavouriteActions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "blocker/BlockerRules.h"
#include "pageapi/IFavouriteActions.h"

namespace zr::blocker {

// True when the rule names this mode favourite (its mode on its display), or this gamma favourite.
bool NamesMode(const RuleActions& rule, const ModeFavouriteName& favourite);
bool NamesGamma(const RuleActions& rule, const std::wstring& favourite);

// The rule with each favourite that no longer exists left out.
RuleActions ResolveRule(const RuleActions& rule, const std::vector<ModeFavouriteName>& modes,
                        const std::vector<std::wstring>& gammas);

class CRuleRunner {
public:
    explicit CRuleRunner(IFavouriteActions& actions) noexcept : m_actions(actions) {}

    // Application `app` came to the front, `rule` being its entry's actions (null: not listed, or
    // rules are off). Another application's rule gives way to this one without a step back to
    // what was in force before; without a rule, what the last rule changed is put back.
    void OnActivated(const std::wstring& app, const RuleActions* rule);
    // Puts back what the rule in force changed, as far as the screen still shows the rule's own.
    void PutBack();
    // The modes or the ramp were changed by hand: they stay when the rule's application leaves.
    void ForgetPutBack(bool modes, bool ramp) noexcept;
    // The start-up state was put back: no rule is in force until an application with one comes
    // to the front again.
    void Suspend() noexcept;

private:
    struct SavedMode {
        std::wstring display;
        std::wstring mode;
    };
    // Puts back the saved mode of one display and forgets it.
    void PutBackMode(std::size_t saved);

    IFavouriteActions& m_actions;
    std::wstring m_app;
    std::optional<RuleActions> m_inForce;
    // What was in force before the first rule changed it, per display, and the ramp.
    std::vector<SavedMode> m_savedModes;
    std::optional<std::wstring> m_savedRamp;
};

}  // namespace zr::blocker

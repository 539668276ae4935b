#include "blocker/CRuleRunner.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/XmlNode.h"

using namespace zr::blocker;

namespace {

// A screen of two displays and one ramp, changed only through the calls, each of which is logged.
// A ramp is "ours" when the Gamma tab set it: a favourite's name or a value put back.
class FakeScreen : public IFavouriteActions {
public:
    std::map<std::wstring, std::wstring> modes{{L"d1", L"1280 1024 32 60"}, {L"d2", L"1024 768 32 60"}};
    std::wstring ramp = L"50 50 50 0 100 255 0";
    bool rampOurs = true;
    std::vector<std::wstring> log;

    std::vector<ModeFavouriteName> ModeFavourites() override
    {
        return {{L"800 600 32 60", L"d1", L"800 x 600"}, {L"640 480 32 60", L"d1", L"640 x 480"},
                {L"800 600 32 60", L"d2", L"Display 2: 800 x 600"}};
    }
    std::vector<std::wstring> GammaFavourites() override { return {L"Night", L"Film"}; }
    std::wstring ModeInForce(const std::wstring& d) override { return modes[d]; }
    bool ShowsMode(const std::wstring& d, const std::wstring& m) override { return modes[d] == m; }
    bool SetMode(const std::wstring& d, const std::wstring& m) override
    {
        log.push_back(L"mode " + d + L" " + m);
        modes[d] = m;
        return true;
    }
    std::wstring RampInForce() override { return rampOurs ? ramp : L""; }
    bool ShowsGammaFavourite(const std::wstring& name) override { return rampOurs && ramp == name; }
    bool ApplyGammaFavourite(const std::wstring& name) override
    {
        log.push_back(L"gamma " + name);
        ramp = name;
        rampOurs = true;
        return true;
    }
    void PutBackRamp(const std::wstring& value) override
    {
        log.push_back(L"ramp " + (value.empty() ? std::wstring(L"start-up") : value));
        ramp = value.empty() ? L"start-up" : value;
        rampOurs = !value.empty();
    }
};

const RuleActions kNotepad{L"800 600 32 60", L"d1", L"Night"};
const RuleActions kPlayer{L"640 480 32 60", L"d1", L"Film"};
const RuleActions kGammaOnly{L"", L"", L"Film"};
const RuleActions kOtherDisplay{L"800 600 32 60", L"d2", L""};

// One step: what happened, and every call the runner made for it, in order.
struct Step {
    enum Kind { Activate, ByHandMode, OtherProgramRamp } kind;
    std::wstring app;
    const RuleActions* rule;
    std::vector<std::wstring> calls;
};

struct Journey {
    const char* name;
    std::vector<Step> steps;
};

// What the application journey on the X server cannot show: several displays, and another
// program's ramp. (That journey covers one display's rules, switches, changes by hand and
// Restore Screen.)
const std::vector<Journey> kJourneys{
    {"what the next rule leaves alone goes back, on its own display",
     {{Step::Activate, L"notepad", &kNotepad, {L"mode d1 800 600 32 60", L"gamma Night"}},
      {Step::Activate, L"notepad", &kNotepad, {}},  // another window of the same application
      {Step::Activate, L"other", &kOtherDisplay,
       {L"mode d1 1280 1024 32 60", L"mode d2 800 600 32 60", L"ramp 50 50 50 0 100 255 0"}},
      {Step::Activate, L"player", &kPlayer, {L"mode d2 1024 768 32 60", L"mode d1 640 480 32 60", L"gamma Film"}},
      {Step::ByHandMode, L"", nullptr, {}},
      {Step::Activate, L"winver", nullptr, {L"ramp 50 50 50 0 100 255 0"}}}},
    {"a ramp another program set during a rule stays, and a ramp not ours comes back as the start-up one",
     {{Step::OtherProgramRamp, L"", nullptr, {}},
      {Step::Activate, L"player", &kGammaOnly, {L"gamma Film"}},
      {Step::Activate, L"winver", nullptr, {L"ramp start-up"}},
      {Step::Activate, L"player", &kGammaOnly, {L"gamma Film"}},
      {Step::OtherProgramRamp, L"", nullptr, {}},
      {Step::Activate, L"winver", nullptr, {}}}},
};

}  // namespace

TEST(RuleRunner, FollowsTheForegroundThroughEachJourney)
{
    for (const Journey& journey : kJourneys) {
        FakeScreen screen;
        CRuleRunner runner(screen);
        for (std::size_t i = 0; i < journey.steps.size(); ++i) {
            const Step& step = journey.steps[i];
            screen.log.clear();
            switch (step.kind) {
            case Step::Activate:
                runner.OnActivated(step.app, step.rule);
                break;
            case Step::ByHandMode:
                runner.ForgetPutBack(true, false);
                screen.modes[L"d1"] = L"1024 768 32 60";
                break;
            case Step::OtherProgramRamp:
                screen.ramp = L"game";
                screen.rampOurs = false;
                break;
            }
            EXPECT_EQ(screen.log, step.calls) << journey.name << ", step " << i;
        }
    }
}

TEST(RuleRunner, AFavouriteThatIsGoneDoesNothing)
{
    FakeScreen screen;
    const RuleActions gone{L"1920 1080 32 60", L"d1", L"Bright"};
    EXPECT_TRUE(ResolveRule(gone, screen.ModeFavourites(), screen.GammaFavourites()).Empty());
    // The same mode on another display is another favourite; a name matches in any case.
    const RuleActions resolved =
        ResolveRule({L"640 480 32 60", L"d2", L"night"}, screen.ModeFavourites(), screen.GammaFavourites());
    EXPECT_EQ(resolved, (RuleActions{L"", L"", L"night"}));
}

TEST(BlockerSettings, RulesAreItemAttributesWrittenOnlyWhereTheyDifferFromKeepAwake)
{
    const std::vector<std::wstring> apps{L"C:\\a.exe", L"C:\\b.exe", L"C:\\c.exe"};
    const std::vector<EntryRule> rules{{true, {}}, {false, {L"800 600 32 60", L"\\\\?\\DISPLAY#1", L"Night"}},
                                       {true, {L"", L"", L"Film"}}};
    const std::unique_ptr<XmlNode> element = MakeBlockedAppsElement(apps, rules);
    std::vector<std::wstring> written;
    for (const XmlNode* item : element->FindChildren(L"Item")) {
        std::wstring attributes;
        for (const auto& attribute : item->attributes) attributes += attribute->name + L"=" + attribute->value + L";";
        written.push_back(attributes);
    }
    EXPECT_EQ(written, (std::vector<std::wstring>{
                           L"", L"Mode=800 600 32 60;Display=\\\\?\\DISPLAY#1;Gamma=Night;Awake=Off;", L"Gamma=Film;"}));

    XmlNode section(L"Saver_Blocker");
    section.AppendChild(MakeBlockedAppsElement(apps, rules));
    section.AppendChild(MakeRulesSwitchElement(false));
    const BlockerSettings read = ReadBlockerSettings(section);
    EXPECT_EQ(read.apps, apps);
    EXPECT_EQ(read.rules, rules);
    EXPECT_FALSE(read.rulesEnabled);
    // Without the switch element the rules are on.
    EXPECT_TRUE(ReadBlockerSettings(XmlNode(L"Saver_Blocker")).rulesEnabled);
}

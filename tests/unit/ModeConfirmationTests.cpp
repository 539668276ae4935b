#include <gtest/gtest.h>

#include <string>

#include "resolution/ModeConfirmation.h"

namespace {

zr::ModeConfirmation ReadSection(const std::wstring& children)
{
    XmlNode section;
    XmlParseOptions options;
    options.trim = true;
    const std::wstring text = L"<Resolution><Favourite_Resolutions/>" + children + L"</Resolution>";
    EXPECT_TRUE(section.Load(text, options).has_value()) << text;
    return zr::ReadModeConfirmation(section);
}

}  // namespace

TEST(ModeConfirmation, OnlyOffTurnsTheQuestionOffAndTheCountdownStaysWithinOneToFifteenSeconds)
{
    // An old file without the elements: ask, 15 s.
    zr::ModeConfirmation c = ReadSection(L"");
    EXPECT_TRUE(c.ask);
    EXPECT_EQ(c.seconds, 15);

    EXPECT_FALSE(ReadSection(L"<Confirm_New_Mode>Off</Confirm_New_Mode>").ask);
    EXPECT_FALSE(ReadSection(L"<confirm_new_mode> oFF </confirm_new_mode>").ask);
    // Anything else keeps the safe choice.
    EXPECT_TRUE(ReadSection(L"<Confirm_New_Mode>On</Confirm_New_Mode>").ask);
    EXPECT_TRUE(ReadSection(L"<Confirm_New_Mode>0</Confirm_New_Mode>").ask);
    EXPECT_TRUE(ReadSection(L"<Confirm_New_Mode/>").ask);

    const std::pair<const wchar_t*, int> seconds[] = {
        {L"3", 3}, {L"1", 1}, {L"15", 15}, {L"16", 15}, {L"86400", 15}, {L"99999999999", 15},
        {L"0", 15}, {L"-5", 15}, {L"soon", 15}, {L"", 15}, {L"4s", 4}};
    for (const auto& [text, expected] : seconds)
        EXPECT_EQ(ReadSection(std::wstring(L"<Confirm_Seconds>") + text + L"</Confirm_Seconds>").seconds, expected)
            << text;

    XmlWriteOptions write;
    EXPECT_EQ(zr::BuildConfirmElement(false)->ToXml(write), L"\r\n<Confirm_New_Mode>Off</Confirm_New_Mode>");
    EXPECT_EQ(zr::BuildConfirmElement(true)->value, L"On");
}

TEST(ModeConfirmation, OnlyTheRequestedModeNowInForceAndNewIsPutToTheUser)
{
    const zr::DisplayMode startup{1280, 1024, 32, 60};
    const zr::DisplayMode kept{1024, 768, 32, 60};
    const zr::DisplayMode wanted{800, 600, 32, 60};
    EXPECT_TRUE(zr::NeedsConfirmation(kept, wanted, wanted));
    // A refused mode: the core put back the start-up mode, which differs from the one before.
    EXPECT_FALSE(zr::NeedsConfirmation(kept, {1234, 567, 32, 60}, startup));
    // The mode was in force already.
    EXPECT_FALSE(zr::NeedsConfirmation(wanted, wanted, wanted));
    // Rate 0 asks for the default rate, and a back end may report 0 for an unknown rate.
    EXPECT_TRUE(zr::NeedsConfirmation(kept, {800, 600, 32, 0}, wanted));
    EXPECT_TRUE(zr::NeedsConfirmation(kept, wanted, {800, 600, 32, 0}));
    EXPECT_FALSE(zr::NeedsConfirmation(kept, {800, 600, 32, 75}, wanted));
    EXPECT_FALSE(zr::NeedsConfirmation(kept, {800, 600, 16, 60}, wanted));
    EXPECT_FALSE(zr::NeedsConfirmation({800, 600, 32, 0}, wanted, wanted));
}

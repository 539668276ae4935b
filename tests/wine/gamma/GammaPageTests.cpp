// The gamma page hosted in a test window, with the core replaced by one that accepts every table:
// favourites, settings and tray items; and in front of the core's dispatcher over two displays.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GammaPageHost.h"
#include "core/CCommandDispatcher.h"
#include "core/CDisplaySet.h"
#include "core/OrvelCore.h"
#include "tests/wine/core/FakeBackEnd.h"
#include "gamma/CGammaListCtrl.h"
#include "gamma/CPageGamma.h"

namespace {

class RecordingPage : public CPageGamma {
protected:
    LRESULT SendRampToCore(const GammaTable&) noexcept override { return 0; }
};

class GammaPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Window());
        ASSERT_TRUE(m_page.Create(m_host.Window()));
        ::ShowWindow(m_page.m_hWnd, SW_SHOW);
    }

    HWND Page() const { return m_page.m_hWnd; }
    std::wstring Text(int id) const { return GammaPageHost::Text(Page(), id); }
    int Pos(int id) const { return GammaPageHost::Position(Page(), id); }
    void Drag(int id, int pos) { GammaPageHost::Drag(Page(), id, pos); }
    std::vector<std::wstring> TrayItems()
    {
        std::vector<std::wstring> items;
        m_page.GetTrayMenuItems(items);
        return items;
    }
    HWND List() const { return ::GetDlgItem(Page(), IDC_GAMMA_FAVOURITES); }
    int Rows() const { return static_cast<int>(::SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int column) const
    {
        wchar_t text[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 256;
        ::SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void Select(int row)
    {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    void Click(int id) { ::SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(Page(), id))); }
    // The end of an in-place edit as the list reports it; null text is a cancelled edit.
    LRESULT EndLabelEdit(int row, const wchar_t* text)
    {
        NMLVDISPINFOW info{};
        info.hdr.hwndFrom = List();
        info.hdr.idFrom = IDC_GAMMA_FAVOURITES;
        info.hdr.code = LVN_ENDLABELEDITW;
        info.item.iItem = row;
        info.item.pszText = const_cast<wchar_t*>(text);
        ::SendMessageW(Page(), WM_NOTIFY, IDC_GAMMA_FAVOURITES, reinterpret_cast<LPARAM>(&info));
        return ::GetWindowLongPtrW(Page(), DWLP_MSGRESULT);
    }

    GammaPageHost m_host;
    RecordingPage m_page;
};

const wchar_t* const kTwoFavourites =
    L"<Gamma><Favourite_Gammas>"
    L"<Item R=\"500\" G=\"45\" Contrast=\"-20\">zeta</Item>"
    L"<Item R=\"40\" G=\"45\" B=\"50\" LoClamping=\"9\">Alpha</Item>"
    L"</Favourite_Gammas><Other keep=\"1\"/></Gamma>";

}  // namespace

TEST_F(GammaPageTest, LoadedFavouritesAreSortedOfferedInTheTrayAndClampedWhenApplied)
{
    EXPECT_TRUE(TrayItems().empty());
    m_page.LoadSettings(kTwoFavourites);

    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), L"Alpha");
    EXPECT_EQ(Cell(0, 1), L"40,45,50");
    EXPECT_EQ(Cell(0, 3), L"255,9");
    EXPECT_EQ(Cell(1, 0), L"zeta");
    EXPECT_EQ(Cell(1, 2), L"-20,100");

    // Stored order is document order.
    const std::vector<std::wstring> expected{L"zeta\tRGB: 500, 45, 50  CrBr: -20, 100",
                                             L"Alpha\tRGB: 40, 45, 50  CrBr: 0, 100", L"Reset default gamma"};
    EXPECT_EQ(TrayItems(), expected);

    m_page.OnTrayMenuCommand(0);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 100);
    EXPECT_EQ(Text(IDC_GAMMA_R_VALUE), L"100%");
    EXPECT_EQ(m_page.LastAccepted().R, 100);
    EXPECT_EQ(m_page.LastAccepted().Contrast, -20);

    m_page.OnTrayMenuCommand(2);  // the reset entry
    EXPECT_EQ(m_page.LastAccepted(), GammaSetting{});

    Select(0);
    Click(IDC_GAMMA_SET);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 40);
    EXPECT_EQ(m_page.LastAccepted().LoClamping, 9);
}

TEST_F(GammaPageTest, AddRenameRemoveAndSaveRebuildTheStoredFavourites)
{
    m_page.LoadSettings(kTwoFavourites);
    Drag(IDC_GAMMA_G, 60);
    Click(IDC_GAMMA_ADD);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(0, 0), L"NONAME");
    EXPECT_EQ(Cell(0, 1), L"50,60,50");

    EXPECT_EQ(EndLabelEdit(0, nullptr), FALSE);  // cancelled: unchanged
    EXPECT_EQ(EndLabelEdit(0, L"Night"), TRUE);
    // Adding or renaming changes the list only; the tray follows at the next save.
    EXPECT_EQ(TrayItems().size(), 3u);

    m_page.SaveSettings();
    const std::wstring text = m_page.GetSettingText();
    EXPECT_NE(text.find(L"<Item R=\"50\" G=\"60\" B=\"50\" Contrast=\"0\" Brightness=\"100\" HiClamping=\"255\" "
                        L"LoClamping=\"0\" >Night</Item>"),
              std::wstring::npos)
        << text;
    EXPECT_NE(text.find(L"<Other keep=\"1\""), std::wstring::npos) << text;
    ASSERT_EQ(TrayItems().size(), 4u);
    EXPECT_EQ(TrayItems()[1].substr(0, 6), L"Night\t");

    // Renaming to nothing is accepted and saved as an empty item.
    EXPECT_EQ(EndLabelEdit(0, L""), TRUE);
    for (int row = 0; row < Rows(); ++row) Select(row);
    Click(IDC_GAMMA_REMOVE);
    EXPECT_EQ(Rows(), 0);
    m_page.SaveSettings();
    EXPECT_NE(m_page.GetSettingText().find(L"<Favourite_Gammas/>"), std::wstring::npos) << m_page.GetSettingText();
    EXPECT_TRUE(TrayItems().empty());
}

TEST(GammaFavouritesList, WithoutAWindowInsertingFailsAndTheRecordStaysWithTheCaller)
{
    CGammaListCtrl list;  // never created, as on a page whose window failed
    auto favourite = std::make_unique<GammaFavourite>(GammaFavourite{L"Night", GammaSetting{}, {}});
    EXPECT_EQ(list.InsertFavourite(std::move(favourite)), -1);
    ASSERT_NE(favourite, nullptr) << "the record was handed to a row that does not exist";
    EXPECT_EQ(favourite->name, L"Night");
}

namespace {

// The page in front of a core of two scripted displays, reached without the core window: the
// dispatcher answers the page's commands directly, replies included.
class TwoDisplayPage : public CPageGamma {
public:
    orvel::CDisplaySet* core = nullptr;

protected:
    LRESULT SendCoreCommand(std::uint32_t code, const void* payload, std::uint32_t size) noexcept override
    {
        COPYDATASTRUCT command{code, size, const_cast<void*>(payload)};
        return orvel::CCommandDispatcher::Dispatch(core, nullptr, m_hWnd, &command);
    }
};

std::vector<orvel::DisplayEntry> TwoScriptedDisplays(std::vector<FakeScript>& scripts)
{
    std::vector<orvel::DisplayEntry> entries(2);
    const wchar_t* devices[] = {L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"};
    const wchar_t* names[] = {L"Main", L"Side"};
    for (std::size_t i = 0; i < 2; ++i) {
        entries[i].device.device = devices[i];
        entries[i].device.name = names[i];
        entries[i].device.id = names[i];
        entries[i].device.primary = i == 0;
        entries[i].backEnd = std::make_unique<FakeBackEnd>(scripts[i]);
    }
    return entries;
}

}  // namespace

TEST(GammaPageDisplays, TheFirstDisplayTakesTheRampTheRefusalNamesTheSecondAndEachKeepsItsOwnSetting)
{
    std::vector<FakeScript> scripts(2);
    for (FakeScript& script : scripts)
        for (std::size_t i = 0; i < script.startupRamp.size(); ++i)
            script.startupRamp[i] = static_cast<std::uint16_t>(257 * (i % 256));
    scripts[1].refuseRamp = true;
    orvel::CDisplaySet core(TwoScriptedDisplays(scripts), {});
    ASSERT_EQ(core.Init(nullptr), S_OK);
    GammaPageHost host;
    TwoDisplayPage page;
    page.core = &core;
    ASSERT_TRUE(page.Create(host.Window()));
    const HWND window = page.m_hWnd;
    ::ShowWindow(window, SW_SHOW);
    const auto text = [&](int id) { return GammaPageHost::Text(window, id); };
    HWND choice = ::GetDlgItem(window, IDC_GAMMA_TARGET);
    EXPECT_EQ(::SendMessageW(choice, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(choice, CB_GETCURSEL, 0, 0), 0);  // "All displays"

    // Every display is sent the ramp; the first takes it, the second refuses and is named.
    GammaPageHost::Drag(window, IDC_GAMMA_R, 30);
    ASSERT_EQ(scripts[0].writes.size(), 2u);  // the identity at start, then R = 30
    EXPECT_EQ(scripts[0].device, scripts[0].writes.back());
    EXPECT_NE(scripts[0].device, scripts[0].startupRamp);
    EXPECT_EQ(scripts[1].writes.size(), 2u);
    EXPECT_EQ(GammaPageHost::Position(window, IDC_GAMMA_R), 30) << "the primary display took it: the sliders stay";
    EXPECT_EQ(text(IDC_GAMMA_R_VALUE), L"30%");
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window, IDC_GAMMA_REFUSAL)));
    const std::wstring refusal = text(IDC_GAMMA_REFUSAL);
    EXPECT_EQ(refusal.rfind(L"Display 2 (Side) refused this setting.", 0), 0u) << std::string(refusal.begin(), refusal.end());
    ASSERT_EQ(page.DisplaySettings().size(), 2u);
    EXPECT_EQ(page.DisplaySettings()[0].R, 30);
    EXPECT_EQ(page.DisplaySettings()[1].R, 50);

    // Display 2 alone: the sliders show its own setting, and only it changes.
    page.ChooseTarget(2);
    EXPECT_EQ(GammaPageHost::Position(window, IDC_GAMMA_R), 50);
    EXPECT_EQ(text(IDC_GAMMA_R_VALUE), L"50%");
    scripts[1].refuseRamp = false;
    const std::size_t firstWrites = scripts[0].writes.size();
    GammaPageHost::Drag(window, IDC_GAMMA_B, 70);
    EXPECT_EQ(scripts[0].writes.size(), firstWrites);
    EXPECT_EQ(scripts[1].device, scripts[1].writes.back());
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, IDC_GAMMA_REFUSAL)));
    EXPECT_EQ(page.DisplaySettings()[0].B, 50);
    EXPECT_EQ(page.DisplaySettings()[1].B, 70);

    // Back to display 1: its own setting again.
    page.ChooseTarget(1);
    EXPECT_EQ(GammaPageHost::Position(window, IDC_GAMMA_R), 30);
    EXPECT_EQ(GammaPageHost::Position(window, IDC_GAMMA_B), 50);
    ::DestroyWindow(window);
}

// The gamma page hosted in a test window: with a core that accepts every ramp (favourites,
// settings and tray items), and in front of the core's dispatcher over two scripted displays;
// and the pages' favourites lists without a window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CCommandDispatcher.h"
#include "core/CDisplaySet.h"
#include "core/OrvelCore.h"
#include "tests/wine/core/FakeBackEnd.h"
#include "gamma/CGammaListCtrl.h"
#include "gamma/CPageGamma.h"
#include "resolution/CResListCtrl.h"

namespace {

const bool kCommonControls = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
}();

// Without a core the page lists no displays and every ramp is accepted; with one, the dispatcher
// answers the page's commands directly, replies included, without the core window.
class TestPage : public CPageGamma {
public:
    orvel::CDisplaySet* core = nullptr;

protected:
    LRESULT SendCoreCommand(std::uint32_t code, const void* payload, std::uint32_t size) noexcept override
    {
        if (!core) return code == CORE_CMD_ENUM_DISPLAYS;
        COPYDATASTRUCT command{code, size, const_cast<void*>(payload)};
        return orvel::CCommandDispatcher::Dispatch(core, nullptr, m_hWnd, &command);
    }
};

class GammaPageTest : public ::testing::Test {
protected:
    ~GammaPageTest() override
    {
        if (m_page.m_hWnd) ::DestroyWindow(m_page.m_hWnd);  // while its core is still there
        ::DestroyWindow(m_host);
    }

    bool Show()
    {
        if (!m_host || !m_page.Create(m_host)) return false;
        ::ShowWindow(m_page.m_hWnd, SW_SHOW);
        return true;
    }

    // Two displays that start at the identity ramp, the second refusing ramps until told.
    bool ShowOnTwoDisplays()
    {
        std::vector<orvel::DisplayEntry> entries(2);
        const wchar_t* names[] = {L"Main", L"Side"};
        for (std::size_t i = 0; i < 2; ++i) {
            for (std::size_t e = 0; e < m_scripts[i].startupRamp.size(); ++e)
                m_scripts[i].startupRamp[e] = static_cast<std::uint16_t>(257 * (e % 256));
            entries[i].device.device = L"\\\\.\\DISPLAY" + std::to_wstring(i + 1);
            entries[i].device.name = entries[i].device.id = names[i];
            entries[i].device.primary = i == 0;
            entries[i].backEnd = std::make_unique<FakeBackEnd>(m_scripts[i]);
        }
        m_scripts[1].refuseRamp = true;
        m_core.emplace(std::move(entries), std::wstring());
        m_page.core = &*m_core;
        return m_core->Init(nullptr) == S_OK && Show();
    }

    HWND Item(int id) const { return ::GetDlgItem(m_page.m_hWnd, id); }
    std::wstring Text(int id) const
    {
        wchar_t text[256] = {};
        ::GetWindowTextW(Item(id), text, 256);
        return text;
    }
    int Pos(int id) const { return static_cast<int>(::SendMessageW(Item(id), TBM_GETPOS, 0, 0)); }

    // As a mouse drag ends: the new position, a track and an end-of-track notification, then the
    // queued messages as the message loop would run them.
    void Drag(int id, int position)
    {
        ::SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
        Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position), Item(id));
        Send(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), Item(id));
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    void Click(int id) { Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), Item(id)); }
    template <class Param>
    LRESULT Send(UINT message, WPARAM w, Param l)
    {
        ::SendMessageW(m_page.m_hWnd, message, w, reinterpret_cast<LPARAM>(l));
        return ::GetWindowLongPtrW(m_page.m_hWnd, DWLP_MSGRESULT);
    }

    std::vector<std::wstring> TrayItems()
    {
        std::vector<std::wstring> items;
        m_page.GetTrayMenuItems(items);
        return items;
    }
    HWND List() const { return Item(IDC_GAMMA_FAVOURITES); }
    int Rows() const { return ListView_GetItemCount(List()); }
    std::wstring Cell(int row, int column) const
    {
        wchar_t text[256] = {};
        ListView_GetItemText(List(), row, column, text, 256);
        return text;
    }
    void Select(int row) { ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED); }
    // The end of an in-place edit as the list reports it; null text is a cancelled edit.
    LRESULT EndLabelEdit(int row, const wchar_t* text)
    {
        NMLVDISPINFOW info{};
        info.hdr = {List(), IDC_GAMMA_FAVOURITES, static_cast<UINT>(LVN_ENDLABELEDITW)};
        info.item.iItem = row;
        info.item.pszText = const_cast<wchar_t*>(text);
        return Send(WM_NOTIFY, IDC_GAMMA_FAVOURITES, &info);
    }

    HWND m_host = ::CreateWindowExW(0, L"STATIC", L"gamma page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                                    420, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    std::vector<FakeScript> m_scripts = std::vector<FakeScript>(2);
    std::optional<orvel::CDisplaySet> m_core;
    TestPage m_page;
};

const wchar_t* const kTwoFavourites =
    L"<Gamma><Favourite_Gammas>"
    L"<Item R=\"500\" G=\"45\" Contrast=\"-20\">zeta</Item>"
    L"<Item R=\"40\" G=\"45\" B=\"50\" LoClamping=\"9\">Alpha</Item>"
    L"</Favourite_Gammas><Other keep=\"1\"/></Gamma>";

}  // namespace

TEST_F(GammaPageTest, LoadedFavouritesAreSortedOfferedInTheTrayAndClampedWhenApplied)
{
    ASSERT_TRUE(Show());
    EXPECT_TRUE(TrayItems().empty());
    m_page.LoadSettings(kTwoFavourites);

    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), L"Alpha");
    EXPECT_EQ(Cell(0, 1), L"40,45,50");
    EXPECT_EQ(Cell(0, 3), L"255,9");
    EXPECT_EQ(Cell(1, 0), L"zeta");
    EXPECT_EQ(Cell(1, 2), L"-20,100");

    // The tray shows a stored value as it is; applied, it is clamped to the slider's range.
    EXPECT_EQ(TrayItems()[0], L"zeta\tRGB: 500, 45, 50  CrBr: -20, 100");
    m_page.OnTrayMenuCommand(0);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 100);
    EXPECT_EQ(Text(IDC_GAMMA_R_VALUE), L"100%");
    EXPECT_EQ(m_page.LastAccepted().R, 100);
    EXPECT_EQ(m_page.LastAccepted().Contrast, -20);

    Select(0);
    Click(IDC_GAMMA_SET);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 40);
    EXPECT_EQ(m_page.LastAccepted().LoClamping, 9);
}

TEST_F(GammaPageTest, AFavouriteAddedOrRenamedReachesTheTrayAtTheSaveAndRemovingAllSavesNone)
{
    ASSERT_TRUE(Show());
    m_page.LoadSettings(kTwoFavourites);
    Click(IDC_GAMMA_ADD);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(EndLabelEdit(0, nullptr), FALSE);  // cancelled: unchanged
    EXPECT_EQ(Cell(0, 0), L"NONAME");
    // Renaming to nothing is accepted.
    EXPECT_EQ(EndLabelEdit(0, L""), TRUE);
    EXPECT_EQ(TrayItems().size(), 3u);

    for (int row = 0; row < Rows(); ++row) Select(row);
    Click(IDC_GAMMA_REMOVE);
    EXPECT_EQ(Rows(), 0);
    m_page.SaveSettings();
    EXPECT_NE(m_page.GetSettingText().find(L"<Favourite_Gammas/>"), std::wstring::npos) << m_page.GetSettingText();
    EXPECT_TRUE(TrayItems().empty());
}

// The favourites lists of the gamma and resolution pages, never created, as on a page whose
// window failed.
TEST(FavouriteLists, WithoutAWindowInsertingFailsAndTheRecordStaysWithTheCaller)
{
    CGammaListCtrl gammas;
    auto favourite = std::make_unique<GammaFavourite>(GammaFavourite{L"Night", GammaSetting{}, {}});
    EXPECT_EQ(gammas.InsertFavourite(std::move(favourite)), -1);
    ASSERT_NE(favourite, nullptr) << "the record was handed to a row that does not exist";
    EXPECT_EQ(favourite->name, L"Night");

    CResListCtrl modes;
    auto mode = std::make_unique<zr::DisplayMode>(zr::DisplayMode{1280, 1024, 32, 75});
    EXPECT_EQ(modes.InsertMode(std::move(mode)), -1);
    ASSERT_NE(mode, nullptr) << "the record was handed to a row that does not exist";
    EXPECT_EQ(mode->refresh_rate, 75u);
    EXPECT_EQ(modes.GetItemCount(), 0);
}

TEST_F(GammaPageTest, TheFirstDisplayTakesTheRampTheRefusalNamesTheSecondAndEachKeepsItsOwnSetting)
{
    ASSERT_TRUE(ShowOnTwoDisplays());
    // With "All displays", the choice at the start, every display is sent the ramp; the first
    // takes it, the second refuses and is named.
    Drag(IDC_GAMMA_R, 30);
    ASSERT_EQ(m_scripts[0].writes.size(), 2u);  // the identity at start, then R = 30
    EXPECT_EQ(m_scripts[0].device, m_scripts[0].writes.back());
    EXPECT_NE(m_scripts[0].device, m_scripts[0].startupRamp);
    EXPECT_EQ(m_scripts[1].writes.size(), 2u);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 30) << "the primary display took it: the sliders stay";
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_GAMMA_REFUSAL)));
    const std::wstring refusal = Text(IDC_GAMMA_REFUSAL);
    EXPECT_EQ(refusal.rfind(L"Display 2 (Side) refused this setting.", 0), 0u) << std::string(refusal.begin(), refusal.end());
    ASSERT_EQ(m_page.DisplaySettings().size(), 2u);
    EXPECT_EQ(m_page.DisplaySettings()[0].R, 30);
    EXPECT_EQ(m_page.DisplaySettings()[1].R, 50);

    // Display 2 alone: the sliders show its own setting, and only it changes. (The labels and
    // each display's own setting through the sliders are the two-display journey's.)
    m_page.ChooseTarget(2);
    EXPECT_EQ(Pos(IDC_GAMMA_R), 50);
    m_scripts[1].refuseRamp = false;
    const std::size_t firstWrites = m_scripts[0].writes.size();
    Drag(IDC_GAMMA_B, 70);
    EXPECT_EQ(m_scripts[0].writes.size(), firstWrites);
    EXPECT_EQ(m_scripts[1].device, m_scripts[1].writes.back());
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_GAMMA_REFUSAL)));
}

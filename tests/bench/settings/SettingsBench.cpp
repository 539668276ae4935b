// Parse and write of a settings file with many favourites, and the load and save cycle of
// the whole file through the pages' section stores.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "settings/CTevSetting.h"
#include "settings/LenientInt.h"
#include "settings/SettingsFile.h"
#include "settings/XmlNode.h"

namespace {

XmlParseOptions ProgramOptions()
{
    XmlParseOptions options;
    options.trim = true;
    options.escape_char = 0;
    return options;
}

std::unique_ptr<XmlNode> BuildTree(int favourites)
{
    auto root = std::make_unique<XmlNode>(L"Zerenta");
    root->AppendAttr(L"version", L"1.2.3.4");
    XmlNode* resolutions = root->AppendNewChild(L"Resolution")->AppendNewChild(L"Favourite_Resolutions");
    XmlNode* gammas = root->AppendNewChild(L"Gamma")->AppendNewChild(L"Favourite_Gammas");
    for (int i = 0; i < favourites; ++i) {
        XmlNode* mode = resolutions->AppendNewChild(L"Item");
        mode->AppendAttr(L"width", std::to_wstring(640 + i));
        mode->AppendAttr(L"height", L"480");
        mode->AppendAttr(L"bpp", L"32");
        mode->AppendAttr(L"refresh_rate", L"60");
        XmlNode* gamma = gammas->AppendNewChild(L"Item", L"Favourite & " + std::to_wstring(i));
        for (const wchar_t* name : {L"R", L"G", L"B", L"Contrast", L"Brightness", L"HiClamping", L"LoClamping"})
            gamma->AppendAttr(name, L"50");
    }
    XmlNode* blocker = root->AppendNewChild(L"Saver_Blocker");
    blocker->AppendNewChild(L"Blocked_Apps")->AppendNewChild(L"Item", L"C:\\Games\\game.exe");
    blocker->AppendNewChild(L"Block_Switch", L"On");
    return root;
}

void ParseSettingsFile(benchmark::State& state)
{
    const std::wstring text = BuildTree(static_cast<int>(state.range(0)))->ToXml();
    for (auto _ : state) {
        XmlNode root;
        XmlParseOptions options = ProgramOptions();
        benchmark::DoNotOptimize(root.Load(text, options));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size() * 2));
}
BENCHMARK(ParseSettingsFile)->Arg(10)->Arg(100)->Arg(1000);

void WriteSettingsFile(benchmark::State& state)
{
    const auto root = BuildTree(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(root->ToXml());
}
BENCHMARK(WriteSettingsFile)->Arg(10)->Arg(100)->Arg(1000);

// A page as the real ones behave: it reads its favourites from CreateRoot when loaded and
// replaces its list element when saved.
class ListPage : public CTevSetting, public ISettingsPage {
public:
    ListPage(std::wstring name, std::wstring list) : CTevSetting(name), m_name(std::move(name)), m_list(std::move(list)) {}

    std::wstring GetSettingName() override { return m_name; }
    void LoadSettings(const std::wstring& text) override
    {
        SetXml(text);
        widths.clear();
        const auto root = CreateRoot();
        if (const XmlNode* list = root->FindChild(m_list))
            for (int i = 0; i < list->ChildCount(); ++i)
                if (const XmlAttribute* width = list->ChildAt(i)->FindAttr(L"width"))
                    widths.push_back(ParseLenientInt(width->value));
    }
    void SaveSettings() override
    {
        XmlNode list(m_list);
        for (int width : widths) {
            XmlNode* item = list.AppendNewChild(L"Item");
            item->AppendAttr(L"width", std::to_wstring(width));
            item->AppendAttr(L"height", L"480");
            item->AppendAttr(L"bpp", L"32");
            item->AppendAttr(L"refresh_rate", L"60");
        }
        ReplaceChild(list);
    }
    std::wstring GetSettingText() override { return GetXml(); }

    std::vector<int> widths;

private:
    std::wstring m_name;
    std::wstring m_list;
};

void LoadAndSaveCycle(benchmark::State& state)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zr_settings_bench";
    std::filesystem::create_directories(folder);
    const std::wstring path = (folder / "Zerenta.Setting").wstring();

    ListPage resolution(L"Resolution", L"Favourite_Resolutions");
    ListPage gamma(L"Gamma", L"Favourite_Gammas");
    for (int i = 0; i < state.range(0); ++i) {
        resolution.widths.push_back(640 + i);
        gamma.widths.push_back(i);
    }
    const std::vector<ISettingsPage*> pages{&resolution, &gamma};
    SaveSettingsFile(path, pages, L"1.2.3.4");
    for (auto _ : state) {
        LoadSettingsFile(path, pages);
        if (!SaveSettingsFile(path, pages, L"1.2.3.4").written)
            state.SkipWithError("save failed");
    }
    if (resolution.widths.size() != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("favourites lost in the cycle");
    std::filesystem::remove_all(folder);
}
BENCHMARK(LoadAndSaveCycle)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "SettingTestFolder.h"
#include "settings/CTevSetting.h"
#include "settings/LenientInt.h"
#include "settings/SettingsFile.h"
#include "settings/XmlNode.h"

namespace {

// A page that keeps its section in a CTevSetting and, when asked to save, replaces the
// elements it owns, as the real pages do.
class FakePage : public CTevSetting, public ISettingsPage {
public:
    explicit FakePage(std::wstring name) : CTevSetting(name), m_name(std::move(name)) {}

    XmlNode& Own(const wchar_t* elementName)
    {
        m_owned.push_back(std::make_unique<XmlNode>(elementName));
        return *m_owned.back();
    }

    std::wstring GetSettingName() override { return m_name; }
    void SaveSettings() override
    {
        ++saves;
        for (const auto& element : m_owned)
            ReplaceChild(*element);
    }
    std::wstring GetSettingText() override { return GetXml(); }
    void LoadSettings(const std::wstring& text) override
    {
        loaded.push_back(text);
        SetXml(text);
    }

    std::vector<std::wstring> loaded;
    int saves = 0;

private:
    std::wstring m_name;
    std::vector<std::unique_ptr<XmlNode>> m_owned;
};

XmlNode& AddItem(XmlNode& list, std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attrs,
                 const wchar_t* value = L"")
{
    XmlNode* item = list.AppendNewChild(L"Item", value);
    for (const auto& [name, attrValue] : attrs)
        item->AppendAttr(name, attrValue);
    return *item;
}

struct Pages {
    FakePage resolution{L"Resolution"};
    FakePage gamma{L"Gamma"};
    FakePage calculator{L""};
    FakePage blocker{L"Saver_Blocker"};
    XmlNode& resolutions = resolution.Own(L"Favourite_Resolutions");
    XmlNode& gammas = gamma.Own(L"Favourite_Gammas");
    XmlNode& apps = blocker.Own(L"Blocked_Apps");
    XmlNode& blockSwitch = blocker.Own(L"Block_Switch");

    Pages() { blockSwitch.value = L"Off"; }
    std::vector<ISettingsPage*> All() { return {&resolution, &gamma, &calculator, &blocker}; }
};

std::string Utf8File(const std::string& ascii)
{
    return "\xEF\xBB\xBF" + ascii;
}

std::wstring ValueAt(const std::wstring& sectionText, const wchar_t* list)
{
    XmlNode section;
    XmlParseOptions options;
    options.trim = true;
    options.escape_char = 0;
    section.Load(sectionText, options);
    const XmlNode* node = section.FindChild(list);
    return node && node->ChildCount() ? node->ChildAt(0)->value : L"<none>";
}

// Bytes this process has read from files so far (Linux's count, which Wine's processes have
// too); -1 where there is no such count.
long long BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

}  // namespace

TEST(SettingsFilePath, DirectoryOfArgumentZeroUpToItsLastBackslash)
{
    EXPECT_EQ(SettingsFilePath(L"C:\\Program Files\\Zerenta\\Zerenta.exe"),
              L"C:\\Program Files\\Zerenta\\Zerenta.Setting");
    EXPECT_EQ(SettingsFilePath(L"tools\\Zerenta.exe"), L"tools\\Zerenta.Setting");
    EXPECT_EQ(SettingsFilePath(L"Zerenta.exe"), L"Zerenta.Setting");
    EXPECT_EQ(SettingsFilePath(L"C:/apps/Zerenta.exe"), L"Zerenta.Setting");
    EXPECT_EQ(SettingsFilePath(L""), L"Zerenta.Setting");
}

TEST(SettingsFile, FirstStartLoadsEmptySectionsThenSavesTheCompleteFileByteForByteAndReadsItBack)
{
    SettingTestFolder folder;
    const std::wstring path = folder.File("Zerenta.Setting");
    Pages pages;
    LoadSettingsFile(path, pages.All());
    EXPECT_EQ(pages.resolution.loaded, std::vector<std::wstring>{L""});
    EXPECT_EQ(pages.blocker.loaded, std::vector<std::wstring>{L""});
    EXPECT_TRUE(pages.calculator.loaded.empty());
    EXPECT_EQ(pages.resolution.GetXml(), L"\r\n<Resolution/>");

    AddItem(pages.resolutions, {{L"width", L"1024"}, {L"height", L"768"}, {L"bpp", L"32"}, {L"refresh_rate", L"60"}});
    AddItem(pages.resolutions, {{L"width", L"1280"}, {L"height", L"1024"}, {L"bpp", L"32"}, {L"refresh_rate", L"75"}});
    AddItem(pages.gammas,
            {{L"R", L"40"}, {L"G", L"45"}, {L"B", L"50"}, {L"Contrast", L"0"}, {L"Brightness", L"100"},
             {L"HiClamping", L"255"}, {L"LoClamping", L"0"}},
            L"Night");
    AddItem(pages.apps, {}, L"C:\\R&D\\caf\u00e9 \u20ac.exe");
    pages.blockSwitch.value = L"On";

    const SettingsSaveResult result = SaveSettingsFile(path, pages.All(), L"1.2.3.4");
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.reason.empty());
    EXPECT_EQ(pages.calculator.saves, 0);
    EXPECT_EQ(folder.ReadBytes("Zerenta.Setting"),
              Utf8File("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                       "<Zerenta version=\"1.2.3.4\" >\r\n"
                       "\t<Resolution>\r\n"
                       "\t\t<Favourite_Resolutions>\r\n"
                       "\t\t\t<Item width=\"1024\" height=\"768\" bpp=\"32\" refresh_rate=\"60\" />\r\n"
                       "\t\t\t<Item width=\"1280\" height=\"1024\" bpp=\"32\" refresh_rate=\"75\" />\r\n"
                       "\t\t</Favourite_Resolutions>\r\n"
                       "\t</Resolution>\r\n"
                       "\t<Gamma>\r\n"
                       "\t\t<Favourite_Gammas>\r\n"
                       "\t\t\t<Item R=\"40\" G=\"45\" B=\"50\" Contrast=\"0\" Brightness=\"100\" "
                       "HiClamping=\"255\" LoClamping=\"0\" >Night</Item>\r\n"
                       "\t\t</Favourite_Gammas>\r\n"
                       "\t</Gamma>\r\n"
                       "\t<Saver_Blocker>\r\n"
                       "\t\t<Blocked_Apps>\r\n"
                       "\t\t\t<Item>C:\\R&amp;D\\caf\xC3\xA9 \xE2\x82\xAC.exe</Item>\r\n"
                       "\t\t</Blocked_Apps>\r\n"
                       "\t\t<Block_Switch>On</Block_Switch>\r\n"
                       "\t</Saver_Blocker>\r\n"
                       "</Zerenta>"));
    EXPECT_FALSE(folder.Exists("Zerenta.Setting.tmp"));

    Pages reloaded;
    LoadSettingsFile(path, reloaded.All());
    EXPECT_EQ(ValueAt(reloaded.blocker.loaded.at(0), L"Blocked_Apps"), L"C:\\R&D\\caf\u00e9 \u20ac.exe");
}

TEST(SettingsFile, AnyRootNameAndSectionCaseLoadAndSaveNormalised)
{
    SettingTestFolder folder;
    // An old file without a mark, in the code page, with another root and odd casing.
    folder.WriteBytes("Zerenta.Setting",
                      "<?xml version=\"1.0\"?>\r\n<Settings version=\"0.9\" extra=\"x\"><resolution>"
                      "<favourite_resolutions><Item width=\"800\"/></favourite_resolutions></resolution>"
                      "<Other><Thing/></Other>"
                      "<GAMMA><Favourite_Gammas><Item>Dusk</Item></Favourite_Gammas><Extra keep=\"1\"/></GAMMA>"
                      "</Settings>");
    const std::wstring path = folder.File("Zerenta.Setting");
    Pages pages;
    LoadSettingsFile(path, pages.All());
    EXPECT_EQ(ValueAt(pages.gamma.loaded.at(0), L"Favourite_Gammas"), L"Dusk");
    EXPECT_NE(pages.resolution.loaded.at(0).find(L"width=\"800\""), std::wstring::npos);
    EXPECT_EQ(pages.blocker.loaded.at(0), L"");

    ASSERT_TRUE(SaveSettingsFile(path, pages.All(), L"2.0.0.1").written);
    const std::string saved = folder.ReadBytes("Zerenta.Setting");
    EXPECT_NE(saved.find("<Zerenta version=\"2.0.0.1\" >"), std::string::npos);
    EXPECT_NE(saved.find("<Resolution>"), std::string::npos);
    EXPECT_NE(saved.find("<Gamma>"), std::string::npos);
    EXPECT_EQ(saved.find("resolution>"), std::string::npos);
    EXPECT_EQ(saved.find("Other"), std::string::npos);  // belongs to no page: dropped
    EXPECT_EQ(saved.find("extra="), std::string::npos);
    EXPECT_NE(saved.find("<Extra keep=\"1\" />"), std::string::npos);  // not the page's: kept
    // The page replaced its (differently cased) list with its own element.
    EXPECT_EQ(saved.find("favourite_resolutions"), std::string::npos);
}

TEST(SettingsFile, DeclarationOnlyAndMalformedFiles)
{
    SettingTestFolder folder;
    const std::wstring path = folder.File("Zerenta.Setting");
    folder.WriteBytes("Zerenta.Setting", Utf8File("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    Pages declarationOnly;
    LoadSettingsFile(path, declarationOnly.All());
    EXPECT_EQ(declarationOnly.resolution.loaded, std::vector<std::wstring>{L""});
    EXPECT_EQ(declarationOnly.gamma.loaded, std::vector<std::wstring>{L""});

    // The part before the fault is used.
    folder.WriteBytes("Zerenta.Setting",
                      "<Zerenta><Resolution><Favourite_Resolutions><Item width=\"640\"/></Favourite_Resolutions>"
                      "</Resolution><Saver_Blocker></Oops><Gamma/></Zerenta>");
    Pages malformed;
    LoadSettingsFile(path, malformed.All());
    EXPECT_NE(malformed.resolution.loaded.at(0).find(L"640"), std::wstring::npos);
    EXPECT_EQ(malformed.gamma.loaded.at(0), L"");
}

TEST(SettingsFile, AGigabyteFileIsSkippedUnreadAndKeptAsideByTheNextSave)
{
    SettingTestFolder folder;
    const std::wstring path = folder.File("Zerenta.Setting");
    // Intact sections first, so that anything that did read the file would hand them out;
    // then a sparse gigabyte.
    const std::string head = "<Zerenta><Gamma><Favourite_Gammas><Item>Dusk</Item></Favourite_Gammas></Gamma></Zerenta>";
    folder.WriteBytes("Zerenta.Setting", head);
    constexpr std::uintmax_t kGigabyte = 1ull << 30;
    std::filesystem::resize_file(folder.Path("Zerenta.Setting"), kGigabyte);

    Pages pages;
    const long long before = BytesReadSoFar();
    LoadSettingsFile(path, pages.All());
    const long long read = BytesReadSoFar() - before;
    EXPECT_EQ(pages.gamma.loaded, std::vector<std::wstring>{L""});
    EXPECT_EQ(pages.resolution.loaded, std::vector<std::wstring>{L""});
    if (before >= 0) {
        EXPECT_LT(read, 4 << 20) << "bytes read while loading";
    }

    // Read-only, it is neither moved nor replaced.
    namespace fs = std::filesystem;
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(folder.Path("Zerenta.Setting"), write, fs::perm_options::remove);
    EXPECT_FALSE(SaveSettingsFile(path, pages.All(), L"1").written);
    EXPECT_FALSE(folder.Exists("Zerenta.Setting.bak"));
    EXPECT_EQ(fs::file_size(folder.Path("Zerenta.Setting")), kGigabyte);
    fs::permissions(folder.Path("Zerenta.Setting"), fs::perms::owner_write, fs::perm_options::add);

    // Otherwise the next save writes the defaults and keeps the skipped file whole beside them,
    // and says where.
    const SettingsSaveResult saved = SaveSettingsFile(path, pages.All(), L"1");
    ASSERT_TRUE(saved.written);
    EXPECT_EQ(saved.setAside, path + L".bak");
    EXPECT_EQ(std::filesystem::file_size(folder.Path("Zerenta.Setting.bak")), kGigabyte);
    std::ifstream kept(folder.Path("Zerenta.Setting.bak"), std::ios::binary);
    std::string start(head.size(), '\0');
    kept.read(start.data(), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, head);
    EXPECT_LT(std::filesystem::file_size(folder.Path("Zerenta.Setting")), 4096u);
    Pages reloaded;
    LoadSettingsFile(path, reloaded.All());
    EXPECT_EQ(reloaded.gamma.loaded.at(0).find(L"Dusk"), std::wstring::npos);
    EXPECT_NE(reloaded.gamma.loaded.at(0).find(L"Favourite_Gammas"), std::wstring::npos);
}

TEST(SettingsFile, AFailedSaveLeavesTheOldFileAndSaysWhy)
{
    SettingTestFolder folder;
    const std::wstring path = folder.File("Zerenta.Setting");
    folder.WriteBytes("Zerenta.Setting", "old contents");
    Pages pages;

    // The temporary file cannot be created.
    std::filesystem::create_directory(folder.Path("Zerenta.Setting.tmp"));
    SettingsSaveResult blocked = SaveSettingsFile(path, pages.All(), L"1");
    EXPECT_FALSE(blocked.written);
    EXPECT_FALSE(blocked.reason.empty());
    EXPECT_EQ(folder.ReadBytes("Zerenta.Setting"), "old contents");
    std::filesystem::remove(folder.Path("Zerenta.Setting.tmp"));

    // The move fails: the target is a folder. The temporary file is removed again.
    const std::wstring folderTarget = folder.File("AFolder");
    std::filesystem::create_directory(folder.Path("AFolder"));
    folder.WriteBytes("AFolder/inside", "x");
    SettingsSaveResult unmovable = SaveSettingsFile(folderTarget, pages.All(), L"1");
    EXPECT_FALSE(unmovable.written);
    EXPECT_FALSE(unmovable.reason.empty());
    EXPECT_FALSE(folder.Exists("AFolder.tmp"));

    // A read-only file is not replaced, although the folder is writable.
    namespace fs = std::filesystem;
    fs::permissions(folder.Path("Zerenta.Setting"), fs::perms::owner_write | fs::perms::group_write |
                    fs::perms::others_write, fs::perm_options::remove);
    SettingsSaveResult readOnly = SaveSettingsFile(path, pages.All(), L"1");
    EXPECT_FALSE(readOnly.written);
    EXPECT_FALSE(readOnly.reason.empty());
    EXPECT_EQ(folder.ReadBytes("Zerenta.Setting"), "old contents");
    EXPECT_FALSE(folder.Exists("Zerenta.Setting.tmp"));
    fs::permissions(folder.Path("Zerenta.Setting"), fs::perms::owner_write, fs::perm_options::add);

    // A save that succeeds replaces the old file whole.
    ASSERT_TRUE(SaveSettingsFile(path, pages.All(), L"1").written);
    EXPECT_EQ(folder.ReadBytes("Zerenta.Setting").rfind("\xEF\xBB\xBF<?xml", 0), 0u);
    EXPECT_FALSE(folder.Exists("Zerenta.Setting.tmp"));
}

TEST(TevSetting, SetXmlRenamesAndReplaceChildKeepsTheRest)
{
    CTevSetting store(L"Gamma");
    store.SetXml(L"");
    EXPECT_EQ(store.GetXml(), L"\r\n<Gamma/>");
    store.SetXml(L"<whatever mode=\"x\"><favourite_gammas><Item/></favourite_gammas><Extra/></whatever>");
    store.SetXml(nullptr);  // leaves the section as it is
    XmlNode list(L"Favourite_Gammas");
    list.AppendNewChild(L"Item", L"Night");
    store.ReplaceChild(list);
    EXPECT_EQ(store.GetXml(), L"\r\n<Gamma mode=\"x\" >\r\n\t<Extra/>\r\n\t<Favourite_Gammas>\r\n\t\t<Item>Night</Item>"
                              L"\r\n\t</Favourite_Gammas>\r\n</Gamma>");

    auto root = store.CreateRoot();
    ASSERT_EQ(root->ChildCount(), 2);
    root->Clear();
    EXPECT_NE(store.GetXml().find(L"Night"), std::wstring::npos);  // the copy belongs to the caller

    CTevSetting fresh(L"Saver_Blocker");
    EXPECT_EQ(fresh.CreateRoot()->ChildCount(), 0);
    fresh.ReplaceChild(XmlNode(L"Block_Switch", L"On"));  // before any SetXml the section still has its name
    EXPECT_EQ(fresh.GetXml(), L"\r\n<Saver_Blocker>\r\n\t<Block_Switch>On</Block_Switch>\r\n</Saver_Blocker>");
}

TEST(LenientInt, ReadsLikeTheCLibraryButSaturates)
{
    for (const auto& [text, value] : {std::pair{L"  \t-42abc", -42}, {L"+7", 7}, {L"1090", 1090}, {L"x12", 0},
                                      {L"2147483647", INT_MAX}, {L"-2147483647", -INT_MAX}, {L"-2147483648", INT_MIN},
                                      {L"99999999999999999999999", INT_MAX}, {L"-2147483649", INT_MIN}})
        EXPECT_EQ(ParseLenientInt(text), value) << text;
}

// A file too large to load is kept under the first free name; one that cannot be kept under any
// name stays where it is, and the save fails.
TEST(SettingsFile, AnOversizedFileIsKeptUnderTheFirstFreeNameOrNeitherMovedNorReplaced)
{
    SettingTestFolder folder;
    const auto oversized = [&](const std::string& name) {
        folder.WriteBytes((name + ".bak").c_str(), "an earlier kept copy");
        folder.WriteBytes(name.c_str(), "<?xml");
        std::filesystem::resize_file(folder.Path(name.c_str()), 1ull << 30);
        Pages pages;
        return SaveSettingsFile(folder.File(name.c_str()), pages.All(), L"1");
    };
    const SettingsSaveResult kept = oversized("Zerenta.Setting");
    EXPECT_TRUE(kept.written);
    EXPECT_EQ(kept.setAside, folder.File("Zerenta.Setting.1.bak"));
    EXPECT_EQ(std::filesystem::file_size(folder.Path("Zerenta.Setting.1.bak")), 1ull << 30);
    EXPECT_EQ(folder.ReadBytes("Zerenta.Setting.bak"), "an earlier kept copy");
#ifndef _WIN32  // on Windows a name this long is refused before the save reaches the set-aside
    // ".bak" still fits a name of 250 characters, ".1.bak" and the rest do not.
    const std::string name = std::string(250 - 15, 'x') + "Zerenta.Setting";
    const SettingsSaveResult refused = oversized(name);
    EXPECT_FALSE(refused.written);
    EXPECT_FALSE(refused.reason.empty());
    EXPECT_EQ(std::filesystem::file_size(folder.Path(name.c_str())), 1ull << 30);
    EXPECT_EQ(folder.ReadBytes((name + ".bak").c_str()), "an earlier kept copy");
#endif
}

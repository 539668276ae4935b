#include "settings/CTevSetting.h"

#include <utility>

CTevSetting::CTevSetting(std::wstring sectionName) : m_sectionName(std::move(sectionName))
{
    m_parseOptions.trim = true;
    m_parseOptions.escape_char = 0;
}

CTevSetting::~CTevSetting() = default;

std::wstring CTevSetting::GetXml() const
{
    return m_sectionText;
}

std::unique_ptr<XmlNode> CTevSetting::CreateRoot() const
{
    auto root = std::make_unique<XmlNode>();
    // Every parse starts with a clean error record; parse errors are ignored and what was
    // built before them is used.
    XmlParseOptions options = m_parseOptions;
    root->Load(m_sectionText, options);
    return root;
}

void CTevSetting::SetXml(const std::wstring* text)
{
    if (!text)
        return;
    XmlNode section;
    XmlParseOptions options = m_parseOptions;
    section.Load(*text, options);
    section.name = m_sectionName;
    m_sectionText = section.ToXml(SharedWriteOptions());
}

void CTevSetting::ReplaceChild(const XmlNode& element)
{
    std::unique_ptr<XmlNode> section = CreateRoot();
    // Before the first SetXml the text is empty; the section still gets its name rather than
    // being written as a nameless element.
    if (section->name.empty())
        section->name = m_sectionName;
    if (XmlNode* old = section->FindChild(element.name))
        section->RemoveChild(old);
    section->AppendCopy(element);
    m_sectionText = section->ToXml(SharedWriteOptions());
}

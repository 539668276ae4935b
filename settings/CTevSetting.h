// The settings store of a page: its section of the settings file, kept as XML text.
#pragma once

#include <memory>
#include <string>

#include "settings/XmlNode.h"

class CTevSetting {
public:
    explicit CTevSetting(std::wstring sectionName);
    virtual ~CTevSetting();

    CTevSetting(const CTevSetting&) = delete;
    CTevSetting& operator=(const CTevSetting&) = delete;

    const std::wstring& GetSectionName() const { return m_sectionName; }

    // A copy of the section text.
    std::wstring GetXml() const;
    // Parses the text (errors ignored), renames the element to the section name and keeps
    // its serialisation. nullptr leaves the section unchanged.
    void SetXml(const std::wstring* text);
    void SetXml(const std::wstring& text) { SetXml(&text); }
    // Replaces the section's child of the element's name (ignoring case) by a copy of the
    // element, or appends the copy. Other children and the section's attributes stay.
    void ReplaceChild(const XmlNode& element);
    // A fresh element parsed from the section text, owned by the caller.
    std::unique_ptr<XmlNode> CreateRoot() const;

private:
    std::wstring m_sectionName;
    std::wstring m_sectionText;
    mutable XmlParseOptions m_parseOptions;
};

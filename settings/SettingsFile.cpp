#include "settings/SettingsFile.h"

#include <cstdint>
#include <cstdio>

#include "framework/Platform.h"
#include "settings/CTextFileRead.h"
#include "settings/CTextFileWrite.h"
#include "settings/XmlNode.h"

namespace {

constexpr wchar_t kFileName[] = L"Zerenta.Setting";
constexpr wchar_t kRecoveryFileName[] = L"Zerenta.Recovery";
constexpr wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>";
constexpr wchar_t kRootName[] = L"Zerenta";
constexpr wchar_t kSetAsideSuffix[] = L".bak";
// Kept files beyond this many mean something keeps writing huge files there; no more are made.
constexpr int kMostSetAsideNames = 1000;


// The size of the file at path; -1 when it cannot be opened or is no regular file.
std::int64_t SizeOfFileAt(const std::wstring& path)
{
    std::FILE* file = zr::platform::OpenFileForRead(path);
    if (!file)
        return -1;
    const std::int64_t size = zr::platform::FileSize(file);
    std::fclose(file);
    return size;
}

XmlParseOptions SettingsParseOptions()
{
    XmlParseOptions options;
    options.trim = true;
    options.escape_char = 0;
    return options;
}

std::wstring FailureReason(std::wstring reason)
{
    if (reason.empty())
        reason = L"The settings file could not be written.";
    return reason;
}

// The folder of argument 0 with its last backslash; only the backslash separates directories,
// and without one the folder is empty, so that names are relative.
std::wstring ProgramFolder(const std::wstring& argument0)
{
    const std::size_t slash = argument0.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : argument0.substr(0, slash + 1);
}

// Moves the file at path to the first free name of path.bak, path.1.bak, path.2.bak, ...: an
// earlier kept file may be the user's good copy, and a read-only one must not stop every save.
bool SetAside(const std::wstring& path, std::wstring& setAside, std::wstring& reason)
{
    for (int n = 0; n < kMostSetAsideNames; ++n) {
        const std::wstring name = n == 0 ? path + kSetAsideSuffix : path + L"." + std::to_wstring(n) + kSetAsideSuffix;
        bool taken = false;
        if (zr::platform::MoveFileToFreeName(path, name, taken, reason)) {
            setAside = name;
            return true;
        }
        if (!taken)
            return false;
    }
    reason = L"There is no free name left to keep the earlier settings file under.";
    return false;
}

}  // namespace

std::wstring SettingsFilePath(const std::wstring& argument0)
{
    return ProgramFolder(argument0) + kFileName;
}

std::wstring RecoveryFilePath(const std::wstring& argument0)
{
    return ProgramFolder(argument0) + kRecoveryFileName;
}

void LoadSettingsFile(const std::wstring& path, const std::vector<ISettingsPage*>& pages)
{
    XmlNode root;
    if (std::FILE* stream = zr::platform::OpenFileForRead(path)) {
        const std::int64_t size = zr::platform::FileSize(stream);
        if (size < 0 || size > kLargestSettingsFile) {
            std::fclose(stream);  // skipped before a byte of it is read
        } else {
            CTextFileRead file(stream, true);
            std::wstring text;
            if (file.ReadAll(text, L"\r\n")) {
                file.Close();
                XmlParseOptions options = SettingsParseOptions();
                if (!text.empty())
                    root.Load(text, options);  // a malformed file still gives what came before the fault
            }
        }
    }
    for (ISettingsPage* page : pages) {
        if (!page)
            continue;
        const std::wstring name = page->GetSettingName();
        if (name.empty())
            continue;
        const XmlNode* section = root.FindChild(name);
        page->LoadSettings(section ? section->ToXml(SharedWriteOptions()) : std::wstring());
    }
}

SettingsSaveResult SaveSettingsFile(const std::wstring& path, const std::vector<ISettingsPage*>& pages,
                                    const std::wstring& programVersion)
{
    XmlNode root(kRootName);
    root.AppendAttr(L"version", programVersion);
    for (ISettingsPage* page : pages) {
        if (!page)
            continue;
        const std::wstring name = page->GetSettingName();
        if (name.empty())
            continue;
        page->SaveSettings();
        const std::wstring text = page->GetSettingText();
        if (text.empty())
            continue;
        XmlNode section;
        XmlParseOptions options = SettingsParseOptions();
        section.Load(text, options);
        section.name = name;
        if (XmlNode* old = root.FindChild(name))
            root.RemoveChild(old);
        root.AppendCopy(section);
    }
    const std::wstring fileText = kDeclaration + root.ToXml(SharedWriteOptions());

    // The text goes to a temporary file beside the target, which then replaces the target in
    // one move: a failure at any step leaves the previous file as it was.
    const std::wstring temporary = path + L".tmp";
    SettingsSaveResult result;
    {
        CTextFileWrite file(temporary, Utf8);
        if (!file.IsOpen()) {
            result.reason = FailureReason(zr::platform::LastErrorText());
            return result;
        }
        file.Write(fileText);
        file.Commit();
        file.Close();
        if (!file.Good()) {
            result.reason = FailureReason(zr::platform::LastErrorText());
            zr::platform::DeleteFileAt(temporary);
            return result;
        }
    }
    std::wstring reason;
    // A file too large to load was never read, so what it holds would be lost unseen: it is
    // moved aside rather than replaced.
    if (SizeOfFileAt(path) > kLargestSettingsFile && !SetAside(path, result.setAside, reason)) {
        result.reason = FailureReason(reason);
        zr::platform::DeleteFileAt(temporary);
        return result;
    }
    if (!zr::platform::ReplaceFileWith(temporary, path, reason)) {
        result.reason = FailureReason(reason);
        zr::platform::DeleteFileAt(temporary);
        // Nothing took its place: the kept file goes back where it was.
        bool taken = false;
        std::wstring ignored;
        if (!result.setAside.empty() && zr::platform::MoveFileToFreeName(result.setAside, path, taken, ignored))
            result.setAside.clear();
        return result;
    }
    result.written = true;
    return result;
}

#include "app/ShellLogic.h"

#include <string>
#include <string_view>

#include "framework/Platform.h"

namespace shell {

std::vector<TrayMenuInsert> PlanTrayMenu(const std::vector<std::vector<std::wstring>>& pageItems,
                                         const std::vector<std::vector<int>>& pageChecks)
{
    std::vector<TrayMenuInsert> plan;
    unsigned count = 0;
    for (size_t page = 0; page < pageItems.size(); ++page) {
        const auto& items = pageItems[page];
        const size_t shown = items.size() < kTrayItemsPerPage ? items.size() : kTrayItemsPerPage;
        const std::vector<int> none;
        const std::vector<int>& checks = page < pageChecks.size() ? pageChecks[page] : none;
        for (size_t j = 0; j < shown; ++j) {
            const unsigned id = kTrayFirstId + static_cast<unsigned>(page) * kTrayItemsPerPage + static_cast<unsigned>(j);
            bool checked = false;
            for (int c : checks) checked = checked || c == static_cast<int>(j);
            plan.push_back({count + kTrayInsertBase, false, id, items[j], checked});
            ++count;
        }
        if (!items.empty()) {
            plan.push_back({count + kTrayInsertBase, true, 0, {}});
            ++count;
        }
    }
    return plan;
}

bool DecodeTrayCommand(unsigned id, int pageCount, int& page, int& item)
{
    if (id < kTrayFirstId || id > kTrayLastId) return false;
    const int p = static_cast<int>((id - kTrayFirstId) / kTrayItemsPerPage);
    if (p >= pageCount) return false;
    page = p;
    item = static_cast<int>((id - kTrayFirstId) % kTrayItemsPerPage);
    return true;
}

std::wstring BuildBrowserCommand(const std::wstring& openCommand, const std::wstring& url)
{
    std::wstring command = openCommand;
    const size_t quoted = command.find(L"\"%1\"");
    if (quoted != std::wstring::npos) {
        command.resize(quoted);
    } else {
        const size_t bare = command.find(L"%1");
        if (bare != std::wstring::npos) command.resize(bare);
    }
    command += L' ';
    command += url;
    return command;
}

std::wstring HyperlinkErrorText(long code)
{
    switch (code) {
    case 0: return L"The operating system is out\nof memory or resources.";
    case 2: return L"The specified file was not found.";
    case 3: return L"The specified path was not found.";
    case 5: return L"The operating system denied\naccess to the specified file.";
    case 8: return L"There was not enough memory to complete the operation.";
    case 11: return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return L"A sharing violation occurred. ";
    case 27: return L"The filename association is\nincomplete or invalid.";
    case 28: return L"The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return L"The DDE transaction failed.";
    case 30: return L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return L"There is no application associated\nwith the given filename extension.";
    case 32: return L"The specified dynamic-link library was not found.";
    default: return L"Unknown Error (" + std::to_wstring(code) + L") occurred.";
    }
}

std::wstring RunCommandFor(const std::wstring& programPath)
{
    return L"\"" + programPath + L"\"";
}

bool RunCommandStarts(const std::wstring& command, const std::wstring& programPath)
{
    if (programPath.empty()) return false;
    const size_t start = command.find_first_not_of(L" \t");
    if (start == std::wstring::npos) return false;
    const std::wstring_view text = std::wstring_view(command).substr(start);
    if (text.front() == L'"') {
        const size_t close = text.find(L'"', 1);
        const size_t length = close == std::wstring_view::npos ? std::wstring_view::npos : close - 1;
        return zr::platform::EqualOrdinalIgnoringCase(text.substr(1, length), programPath);
    }
    // Unquoted, a path with blanks is only told from its arguments by knowing the path.
    if (text.size() < programPath.size()) return false;
    const bool ends = text.size() == programPath.size() || text[programPath.size()] == L' ' ||
                      text[programPath.size()] == L'\t';
    return ends && zr::platform::EqualOrdinalIgnoringCase(text.substr(0, programPath.size()), programPath);
}

}  // namespace shell

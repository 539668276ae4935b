#include "app/CCommandClient.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "app/CConsoleText.h"
#include "app/CSingleInstance.h"
#include "core/DisplayInfo.h"
#include "core/OrvelCore.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"
#include "gamma/GammaFavouritesXml.h"
#include "settings/CTevSetting.h"
#include "settings/SettingsFile.h"

namespace {

// How long a command waits for the running copy: its main dialog may still be starting (when
// this start made it, or with Windows), and a mode change takes a moment.
constexpr DWORD kReachTimeoutMs = 30000;
constexpr DWORD kAnswerTimeoutMs = 60000;
constexpr DWORD kRetryMs = 50;

// The window that takes the display core's replies for /list: the displays, then one display's
// modes or its mode in force at a time.
class CModeReceiver : public zr::CWnd {
public:
    bool Create() noexcept { return CreateEx(0, RegisterDefaultClass(), L"", 0, RECT{}, HWND_MESSAGE, 0); }

    std::vector<orvel::DisplayInfo> displays;
    std::vector<zr::DisplayMode> modes;
    std::optional<zr::DisplayMode>* modeInForce = nullptr;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override
    {
        if (msg != WM_COPYDATA) return zr::CWnd::WindowProc(msg, wp, lp);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (!data || !data->lpData) return 0;
        try {
            if (data->dwData == CORE_RPL_DISPLAY && data->cbData >= sizeof(DisplayRecord)) {
                DisplayRecord record;
                std::memcpy(&record, data->lpData, sizeof(record));
                displays.push_back(orvel::ReadDisplayRecord(record));
            } else if (data->dwData == CORE_RPL_MODE && data->cbData >= sizeof(zr::DisplayMode)) {
                zr::DisplayMode mode;
                std::memcpy(&mode, data->lpData, sizeof(mode));
                if (modeInForce)
                    *modeInForce = mode;
                else
                    modes.push_back(mode);
            }
        } catch (...) {
            // Out of memory: the list is cut short.
        }
        return 0;
    }
};

// Starts Zerenta as the tray program, with the same argument 0 (which places its settings) and
// the same folder. It gets no standard handles: under Wine it would otherwise inherit this
// process's output, and a script reading that would wait for the tray program to end.
zr::UniqueKernel StartTrayCopy(bool directDraw)
{
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
    std::wstring command = L"\"" + zr::CWinApp::ProgramArgument() + L"\"";
    if (directDraw) command += L" /directdraw";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    ::CloseHandle(process.hThread);
    return zr::UniqueKernel(process.hProcess);
}

// The running copy's main dialog, waited for until `deadline`; null when none comes. A copy
// this start made may end without one (it found another meanwhile, which is then waited for).
HWND WaitForRunning(ULONGLONG deadline, CSingleInstance::Peek& last)
{
    for (;;) {
        HWND window = nullptr;
        last = CSingleInstance::PeekFirst(window);
        if (last == CSingleInstance::Peek::Running || last == CSingleInstance::Peek::Denied) return window;
        if (::GetTickCount64() >= deadline) return nullptr;
        ::Sleep(kRetryMs);
    }
}

int Forward(HWND target, const std::vector<std::wstring>& arguments, ULONGLONG deadline)
{
    // The running copy writes its texts here; this start makes no window to take them.
    const std::wstring name = shell::kReplySectionPrefix + std::to_wstring(::GetCurrentProcessId());
    const zr::UniqueKernel section(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                        static_cast<DWORD>(shell::kReplyBytes), name.c_str()));
    // A section of that name made by anyone else is not taken for this start's own.
    const bool own = section && ::GetLastError() != ERROR_ALREADY_EXISTS;
    const zr::UniqueView view(own ? ::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, shell::kReplyBytes) : nullptr);
    if (!view) {
        CConsoleText::Error(L"Zerenta could not hand the command on: no room for the answer.");
        return shell::kExitNotCarried;
    }
    const std::wstring packed = shell::PackRequest({name, arguments});
    COPYDATASTRUCT request{};
    request.dwData = shell::kCommandRequest;
    request.cbData = static_cast<DWORD>(packed.size() * sizeof(wchar_t));
    request.lpData = const_cast<wchar_t*>(packed.data());
    DWORD_PTR answer = 0;
    for (;;) {
        if (!::SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request),
                                   SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer)) {
            CConsoleText::Error(L"The running Zerenta did not answer; the command may not have been carried out.");
            return shell::kExitNotCarried;
        }
        if (static_cast<LRESULT>(answer) != shell::kCommandNotReady) break;
        if (::GetTickCount64() >= deadline) {
            CConsoleText::Error(L"The running Zerenta did not get ready for the command in time.");
            return shell::kExitNotCarried;
        }
        ::Sleep(kRetryMs);
    }
    const shell::CommandReply reply =
        shell::ReadReply(std::span<const std::byte>(static_cast<const std::byte*>(view.get()), shell::kReplyBytes));
    if (!reply.written) {
        CConsoleText::Error(L"The running Zerenta takes no commands: it is an earlier version. Exit it and give "
                            L"the command again.");
        return shell::kExitNotCarried;
    }
    CConsoleText::Out(reply.output);
    CConsoleText::Error(reply.message);
    const LRESULT code = static_cast<LRESULT>(answer);
    return code >= shell::kExitDone && code <= shell::kExitNotCarried ? static_cast<int>(code)
                                                                      : shell::kExitNotCarried;
}

// A page's settings section as the file holds it, read as the page would read it.
class CSectionReader : public ISettingsPage, public CTevSetting {
public:
    explicit CSectionReader(std::wstring name) : CTevSetting(name) {}
    std::wstring GetSettingName() override { return GetSectionName(); }
    void SaveSettings() override {}
    std::wstring GetSettingText() override { return GetXml(); }
    void LoadSettings(const std::wstring& text) override { SetXml(text); }
};

// /list with no Zerenta running: the displays and their modes from the display core, the
// favourites from the file (those of displays attached now, as the tray offers them).
int ListHere()
{
    CModeReceiver receiver;
    if (!receiver.Create() || !InitCore(receiver.m_hWnd)) {
        CConsoleText::Error(L"Zerenta could not read the displays' modes.");
        return shell::kExitNotCarried;
    }
    if (SendCommand(receiver.m_hWnd, CORE_CMD_ENUM_DISPLAYS, nullptr, 0) != 0) receiver.displays.clear();
    // One command on one display, or plain for a core that lists no displays.
    const auto send = [&](const orvel::DisplayInfo* display, std::uint32_t code) {
        if (!display) return SendCommand(receiver.m_hWnd, code, nullptr, 0);
        const DisplayCommandHeader header{display->index, code};
        return SendCommand(receiver.m_hWnd, CORE_CMD_ON_DISPLAY, &header, sizeof(header));
    };
    std::vector<shell::ListedDisplay> listed;
    const std::size_t count = receiver.displays.empty() ? 1 : receiver.displays.size();
    for (std::size_t i = 0; i < count; ++i) {
        const orvel::DisplayInfo* display = receiver.displays.empty() ? nullptr : &receiver.displays[i];
        shell::ListedDisplay entry;
        entry.number = display ? orvel::DisplayNumber(*display) : 1;
        entry.primary = display ? display->primary : true;
        if (display) {
            entry.name = display->name;
            entry.id = display->id;
        }
        receiver.modes.clear();
        send(display, CORE_CMD_ENUM_MODES);
        entry.modes = receiver.modes;
        receiver.modeInForce = &entry.current;
        send(display, CORE_CMD_GET_MODE);
        receiver.modeInForce = nullptr;
        listed.push_back(entry);
    }
    ClearUpCore();
    std::stable_sort(listed.begin(), listed.end(),
                     [](const shell::ListedDisplay& a, const shell::ListedDisplay& b) { return a.number < b.number; });

    CSectionReader resolution(L"Resolution");
    CSectionReader gamma(L"Gamma");
    LoadSettingsFile(SettingsFilePath(zr::CWinApp::ProgramArgument()), {&resolution, &gamma});
    std::vector<zr::FavouriteMode> modes = zr::ReadFavourites(*resolution.CreateRoot());
    std::erase_if(modes, [&](const zr::FavouriteMode& favourite) {
        return !favourite.display.empty() && !receiver.displays.empty() &&
               !orvel::FindDisplay(receiver.displays, favourite.display);
    });
    CConsoleText::Out(shell::FormatListing(listed, modes, ReadFavourites(*gamma.CreateRoot())));
    return shell::kExitDone;
}

}  // namespace

int CCommandClient::Run(const shell::CommandLine& line, const std::vector<std::wstring>& arguments) noexcept
{
    try {
        ULONGLONG deadline = ::GetTickCount64() + kReachTimeoutMs;
        HWND window = nullptr;
        CSingleInstance::Peek peek = CSingleInstance::PeekFirst(window);
        if (peek == CSingleInstance::Peek::None) {
            switch (line.command) {
            case shell::Command::Restore:
            case shell::Command::Exit:
                // Nothing runs: the screen is as Zerenta would leave it.
                return shell::kExitDone;
            case shell::Command::List:
                return ListHere();
            default:
                break;
            }
            const zr::UniqueKernel started = StartTrayCopy(line.directDraw);
            if (!started) {
                CConsoleText::Error(L"Zerenta could not be started to carry out the command.");
                return shell::kExitNotCarried;
            }
            deadline = ::GetTickCount64() + kReachTimeoutMs;
        }
        if (peek != CSingleInstance::Peek::Running && peek != CSingleInstance::Peek::Denied)
            window = WaitForRunning(deadline, peek);
        if (peek == CSingleInstance::Peek::Denied) {
            CConsoleText::Error(L"Zerenta is running with other rights (for example as administrator), which this "
                                L"command cannot reach. Give the command with the same rights.");
            return shell::kExitNotCarried;
        }
        if (!window) {
            CConsoleText::Error(L"Zerenta did not start in time to carry out the command.");
            return shell::kExitNotCarried;
        }
        return Forward(window, arguments, deadline);
    } catch (...) {
        CConsoleText::Error(L"Zerenta ran out of memory while handing the command on.");
        return shell::kExitNotCarried;
    }
}

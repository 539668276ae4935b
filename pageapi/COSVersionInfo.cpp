#include "pageapi/COSVersionInfo.h"

const COSVersionInfo& COSVersionInfo::Get() noexcept
{
    static const COSVersionInfo info;
    return info;
}

COSVersionInfo::COSVersionInfo() noexcept
{
    // GetVersionExW is deprecated but still the call that reports what the program ran on
    // (without a compatibility manifest entry it caps at 6.2, which is all the checks need).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    m_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&m_version))) {
        m_version = OSVERSIONINFOEXW{};
        m_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&m_version));
    }
#pragma GCC diagnostic pop
    // GetNativeSystemInfo describes the machine also for a 32-bit process on 64-bit Windows.
    using NativeInfo = void(WINAPI*)(SYSTEM_INFO*);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto native = kernel ? reinterpret_cast<NativeInfo>(
                               reinterpret_cast<void*>(::GetProcAddress(kernel, "GetNativeSystemInfo")))
                         : nullptr;
    if (native)
        native(&m_system);
    else
        ::GetSystemInfo(&m_system);
}

DWORD OsPlatformId() noexcept { return COSVersionInfo::Get().PlatformId(); }
DWORD OsMajorVersion() noexcept { return COSVersionInfo::Get().MajorVersion(); }

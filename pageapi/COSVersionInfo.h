// The operating system's version record and processor information, read once at start.
#pragma once

#include <windows.h>

class COSVersionInfo {
public:
    // The record of this process, read on first use.
    static const COSVersionInfo& Get() noexcept;

    DWORD PlatformId() const noexcept { return m_version.dwPlatformId; }
    DWORD MajorVersion() const noexcept { return m_version.dwMajorVersion; }
    DWORD MinorVersion() const noexcept { return m_version.dwMinorVersion; }
    const OSVERSIONINFOEXW& Version() const noexcept { return m_version; }
    const SYSTEM_INFO& Processor() const noexcept { return m_system; }

private:
    COSVersionInfo() noexcept;

    OSVERSIONINFOEXW m_version{};
    SYSTEM_INFO m_system{};
};

// The operating system's platform id and major version, read once.
DWORD OsPlatformId() noexcept;
DWORD OsMajorVersion() noexcept;

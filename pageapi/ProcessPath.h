// The executable behind a window: what the saver blocker matches and the picker shows.
#pragma once

#include <windows.h>

#include <string>

// The full path of the main executable of the process that owns `window`; empty when that
// process cannot be opened.
std::wstring GetWindowModulePath(HWND window);

// The system calls behind GetWindowModulePath, so that tests can stand in for them.
struct ProcessImageCalls {
    HANDLE(WINAPI* openProcess)(DWORD access, BOOL inherit, DWORD processId);
    BOOL(WINAPI* queryFullProcessImageName)(HANDLE process, DWORD flags, LPWSTR path, PDWORD size);
    DWORD(WINAPI* getModuleFileNameEx)(HANDLE process, HMODULE module, LPWSTR path, DWORD size);
    BOOL(WINAPI* closeHandle)(HANDLE handle);
};
// The real ones: OpenProcess, QueryFullProcessImageNameW, GetModuleFileNameExW, CloseHandle.
const ProcessImageCalls& SystemProcessImageCalls() noexcept;

// The executable of a process. First the image name with limited query access, which a
// 32-bit program is granted for 64-bit and for elevated processes too; only when that fails,
// the main module's file name with query and read-memory access. Empty when both fail.
std::wstring GetProcessImagePath(DWORD processId, const ProcessImageCalls& calls);

#include "pageapi/SharedMessages.h"

namespace {
UINT g_uhmActivated = 0;
UINT g_taskbarCreated = 0;
}  // namespace

UINT UhmActivatedMessage() noexcept
{
    if (!g_uhmActivated)
        g_uhmActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
    return g_uhmActivated;
}

UINT TaskbarCreatedMessage() noexcept
{
    if (!g_taskbarCreated) g_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    return g_taskbarCreated;
}

void RegisterSharedMessages() noexcept
{
    UhmActivatedMessage();
    TaskbarCreatedMessage();
}

// Registered window messages shared by the shell, the pages and other processes.
#pragma once

#include <windows.h>

// Registered window messages. Both are registered by the application before its first
// window exists (RegisterSharedMessages); a call before that registers on the spot.
UINT UhmActivatedMessage() noexcept;    // "UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3"
UINT TaskbarCreatedMessage() noexcept;  // "TaskbarCreated"
void RegisterSharedMessages() noexcept;

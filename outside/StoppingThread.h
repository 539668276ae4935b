// The end of a worker thread in the outside libraries, shared by both. A thread told to stop is
// waited for a bounded time; one still running then is kept as "retired", and no new thread
// may start until it has ended, so that two never run side by side.
#pragma once

#include <windows.h>

namespace outside {

// Waits up to `wait` ms for `thread`, which has been told to stop: closes it once it ended,
// otherwise keeps it in `retired`.
inline void WaitOrRetire(HANDLE thread, DWORD wait, HANDLE& retired)
{
    if (::WaitForSingleObject(thread, wait) == WAIT_OBJECT_0)
        ::CloseHandle(thread);
    else
        retired = thread;
}

// True when no retired thread is left: none was kept, or it ends within `wait` ms.
inline bool EndRetired(HANDLE& retired, DWORD wait)
{
    if (!retired)
        return true;
    if (::WaitForSingleObject(retired, wait) != WAIT_OBJECT_0)
        return false;
    ::CloseHandle(retired);
    retired = nullptr;
    return true;
}

}  // namespace outside

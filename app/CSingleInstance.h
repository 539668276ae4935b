// One Zerenta per user session. The first copy holds a small named shared record in the
// session's namespace, which says which window is its main dialog; a later copy finds the
// record taken, asks that window to show itself (as "Configure..." does) and goes.
// Nothing here looks for windows by class or title: every copy has a core window of the same
// class from the moment OrvelCore is loaded, the later copy's own among them.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

class CSingleInstance {
public:
    CSingleInstance() noexcept = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    enum class Claim { First, Later, Failed, Denied };
    // Takes the session's one place; Later when another copy holds it. Denied when the place
    // exists but this copy may not open it: another copy holds it with other rights (an elevated
    // one shuts a normal one out), which this copy can neither reach nor share the screen with.
    // Failed (no place could be made) lets the program run as it did before there was a place to
    // hold. A later copy may try again; its own view of the place goes first.
    Claim TakePlace() noexcept;
    // The first copy's main dialog, once it exists; null again when it goes.
    void Publish(HWND window) noexcept;
    // A later copy: waits up to `timeoutMs` for the first copy's window and asks it to show
    // itself, and takes the place instead should the first copy end meanwhile. First when the
    // place became this copy's; Denied when a copy with other rights took it meanwhile; Later
    // otherwise (shown or not).
    Claim ShowFirst(UINT showCommand, DWORD timeoutMs) noexcept;

    // Looks at the place without taking it, as a copy that only hands a command on does. None:
    // no copy runs; Starting: one holds the place but has no main dialog yet; Running: `window`
    // is its main dialog; Denied: one runs with other rights.
    enum class Peek { None, Starting, Running, Denied };
    static Peek PeekFirst(HWND& window) noexcept;

private:
    // The shared record: the first copy's process id and main dialog.
    struct Record {
        volatile LONG64 window;
        volatile LONG process;
    };
    // The main dialog the record names, when it is a window of the process the record names and
    // not of this one; else null.
    static HWND FirstWindow(Record& record) noexcept;
    // The same record for the 32-bit and the 64-bit build, which may meet in one session.
    static_assert(sizeof(Record) == 16, "the shared record has one layout for every build");

    zr::UniqueKernel m_mapping;
    Record* m_record = nullptr;
    bool m_first = false;
};
